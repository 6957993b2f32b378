#include "model/path_text.h"

std::filesystem::path pathFromUtf8(std::string_view text) { return std::filesystem::u8path(text.begin(), text.end()); }
