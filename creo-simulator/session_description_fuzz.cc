// Session descriptions as a person or a script may write them: a file is
// either refused with an exception or read into a session that prints back to
// a file which reads into the same session.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "fuzz_check.h"
#include "session_description.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path base = "/sessions/bracket";
  creosim::SessionDescription description;
  try {
    description = creosim::parseSessionDescription(std::string_view(reinterpret_cast<const char*>(data), size), base);
  } catch (const std::exception&) {
    return 0;
  }
  for (const creosim::SimModelDefinition& model : description.models) FUZZ_CHECK(model.sheets >= 1);
  const std::string printed = creosim::printSessionDescription(description, base);
  FUZZ_CHECK(creosim::printSessionDescription(creosim::parseSessionDescription(printed, base), base) == printed);
  return 0;
}
