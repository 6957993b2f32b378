#include "embedded_browser.h"

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
  user_ = SignInUser{std::move(email), std::move(password)};
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
  return changed_.wait_for(lock, timeout, [this] {
    for (const BrowserVisit& visit : visits_)
      if (!visit.finished) return false;
    return true;
  });
}

void EmbeddedBrowser::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    const size_t index = queue_.front();
    queue_.pop_front();
    const std::string url = visits_[index].url;
    const SignInUser user = user_;
    lock.unlock();
    PageLoad load = loadPage(url, user);
    lock.lock();
    visits_[index].load = std::move(load);
    visits_[index].finished = true;
    changed_.notify_all();
  }
}

}  // namespace creosim
