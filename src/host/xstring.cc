#include "host/xobject.h"

namespace {
// What the narrow form holds in place of a character it cannot show.
constexpr char kUnshownInNarrow = '?';
}  // namespace

xstring::xstring(const char* narrow) : null_(narrow == nullptr) {
  if (null_) return;
  narrow_ = narrow;
  for (char& c : narrow_)
    if (static_cast<unsigned char>(c) >= 0x80) c = kUnshownInNarrow;
  wide_.assign(narrow_.begin(), narrow_.end());
}

xstring::xstring(const wchar_t* wide) : null_(wide == nullptr) {
  if (null_) return;
  wide_ = wide;
  narrow_.reserve(wide_.size());
  for (wchar_t c : wide_) narrow_ += c >= 0 && c < 0x80 ? static_cast<char>(c) : kUnshownInNarrow;
}

xstring operator+(const xstring& left, const xstring& right) {
  xstring sum;
  sum.null_ = false;
  sum.wide_ = left.wide_ + right.wide_;
  sum.narrow_ = left.narrow_ + right.narrow_;
  return sum;
}

const xstring xstringnil;
