#include <stdexcept>

#include "dialog_picture.h"

namespace creosim {

// cairo and pango are Debian's; the Windows build has no copy of them.
DialogLayout drawDialogPicture(const DialogView&, const TextFolder&, const std::filesystem::path&) {
  throw std::runtime_error("the Windows simulator draws no pictures of dialogs; use the Linux creo-sim");
}

}  // namespace creosim
