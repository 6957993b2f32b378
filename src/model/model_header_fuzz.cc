// The header of a model file as any file may begin: the identifier found is
// three words named by a "UOBJ_ID" line, and nothing after the line that
// decides changes the answer.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "core/ascii_case.h"
#include "fuzz_check.h"
#include "model/model_header.h"

namespace {

ModelHeaderScan scanned(const std::string& text) {
  std::istringstream in(text);
  return scanModelHeader(in);
}

bool isWord(const std::string& text) {
  return !text.empty() && text.find_first_of(" \t\r\n\v\f") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string later = input.ConsumeRandomLengthString(64);
  const std::string header = input.ConsumeRemainingBytesAsString();
  const ModelHeaderScan scan = scanned(header);
  if (scan.outcome == ModelHeaderScan::Outcome::Identifier) {
    FUZZ_CHECK(asciiUppered(header).find("UOBJ_ID") != std::string::npos);
    const size_t first = scan.identifier.find(' ');
    const size_t second = scan.identifier.find(' ', first + 1);
    FUZZ_CHECK(first != std::string::npos && second != std::string::npos);
    for (const std::string& word : {scan.identifier.substr(0, first), scan.identifier.substr(first + 1, second - first - 1),
                                    scan.identifier.substr(second + 1)}) {
      FUZZ_CHECK(isWord(word) && header.find(word) != std::string::npos);
    }
  } else {
    FUZZ_CHECK(scan.identifier.empty());
  }
  if (scan.outcome != ModelHeaderScan::Outcome::NoEnd) {
    const ModelHeaderScan longer = scanned(header + "\n" + later);
    FUZZ_CHECK(longer.outcome == scan.outcome && longer.identifier == scan.identifier);
  }
  return 0;
}
