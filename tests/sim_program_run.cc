#include "sim_program_run.h"

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// The shell command that starts creo-sim in the log's folder, pointed at the service.
std::string simProgramCommand(const LogCapture& log, const tavixtest::LocalTavixService& service,
                              const std::string& arguments) {
  const fs::path work = log.directory();
  writeServiceProperties(work, service);
  // Start-up removes every "tavix-" folder it finds in the temporary directory:
  // give it one of its own.
  fs::create_directories(work / "temp");
  return "TMPDIR=" + quoted(work / "temp") + " " + quoted(TAVIX_SIMULATOR_FILE) + " --workdir " + quoted(work) + " " +
         arguments;
}

}  // namespace

void writeServiceProperties(const fs::path& folder, const tavixtest::LocalTavixService& service) {
  fs::create_directories(folder);
  std::ofstream(folder / "tavix.properties") << "tavix_creo_login_url=" << service.baseUrl() << "\n"
                                             << "tavix_creo_server_url=" << service.baseUrl() << "\n"
                                             << "tavix_creo_client_id=" << tavixtest::kLocalClientId << "\n"
                                             << "tavix_creo_log_level=debug\n";
}

SimProgramRun runSimProgram(const LogCapture& log, const tavixtest::LocalTavixService& service,
                            const std::string& arguments, const std::string& input) {
  const fs::path work = log.directory();
  const std::string command = simProgramCommand(log, service, arguments);
  std::ofstream(work / "input.txt") << input;
  SimProgramRun run;
  const int status = std::system(
      (command + " <" + quoted(work / "input.txt") + " >" + quoted(work / "output.txt") + " 2>&1").c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ostringstream output;
  output << std::ifstream(work / "output.txt").rdbuf();
  run.output = output.str();
  return run;
}

SimProgramRun runSimProgramAtTerminal(const LogCapture& log, const tavixtest::LocalTavixService& service,
                                      const std::string& arguments, const std::vector<TerminalExchange>& exchanges) {
  const std::string command = simProgramCommand(log, service, arguments);
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  SimProgramRun run;
  if (child < 0) {
    run.started = false;
    run.output = std::string("no pseudo-terminal: ") + std::strerror(errno);
    return run;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  size_t next = 0;
  size_t searchedFrom = 0;
  for (;;) {
    if (next < exchanges.size()) {
      const size_t prompt = run.output.find(exchanges[next].first, searchedFrom);
      if (prompt != std::string::npos) {
        const std::string line = exchanges[next].second + "\n";
        if (write(terminal, line.data(), line.size()) < 0) break;
        searchedFrom = prompt + exchanges[next].first.size();
        ++next;
        continue;
      }
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      break;
    }
    pollfd ready{terminal, POLLIN, 0};
    if (poll(&ready, 1, 200) <= 0) continue;
    char buffer[4096];
    const ssize_t got = read(terminal, buffer, sizeof buffer);
    if (got <= 0) break;  // the program ended and closed its terminal
    run.output.append(buffer, static_cast<size_t>(got));
  }
  close(terminal);
  int status = 0;
  waitpid(child, &status, 0);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
