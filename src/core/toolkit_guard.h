// The one place the add-in catches the toolkit's exceptions. A call runs under
// the guard; whatever the toolkit throws comes back as a plain value that the
// add-in logs and decides on. Anything else the call throws travels on.
#pragma once

#include <optional>
#include <string>

// The toolkit exception classes the add-in tells apart; Other for any other one.
enum class ToolkitErrorKind {
  NotFound,
  Found,
  InvalidFile,
  MsgNotFound,
  BadContext,
  CantOpen,
  CantWrite,
  CantAccess,
  InvalidDir,
  LineTooLong,
  NoPermission,
  NotDisplayed,
  Unsupported,
  Other,
};

struct ToolkitError {
  ToolkitErrorKind kind = ToolkitErrorKind::Other;
  std::string className;   // e.g. "pfcXToolkitNotFound"
  std::string methodName;  // e.g. "pfcBaseSession::GetModelWindow"; empty when not known
  std::string message;
  int errorCode = 0;

  // What the log shows: the class name, followed by " in " and the method when known.
  std::string description() const;
};

// Sends a failure caught by the guard on to the guard of a caller.
[[noreturn]] void rethrowToolkitError(const ToolkitError& error);

std::optional<ToolkitError> runToolkitCall(void (*call)(const void* work), const void* work);

// Runs work(); returns the toolkit exception it threw, or nothing when it returned.
template <class Work>
std::optional<ToolkitError> catchToolkitError(const Work& work) {
  return runToolkitCall([](const void* w) { (*static_cast<const Work*>(w))(); }, &work);
}
