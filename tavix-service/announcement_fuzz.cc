// Upload announcements as any client may send them: a body is either refused
// with one of the service's messages or read into files with plain names and
// whole, non-negative sizes; accepted JSON is never deeper than the limit and
// prints back to the same value.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <variant>

#include "announcement.h"
#include "fuzz_check.h"
#include "http_util.h"

namespace {

int depthOf(const nlohmann::json& value) {
  int deepest = 0;
  if (value.is_structured())
    for (const auto& item : value) deepest = std::max(deepest, depthOf(item));
  return value.is_structured() ? deepest + 1 : 0;
}

const std::set<std::string> kRefusals = {
    "The upload announcement is not JSON or nested too deeply.",
    "targetDirectories must name exactly one workspace.",
    "The upload announcement lacks a field or has one of the wrong type.",
    "A file needs a plain name and a size of 0 or more.",
    "An upload needs at least one file.",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const nlohmann::json body = tavixservice::parseJsonBody(text);
  if (!body.is_discarded()) {
    FUZZ_CHECK(depthOf(body) <= 17);
    FUZZ_CHECK(tavixservice::parseJsonBody(body.dump()) == body);
  }

  const auto announcement = tavixservice::parseAnnouncement(text);
  if (const auto* refusal = std::get_if<std::string>(&announcement)) {
    FUZZ_CHECK(kRefusals.count(*refusal) == 1);
    return 0;
  }
  const auto& accepted = std::get<tavixservice::Announcement>(announcement);
  FUZZ_CHECK(!body.is_discarded());
  const auto& targets = body.at("targetDirectories");
  FUZZ_CHECK(targets.size() == 1 && targets.begin().key() == accepted.workspaceIdText);
  FUZZ_CHECK(targets.begin().value().is_number_integer() && targets.begin().value() == accepted.directoryId);
  FUZZ_CHECK(!accepted.upload.files.empty());
  for (const tavixservice::AnnouncedFile& file : accepted.upload.files) {
    FUZZ_CHECK(!file.name.empty() && file.name.find_first_of("/\\") == std::string::npos && file.size >= 0);
    FUZZ_CHECK(!nlohmann::json::parse(file.propertiesJson, nullptr, false).is_discarded());
  }
  return 0;
}
