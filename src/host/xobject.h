// Basic types of the toolkit binding: reference-counted handles, strings and
// sequences, shaped after the Object TOOLKIT's xobject/xrcptr/xstring family.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using xint = int32_t;
using xbool = bool;
using xreal = double;
using xstring = std::string;  // UTF-8

template <class T>
using xrcptr = std::shared_ptr<T>;

class xobject {
 public:
  virtual ~xobject() = default;
};

// A toolkit sequence: getarraysize/get/set/append, as the toolkit's sequences have.
template <class T>
class xsequence : public virtual xobject {
 public:
  xsequence() = default;
  explicit xsequence(std::vector<T> items) : items_(std::move(items)) {}
  static xrcptr<xsequence> create() { return std::make_shared<xsequence>(); }

  xint getarraysize() const { return static_cast<xint>(items_.size()); }
  const T& get(xint index) const { return items_.at(static_cast<size_t>(index)); }
  void set(xint index, T value) { items_.at(static_cast<size_t>(index)) = std::move(value); }
  void append(T value) { items_.push_back(std::move(value)); }
  const std::vector<T>& items() const { return items_; }

 private:
  std::vector<T> items_;
};

using xstringsequence = xsequence<xstring>;
using xstringsequence_ptr = xrcptr<xstringsequence>;

// Toolkit-style downcast: X::cast(handle) is null when the object is not an X.
#define TAVIX_TOOLKIT_CAST(Class)                                     \
  template <class From>                                               \
  static xrcptr<Class> cast(const xrcptr<From>& from) {               \
    return std::dynamic_pointer_cast<Class>(from);                    \
  }
