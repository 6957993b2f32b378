#include "browser_commands.h"

#include <ostream>
#include <stdexcept>

#include "creo_simulator.h"

namespace creosim {

namespace {

void signInUser(SimContext& context, const std::vector<std::string>& args) {
  if (args.size() != 2) throw std::runtime_error("usage: signin-user EMAIL PASSWORD");
  context.simulator.windows().browser().setSignInUser(args[0], args[1]);
  context.out << "the browser signs in as " << args[0] << "\n";
}

// Waits for the pages still loading, then lists every address shown, without queries.
void browser(SimContext& context, const std::vector<std::string>& args) {
  const int seconds = args.empty() ? 60 : std::stoi(args.front());
  EmbeddedBrowser& browser = context.simulator.windows().browser();
  if (!browser.waitUntilIdle(std::chrono::seconds(seconds)))
    context.out << "(pages still loading after " << seconds << " s)\n";
  for (const BrowserVisit& visit : browser.visits()) {
    context.out << "window " << visit.windowId << ": " << addressWithoutQuery(visit.url) << "\n";
    if (!visit.finished) continue;
    const PageLoad& load = visit.load;
    if (load.handedOver)
      context.out << "  -> handed to the browser program\n";
    else
      context.out << "  -> " << (load.status ? std::to_string(load.status) : "no answer") << " from "
                  << addressWithoutQuery(load.finalUrl) << (load.submittedSignIn ? " (signed in)" : "") << "\n";
    if (!load.error.empty()) context.out << "  " << load.error << "\n";
  }
}

}  // namespace

void addBrowserCommands(CommandTable& table) {
  table.add("signin-user", "signin-user EMAIL PASSWORD  the account the browser signs in with", signInUser);
  table.add("browser", "browser [seconds]    wait for the browser, then list the addresses it showed", browser);
}

}  // namespace creosim
