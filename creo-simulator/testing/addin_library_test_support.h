// An add-in installed into a fresh folder of its own (library, optionally the
// client library, and the text folder), with Creo's working directory elsewhere.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "addin_library.h"
#include "creo_simulator.h"

class InstalledAddin {
 public:
  explicit InstalledAddin(const std::string& folderName, bool withClientLibrary = true);
  ~InstalledAddin();

  creosim::CreoSimulator& simulator() { return *simulator_; }
  const std::filesystem::path& installFolder() const { return installFolder_; }
  std::filesystem::path addinFile() const;
  // The log's messages without their timestamps, e.g. "[INFO] [Tavix] ...".
  std::vector<std::string> logMessages() const;
  std::string logText() const;
  // Writes a registration file for this installation, beside the install folder.
  std::filesystem::path writeRegistration(const std::string& text) const;
  // Runs the creo-sim program on this installation, in a process of its own,
  // with `script` as its commands; returns what it printed. The add-in is given
  // by path, or by a registration file.
  std::string runSimulator(const std::string& script) const;
  std::string runRegisteredSimulator(const std::filesystem::path& registration, const std::string& script) const;

 private:
  std::string runProgram(const std::string& addinOption, const std::string& script) const;

  std::filesystem::path root_;
  std::filesystem::path installFolder_;
  std::filesystem::path workFolder_;
  std::filesystem::path previousDirectory_;
  std::filesystem::path simulatorProgram_;
  std::unique_ptr<creosim::CreoSimulator> simulator_;
};
