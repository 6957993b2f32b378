// The name of a model kind as log lines show it.
#pragma once

#include <string>

// "assembly" for 0, "part" for 1, "drawing" for 2, "other" for anything else.
std::string modelKindName(int type);
