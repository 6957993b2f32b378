// For the Linux tests that run the windows-x64 build's programs under wine.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace tavixtest {

// wine's loader; empty when wine is not installed.
std::filesystem::path wineLoader();
// A path as a program under wine sees it: the Linux root is drive Z:.
std::string windowsPathOf(const std::filesystem::path& path);
// The file's bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);
enum class WithFolders { kNo, kYes };
// The files under `folder` (and its folders, when asked), as relative paths with
// '/'; none when it does not exist.
std::set<std::string> filesUnder(const std::filesystem::path& folder, WithFolders withFolders = WithFolders::kNo);
// `text` in single quotes, for the shell.
std::string shellQuoted(const std::string& text);

struct WineRun {
  int exitCode = -1;
  std::string output;  // stdout and stderr
  double seconds = 0;  // until every program it started had ended
};

// The shell command that runs a Windows program under wine with UTF-8
// arguments, in the wine prefix `prefix` (wine's default when empty).
std::string wineCommand(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                        const std::filesystem::path& prefix = {});

enum class WaitFor { kProgram, kEveryProgramInPrefix };
// Runs wineCommand and, with a prefix, waits for every program it started
// there, as an uninstaller that copies itself away, to end too (unless told
// to wait for the program only, when another program there runs on).
WineRun runUnderWine(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                     const std::filesystem::path& prefix = {}, WaitFor waitFor = WaitFor::kEveryProgramInPrefix);

// creo-sim.exe started with the registration file `registration` (without one
// when empty: the add-in beside it) and `script`, in the working folder
// `workFolder` (created if missing).
WineRun runCreoSim(const std::filesystem::path& simulator, const std::filesystem::path& registration,
                   const std::filesystem::path& workFolder, const std::string& script,
                   const std::filesystem::path& prefix = {});

}  // namespace tavixtest
