// The one process-wide library client: created on first request, with the
// service environment chosen from "tavix.properties", and kept until unload.
#pragma once

#include <cstdint>
#include <memory>

#include <nlohmann/json.hpp>

#include "norvane/norvane.h"

class NorvaneInstance {
 public:
  // The client, created and initialized on first use. Throws when the library
  // cannot be loaded or refuses its options; the next request tries again.
  static std::shared_ptr<norvane::NorvaneClient> get();
  static std::shared_ptr<norvane::NorvaneClient> initialize();

 private:
  static std::shared_ptr<norvane::NorvaneClient>& published();
};

// The environment named by tavix_creo_server with the property overrides applied.
nlohmann::json selectEnvironment();
norvane::NorvaneInitializeOptions buildInitializeOptions();
// True with 1..30 minutes when tavix_creo_auth_timeout holds a valid value.
bool readAuthTimeoutOverride(int64_t& minutes);
