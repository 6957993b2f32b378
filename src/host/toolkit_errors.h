// The toolkit's exception classes. They derive from xthrowable, not from
// std::exception, and the toolkit throws them by pointer: they are caught only
// through the xcatch macros below, which hand the handler a pointer and delete
// the exception afterwards.
#pragma once

#include <memory>

#include "host/xobject.h"

class xthrowable {
 public:
  virtual ~xthrowable() = default;
  // The class name, e.g. "pfcXToolkitNotFound".
  virtual xstring getCipTypeName() { return "xthrowable"; }
};

class pfcXPFC : public xthrowable {
 public:
  explicit pfcXPFC(xstring message = {}) : message_(std::move(message)) {}
  xstring getCipTypeName() override { return "pfcXPFC"; }
  xstring GetMessage() { return message_; }

 private:
  xstring message_;
};

class pfcXToolkitError : public pfcXPFC {
 public:
  // methodName: the toolkit operation that failed, e.g. "pfcBaseSession::GetModelWindow".
  explicit pfcXToolkitError(xstring methodName = {}, xint errorCode = -1, xstring toolkitFunctionName = {},
                            xstring message = {})
      : pfcXPFC(std::move(message)),
        methodName_(std::move(methodName)),
        toolkitFunctionName_(std::move(toolkitFunctionName)),
        errorCode_(errorCode) {}
  xstring getCipTypeName() override { return "pfcXToolkitError"; }
  xstring GetMethodName() { return methodName_; }
  xstring GetToolkitFunctionName() { return toolkitFunctionName_; }
  xint GetErrorCode() { return errorCode_; }

 private:
  xstring methodName_;
  xstring toolkitFunctionName_;
  xint errorCode_;
};

#define TAVIX_TOOLKIT_ERROR(Name)                               \
  class Name : public pfcXToolkitError {                        \
   public:                                                      \
    using pfcXToolkitError::pfcXToolkitError;                   \
    xstring getCipTypeName() override { return #Name; }         \
  };

TAVIX_TOOLKIT_ERROR(pfcXToolkitNotFound)
TAVIX_TOOLKIT_ERROR(pfcXToolkitFound)
TAVIX_TOOLKIT_ERROR(pfcXToolkitInvalidFile)
TAVIX_TOOLKIT_ERROR(pfcXToolkitMsgNotFound)
TAVIX_TOOLKIT_ERROR(pfcXToolkitBadContext)
TAVIX_TOOLKIT_ERROR(pfcXToolkitCantOpen)
TAVIX_TOOLKIT_ERROR(pfcXToolkitCantWrite)
TAVIX_TOOLKIT_ERROR(pfcXToolkitCantAccess)
TAVIX_TOOLKIT_ERROR(pfcXToolkitInvalidDir)
TAVIX_TOOLKIT_ERROR(pfcXToolkitLineTooLong)
TAVIX_TOOLKIT_ERROR(pfcXToolkitNoPermission)
TAVIX_TOOLKIT_ERROR(pfcXToolkitNotDisplayed)
TAVIX_TOOLKIT_ERROR(pfcXToolkitUnsupported)

#undef TAVIX_TOOLKIT_ERROR

// The toolkit's catch idiom, written after a try block:
//   try { ... }
//   xcatchbegin
//   xcatch(pfcXToolkitNotFound, e) { ... e->GetMethodName() ... }
//   xcatchcip(e) { ... any toolkit exception ... }
//   xcatchend
// The first clause whose class matches runs, most specific first; the exception
// is deleted when the handler ends. Without a matching clause it travels on.
#define xcatchbegin                                \
  catch (xthrowable * xcaught_) {                  \
    std::unique_ptr<xthrowable> xowned_(xcaught_); \
    if (!xcaught_) {                               \
      throw;                                       \
    }
#define xcatch(Class, e) else if ([[maybe_unused]] Class* e = dynamic_cast<Class*>(xcaught_))
#define xcatchcip(e) else if ([[maybe_unused]] xthrowable* e = xcaught_)
#define xcatchend      \
  else {               \
    xowned_.release(); \
    throw;             \
  }                    \
  }
