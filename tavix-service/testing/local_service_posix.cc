#include "local_service.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace tavixtest {
namespace {

using namespace std::chrono_literals;

std::filesystem::path makeFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tavixtest-service-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a folder for the service");
  return pattern;
}

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool hasExited(pid_t pid, int& status) { return waitpid(pid, &status, WNOHANG) == pid; }

// The service prints its control secret before it writes the port file; a
// restarted one prints a new secret after the old one.
std::string controlSecretIn(const std::string& printed) {
  const std::string prefix = "Test control secret: ";
  const size_t at = printed.rfind(prefix);
  if (at == std::string::npos) throw std::runtime_error("tavix-service printed no control secret:\n" + printed);
  const size_t start = at + prefix.size();
  return printed.substr(start, printed.find('\n', start) - start);
}

}  // namespace

LocalTavixService::LocalTavixService(std::optional<nlohmann::json> seed, std::vector<std::string> extraArguments)
    : folder_(makeFolder()), dataDir_(folder_ / "data"), outputFile_(folder_ / "service.log") {
  if (seed) {
    std::ofstream(folder_ / "seed.json") << seed->dump(2);
    extraArguments.insert(extraArguments.begin(), {"--seed", (folder_ / "seed.json").string()});
  }
  extraArguments_ = std::move(extraArguments);
  try {
    start(0);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    throw;
  }
}

void LocalTavixService::start(int port) {
  std::vector<std::string> arguments = {TAVIX_SERVICE_PROGRAM, "--port", std::to_string(port), "--data-dir",
                                        dataDir_.string(), "--port-file", (folder_ / "port").string()};
  arguments.insert(arguments.end(), extraArguments_.begin(), extraArguments_.end());
  std::filesystem::remove(folder_ / "port");
  // The service stops when this pipe closes, so it does not outlive a crashed test.
  int lifeline[2];
  if (pipe2(lifeline, O_CLOEXEC) != 0) throw std::runtime_error("cannot create a pipe for the service");
  lifeline_ = lifeline[1];
  arguments.push_back("--exit-with-stdin");
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, lifeline[0], STDIN_FILENO);
  // Appended: a restarted service's output follows the first one's.
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile_.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                   0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(lifeline[0]);
  if (failed) {
    pid_ = -1;
    close(lifeline_);
    throw std::runtime_error(std::string("cannot start ") + TAVIX_SERVICE_PROGRAM + ": " + std::strerror(failed));
  }

  // Sanitizer builds start slowly; a minute is generous for a healthy start.
  for (auto deadline = std::chrono::steady_clock::now() + 60s; std::chrono::steady_clock::now() < deadline;) {
    if (std::filesystem::exists(folder_ / "port")) {
      port_ = std::stoi(readFile(folder_ / "port"));
      baseUrl_ = "http://127.0.0.1:" + std::to_string(port_) + "/";
      controlSecret_ = controlSecretIn(output());
      return;
    }
    if (int status = 0; hasExited(pid_, status)) {
      pid_ = -1;
      close(lifeline_);
      throw std::runtime_error("tavix-service stopped while starting:\n" + output());
    }
    std::this_thread::sleep_for(10ms);
  }
  std::string printed = output();
  stopProcess();
  throw std::runtime_error("tavix-service did not start within a minute:\n" + printed);
}

bool LocalTavixService::waitForCrash(std::chrono::milliseconds limit) {
  int status = 0;
  for (auto deadline = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < deadline;) {
    if (hasExited(pid_, status)) {
      pid_ = -1;
      close(lifeline_);
      return true;
    }
    std::this_thread::sleep_for(5ms);
  }
  return false;
}

void LocalTavixService::restart() {
  if (pid_ > 0 && !waitForCrash(0ms)) stopProcess();
  start(port_);
}

LocalTavixService::~LocalTavixService() {
  stopProcess();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void LocalTavixService::stopProcess() {
  if (pid_ > 0) {
    close(lifeline_);
    kill(pid_, SIGTERM);
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!hasExited(pid_, status)) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(5ms);
    }
    pid_ = -1;
    // A crash or a sanitizer report in the service must not pass unseen.
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      std::fprintf(stderr, "tavix-service did not stop cleanly (status %d); it printed:\n%s\n", status,
                   output().c_str());
  }
}

std::string LocalTavixService::output() const { return readFile(outputFile_); }

long LocalTavixService::peakResidentKiB() const {
  std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

}  // namespace tavixtest
