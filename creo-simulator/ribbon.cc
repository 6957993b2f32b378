#include "ribbon.h"

#include <fstream>
#include <optional>
#include <regex>
#include <sstream>

#include "escaped_exception.h"
#include "fault_injector.h"
#include "host/toolkit_errors.h"
#include "sim_text.h"

namespace creosim {

namespace fs = std::filesystem;

class SimUICommand : public pfcUICommand {
 public:
  SimUICommand(Ribbon& ribbon, FaultInjector& faults, std::string name, pfcUICommandActionListener_ptr action)
      : ribbon_(ribbon), faults_(faults), action_(std::move(action)) {
    view_.name = std::move(name);
  }

  void Designate(xrstring messageFile, xrstring labelKey, xrstring helpKey, xrstring descriptionKey) override {
    faults_.check("pfcUICommand::Designate");
    const std::map<std::string, std::string> messages = ribbon_.readMessageFile(textOf(messageFile));
    auto text = [&](const std::string& key) {
      auto it = messages.find(key);
      if (it == messages.end()) throw new pfcXToolkitMsgNotFound("pfcUICommand::Designate");
      return it->second;
    };
    RibbonCommandView designated = view_;
    designated.label = text(textOf(labelKey));
    designated.help = text(textOf(helpKey));
    designated.description = text(textOf(descriptionKey));
    view_ = designated;
  }

  void SetIcon(xrstring iconFile) override {
    faults_.check("pfcUICommand::SetIcon");
    view_.icon = ribbon_.checkedIcon(textOf(iconFile));
  }

  const RibbonCommandView& view() const { return view_; }
  const pfcUICommandActionListener_ptr& action() const { return action_; }

 private:
  Ribbon& ribbon_;
  FaultInjector& faults_;
  pfcUICommandActionListener_ptr action_;
  RibbonCommandView view_;
};

namespace {

// Empty when there is no such file.
std::optional<std::string> readWholeFile(const std::optional<fs::path>& path) {
  if (!path) return std::nullopt;
  std::ifstream in(*path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A ribbon definition: one <ribbon> element holding <button command="..."/> elements.
std::vector<std::string> parseRibbonDefinition(const std::string& text) {
  const size_t open = text.find("<ribbon");
  const size_t close = text.rfind("</ribbon>");
  if (open == std::string::npos || close == std::string::npos || close < open)
    throw new pfcXToolkitInvalidFile("pfcSession::RibbonDefinitionfileLoad");

  std::vector<std::string> commands;
  static const std::regex button(R"(<button\b([^>]*)>)");
  static const std::regex command(R"(\bcommand\s*=\s*"([^"]+)\")");
  const std::string body = text.substr(open, close - open);
  for (std::sregex_iterator it(body.begin(), body.end(), button), end; it != end; ++it) {
    const std::string attributes = (*it)[1];
    std::smatch name;
    if (!std::regex_search(attributes, name, command))
      throw new pfcXToolkitInvalidFile("pfcSession::RibbonDefinitionfileLoad");
    commands.push_back(name[1]);
  }
  if (commands.empty()) throw new pfcXToolkitInvalidFile("pfcSession::RibbonDefinitionfileLoad");
  return commands;
}

bool isPng(const std::string& bytes) {
  static const std::string signature("\x89PNG\r\n\x1a\n", 8);
  return bytes.size() > 33 && bytes.compare(0, 8, signature) == 0 && bytes.compare(12, 4, "IHDR") == 0;
}

}  // namespace

Ribbon::Ribbon(FaultInjector& faults, TextFolder text) : faults_(faults), text_(std::move(text)) {}

Ribbon::~Ribbon() = default;

void Ribbon::loadDefinitionFile(const std::string& fileName) {
  const std::optional<std::string> text = readWholeFile(text_.ribbonFile(fileName));
  if (!text) throw new pfcXToolkitInvalidFile("pfcSession::RibbonDefinitionfileLoad");
  for (std::string& command : parseRibbonDefinition(*text)) buttonCommands_.push_back(std::move(command));
}

pfcUICommand_ptr Ribbon::createCommand(const std::string& name, const pfcUICommandActionListener_ptr& action) {
  if (commands_.count(name)) throw new pfcXToolkitFound("pfcSession::UICreateCommand");
  auto command = std::make_shared<SimUICommand>(*this, faults_, name, action);
  commands_[name] = command;
  return command.get();
}

void Ribbon::pressButton(const std::string& commandName) {
  bool onRibbon = false;
  for (const std::string& bound : buttonCommands_) onRibbon = onRibbon || bound == commandName;
  auto it = commands_.find(commandName);
  if (!onRibbon || it == commands_.end()) throw new pfcXToolkitNotFound("pfcUICommandActionListener::OnCommand");
  // Keep the action alive even if the command is released while it runs.
  pfcUICommandActionListener_ptr action = it->second->action();
  if (std::optional<std::string> escaped = escapedFrom([&] { action->OnCommand(); }))
    problems_.push_back("the action of " + commandName + " let an exception escape from OnCommand: " + *escaped);
}

RibbonCommandView Ribbon::commandView(const std::string& name) const {
  auto it = commands_.find(name);
  if (it == commands_.end()) throw new pfcXToolkitNotFound("Ribbon::commandView");
  return it->second->view();
}

void Ribbon::releaseCommands() {
  commands_.clear();
  buttonCommands_.clear();
}

std::map<std::string, std::string> Ribbon::readMessageFile(const std::string& fileName) const {
  const std::optional<std::string> text = readWholeFile(text_.messageFile(fileName));
  if (!text) throw new pfcXToolkitMsgNotFound("pfcUICommand::Designate");

  // Entries of four lines: key, text, and two more lines ("#" each).
  std::vector<std::string> lines;
  std::istringstream in(*text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  std::map<std::string, std::string> messages;
  for (size_t i = 0; i + 1 < lines.size(); i += 4) messages[lines[i]] = lines[i + 1];
  return messages;
}

fs::path Ribbon::checkedIcon(const std::string& fileName) const {
  const std::optional<fs::path> path = text_.resourceFile(fileName);
  const std::optional<std::string> bytes = readWholeFile(path);
  if (!bytes || !isPng(*bytes)) throw new pfcXToolkitInvalidFile("pfcUICommand::SetIcon");
  return *path;
}

}  // namespace creosim
