#include "sim_model_file.h"

#include <fstream>
#include <stdexcept>
#include <vector>

namespace creosim {

void writeModelFile(const std::filesystem::path& path, const std::string& uniqueId, std::uintmax_t totalBytes,
                    std::uint64_t seed) {
  std::string header = "#UGC_TOC 1 29 81 19#################################################\n"
                       "SolidPersistTable acc 0 3a 1 0 0 0 0 0\n";
  if (!uniqueId.empty()) header += "#UGC_HDR UOBJ_ID " + uniqueId + "\n";
  header += "#END_OF_UGC_HEADER\n";

  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write model file " + path.string());
  out.write(header.data(), static_cast<std::streamsize>(header.size()));
  std::uintmax_t remaining = totalBytes > header.size() ? totalBytes - header.size() : 0;
  std::vector<char> block(64 * 1024);
  std::uint64_t state = seed * 0x9e3779b97f4a7c15ull + 1;
  while (remaining > 0) {
    const size_t chunk = static_cast<size_t>(remaining < block.size() ? remaining : block.size());
    for (size_t i = 0; i < chunk; ++i) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      block[i] = static_cast<char>(state);
    }
    out.write(block.data(), static_cast<std::streamsize>(chunk));
    remaining -= chunk;
  }
  if (!out.flush()) throw std::runtime_error("cannot write model file " + path.string());
}

}  // namespace creosim
