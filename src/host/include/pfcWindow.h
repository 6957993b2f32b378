// Windows and the embedded browser.
// The toolkit's header name; the stand-in declares it in host/pfc_session.h.
#pragma once

#include "host/pfc_session.h"
