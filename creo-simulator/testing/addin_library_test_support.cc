#include "testing/addin_library_test_support.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

InstalledAddin::InstalledAddin(const std::string& folderName, bool withClientLibrary) {
  std::random_device random;
  root_ = fs::temp_directory_path() / ("tvx-addin-" + std::to_string(random()) + std::to_string(random()));
  installFolder_ = root_ / folderName;
  workFolder_ = root_ / "work";
  fs::create_directories(installFolder_);
  fs::create_directories(workFolder_);
  fs::copy_file(TAVIX_ADDIN_FILE, installFolder_ / fs::path(TAVIX_ADDIN_FILE).filename());
  if (withClientLibrary)
    fs::copy_file(TAVIX_CLIENT_LIBRARY_FILE, installFolder_ / fs::path(TAVIX_CLIENT_LIBRARY_FILE).filename());
  fs::copy(fs::path(TAVIX_SOURCE_DIR) / "text", installFolder_ / "text", fs::copy_options::recursive);

  simulatorProgram_ = fs::absolute(TAVIX_SIMULATOR_FILE);
  previousDirectory_ = fs::current_path();
  fs::current_path(workFolder_);
  creosim::SimulatorOptions options;
  options.textDirectory = installFolder_ / "text";
  simulator_ = std::make_unique<creosim::CreoSimulator>(options);
}

InstalledAddin::~InstalledAddin() {
  std::error_code ignored;
  fs::current_path(previousDirectory_, ignored);
  simulator_.reset();
  fs::remove_all(root_, ignored);
}

fs::path InstalledAddin::addinFile() const { return installFolder_ / fs::path(TAVIX_ADDIN_FILE).filename(); }

std::vector<std::string> InstalledAddin::logMessages() const {
  std::ifstream file(workFolder_ / "tavix-integration.log", std::ios::binary);
  std::vector<std::string> messages;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t afterTimestamp = line.find("] ");
    messages.push_back(afterTimestamp == std::string::npos ? line : line.substr(afterTimestamp + 2));
  }
  return messages;
}

std::string InstalledAddin::logText() const {
  std::string text;
  for (const std::string& message : logMessages()) text += message + "\n";
  return text;
}

fs::path InstalledAddin::writeRegistration(const std::string& text) const {
  const fs::path file = root_ / "creotk.dat";
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
  return file;
}

namespace {

std::string quoted(const fs::path& path) { return "\"" + path.string() + "\""; }

}  // namespace

std::string InstalledAddin::runSimulator(const std::string& script) const {
  return runProgram("--addin " + quoted(addinFile()), script);
}

std::string InstalledAddin::runRegisteredSimulator(const fs::path& registration, const std::string& script) const {
  return runProgram("--registration " + quoted(registration), script);
}

std::string InstalledAddin::runProgram(const std::string& addinOption, const std::string& script) const {
  const fs::path scriptFile = root_ / "script.txt";
  const fs::path outputFile = root_ / "output.txt";
  std::ofstream(scriptFile) << script;
  std::string command = quoted(simulatorProgram_) + " " + addinOption + " --workdir " + quoted(workFolder_) +
                        " --script " + quoted(scriptFile) + " > " + quoted(outputFile) + " 2>&1";
#if defined(_WIN32)
  command = "\"" + command + "\"";  // cmd /c drops the outer quotes
#endif
  std::system(command.c_str());
  std::ifstream output(outputFile, std::ios::binary);
  std::ostringstream text;
  text << output.rdbuf();
  return text.str();
}
