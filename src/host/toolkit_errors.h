// The toolkit's exception classes. They derive from xthrowable, not from
// std::exception, so handlers tell them apart from the add-in's own errors.
#pragma once

#include <string>

#include "host/xobject.h"

class xthrowable {
 public:
  explicit xthrowable(std::string methodName = {}) : methodName_(std::move(methodName)) {}
  virtual ~xthrowable() = default;

  // The class name, e.g. "pfcXToolkitNotFound".
  virtual const char* GetClassName() const { return "xthrowable"; }
  // The toolkit operation that failed, e.g. "pfcBaseSession::GetModelWindow"; may be empty.
  const std::string& GetMethodName() const { return methodName_; }
  // What the add-in logs: the class name, and the method when known.
  std::string GetDescription() const {
    return methodName_.empty() ? std::string(GetClassName())
                               : std::string(GetClassName()) + " in " + methodName_;
  }

 private:
  std::string methodName_;
};

class pfcXToolkitError : public xthrowable {
 public:
  using xthrowable::xthrowable;
  const char* GetClassName() const override { return "pfcXToolkitError"; }
};

#define TAVIX_TOOLKIT_ERROR(Name)                                     \
  class Name : public pfcXToolkitError {                              \
   public:                                                            \
    using pfcXToolkitError::pfcXToolkitError;                         \
    const char* GetClassName() const override { return #Name; }       \
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

// The thirteen class names above, in declaration order.
extern const char* const kToolkitErrorClassNames[13];

// Throws the toolkit exception of the named class (one of kToolkitErrorClassNames)
// for the given method. Returns false, without throwing, for an unknown name.
bool throwToolkitError(const std::string& className, const std::string& methodName);
