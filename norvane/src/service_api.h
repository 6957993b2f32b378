// JSON calls to the service's API with a bearer token. Answers other than
// 2xx become exceptions whose text says what happened.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "service_config.h"
#include "url.h"

namespace norvane {

class HttpTransport;
class LibraryLog;
struct HttpRequest;

class ServiceApi {
 public:
  ServiceApi(HttpTransport& transport, const ServiceConfig& config, const LibraryLog& log,
             const std::string& accessToken);

  // `subject` names what a 404 means, e.g. "workspace 7".
  nlohmann::json get(const std::string& path, const QueryParameters& query, const std::string& subject) const;
  nlohmann::json post(const std::string& path, const nlohmann::json& body, const std::string& subject) const;
  // Streams the file as the request body.
  nlohmann::json putFile(const std::string& path, const std::filesystem::path& file, uint64_t size,
                         const std::string& subject) const;

 private:
  nlohmann::json send(HttpRequest& request, const std::string& subject) const;

  HttpTransport& transport_;
  const ServiceConfig& config_;
  const LibraryLog& log_;
  std::string accessToken_;
};

// A server's JSON answer; discarded when malformed or nested deeper than any
// answer of the service is (walking a deep one, as dump() does, would exhaust the stack).
nlohmann::json parseAnswer(const std::string& body);

// The text of a service failure, e.g. "norvane: access token expired (HTTP 401)".
[[noreturn]] void throwServiceError(int status, const std::string& body, const std::string& subject);

}  // namespace norvane
