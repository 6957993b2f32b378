// Pictures of dialogs as Creo draws them, for people to look at: a PNG and,
// beside it, an SVG of the same drawing.
#pragma once

#include <filesystem>

#include "dialog_layout.h"
#include "dialog_view.h"
#include "text_folder.h"

namespace creosim {

// Writes "<stem>.png" and "<stem>.svg" of the dialog as it shows now, with
// its images read from the add-in's text folder; returns what was drawn where.
// Throws std::runtime_error when the picture cannot be drawn or written; the
// Windows simulator draws no pictures and always throws.
DialogLayout drawDialogPicture(const DialogView& view, const TextFolder& text, const std::filesystem::path& stem);

}  // namespace creosim
