#include "embedded_browser.h"

#include <algorithm>

#include "browser_command.h"

namespace creosim {

EmbeddedBrowser::EmbeddedBrowser() : thread_([this] { run(); }) {}

EmbeddedBrowser::~EmbeddedBrowser() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void EmbeddedBrowser::setSignInUser(std::string email, std::string password) {
  std::lock_guard lock(mutex_);
  email_ = std::move(email);
  password_ = std::move(password);
}

void EmbeddedBrowser::letPersonSignIn() {
  std::lock_guard lock(mutex_);
  personSignsIn_ = true;
}

std::optional<SignInPage> EmbeddedBrowser::waitForPerson(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, timeout, [this] { return waitingForPerson_ || allFinished(); });
  return waitingForPerson_;
}

void EmbeddedBrowser::answerPerson(std::optional<FormFields> fields) {
  {
    std::lock_guard lock(mutex_);
    if (!waitingForPerson_) return;
    waitingForPerson_.reset();
    personAnswer_ = std::move(fields);
  }
  changed_.notify_all();
}

void EmbeddedBrowser::handAddressesTo(std::vector<std::string> command) {
  std::lock_guard lock(mutex_);
  outsideBrowser_ = std::move(command);
}

bool EmbeddedBrowser::allFinished() const {
  return std::all_of(visits_.begin(), visits_.end(), [](const BrowserVisit& visit) { return visit.finished; });
}

// On the browser's thread, while a page loads.
std::optional<FormFields> EmbeddedBrowser::fillIn(const SignInPage& page) {
  std::unique_lock lock(mutex_);
  // A script's account is tried once: a wrong password shows the form again.
  if (!email_.empty()) {
    if (page.attempt > 1) return std::nullopt;
    return page.form.filledIn({{"email", email_}, {"password", password_}});
  }
  if (!personSignsIn_) return std::nullopt;
  waitingForPerson_ = page;
  personAnswer_.reset();
  changed_.notify_all();
  changed_.wait(lock, [this] { return stopping_ || personAnswer_; });
  waitingForPerson_.reset();
  if (!personAnswer_) return std::nullopt;
  std::optional<FormFields> answer = std::move(*personAnswer_);
  personAnswer_.reset();
  return answer;
}

void EmbeddedBrowser::navigate(int windowId, const std::string& url) {
  {
    std::lock_guard lock(mutex_);
    visits_.push_back(BrowserVisit{windowId, url, false, {}});
    queue_.push_back(visits_.size() - 1);
  }
  changed_.notify_all();
}

std::vector<BrowserVisit> EmbeddedBrowser::visits() const {
  std::lock_guard lock(mutex_);
  return visits_;
}

bool EmbeddedBrowser::waitUntilIdle(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return allFinished(); });
}

void EmbeddedBrowser::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    const size_t index = queue_.front();
    queue_.pop_front();
    const std::string url = visits_[index].url;
    const std::vector<std::string> outsideBrowser = outsideBrowser_;
    lock.unlock();
    PageLoad load = outsideBrowser.empty()
                        ? loadPage(url, [this](const SignInPage& page) { return fillIn(page); })
                        : handToOutsideBrowser(outsideBrowser, url);
    lock.lock();
    visits_[index].load = std::move(load);
    visits_[index].finished = true;
    changed_.notify_all();
  }
}

}  // namespace creosim
