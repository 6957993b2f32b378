#include "core/toolkit_guard.h"

#include <pfcExceptions.h>

#include "core/toolkit_text.h"

namespace {

// What rethrowToolkitError throws: the toolkit's own exception is deleted where
// it was caught, and the guard further up finds the same failure in this one.
struct RethrownToolkitError {
  ToolkitError error;
};

ToolkitError toolkitErrorOf(ToolkitErrorKind kind, pfcXToolkitError* e) {
  ToolkitError error;
  error.kind = kind;
  error.className = fromXstring(e->getCipTypeName());
  error.methodName = fromXstring(e->GetMethodName());
  error.message = fromXstring(e->GetMessage());
  error.errorCode = e->GetErrorCode();
  return error;
}

}  // namespace

std::string ToolkitError::description() const {
  return methodName.empty() ? className : className + " in " + methodName;
}

void rethrowToolkitError(const ToolkitError& error) { throw RethrownToolkitError{error}; }

std::optional<ToolkitError> runToolkitCall(void (*call)(const void* work), const void* work) {
  try {
    call(work);
    return std::nullopt;
  } catch (const RethrownToolkitError& rethrown) {
    return rethrown.error;
  }
  xcatchbegin
  xcatch(pfcXToolkitNotFound, e) { return toolkitErrorOf(ToolkitErrorKind::NotFound, e); }
  xcatch(pfcXToolkitFound, e) { return toolkitErrorOf(ToolkitErrorKind::Found, e); }
  xcatch(pfcXToolkitInvalidFile, e) { return toolkitErrorOf(ToolkitErrorKind::InvalidFile, e); }
  xcatch(pfcXToolkitMsgNotFound, e) { return toolkitErrorOf(ToolkitErrorKind::MsgNotFound, e); }
  xcatch(pfcXToolkitBadContext, e) { return toolkitErrorOf(ToolkitErrorKind::BadContext, e); }
  xcatch(pfcXToolkitCantOpen, e) { return toolkitErrorOf(ToolkitErrorKind::CantOpen, e); }
  xcatch(pfcXToolkitCantWrite, e) { return toolkitErrorOf(ToolkitErrorKind::CantWrite, e); }
  xcatch(pfcXToolkitCantAccess, e) { return toolkitErrorOf(ToolkitErrorKind::CantAccess, e); }
  xcatch(pfcXToolkitInvalidDir, e) { return toolkitErrorOf(ToolkitErrorKind::InvalidDir, e); }
  xcatch(pfcXToolkitLineTooLong, e) { return toolkitErrorOf(ToolkitErrorKind::LineTooLong, e); }
  xcatch(pfcXToolkitNoPermission, e) { return toolkitErrorOf(ToolkitErrorKind::NoPermission, e); }
  xcatch(pfcXToolkitNotDisplayed, e) { return toolkitErrorOf(ToolkitErrorKind::NotDisplayed, e); }
  xcatch(pfcXToolkitUnsupported, e) { return toolkitErrorOf(ToolkitErrorKind::Unsupported, e); }
  xcatch(pfcXToolkitError, e) { return toolkitErrorOf(ToolkitErrorKind::Other, e); }
  xcatch(pfcXPFC, e) {
    ToolkitError error;
    error.className = fromXstring(e->getCipTypeName());
    error.message = fromXstring(e->GetMessage());
    return error;
  }
  xcatchcip(e) {
    ToolkitError error;
    error.className = fromXstring(e->getCipTypeName());
    return error;
  }
  xcatchend
}
