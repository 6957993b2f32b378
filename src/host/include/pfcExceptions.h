// The toolkit's exception classes.
// The toolkit's header name; the stand-in declares it in host/toolkit_errors.h.
#pragma once

#include "host/toolkit_errors.h"
