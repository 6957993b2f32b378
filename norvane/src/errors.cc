#include "norvane/errors.h"

namespace norvane {

NorvaneError::NorvaneError(const std::string& message) : std::runtime_error(message) {}
NorvaneError::~NorvaneError() = default;
ConnectionError::~ConnectionError() = default;
AuthorizationError::~AuthorizationError() = default;
AccessDeniedError::~AccessDeniedError() = default;
NotFoundError::~NotFoundError() = default;
RequestTooLargeError::~RequestTooLargeError() = default;
ServerError::~ServerError() = default;
SignInError::~SignInError() = default;
ConfigurationError::~ConfigurationError() = default;

bool isAuthorizationRefused(const std::exception& error) noexcept {
  return dynamic_cast<const AuthorizationError*>(&error) != nullptr;
}

bool isServiceUnavailable(const std::exception& error) noexcept {
  return dynamic_cast<const ConnectionError*>(&error) != nullptr || dynamic_cast<const ServerError*>(&error) != nullptr;
}

bool isRequestTooLarge(const std::exception& error) noexcept {
  return dynamic_cast<const RequestTooLargeError*>(&error) != nullptr;
}

}  // namespace norvane
