// Characters that must not appear in a single file name: besides "/" on every
// system, "\" and the drive colon on Windows.
#pragma once

extern const char* const kUnsafeFileNameCharacters;
