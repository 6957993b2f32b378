#include "announcement.h"

#include <limits>

#include "http_util.h"

namespace tavixservice {

namespace {

const char* const kMistyped = "The upload announcement lacks a field or has one of the wrong type.";

// Whole numbers only: a fraction or an exponent beyond int64 is no size or id
// (and converting one would be undefined).
std::optional<int64_t> wholeNumber(const nlohmann::json& value) {
  if (value.is_number_integer() && !value.is_number_unsigned()) return value.get<int64_t>();
  if (value.is_number_unsigned() && value.get<uint64_t>() <= uint64_t(std::numeric_limits<int64_t>::max()))
    return value.get<int64_t>();
  return std::nullopt;
}

// Throws nlohmann::json::exception for a missing field or one of the wrong type.
std::variant<Announcement, std::string> readFields(const nlohmann::json& body) {
  const auto& targets = body.at("targetDirectories");
  if (!targets.is_object() || targets.size() != 1) return std::string("targetDirectories must name exactly one workspace.");
  const std::optional<int64_t> directoryId = wholeNumber(targets.begin().value());
  if (!directoryId) return std::string(kMistyped);
  Announcement announcement{targets.begin().key(), *directoryId, {}};
  PendingUpload& upload = announcement.upload;
  upload.sourceRevisionId = body.value("sourceRevisionId", "");
  upload.sourceRevisionVersion = body.value("sourceRevisionVersion", "");
  upload.lastModified = body.value("lastModified", "");
  upload.lifecycleState = body.value("lifecycleState", "");
  for (const auto& file : body.at("files")) {
    const std::optional<int64_t> size = wholeNumber(file.at("size"));
    if (!size) return std::string(kMistyped);
    AnnouncedFile announced{file.at("name").get<std::string>(), file.value("revisionKey", ""),
                            file.value("version", "1"), file.value("properties", nlohmann::json::object()).dump(),
                            *size, std::nullopt, file.value("sourceRevisionId", "")};
    if (announced.name.empty() || announced.name.find_first_of("/\\") != std::string::npos || announced.size < 0)
      return std::string("A file needs a plain name and a size of 0 or more.");
    upload.files.push_back(std::move(announced));
  }
  if (upload.files.empty()) return std::string("An upload needs at least one file.");
  return announcement;
}

}  // namespace

std::variant<Announcement, std::string> parseAnnouncement(const std::string& text) {
  const nlohmann::json body = parseJsonBody(text);
  if (body.is_discarded()) return std::string("The upload announcement is not JSON or nested too deeply.");
  try {
    return readFields(body);
  } catch (const nlohmann::json::exception&) {
    return std::string(kMistyped);
  }
}

}  // namespace tavixservice
