#include "thrown_toolkit_errors.h"

namespace creosim {

const char* const kToolkitErrorClassNames[13] = {
    "pfcXToolkitNotFound",     "pfcXToolkitFound",       "pfcXToolkitInvalidFile",
    "pfcXToolkitMsgNotFound",  "pfcXToolkitBadContext",  "pfcXToolkitCantOpen",
    "pfcXToolkitCantWrite",    "pfcXToolkitCantAccess",  "pfcXToolkitInvalidDir",
    "pfcXToolkitLineTooLong",  "pfcXToolkitNoPermission", "pfcXToolkitNotDisplayed",
    "pfcXToolkitUnsupported",
};

namespace {
template <class E>
bool throwIf(const std::string& wanted, const std::string& method) {
  if (wanted != static_cast<cStringT>(E().getCipTypeName())) return false;
  throw new E(method.c_str());
}
}  // namespace

bool throwToolkitError(const std::string& className, const std::string& method) {
  return throwIf<pfcXToolkitNotFound>(className, method) ||
         throwIf<pfcXToolkitFound>(className, method) ||
         throwIf<pfcXToolkitInvalidFile>(className, method) ||
         throwIf<pfcXToolkitMsgNotFound>(className, method) ||
         throwIf<pfcXToolkitBadContext>(className, method) ||
         throwIf<pfcXToolkitCantOpen>(className, method) ||
         throwIf<pfcXToolkitCantWrite>(className, method) ||
         throwIf<pfcXToolkitCantAccess>(className, method) ||
         throwIf<pfcXToolkitInvalidDir>(className, method) ||
         throwIf<pfcXToolkitLineTooLong>(className, method) ||
         throwIf<pfcXToolkitNoPermission>(className, method) ||
         throwIf<pfcXToolkitNotDisplayed>(className, method) ||
         throwIf<pfcXToolkitUnsupported>(className, method);
}

}  // namespace creosim
