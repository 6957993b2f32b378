// Names taken from Windchill origins and model files: a name that passes the
// safety check, and the staged names made from it, never leave the folder
// they are joined to; the name rules agree with one another.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/ascii_case.h"
#include "fuzz_check.h"
#include "model/family_table_names.h"
#include "model/path_text.h"
#include "model/windchill_names.h"

namespace fs = std::filesystem;

namespace {

const fs::path kFolder = "/staging/tavix-0123456789abcdef/_ft_generics";

bool staysIn(const fs::path& folder, const fs::path& path) {
  return path.lexically_normal().parent_path() == folder && path.has_filename();
}

void checkStagedNames(const std::string& name, const std::string& origin) {
  if (!isSafeLocalFileName(name)) return;
  const fs::path joined = kFolder / pathFromUtf8(name);
  FUZZ_CHECK(staysIn(kFolder, joined) && joined.filename() == pathFromUtf8(name));
  const std::string staged = makeStagedFileName(name, origin);
  FUZZ_CHECK(isSafeLocalFileName(staged));
  FUZZ_CHECK(staysIn(kFolder, kFolder / pathFromUtf8(staged)));
  FUZZ_CHECK(staysIn(kFolder, toNativeExtension(kFolder / pathFromUtf8(staged))));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string fileName = input.ConsumeRandomLengthString(64);
  const std::string origin = input.ConsumeRemainingBytesAsString();

  const std::string localName = localFileNameFromOrigin(origin);
  FUZZ_CHECK(localName.find_first_of("/|") == std::string::npos);
  FUZZ_CHECK(origin.starts_with(originFolder(origin)));
  if (isWindchillOrigin(origin)) FUZZ_CHECK(originFolder(origin).ends_with('/'));
  FUZZ_CHECK(isSafeLocalFileName(windchillCopyDirectoryName(origin)));
  checkStagedNames(localName, origin);
  checkStagedNames(fileName, origin);

  const std::string generic = genericFileNameOf(fileName);
  if (!generic.empty()) FUZZ_CHECK(generic.size() + 2 <= fileName.size());
  if (isSafeLocalFileName(fileName) && !generic.empty()) checkStagedNames(generic, origin);
  const std::string normalised = normalisedModelFileName(fileName);
  FUZZ_CHECK(normalisedModelFileName(normalised) == normalised && normalised.size() == fileName.size());
  const std::string unversioned = withoutVersionSuffix(fileName);
  FUZZ_CHECK(fileName.starts_with(unversioned));
  FUZZ_CHECK(comparableFileName(fileName) == asciiLowered(unversioned));
  return 0;
}
