#include "uploads.h"

#include "crypto.h"

namespace tavixservice {

std::string Uploads::begin(PendingUpload upload) {
  std::string id = randomHex(16);
  std::lock_guard lock(mutex_);
  pending_[id] = std::move(upload);
  return id;
}

std::optional<AnnouncedFile> Uploads::announced(const std::string& uploadId, int64_t userId, int64_t index) {
  std::lock_guard lock(mutex_);
  auto found = pending_.find(uploadId);
  if (found == pending_.end() || found->second.userId != userId || index < 0 ||
      index >= static_cast<int64_t>(found->second.files.size()))
    return std::nullopt;
  return found->second.files[static_cast<size_t>(index)];
}

bool Uploads::arrived(const std::string& uploadId, int64_t index, const std::string& sha256) {
  std::lock_guard lock(mutex_);
  auto found = pending_.find(uploadId);
  if (found == pending_.end()) return false;
  found->second.files[static_cast<size_t>(index)].sha256 = sha256;
  return true;
}

std::optional<PendingUpload> Uploads::finish(const std::string& uploadId, int64_t userId) {
  std::lock_guard lock(mutex_);
  auto found = pending_.find(uploadId);
  if (found == pending_.end() || found->second.userId != userId) return std::nullopt;
  PendingUpload upload = std::move(found->second);
  pending_.erase(found);
  return upload;
}

}  // namespace tavixservice
