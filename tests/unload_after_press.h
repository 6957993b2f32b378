// Creo unloads the add-in moments after a press whose Loading dialog failed
// once its worker had started: a worker left behind would wake seconds later
// in a library that is gone.
#pragma once

#include <string>

// creo-sim commands: `rounds` times load, a press whose Loading dialog fails
// on its second activation, the Start dialog closed, unload; then four seconds
// with nothing done, more than a worker left behind waits.
inline std::string unloadAfterPressScript(int rounds) {
  std::string script;
  for (int round = 0; round < rounds; ++round)
    script +=
        "load\n"
        "fault uifcActivateDialog pfcXToolkitNotDisplayed 1 after 1\n"
        "answer Start close\n"
        "press\n"
        "unload\n";
  return script + "pause 4\n";
}

// What the add-in logged after its last "Tavix integration terminated." line;
// all of it when that line is missing.
inline std::string loggedAfterTermination(const std::string& log) {
  const std::string terminated = "[DEBUG] [Tavix] Tavix integration terminated.\r\n";
  const size_t at = log.rfind(terminated);
  return at == std::string::npos ? log : log.substr(at + terminated.size());
}
