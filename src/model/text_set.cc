#include "model/text_set.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <utility>

namespace {

constexpr size_t kInitialSlots = 16;

size_t hashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }

}  // namespace

TextSet::TextSet() : slots_(kInitialSlots) {}

size_t TextSet::slotOf(std::string_view text, size_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.offset == kEmpty) return i;
    if (slot.hash == hash && slot.length == text.size() &&
        std::string_view(bytes_).substr(slot.offset, slot.length) == text)
      return i;
  }
}

bool TextSet::contains(std::string_view text) const {
  return slots_[slotOf(text, hashOf(text))].offset != kEmpty;
}

bool TextSet::insert(std::string_view text) {
  const size_t hash = hashOf(text);
  size_t index = slotOf(text, hash);
  if (slots_[index].offset != kEmpty) return false;
  if (bytes_.size() + text.size() >= kEmpty) throw std::length_error("TextSet: more than 4 GiB of text");
  if (2 * (size_ + 1) > slots_.size()) {
    grow();
    index = slotOf(text, hash);
  }
  slots_[index] = {hash, static_cast<uint32_t>(bytes_.size()), static_cast<uint32_t>(text.size())};
  bytes_.append(text);
  ++size_;
  return true;
}

void TextSet::grow() {
  const std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(2 * slots_.size()));
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.offset == kEmpty) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].offset != kEmpty) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

void TextSet::clear() {
  if (size_ == 0) return;
  // An export walks thousands of parts, each after an assembly's walk grew the
  // table: a table far larger than what it held starts small again, so that
  // emptying it costs what was inserted, not the largest walk seen.
  if (8 * size_ < slots_.size())
    slots_.assign(kInitialSlots, Slot{});
  else
    std::fill(slots_.begin(), slots_.end(), Slot{});
  bytes_.clear();
  size_ = 0;
}
