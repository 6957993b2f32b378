// UTF-8 texts from file-system paths and foreign strings. A log line must never
// stop the add-in, so what cannot be converted becomes U+FFFD instead of an error.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

std::string pathToUtf8(const std::filesystem::path& path);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// The platform's wide text (UTF-16 on Windows, UTF-32 elsewhere) to UTF-8 and
// back; what is not a character becomes U+FFFD, as in repairUtf8.
std::string wideToUtf8(std::wstring_view text);
std::wstring utf8ToWide(std::string_view text);

// The bytes unchanged where they are valid UTF-8; each maximal invalid
// subsequence (stray byte, cut-off sequence, overlong form, surrogate,
// value above U+10FFFF) becomes U+FFFD.
std::string repairUtf8(std::string_view bytes);
