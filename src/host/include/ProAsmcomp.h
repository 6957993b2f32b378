// The C toolkit's assembly component calls.
// The toolkit's header name; the stand-in declares it in host/pfc_model.h.
#pragma once

#include "host/pfc_model.h"
