// The two host queries that can fault on models never checked in to Windchill
// (revision and version), guarded, and the time texts of the upload workflow.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include <pfcModel.h>

enum class QueryStatus : int32_t { Ok = 0, Empty = 1, ToolkitError = 2, StructuredException = 3 };

struct CreoQueryResult {
  QueryStatus status = QueryStatus::Empty;
  std::string value;
  std::string error;  // the toolkit's description, for ToolkitError
};

class CreoModelQueries {
 public:
  // Never throw.
  static CreoQueryResult GetRevision(const pfcModel_ptr& model);
  static CreoQueryResult GetVersion(const pfcModel_ptr& model);

  // The current local time as "%b %e, %I:%M %p".
  static std::string formatCurrentTimeShort();
  // The file's last-write time in UTC with milliseconds; empty when unreadable.
  static std::string formatFileTimeIso(const std::filesystem::path& path);
};
