// How the upload and progress dialogs show a model's size, the same in every
// locale Creo runs in.
#pragma once

#include <optional>
#include <string>

// "undefined" for a size of 0 or less, else two decimals and " MB" (1.5 gives
// "1.50 MB"); an assembly's component count follows as " (N components)".
std::string modelSizeText(double fileSizeMb, std::optional<int> componentCount);
