// The person at the terminal in front of the embedded browser: shown each page
// it loaded (title and text) and asked for what a sign-in form wants, which
// the browser then submits. The end of input leaves the form as it is.
#pragma once

#include <cstddef>
#include <istream>
#include <ostream>

#include "embedded_browser.h"

namespace creosim {

class TerminalBrowserUser {
 public:
  // Lets the person fill in the browser's sign-in forms.
  TerminalBrowserUser(EmbeddedBrowser& browser, std::istream& in, std::ostream& out);

  // Between two commands: waits a little for pages on their way, shows them,
  // and asks for a sign-in form that waits.
  void attend();

 private:
  void showLoadedPages();
  void showPage(const std::string& url, const std::string& html);
  void signIn(const SignInPage& page);

  EmbeddedBrowser& browser_;
  std::istream& in_;
  std::ostream& out_;
  size_t shown_ = 0;  // visits already shown, in order
};

}  // namespace creosim
