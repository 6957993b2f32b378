#include "cloud/environments.h"

nlohmann::json environmentConfig(ServiceEnvironment environment) {
  // The two staging regions are one registration with the identity provider.
  static const char* const kStagingClientId = "E6LrzaTiOgqIDE93iPFtFhzH838HQ8SJ";
  switch (environment) {
    case ServiceEnvironment::UsProd:
      return {{"LoginURL", "https://login.us.tavix.example/"},
              {"ServerURL", "https://app.us.tavix.example/"},
              {"ClientID", "i1id74dswLS3J703yR023L6Y3HZsFA9b"},
              {"Audience", "https://tavix-us-prod.auth.tavix.example/api/v2/"}};
    case ServiceEnvironment::Stage:
      return {{"LoginURL", "https://login.stage.tavix.example/"},
              {"ServerURL", "https://app.stage.tavix.example/"},
              {"ClientID", kStagingClientId},
              {"Audience", "https://tavix-stage.auth.tavix.example/api/v2/"}};
    case ServiceEnvironment::UsStage:
      return {{"LoginURL", "https://login.us-stage.tavix.example/"},
              {"ServerURL", "https://app.us-stage.tavix.example/"},
              {"ClientID", kStagingClientId},
              {"Audience", "https://tavix-us-stage.auth.tavix.example/api/v2/"}};
    case ServiceEnvironment::Prod:
      break;
  }
  return {{"LoginURL", "https://login.tavix.example/"},
          {"ServerURL", "https://app.tavix.example/"},
          {"ClientID", "uB3r2wcTizaw6HtEBwN0c2hVxORC8rpJ"},
          {"Audience", "https://tavix-prod.auth.tavix.example/api/v2/"}};
}
