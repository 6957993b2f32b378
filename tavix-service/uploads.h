// Uploads in progress: announced files, which of them have arrived, and the
// hand-over of a finished upload to the store. Kept in memory.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tavixservice {

struct AnnouncedFile {
  std::string name;
  std::string revisionKey;
  std::string version;
  std::string propertiesJson;
  int64_t size = 0;
  std::optional<std::string> sha256;  // set once the bytes have arrived
  std::string sourceRevisionId;       // the file's own revision; empty: the upload's
};

struct PendingUpload {
  int64_t userId = 0;
  int64_t workspaceId = 0;
  int64_t directoryId = 0;
  std::string sourceRevisionId;
  std::string sourceRevisionVersion;
  std::string lastModified;
  std::string lifecycleState;
  std::vector<AnnouncedFile> files;
};

class Uploads {
 public:
  std::string begin(PendingUpload upload);
  // The announced file, when the upload exists, belongs to the user and has that index.
  std::optional<AnnouncedFile> announced(const std::string& uploadId, int64_t userId, int64_t index);
  // False when the upload has meanwhile been completed.
  bool arrived(const std::string& uploadId, int64_t index, const std::string& sha256);
  // Removes the upload and returns it; empty when unknown or not the user's.
  std::optional<PendingUpload> finish(const std::string& uploadId, int64_t userId);

 private:
  std::mutex mutex_;
  std::map<std::string, PendingUpload> pending_;
};

}  // namespace tavixservice
