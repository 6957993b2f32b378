// The simulator's command language: one command per line, words separated by
// spaces, "#" starts a comment. Each group of commands registers itself here.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace creosim {

class AddinLibrary;
class CreoSimulator;

// What the commands share: the simulated Creo, where the add-in is and, once
// loaded, the add-in, and where results are written.
struct SimContext {
  CreoSimulator& simulator;
  std::filesystem::path addinFile;
  std::ostream& out;
  std::unique_ptr<AddinLibrary> addin;
  // From the registration file: without fail_tol TRUE a failed start ends Creo.
  std::string applicationName = "the add-in";
  bool failTolerant = true;
  ~SimContext();
};

using SimCommand = std::function<void(SimContext&, const std::vector<std::string>& args)>;

class CommandTable {
 public:
  void add(const std::string& name, const std::string& usage, SimCommand command);
  // Runs one line; false (with a message) when the command is unknown or failed.
  bool run(SimContext& context, const std::string& line);
  // Runs every line; stops at "quit" or at the first failure. False on a failure.
  // With a prompt, `beforePrompt` runs before each one.
  bool runAll(SimContext& context, std::istream& in, bool prompt, const std::function<void()>& beforePrompt = {});
  void printHelp(std::ostream& out) const;

 private:
  struct Entry {
    std::string usage;
    SimCommand command;
  };
  std::map<std::string, Entry> commands_;
};

}  // namespace creosim
