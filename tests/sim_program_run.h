// The creo-sim program run as a person or a script runs it, against a local
// Tavix service: Creo's working directory is the log's, with a properties file
// that points the add-in at the service, and a temporary directory of its own.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/testing/log_capture.h"
#include "local_service.h"

struct SimProgramRun {
  int exitCode = -1;
  std::string output;  // stdout and stderr
  bool started = true;  // false when the machine had no terminal to give it
};

// Writes the tavix.properties into `folder` that points the add-in at `service`, logging at debug level.
void writeServiceProperties(const std::filesystem::path& folder, const tavixtest::LocalTavixService& service);

// Runs creo-sim with `arguments` (shell words) and `input` as its standard input.
SimProgramRun runSimProgram(const LogCapture& log, const tavixtest::LocalTavixService& service,
                            const std::string& arguments, const std::string& input);

// Runs creo-sim with `arguments` at a terminal of its own (a pseudo-terminal), as
// a person types: each answer is typed once its prompt has been shown. The
// output is what the person sees, typed characters the terminal echoed included.
// Ends with the program or, failing that, after 60 s.
using TerminalExchange = std::pair<std::string, std::string>;  // prompt, then the line typed
SimProgramRun runSimProgramAtTerminal(const LogCapture& log, const tavixtest::LocalTavixService& service,
                                      const std::string& arguments, const std::vector<TerminalExchange>& exchanges);
