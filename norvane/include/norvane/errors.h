// What the library throws. Every failure is a std::runtime_error whose text
// starts with "norvane: " and says what happened; the classes let a caller
// tell the kinds apart without reading the text.
#pragma once

#include <stdexcept>
#include <string>

#include "norvane/export.h"

namespace norvane {

class NORVANE_API NorvaneError : public std::runtime_error {
 public:
  explicit NorvaneError(const std::string& message);
  ~NorvaneError() override;
};

// The service could not be reached or the exchange broke off.
class NORVANE_API ConnectionError : public NorvaneError {
 public:
  using NorvaneError::NorvaneError;
  ~ConnectionError() override;
};

// The access token was refused: expired, revoked, unknown or missing (HTTP 401).
// Signing in again gives a token the service accepts.
class NORVANE_API AuthorizationError : public NorvaneError {
 public:
  using NorvaneError::NorvaneError;
  ~AuthorizationError() override;
};

// The token is good but its user may not do this (HTTP 403); signing in again
// does not help.
class NORVANE_API AccessDeniedError : public NorvaneError {
 public:
  using NorvaneError::NorvaneError;
  ~AccessDeniedError() override;
};

// A workspace or other object does not exist (HTTP 404).
class NORVANE_API NotFoundError : public NorvaneError {
 public:
  using NorvaneError::NorvaneError;
  ~NotFoundError() override;
};

// The service refused the request as larger than it takes (HTTP 413): the
// same request will be refused again, however often it is sent.
class NORVANE_API RequestTooLargeError : public NorvaneError {
 public:
  using NorvaneError::NorvaneError;
  ~RequestTooLargeError() override;
};

// The service failed or answered something the library cannot read.
class NORVANE_API ServerError : public NorvaneError {
 public:
  using NorvaneError::NorvaneError;
  ~ServerError() override;
};

// The browser sign-in did not complete: time-out, wrong state, denied, refused code.
class NORVANE_API SignInError : public NorvaneError {
 public:
  using NorvaneError::NorvaneError;
  ~SignInError() override;
};

// The configuration does not allow the call (missing settings, insecure address).
class NORVANE_API ConfigurationError : public NorvaneError {
 public:
  using NorvaneError::NorvaneError;
  ~ConfigurationError() override;
};

// True when `error` is the library's AuthorizationError. Callers across a
// delay-loaded import cannot catch the library's classes by type (their type
// information is the library's own); the library tells its own apart.
NORVANE_API bool isAuthorizationRefused(const std::exception& error) noexcept;

// True when `error` is the library's ConnectionError or ServerError: the service
// could not be reached, broke off the exchange or failed. Such a failure says
// nothing about the session or the workspace; trying again later may pass.
NORVANE_API bool isServiceUnavailable(const std::exception& error) noexcept;

// True when `error` is the library's RequestTooLargeError.
NORVANE_API bool isRequestTooLarge(const std::exception& error) noexcept;

}  // namespace norvane
