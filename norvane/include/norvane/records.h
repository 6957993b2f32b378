// The records exchanged with the Tavix cloud client library.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace norvane {

struct NorvaneLocalAuthTokens {
  std::string accessToken;
  std::string secondToken;  // the refresh token
  std::string thirdToken;   // the identity token
};

struct NorvaneUser {
  int64_t id = 0;
  std::string email;
  std::string name;
};

struct NorvaneWorkspace {
  int64_t id = 0;
  std::string name;
  std::string addressKey;  // the workspace's key in the web application's addresses
};

struct NorvaneDirectory {
  int64_t id = 0;
  std::string name;
};

struct NorvaneFindRevisionResult {
  int64_t fileId = 0;
  std::string fileName;
  std::string revisionId;
  std::string url;
};

struct NorvaneUploadFile {
  std::string name;      // the name the file gets in the workspace
  std::string path;      // the local file, UTF-8
  std::string revisionKey;
  std::string version = "1";
  std::map<std::string, std::string> properties;
  std::string sourceRevisionId = {};  // this file's own revision; empty: the upload's
};

struct NorvaneUploadPayload {
  std::map<int64_t, int64_t> targetDirectories;  // workspace id -> directory id
  std::string sourceRevisionId;
  std::string revisionId;
  std::string sourceRevisionVersion;
  std::string lastModified;  // ISO 8601, UTC
  std::optional<std::string> lifecycleState;
  std::optional<std::string> primaryName;
  std::vector<NorvaneUploadFile> files;
};

struct NorvaneUploadError {
  std::string fileName;
  std::string message;
};

struct NorvaneUploadResult {
  std::map<std::string, std::string> fileUrls;  // uploaded file name -> its address in Tavix
  std::vector<NorvaneUploadError> errors;
};

struct NorvaneInitializeOptions {
  std::optional<std::string> logFileName;
  std::optional<std::string> logLevel;
  std::optional<bool> enableTelemetry;
  std::optional<bool> enableCrashReports;
  std::optional<bool> offline;
  std::optional<nlohmann::json> environmentConfig;  // LoginURL, ServerURL, ClientID, Audience
  std::map<std::string, std::string> integrationVersions;
};

}  // namespace norvane
