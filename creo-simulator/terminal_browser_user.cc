#include "terminal_browser_user.h"

#include <chrono>
#include <iostream>
#include <sstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace creosim {

namespace {

// Local pages load in milliseconds; a slower one is shown at a later prompt.
constexpr std::chrono::seconds kPageWait(10);

// While it lives, what the person types at the console is not shown, as a
// browser shows no password; input that is not a console is left alone.
class HiddenTyping {
 public:
  explicit HiddenTyping(bool wanted) {
#ifdef _WIN32
    console_ = GetStdHandle(STD_INPUT_HANDLE);
    hidden_ = wanted && GetConsoleMode(console_, &saved_) &&
              SetConsoleMode(console_, saved_ & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
#else
    hidden_ = wanted && isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved_) == 0;
    if (hidden_) {
      termios quiet = saved_;
      quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
      hidden_ = tcsetattr(STDIN_FILENO, TCSANOW, &quiet) == 0;
    }
#endif
  }
  ~HiddenTyping() {
    if (!hidden_) return;
#ifdef _WIN32
    SetConsoleMode(console_, saved_);
#else
    tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
#endif
  }
  HiddenTyping(const HiddenTyping&) = delete;
  HiddenTyping& operator=(const HiddenTyping&) = delete;

  // The Enter that ended the hidden answer was not shown either.
  bool hidden() const { return hidden_; }

 private:
  bool hidden_ = false;
#ifdef _WIN32
  HANDLE console_ = nullptr;
  DWORD saved_ = 0;
#else
  termios saved_{};
#endif
};

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
    // Hidden before the prompt shows, so that nothing typed after it is shown.
    const HiddenTyping typing(question.type == "password" && &in_ == &std::cin);
    out_ << "  " << question.label << ": " << std::flush;
    std::string answer;
    const bool read = static_cast<bool>(std::getline(in_, answer));
    if (typing.hidden()) out_ << "\n";
    if (!read) {
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
