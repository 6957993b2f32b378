// A set of texts kept in one buffer and found by open addressing. The walk
// over a large assembly inserts thousands of names and looks them up tens of
// thousands of times: a heap node per name would cost an allocation on every
// insert and a division and a cache miss more on every lookup.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

template <typename Char>
class BasicTextSet {
 public:
  using Text = std::basic_string_view<Char>;

  BasicTextSet();

  // False when the text was in the set already.
  bool insert(Text text);
  bool contains(Text text) const;
  size_t size() const { return size_; }

 private:
  static constexpr uint32_t kEmpty = UINT32_MAX;
  struct Slot {
    size_t hash = 0;
    uint32_t offset = kEmpty;  // into characters_
    uint32_t length = 0;
  };

  // The slot holding the text, or the empty slot where it belongs.
  size_t slotOf(Text text, size_t hash) const;
  void grow();

  std::vector<Slot> slots_;  // a power of two in size, at most half full
  std::basic_string<Char> characters_;
  size_t size_ = 0;
};

using TextSet = BasicTextSet<char>;
