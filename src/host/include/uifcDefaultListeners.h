// The listeners with empty default callbacks.
// The toolkit's header name; the stand-in declares it in host/uifc.h.
#pragma once

#include "host/uifc.h"
