// The one live object of a kind that the add-in keeps while Creo has it loaded,
// reached through a thin accessor. The object registers itself as it is made and
// leaves as it is destroyed, so the accessor never hands out an object that is gone.
#pragma once

#include <atomic>
#include <stdexcept>
#include <string>

template <class T>
class SoleInstance {
 public:
  // Throws std::logic_error when another object of the kind is live.
  explicit SoleInstance(T* self) {
    T* none = nullptr;
    if (!current().compare_exchange_strong(none, self))
      throw std::logic_error(std::string(T::kKindName) + " already exists.");
  }
  ~SoleInstance() { current().store(nullptr); }
  SoleInstance(const SoleInstance&) = delete;
  SoleInstance& operator=(const SoleInstance&) = delete;

  // The live object; throws std::logic_error when there is none (the add-in
  // is not started, or has been stopped).
  static T& get() {
    T* live = current().load();
    if (!live) throw std::logic_error(std::string(T::kKindName) + " is not available: the add-in is not started.");
    return *live;
  }
  // The live object, or null.
  static T* find() { return current().load(); }

 private:
  // Sign-in threads read it while Creo's UI thread makes and ends the object.
  static std::atomic<T*>& current() {
    static std::atomic<T*> live{nullptr};
    return live;
  }
};
