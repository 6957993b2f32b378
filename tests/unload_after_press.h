// Creo unloads the add-in moments after a press whose Loading dialog failed
// once its worker had started: a worker left behind would wake seconds later
// in a library that is gone.
#pragma once

#include <gtest/gtest.h>

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

// The add-in's log after that script: each round's worker started, and none
// finished or wrote anything after the last "Tavix integration terminated.".
inline void expectNothingRanAfterTermination(const std::string& log, int rounds) {
  size_t started = 0;
  for (size_t at = log.find("[DEBUG] [Tavix] Loading worker started."); at != std::string::npos;
       at = log.find("[DEBUG] [Tavix] Loading worker started.", at + 1))
    ++started;
  EXPECT_EQ(started, static_cast<size_t>(rounds)) << log;
  const std::string terminated = "[DEBUG] [Tavix] Tavix integration terminated.\r\n";
  const size_t at = log.rfind(terminated);
  ASSERT_NE(at, std::string::npos) << log;
  EXPECT_EQ(log.substr(at + terminated.size()), "") << log;
  EXPECT_EQ(log.find("Loading worker completed."), std::string::npos) << log;
}
