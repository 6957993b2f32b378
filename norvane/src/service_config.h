// Where the service lives and who the integration is, from initialize().
#pragma once

#include <string>

#include "url.h"

namespace norvane {

struct ServiceConfig {
  std::string loginUrl;   // identity provider root, ending "/"
  std::string serverUrl;  // API and web application root, ending "/"
  std::string clientId;
  std::string audience;
};

// loginUrl/serverUrl joined with a relative path, checked against the transport policy.
Url serviceAddress(const std::string& root, const std::string& relativePath);

}  // namespace norvane
