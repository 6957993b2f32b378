// Placeholder until the properties land.
#include "core/properties.h"
bool TavixProperties::load() { return false; }
std::string TavixProperties::get(const std::string&) { return {}; }
std::filesystem::path TavixProperties::loadedPath() { return {}; }
TavixProperties::Table TavixProperties::parse(std::istream&) { return {}; }
