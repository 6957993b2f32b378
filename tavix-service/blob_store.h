// The folder of uploaded bytes, one file per distinct content, named by its SHA-256.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "crypto.h"

namespace tavixservice {

class BlobStore {
 public:
  explicit BlobStore(std::filesystem::path folder);
  std::filesystem::path pathOf(const std::string& sha256) const { return folder_ / sha256; }

  // Receives one file as it arrives: bytes go through SHA-256 and are held in
  // memory, or in a temporary file once they outgrow kHeldInMemory; commit()
  // gives new content its content name and leaves content already stored as it
  // is, so that uploading known files creates and replaces nothing on disk.
  // Unless committed, the temporary file is removed.
  class Writer {
   public:
    explicit Writer(const BlobStore& store);
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    bool write(const char* data, size_t length);
    int64_t size() const { return size_; }
    // Returns the SHA-256 of everything written; throws when the disk refused it.
    std::string commit();
    // Drops what arrived so far; nothing of it is kept.
    void discard();

   private:
    static constexpr size_t kHeldInMemory = 1024 * 1024;
    // Moves the bytes held in memory into a new temporary file and writes on there.
    bool spill();

    const BlobStore& store_;
    std::string held_;
    std::filesystem::path temporary_;  // empty while the bytes are held in memory
    std::ofstream out_;
    Sha256Stream hash_;
    int64_t size_ = 0;
    bool done_ = false;
  };

 private:
  std::filesystem::path folder_;
};

}  // namespace tavixservice
