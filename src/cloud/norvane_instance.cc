#include "cloud/norvane_instance.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "cloud/client_library_loader.h"
#include "cloud/environments.h"
#include "cloud/norvane_logger_adapter.h"
#include "core/ascii_case.h"
#include "core/log.h"
#include "core/properties.h"

namespace {

ServiceEnvironment environmentNamed(const std::string& name) {
  if (name == "stage" || name == "staging") {
    logInfo("NorvaneInstance: server=stage");
    return ServiceEnvironment::Stage;
  }
  if (name == "us_stage" || name == "us_staging") {
    logInfo("NorvaneInstance: server=us_stage");
    return ServiceEnvironment::UsStage;
  }
  if (name == "us_prod") {
    logInfo("NorvaneInstance: server=us_prod");
    return ServiceEnvironment::UsProd;
  }
  if (!name.empty() && name != "prod") {
    logWarning("NorvaneInstance: unknown server value \"" + name + "\", defaulting to prod.");
  }
  return ServiceEnvironment::Prod;
}

}  // namespace

std::shared_ptr<norvane::NorvaneClient> createNorvaneInstance() {
  logDebug("NorvaneInstance initialization started.");
  logDebug("Creating dynamic norvane bridge.");
  ensureClientLibraryLoaded();
  auto bridge = std::make_shared<norvane::DynamicNorvaneBridge>(std::string());
  logDebug("Dynamic norvane bridge created.");
  logDebug("Creating norvane client.");
  auto logger = std::make_shared<NorvaneLoggerAdapter>();
  auto client = std::make_shared<norvane::NorvaneClient>(bridge, logger);
  logDebug("norvane client created.");
  logDebug("Initializing ostrel via norvane.");
  // A client that refused its options is dropped with the exception, so the
  // next request starts over.
  client->initialize(buildInitializeOptions());
  logDebug("norvane/ostrel initialization completed.");
  logDebug("NorvaneInstance initialization completed.");
  return client;
}

nlohmann::json selectEnvironment() {
  nlohmann::json config = environmentConfig(environmentNamed(asciiLowered(TavixProperties::get("tavix_creo_server"))));
  const std::string overrides[][2] = {
      {"LoginURL", TavixProperties::get("tavix_creo_login_url")},
      {"ServerURL", TavixProperties::get("tavix_creo_server_url")},
      {"ClientID", TavixProperties::get("tavix_creo_client_id")},
      {"Audience", TavixProperties::get("tavix_creo_audience")},
  };
  for (const auto& [member, value] : overrides) {
    if (value.empty()) continue;
    logInfo("NorvaneInstance: overriding " + member + " from properties.");
    config[member] = value;
  }
  return config;
}

norvane::NorvaneInitializeOptions buildInitializeOptions() {
  norvane::NorvaneInitializeOptions options;
  options.logFileName = "ostrel-integration.log";
  options.logLevel = logLevelName(currentLogLevel());
  options.environmentConfig = selectEnvironment();
  options.integrationVersions = {{"tavix-creo", TAVIX_INTEGRATION_VERSION}};
  return options;
}

bool readAuthTimeoutOverride(int64_t& minutes) {
  const std::string value = TavixProperties::get("tavix_creo_auth_timeout");
  if (value.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long number = std::strtoll(value.c_str(), &end, 10);
  const bool whole = end != value.c_str() && end == value.c_str() + value.size() && errno != ERANGE;
  if (whole && number >= 1 && number <= 30) {
    logInfo("NorvaneInstance: local auth timeout override=" + std::to_string(number) + " minute(s).");
    minutes = number;
    return true;
  }
  logWarning("NorvaneInstance: invalid value for tavix_creo_auth_timeout=\"" + value +
             "\"; expected an integer between 1 and 30 minutes.");
  return false;
}
