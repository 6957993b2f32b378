// The ribbon: definition files and the command texts and icons read from the
// add-in's text folder, the commands registered by name, and the buttons a
// user presses.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/pfc_session.h"
#include "text_folder.h"

namespace creosim {

class FaultInjector;
class SimUICommand;

// What Creo shows for one registered command.
struct RibbonCommandView {
  std::string name;
  std::string label;
  std::string help;
  std::string description;
  std::filesystem::path icon;  // empty until SetIcon
};

class Ribbon {
 public:
  Ribbon(FaultInjector& faults, TextFolder text);
  ~Ribbon();

  // Reads a ribbon definition file; a missing or malformed one throws pfcXToolkitInvalidFile.
  void loadDefinitionFile(const std::string& fileName);
  // A second command of the same name throws pfcXToolkitFound.
  pfcUICommand_ptr createCommand(const std::string& name, const pfcUICommandActionListener_ptr& action);

  // The user presses the ribbon button bound to `commandName`. pfcXToolkitNotFound
  // when no loaded ribbon file has such a button or no command of that name exists.
  // Whatever escapes the command's action is recorded in problems().
  void pressButton(const std::string& commandName);
  // Exceptions that escaped a command's action, which Creo would not survive.
  const std::vector<std::string>& problems() const { return problems_; }

  // Commands bound to buttons of the loaded ribbon files, in file order.
  std::vector<std::string> buttonCommands() const { return buttonCommands_; }
  bool hasCommand(const std::string& name) const { return commands_.count(name) != 0; }
  RibbonCommandView commandView(const std::string& name) const;
  // Drops every command and its action; called before the add-in that made them is unloaded.
  void releaseCommands();

  // Used by the commands: the entries of a message file and the checked icon path.
  std::map<std::string, std::string> readMessageFile(const std::string& fileName) const;
  std::filesystem::path checkedIcon(const std::string& fileName) const;

 private:
  FaultInjector& faults_;
  TextFolder text_;
  std::vector<std::string> buttonCommands_;
  std::map<std::string, std::shared_ptr<SimUICommand>> commands_;
  std::vector<std::string> problems_;
};

}  // namespace creosim
