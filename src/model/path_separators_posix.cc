#include "model/path_separators.h"

const char* const kUnsafeFileNameCharacters = "/";
