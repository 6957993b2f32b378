// Creo calls into the add-in (start-up, the ribbon action, dialog listeners) and
// expects nothing to come back but a result. What escapes anyway is caught here
// and described, so that the simulator can report it instead of crashing.
#pragma once

#include <exception>
#include <optional>
#include <string>

#include "fault_injector.h"
#include "host/toolkit_errors.h"
#include "sim_text.h"

namespace creosim {

// A toolkit exception as the simulator reports it: its class, and the method when known.
inline std::string describeToolkitException(xthrowable* error) {
  std::string text = textOf(error->getCipTypeName());
  auto* toolkitError = dynamic_cast<pfcXToolkitError*>(error);
  const std::string method = toolkitError ? textOf(toolkitError->GetMethodName()) : std::string();
  return method.empty() ? text : text + " in " + method;
}

// Runs `call`; returns what escaped it, or nothing when it returned normally.
template <class Call>
std::optional<std::string> escapedFrom(Call&& call) {
  try {
    call();
    return std::nullopt;
  }
  xcatchbegin
  xcatchcip(error) return describeToolkitException(error);
  xcatchend
  catch (const std::exception& error) {
    return std::string(error.what());
  } catch (const SimulatedProcessorFault&) {
    return std::string("a processor fault");
  } catch (...) {
    return std::string("an unknown exception");
  }
}

}  // namespace creosim
