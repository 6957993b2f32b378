// The simulator's side of the toolkit's exceptions: any of them can be thrown
// by its class name, as a fault script or a session file names it.
#pragma once

#include <string>

#include "host/toolkit_errors.h"

namespace creosim {

// The thirteen toolkit exception class names, in declaration order.
extern const char* const kToolkitErrorClassNames[13];

// Throws, the toolkit's way, the exception of the named class (one of
// kToolkitErrorClassNames) for the given method. Returns false, without
// throwing, for an unknown name.
bool throwToolkitError(const std::string& className, const std::string& methodName);

}  // namespace creosim
