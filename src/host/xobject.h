// Basic types of the toolkit binding, shaped after the Object TOOLKIT's own:
// reference-counted handles, strings and sequences.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// The toolkit's headers bring std into the global namespace beside a byte of
// their own, so an unqualified byte or a global name that std also has is
// ambiguous in the add-in's code there; the same holds here.
typedef unsigned char byte;
using namespace std;

using xint = int32_t;
using xbool = bool;
using xreal = double;

// Every toolkit object. The toolkit counts the references to it: a handle made
// from a plain pointer (an object the add-in made with new) shares the count of
// every other handle to the same object, and the last one deletes it.
class xobject : public std::enable_shared_from_this<xobject> {
 public:
  virtual ~xobject() = default;
};

// A handle X_ptr: made from a plain pointer or null, converted to the plain
// pointer where one is needed, compared with null; X::cast(handle) casts down.
template <class T>
class xrcptr {
 public:
  xrcptr() noexcept = default;
  xrcptr(std::nullptr_t) noexcept {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  xrcptr(U* object) : object_(share(object)) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  xrcptr(const xrcptr<U>& other) noexcept : object_(other.object_) {}

  T* operator->() const noexcept { return object_.operator->(); }
  T& operator*() const noexcept { return *object_; }
  operator T*() const noexcept { return object_.operator->(); }

 private:
  template <class U>
  friend class xrcptr;

  template <class U>
  static std::shared_ptr<T> share(U* object) {
    if (!object) return nullptr;
    xobject* base = object;
    std::shared_ptr<xobject> owner = base->weak_from_this().lock();
    if (!owner) owner.reset(base);
    return std::shared_ptr<T>(owner, object);
  }

  std::shared_ptr<T> object_;
};

using cStringT = const char*;
using cWStringT = const wchar_t*;

// The toolkit's string: built from narrow or wide text, read back through
// cStringT or cWStringT; null (xstringnil) is not the same as empty. The narrow
// form follows a code page the add-in does not choose, so non-ASCII text must
// travel in the wide form: here every non-ASCII character of the narrow form
// is '?', which makes a narrow path show at once. The conversions are explicit
// here (the toolkit's are implicit), so each one is written out where it happens.
class xstring {
 public:
  xstring() = default;
  xstring(const char* narrow);
  xstring(const wchar_t* wide);
  xstring(const std::string&) = delete;
  xstring(const std::wstring&) = delete;

  explicit operator cStringT() const { return null_ ? nullptr : narrow_.c_str(); }
  explicit operator cWStringT() const { return null_ ? nullptr : wide_.c_str(); }
  bool IsNull() const { return null_; }

  friend bool operator==(const xstring& left, const xstring& right) {
    return left.null_ == right.null_ && left.wide_ == right.wide_;
  }
  friend bool operator!=(const xstring& left, const xstring& right) { return !(left == right); }
  friend xstring operator+(const xstring& left, const xstring& right);

 private:
  bool null_ = true;
  std::wstring wide_;
  std::string narrow_;
};
using xrstring = const xstring&;
extern const xstring xstringnil;

// A toolkit sequence: created empty, then appended to and read by index.
template <class T>
class xsequence : public virtual xobject {
 public:
  static xrcptr<xsequence> create() { return new xsequence; }

  xint getarraysize() const { return static_cast<xint>(items_.size()); }
  const T& get(xint index) const { return items_.at(static_cast<size_t>(index)); }
  void set(xint index, const T& value) { items_.at(static_cast<size_t>(index)) = value; }
  void append(const T& value) { items_.push_back(value); }

 private:
  xsequence() = default;
  std::vector<T> items_;
};

using xstringsequence = xsequence<xstring>;
using xstringsequence_ptr = xrcptr<xstringsequence>;

// Toolkit-style downcast: X::cast(handle) is null when the object is not an X.
#define TAVIX_TOOLKIT_CAST(Class)                                     \
  template <class From>                                               \
  static xrcptr<Class> cast(const xrcptr<From>& from) {               \
    return dynamic_cast<Class*>(static_cast<From*>(from));            \
  }
