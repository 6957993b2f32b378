// Creating the library's client with the service environment chosen from
// "tavix.properties". The cloud connection keeps the one the add-in uses.
#pragma once

#include <cstdint>
#include <memory>

#include <nlohmann/json.hpp>

#include "norvane/norvane.h"

// A new, initialized client. Throws when the library cannot be loaded or
// refuses its options.
std::shared_ptr<norvane::NorvaneClient> createNorvaneInstance();

// The environment named by tavix_creo_server with the property overrides applied.
nlohmann::json selectEnvironment();
norvane::NorvaneInitializeOptions buildInitializeOptions();
// True with 1..30 minutes when tavix_creo_auth_timeout holds a valid value.
bool readAuthTimeoutOverride(int64_t& minutes);
