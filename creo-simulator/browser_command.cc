#include "browser_command.h"

#include <algorithm>

#if defined(_WIN32)
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace creosim {

namespace {

// What a program reads as one argument on every platform: Windows joins the
// arguments with spaces and no quoting.
bool isPlainAddress(const std::string& url) {
  return std::all_of(url.begin(), url.end(), [](unsigned char c) { return c > ' ' && c < 127 && c != '"'; });
}

// The program's exit code, or -1 when it could not be run or did not exit.
int runToEnd(const std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
#if defined(_WIN32)
  return static_cast<int>(_spawnvp(_P_WAIT, argv[0], argv.data()));
#else
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
#endif
}

}  // namespace

PageLoad handToOutsideBrowser(const std::vector<std::string>& command, const std::string& url) {
  PageLoad load;
  load.addresses.push_back(url);
  load.finalUrl = url;
  load.error = refusalToLoad(url);
  if (load.error.empty() && !isPlainAddress(url)) load.error = "not handed over: not a plain address";
  if (!load.error.empty()) return load;
  std::vector<std::string> words = command;
  words.push_back(url);
  load.handedOver = true;
  if (const int exitCode = runToEnd(words); exitCode != 0)
    load.error = "the browser program " + command.front() + " ended with " + std::to_string(exitCode);
  return load;
}

}  // namespace creosim
