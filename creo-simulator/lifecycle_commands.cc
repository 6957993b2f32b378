#include "lifecycle_commands.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <thread>

#include "addin_library.h"
#include "creo_simulator.h"
#include "loaded_module.h"

namespace creosim {

namespace {

constexpr const char* kCommandName = "tavixRibbonButton";
constexpr const char* kLogFileName = "tavix-integration.log";

AddinLibrary& loadedAddin(SimContext& context) {
  if (!context.addin) throw std::runtime_error("no add-in is loaded (use: load)");
  return *context.addin;
}

// Shows what escaped into Creo while a command ran, as it happens.
void reportNewProblems(SimContext& context, size_t known) {
  const std::vector<std::string> problems = context.simulator.problems();
  for (size_t i = known; i < problems.size(); ++i) context.out << "Creo problem: " << problems[i] << "\n";
}

void load(SimContext& context, const std::vector<std::string>&) {
  if (context.addin) throw std::runtime_error("the add-in is already loaded");
  context.addin = std::make_unique<AddinLibrary>(context.simulator, context.addinFile);
  const size_t known = context.simulator.problems().size();
  const int result = context.addin->start();
  context.out << "user_initialize returned " << result << (result == 0 ? " (started)" : " (failed to start)")
              << "\n";
  reportNewProblems(context, known);
  if (result == 0) return;
  if (context.failTolerant) {
    context.out << context.applicationName << " did not start; Creo carries on without it\n";
    return;
  }
  // Creo shuts down with its foreign programs, this one unloaded first.
  context.addin.reset();
  throw std::runtime_error(context.applicationName +
                           " did not start and its registration has no \"fail_tol TRUE\": Creo shuts down");
}

void press(SimContext& context, const std::vector<std::string>& args) {
  loadedAddin(context);
  const std::string command = args.empty() ? kCommandName : args.front();
  const size_t known = context.simulator.problems().size();
  context.simulator.ribbon().pressButton(command);
  context.out << "pressed " << command << "\n";
  reportNewProblems(context, known);
}

void unload(SimContext& context, const std::vector<std::string>&) {
  loadedAddin(context);
  context.addin.reset();
  context.out << "add-in unloaded\n";
}

void ribbon(SimContext& context, const std::vector<std::string>&) {
  Ribbon& ribbon = context.simulator.ribbon();
  for (const std::string& command : ribbon.buttonCommands()) {
    context.out << "button -> " << command;
    if (ribbon.hasCommand(command)) {
      const RibbonCommandView view = ribbon.commandView(command);
      context.out << ": \"" << view.label << "\" (" << view.help << ") icon=" << view.icon.filename().string();
    } else {
      context.out << ": no command registered";
    }
    context.out << "\n";
  }
}

void showLog(SimContext& context, const std::vector<std::string>&) {
  std::ifstream log(kLogFileName, std::ios::binary);
  if (!log) throw std::runtime_error(std::string("no ") + kLogFileName + " in the working directory");
  context.out << log.rdbuf();
}

void module(SimContext& context, const std::vector<std::string>& args) {
  if (args.empty()) throw std::runtime_error("usage: module NAME");
  const std::optional<std::filesystem::path> path = loadedModulePath(args.front());
  context.out << args.front() << ": " << (path ? path->string() : std::string("not loaded")) << "\n";
}

// wait-log TEXT... [seconds]: waits until the log holds TEXT, for work that the
// add-in finishes on a thread of its own (the sign-in).
void waitForLog(SimContext& context, const std::vector<std::string>& args) {
  std::vector<std::string> words = args;
  int seconds = 10;
  if (words.size() > 1 && words.back().find_first_not_of("0123456789") == std::string::npos) {
    seconds = std::stoi(words.back());
    words.pop_back();
  }
  if (words.empty()) throw std::invalid_argument("usage: wait-log TEXT... [seconds]");
  std::string text = words.front();
  for (size_t i = 1; i < words.size(); ++i) text += " " + words[i];
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (true) {
    std::ifstream log(kLogFileName, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    if (content.find(text) != std::string::npos) break;
    if (std::chrono::steady_clock::now() >= deadline)
      throw std::runtime_error("the log did not show \"" + text + "\" within " + std::to_string(seconds) + " s");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  context.out << "log shows \"" << text << "\"\n";
}

// pause SECONDS: time passes with nothing done, as between a person's commands;
// threads the add-in left behind show themselves in it.
void pause(SimContext& context, const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() || args[0].find_first_not_of("0123456789") != std::string::npos)
    throw std::invalid_argument("usage: pause SECONDS");
  std::this_thread::sleep_for(std::chrono::seconds(std::stoi(args[0])));
  context.out << "paused " << args[0] << " s\n";
}

}  // namespace

void addLifecycleCommands(CommandTable& table) {
  table.add("load", "load                 load the add-in and run user_initialize", load);
  table.add("press", "press [command]      press the ribbon button (default tavixRibbonButton)", press);
  table.add("unload", "unload               run user_terminate and unload the add-in", unload);
  table.add("ribbon", "ribbon               show the ribbon's buttons and their commands", ribbon);
  table.add("module", "module NAME          where the loaded module NAME (e.g. norvane.dll) came from", module);
  table.add("wait-log", "wait-log TEXT [seconds]  wait until the log shows TEXT (default 10 s)", waitForLog);
  table.add("pause", "pause SECONDS        let time pass with nothing done", pause);
  table.add("log", "log                  print tavix-integration.log from the working directory", showLog);
}

}  // namespace creosim
