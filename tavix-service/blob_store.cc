#include "blob_store.h"

#include <stdexcept>
#include <system_error>

namespace tavixservice {

BlobStore::BlobStore(std::filesystem::path folder) : folder_(std::move(folder)) {
  // Files that were arriving when an earlier run stopped can never be completed.
  std::filesystem::remove_all(folder_ / "incoming");
  std::filesystem::create_directories(folder_ / "incoming");
}

BlobStore::Writer::Writer(const BlobStore& store) : store_(store) {}

BlobStore::Writer::~Writer() { discard(); }

void BlobStore::Writer::discard() {
  if (done_) return;
  done_ = true;
  held_.clear();
  if (temporary_.empty()) return;
  out_.close();
  std::error_code ignored;
  std::filesystem::remove(temporary_, ignored);
}

bool BlobStore::Writer::spill() {
  temporary_ = store_.folder_ / "incoming" / randomHex(16);
  out_.open(temporary_, std::ios::binary | std::ios::trunc);
  out_.write(held_.data(), static_cast<std::streamsize>(held_.size()));
  std::string().swap(held_);
  return static_cast<bool>(out_);
}

bool BlobStore::Writer::write(const char* data, size_t length) {
  hash_.update(data, length);
  size_ += static_cast<int64_t>(length);
  if (temporary_.empty()) {
    if (held_.size() + length <= kHeldInMemory) {
      held_.append(data, length);
      return true;
    }
    if (!spill()) return false;
  }
  out_.write(data, static_cast<std::streamsize>(length));
  return static_cast<bool>(out_);
}

std::string BlobStore::Writer::commit() {
  std::string sha256 = hash_.finishHex();
  const std::filesystem::path blob = store_.pathOf(sha256);
  if (std::filesystem::exists(blob)) {
    discard();
    return sha256;
  }
  if (temporary_.empty() && !spill()) throw std::runtime_error("cannot write " + temporary_.string());
  out_.close();
  if (!out_) throw std::runtime_error("cannot write " + temporary_.string());
  // Two uploads of the same new content may both get here; rename replaces atomically.
  std::filesystem::rename(temporary_, blob);
  done_ = true;
  return sha256;
}

}  // namespace tavixservice
