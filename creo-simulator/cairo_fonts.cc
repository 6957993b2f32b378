#include "cairo_fonts.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdlib>

namespace creosim {

void releaseFontCachesAtExit() {
  static const bool registered = [] {
    return std::atexit([] {
      cairo_debug_reset_static_data();
      FcFini();
    }) == 0;
  }();
  (void)registered;
}

}  // namespace creosim
