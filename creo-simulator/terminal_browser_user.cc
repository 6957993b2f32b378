#include "terminal_browser_user.h"

#include <chrono>
#include <sstream>
#include <string>

namespace creosim {

namespace {

// Local pages load in milliseconds; a slower one is shown at a later prompt.
constexpr std::chrono::seconds kPageWait(10);

}  // namespace

TerminalBrowserUser::TerminalBrowserUser(EmbeddedBrowser& browser, std::istream& in, std::ostream& out)
    : browser_(browser), in_(in), out_(out) {
  browser_.letPersonSignIn();
}

void TerminalBrowserUser::attend() {
  for (;;) {
    const std::optional<SignInPage> waiting = browser_.waitForPerson(kPageWait);
    showLoadedPages();
    if (!waiting) return;
    signIn(*waiting);
  }
}

void TerminalBrowserUser::showLoadedPages() {
  const std::vector<BrowserVisit> visits = browser_.visits();
  for (; shown_ < visits.size() && visits[shown_].finished; ++shown_) {
    const PageLoad& load = visits[shown_].load;
    if (load.handedOver && load.error.empty()) {
      out_ << "[embedded browser] " << addressWithoutQuery(load.finalUrl) << " handed to the browser program\n";
    } else if (!load.error.empty() || load.status == 0) {
      out_ << "[embedded browser] " << addressWithoutQuery(load.finalUrl) << ": " << load.error << "\n";
    } else {
      showPage(load.finalUrl, load.body);
    }
  }
  out_ << std::flush;
}

void TerminalBrowserUser::showPage(const std::string& url, const std::string& html) {
  out_ << "[embedded browser] " << addressWithoutQuery(url) << "\n";
  out_ << "  == " << pageTitle(html) << " ==\n";
  std::istringstream lines(pageText(html));
  for (std::string line; std::getline(lines, line);) out_ << "  " << line << "\n";
}

void TerminalBrowserUser::signIn(const SignInPage& page) {
  showPage(page.url, page.html);
  out_ << "The page's form asks for:\n";
  FormFields answers;
  for (const FormQuestion& question : page.form.questions) {
    out_ << "  " << question.label << ": " << std::flush;
    std::string answer;
    if (!std::getline(in_, answer)) {
      out_ << "\n(end of input: the page stays as it is)\n" << std::flush;
      browser_.answerPerson(std::nullopt);
      return;
    }
    if (!answer.empty() && answer.back() == '\r') answer.pop_back();
    answers.emplace_back(question.name, answer);
  }
  out_ << "(submitted)\n" << std::flush;
  browser_.answerPerson(page.form.filledIn(answers));
}

}  // namespace creosim
