#include "blob_store.h"

#include <stdexcept>
#include <system_error>

namespace tavixservice {

BlobStore::BlobStore(std::filesystem::path folder) : folder_(std::move(folder)) {
  // Files that were arriving when an earlier run stopped can never be completed.
  std::filesystem::remove_all(folder_ / "incoming");
  std::filesystem::create_directories(folder_ / "incoming");
}

BlobStore::Writer::Writer(const BlobStore& store)
    : store_(store), temporary_(store.folder_ / "incoming" / randomHex(16)) {
  out_.open(temporary_, std::ios::binary | std::ios::trunc);
  if (!out_) throw std::runtime_error("cannot create " + temporary_.string());
}

BlobStore::Writer::~Writer() { discard(); }

void BlobStore::Writer::discard() {
  if (done_) return;
  done_ = true;
  out_.close();
  std::error_code ignored;
  std::filesystem::remove(temporary_, ignored);
}

bool BlobStore::Writer::write(const char* data, size_t length) {
  out_.write(data, static_cast<std::streamsize>(length));
  hash_.update(data, length);
  size_ += static_cast<int64_t>(length);
  return static_cast<bool>(out_);
}

std::string BlobStore::Writer::commit() {
  out_.close();
  if (!out_) throw std::runtime_error("cannot write " + temporary_.string());
  std::string sha256 = hash_.finishHex();
  // Identical content is stored once; rename replaces an equal file atomically.
  std::filesystem::rename(temporary_, store_.pathOf(sha256));
  done_ = true;
  return sha256;
}

}  // namespace tavixservice
