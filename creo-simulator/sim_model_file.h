// Synthetic Creo model files: a text header with a "UOBJ_ID" line, closed by the
// "END_OF_UGC_HEADER" marker, then a binary body.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace creosim {

// Writes a model file of exactly totalBytes bytes (or just the header when it is
// longer). uniqueId is three words, e.g. "1711 22345 61234"; empty writes no
// identifier line. The body is derived from seed, so equal seeds give equal files.
void writeModelFile(const std::filesystem::path& path, const std::string& uniqueId, std::uintmax_t totalBytes,
                    std::uint64_t seed = 1);

}  // namespace creosim
