#include "sim_program_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

}  // namespace

SimProgramRun runSimProgram(const LogCapture& log, const tavixtest::LocalTavixService& service,
                            const std::string& arguments, const std::string& input) {
  const fs::path work = log.directory();
  std::ofstream(work / "tavix.properties") << "tavix_creo_login_url=" << service.baseUrl() << "\n"
                                           << "tavix_creo_server_url=" << service.baseUrl() << "\n"
                                           << "tavix_creo_client_id=" << tavixtest::kLocalClientId << "\n"
                                           << "tavix_creo_log_level=debug\n";
  // Start-up removes every "tavix-" folder it finds in the temporary directory:
  // give it one of its own.
  fs::create_directories(work / "temp");
  std::ofstream(work / "input.txt") << input;
  const std::string command = "TMPDIR=" + quoted(work / "temp") + " " + quoted(TAVIX_SIMULATOR_FILE) +
                              " --workdir " + quoted(work) + " " + arguments + " <" + quoted(work / "input.txt") +
                              " >" + quoted(work / "output.txt") + " 2>&1";
  SimProgramRun run;
  const int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ostringstream output;
  output << std::ifstream(work / "output.txt").rdbuf();
  run.output = output.str();
  return run;
}
