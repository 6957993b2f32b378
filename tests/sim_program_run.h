// The creo-sim program run as a person or a script runs it, against a local
// Tavix service: Creo's working directory is the log's, with a properties file
// that points the add-in at the service, and a temporary directory of its own.
#pragma once

#include <string>

#include "core/testing/log_capture.h"
#include "local_service.h"

struct SimProgramRun {
  int exitCode = -1;
  std::string output;  // stdout and stderr
};

// Runs creo-sim with `arguments` (shell words) and `input` as its standard input.
SimProgramRun runSimProgram(const LogCapture& log, const tavixtest::LocalTavixService& service,
                            const std::string& arguments, const std::string& input);
