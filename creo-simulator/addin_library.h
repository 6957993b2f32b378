// An add-in library loaded the way Creo loads one: the library file is opened,
// user_initialize_plus hands it the host, and at the end user_terminate_plus runs
// and the library is unloaded, its ribbon commands released first (their actions
// live in the library's code).
#pragma once

#include <filesystem>
#include <string>

#include "host/creo_host.h"

namespace creosim {

class CreoSimulator;

class AddinLibrary {
 public:
  // Opens the library and finds its entry points; throws std::runtime_error with
  // the system's text when either fails.
  AddinLibrary(CreoSimulator& simulator, const std::filesystem::path& file);
  // Stops the add-in if it is running, then unloads it.
  ~AddinLibrary();
  AddinLibrary(const AddinLibrary&) = delete;
  AddinLibrary& operator=(const AddinLibrary&) = delete;

  // user_initialize_plus: 0 when the add-in started.
  int start();
  // user_terminate_plus, then the ribbon commands are released. Only after a start.
  void stop();
  bool running() const { return running_; }

 private:
  using TerminateFunction = void (*)();

  // Platform parts.
  void* open(const std::filesystem::path& file);
  void* symbol(const char* name);
  void close();

  CreoSimulator& simulator_;
  void* handle_ = nullptr;
  int (*initialize_)(CreoHost*, int, char*[], char*, char*, wchar_t[80]) = nullptr;
  TerminateFunction terminate_ = nullptr;
  bool running_ = false;
};

}  // namespace creosim
