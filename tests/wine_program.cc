#include "wine_program.h"

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

WineRun runUnderWine(const fs::path& program, const std::vector<std::string>& arguments, const fs::path& prefix) {
  const fs::path wine = wineLoader();
  // wine reads the arguments in the locale's encoding.
  std::string environment = "WINEDEBUG=-all LC_ALL=C.UTF-8 ";
  if (!prefix.empty()) environment += "WINEPREFIX=" + shellQuoted(prefix.string()) + " ";
  std::string command = environment + shellQuoted(wine.string()) + " " + shellQuoted(program.string());
  for (const std::string& argument : arguments) command += " " + shellQuoted(argument);
  command += " 2>&1";
  if (!prefix.empty()) {
    const fs::path wineserver = wine.parent_path() / "wineserver";
    command = "{ " + command + "; status=$?; " + environment + shellQuoted(wineserver.string()) + " -w; exit $status; }";
  }

  const auto start = std::chrono::steady_clock::now();
  WineRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, read);
  const int status = pclose(pipe);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

WineRun runCreoSim(const fs::path& simulator, const fs::path& registration, const fs::path& workFolder,
                   const std::string& script, const fs::path& prefix) {
  fs::create_directories(workFolder);
  const fs::path scriptFile = workFolder.parent_path() / "script.sim";
  std::ofstream(scriptFile, std::ios::binary | std::ios::trunc) << script;
  return runUnderWine(simulator,
                      {"--registration", windowsPathOf(registration), "--workdir", windowsPathOf(workFolder), "--script",
                       windowsPathOf(scriptFile)},
                      prefix);
}

}  // namespace tavixtest
