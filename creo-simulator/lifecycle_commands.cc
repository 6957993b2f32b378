#include "lifecycle_commands.h"

#include <fstream>
#include <ostream>
#include <stdexcept>

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

void load(SimContext& context, const std::vector<std::string>&) {
  if (context.addin) throw std::runtime_error("the add-in is already loaded");
  context.addin = std::make_unique<AddinLibrary>(context.simulator, context.addinFile);
  const int result = context.addin->start();
  context.out << "user_initialize returned " << result << (result == 0 ? " (started)" : " (failed to start)")
              << "\n";
}

void press(SimContext& context, const std::vector<std::string>& args) {
  loadedAddin(context);
  const std::string command = args.empty() ? kCommandName : args.front();
  context.simulator.ribbon().pressButton(command);
  context.out << "pressed " << command << "\n";
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

}  // namespace

void addLifecycleCommands(CommandTable& table) {
  table.add("load", "load                 load the add-in and run user_initialize", load);
  table.add("press", "press [command]      press the ribbon button (default tavixRibbonButton)", press);
  table.add("unload", "unload               run user_terminate and unload the add-in", unload);
  table.add("ribbon", "ribbon               show the ribbon's buttons and their commands", ribbon);
  table.add("module", "module NAME          where the loaded module NAME (e.g. norvane.dll) came from", module);
  table.add("log", "log                  print tavix-integration.log from the working directory", showLog);
}

}  // namespace creosim
