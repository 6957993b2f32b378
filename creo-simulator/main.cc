// creo-sim: Creo as far as the add-in can tell. Loads an add-in library with
// its text folder, then runs commands from a script, from a person at the
// terminal, or by default: load, press the button, unload, show the log.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "addin_library.h"
#include "browser_commands.h"
#include "command_table.h"
#include "creo_simulator.h"
#include "dialog_commands.h"
#include "fault_commands.h"
#include "lifecycle_commands.h"
#include "model_commands.h"
#include "picture_commands.h"
#include "registration_file.h"
#include "scripted_dialog_user.h"
#include "terminal_browser_user.h"
#include "terminal_dialog_user.h"

namespace fs = std::filesystem;

namespace {

#if defined(_WIN32)
constexpr const char* kAddinFileName = "tavix-creo.dll";
#else
constexpr const char* kAddinFileName = "libtavix-creo.so";
#endif

constexpr const char* kDefaultScript = "load\npress\nunload\nlog\n";

constexpr const char* kUsage =
    "usage: creo-sim [--addin FILE | --registration protk.dat] [--text DIR] [--workdir DIR]\n"
    "                [--script FILE | --interactive] [--browser-command COMMAND]\n"
    "  --addin FILE          the add-in library (default: " "beside creo-sim)\n"
    "  --registration FILE   take the library and text folder from a registration file\n"
    "  --text DIR            the add-in's text folder, holding 'usascii' (default: 'text' beside the library)\n"
    "  --workdir DIR         Creo's working directory, where the log is written\n"
    "  --script FILE         run the commands in FILE\n"
    "  --interactive         read commands from the terminal; sign-in pages ask you too\n"
    "  --browser-command C   hand the embedded browser's addresses to program C (words\n"
    "                        separated by spaces, the address added as the last one)\n"
    "without --script or --interactive: load, press, unload, log\n";

struct Options {
  fs::path addin;
  std::optional<creosim::Registration> registration;
  fs::path text;
  fs::path workdir;
  fs::path script;
  bool interactive = false;
  std::vector<std::string> browserCommand;
};

bool parseOptions(int argc, char* argv[], Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--interactive") {
      options.interactive = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    if (flag == "--browser-command") {
      std::istringstream words(argv[++i]);
      options.browserCommand.clear();
      for (std::string word; words >> word;) options.browserCommand.push_back(word);
      if (options.browserCommand.empty()) return false;
      continue;
    }
    const fs::path value = argv[++i];
    if (flag == "--addin") {
      options.addin = value;
    } else if (flag == "--text") {
      options.text = value;
    } else if (flag == "--workdir") {
      options.workdir = value;
    } else if (flag == "--script") {
      options.script = value;
    } else if (flag == "--registration") {
      options.registration = creosim::readRegistrationFile(value);
      options.addin = options.registration->library;
      options.text = options.registration->textDirectory;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  Options options;
  try {
    if (!parseOptions(argc, argv, options)) {
      std::cerr << kUsage;
      return 2;
    }
    if (options.addin.empty()) options.addin = fs::absolute(argv[0]).parent_path() / kAddinFileName;
    options.addin = fs::absolute(options.addin);
    if (options.text.empty()) options.text = options.addin.parent_path() / "text";
    options.text = fs::absolute(options.text);
    if (!options.workdir.empty()) {
      fs::create_directories(options.workdir);
      fs::current_path(options.workdir);
    }
  } catch (const std::exception& e) {
    std::cerr << "creo-sim: " << e.what() << "\n";
    return 2;
  }

  creosim::SimulatorOptions simulatorOptions;
  simulatorOptions.textDirectory = options.text;
  creosim::CreoSimulator simulator(simulatorOptions);
  creosim::SimContext context{simulator, options.addin, std::cout, nullptr};
  if (options.registration) {
    context.applicationName = options.registration->name;
    context.failTolerant = options.registration->failTolerant;
  }

  creosim::CommandTable table;
  creosim::addLifecycleCommands(table);
  creosim::addBrowserCommands(table);
  creosim::addModelCommands(table);
  creosim::addFaultCommands(table);
  creosim::addPictureCommands(table);
  // A script answers dialogs with "answer"; at the terminal the person answers
  // whatever no "answer" covers. Either way "dialogs" shows what happened.
  auto scriptedUser = std::make_shared<creosim::ScriptedDialogUser>();
  creosim::addDialogCommands(table, scriptedUser);
  // While a dialog waits, the person may draw it or look at what happened so far.
  auto commandsWhileWaiting = [&table, &context](const std::string& line) {
    static const std::set<std::string> allowed = {"picture", "pictures", "dialogs", "log"};
    if (!allowed.count(line.substr(0, line.find(' ')))) return false;
    table.run(context, line);
    return true;
  };
  if (options.interactive)
    scriptedUser->answerUnscriptedWith(
        std::make_shared<creosim::TerminalDialogUser>(std::cin, std::cout, commandsWhileWaiting));
  simulator.dialogs().setUser(scriptedUser);
  if (!options.browserCommand.empty()) simulator.windows().browser().handAddressesTo(options.browserCommand);
  table.add("help", "help                 list the commands",
            [&table](creosim::SimContext& c, const std::vector<std::string>&) { table.printHelp(c.out); });

  bool ok = true;
  if (!options.script.empty()) {
    std::ifstream script(options.script);
    if (!script) {
      std::cerr << "creo-sim: cannot read " << options.script.string() << "\n";
      return 2;
    }
    ok = table.runAll(context, script, false);
  } else if (options.interactive) {
    creosim::TerminalBrowserUser browserUser(simulator.windows().browser(), std::cin, std::cout);
    ok = table.runAll(context, std::cin, true, [&browserUser] { browserUser.attend(); });
  } else {
    std::istringstream script(kDefaultScript);
    ok = table.runAll(context, script, false);
  }
  context.addin.reset();
  return ok ? 0 : 1;
}
