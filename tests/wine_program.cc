#include "wine_program.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace tavixtest {

fs::path wineLoader() {
  for (const char* candidate : {"/usr/lib/wine/wine64", "/usr/bin/wine64", "/usr/bin/wine"})
    if (fs::exists(candidate)) return candidate;
  return {};
}

std::string windowsPathOf(const fs::path& path) {
  std::string text = "Z:" + fs::absolute(path).string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

std::string readFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::set<std::string> filesUnder(const fs::path& folder, WithFolders withFolders) {
  std::set<std::string> files;
  if (!fs::exists(folder)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file() || withFolders == WithFolders::kYes)
      files.insert(entry.path().lexically_relative(folder).generic_string());
  return files;
}

std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

namespace {

// wine reads the arguments in the locale's encoding.
std::string wineEnvironment(const fs::path& prefix) {
  std::string environment = "WINEDEBUG=-all LC_ALL=C.UTF-8 ";
  if (!prefix.empty()) environment += "WINEPREFIX=" + shellQuoted(prefix.string()) + " ";
  return environment;
}

}  // namespace

std::string wineCommand(const fs::path& program, const std::vector<std::string>& arguments, const fs::path& prefix) {
  std::string command = wineEnvironment(prefix) + shellQuoted(wineLoader().string()) + " " + shellQuoted(program.string());
  for (const std::string& argument : arguments) command += " " + shellQuoted(argument);
  return command;
}

WineRun runUnderWine(const fs::path& program, const std::vector<std::string>& arguments, const fs::path& prefix,
                     WaitFor waitFor) {
  // Output to a file, not a pipe: wine's own helper programs, which may outlive
  // the program, would hold a pipe open.
  char output[] = "/tmp/wine-run-XXXXXX";
  const int outputFile = mkstemp(output);
  if (outputFile < 0) return {};
  close(outputFile);
  std::string command = wineCommand(program, arguments, prefix) + " > " + shellQuoted(output) + " 2>&1";
  if (!prefix.empty() && waitFor == WaitFor::kEveryProgramInPrefix) {
    const fs::path wineserver = wineLoader().parent_path() / "wineserver";
    command = "{ " + command + "; status=$?; " + wineEnvironment(prefix) + shellQuoted(wineserver.string()) +
              " -w; exit $status; }";
  }

  const auto start = std::chrono::steady_clock::now();
  WineRun run;
  const int status = std::system(command.c_str());
  run.output = readFile(output);
  fs::remove(output);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

WineRun runCreoSim(const fs::path& simulator, const fs::path& registration, const fs::path& workFolder,
                   const std::string& script, const fs::path& prefix) {
  fs::create_directories(workFolder);
  const fs::path scriptFile = workFolder.parent_path() / "script.sim";
  std::ofstream(scriptFile, std::ios::binary | std::ios::trunc) << script;
  std::vector<std::string> arguments = {"--workdir", windowsPathOf(workFolder), "--script", windowsPathOf(scriptFile)};
  if (!registration.empty()) arguments.insert(arguments.begin(), {"--registration", windowsPathOf(registration)});
  return runUnderWine(simulator, arguments, prefix);
}

}  // namespace tavixtest
