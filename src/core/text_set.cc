#include "core/text_set.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <utility>

namespace {

constexpr size_t kInitialSlots = 16;

template <typename Char>
size_t hashOf(std::basic_string_view<Char> text) {
  return std::hash<std::basic_string_view<Char>>{}(text);
}

}  // namespace

template <typename Char>
BasicTextSet<Char>::BasicTextSet() : slots_(kInitialSlots) {}

template <typename Char>
size_t BasicTextSet<Char>::slotOf(Text text, size_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.offset == kEmpty) return i;
    if (slot.hash == hash && slot.length == text.size() &&
        Text(characters_).substr(slot.offset, slot.length) == text)
      return i;
  }
}

template <typename Char>
bool BasicTextSet<Char>::contains(Text text) const {
  return slots_[slotOf(text, hashOf(text))].offset != kEmpty;
}

template <typename Char>
bool BasicTextSet<Char>::insert(Text text) {
  const size_t hash = hashOf(text);
  size_t index = slotOf(text, hash);
  if (slots_[index].offset != kEmpty) return false;
  if (characters_.size() + text.size() >= kEmpty) throw std::length_error("TextSet: more than 4 G characters of text");
  if (2 * (size_ + 1) > slots_.size()) {
    grow();
    index = slotOf(text, hash);
  }
  slots_[index] = {hash, static_cast<uint32_t>(characters_.size()), static_cast<uint32_t>(text.size())};
  characters_.append(text);
  ++size_;
  return true;
}

template <typename Char>
void BasicTextSet<Char>::grow() {
  const std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(2 * slots_.size()));
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.offset == kEmpty) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].offset != kEmpty) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

template class BasicTextSet<char>;
