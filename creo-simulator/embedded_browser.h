// The browser embedded in Creo's windows. SetURL hands it an address and
// returns at once, as Creo's does; the page loads on the browser's own thread.
// A page that holds the local Tavix service's sign-in form is filled in and
// submitted for the configured user, or waits for the person at the terminal
// to fill it in, so a sign-in reaches the client library's loopback listener
// the way a person's would. Only loopback hosts are fetched; other addresses
// are recorded and not fetched. Pages may be handed to an outside browser
// program instead.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "browser_fetch.h"

namespace creosim {

// One navigation: the window it was shown in and what came of it.
struct BrowserVisit {
  int windowId = 0;
  std::string url;       // as SetURL received it
  bool finished = false;
  PageLoad load;         // valid once finished
};

class EmbeddedBrowser {
 public:
  EmbeddedBrowser();
  ~EmbeddedBrowser();
  EmbeddedBrowser(const EmbeddedBrowser&) = delete;
  EmbeddedBrowser& operator=(const EmbeddedBrowser&) = delete;

  // The account a sign-in form is submitted for; without one, forms are left
  // alone unless a person fills them in.
  void setSignInUser(std::string email, std::string password);
  // From now on a sign-in form without an account waits for the person.
  void letPersonSignIn();
  // Waits until every page has loaded or one waits for the person: that page, else nothing.
  std::optional<SignInPage> waitForPerson(std::chrono::milliseconds timeout) const;
  // Submits the waiting page with the person's fields; nothing leaves it as it is.
  void answerPerson(std::optional<FormFields> fields);
  // From now on every address goes to this program (its words, then the address) and is not loaded here.
  void handAddressesTo(std::vector<std::string> command);

  // Records the address and queues it for loading.
  void navigate(int windowId, const std::string& url);

  // Every navigation so far, in order, finished or not.
  std::vector<BrowserVisit> visits() const;
  // True when every queued navigation has finished within the time.
  bool waitUntilIdle(std::chrono::milliseconds timeout) const;

 private:
  void run();
  bool allFinished() const;  // with mutex_ held
  std::optional<FormFields> fillIn(const SignInPage& page);

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<BrowserVisit> visits_;
  std::deque<size_t> queue_;  // indexes into visits_
  std::string email_;
  std::string password_;
  bool personSignsIn_ = false;
  std::optional<SignInPage> waitingForPerson_;
  std::optional<std::optional<FormFields>> personAnswer_;
  std::vector<std::string> outsideBrowser_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace creosim
