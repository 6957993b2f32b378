#include "model/path_separators.h"

#ifdef _WIN32

const char* const kUnsafeFileNameCharacters = "/\\:";

#else

const char* const kUnsafeFileNameCharacters = "/";

#endif
