#include "service_api.h"

#include "http_transport.h"
#include "library_log.h"
#include "norvane/errors.h"

namespace norvane {

ServiceApi::ServiceApi(HttpTransport& transport, const ServiceConfig& config, const LibraryLog& log,
                       const std::string& accessToken)
    : transport_(transport), config_(config), log_(log), accessToken_(accessToken) {
  if (accessToken_.empty()) throw AuthorizationError("norvane: no access token given; sign in first");
}

nlohmann::json ServiceApi::get(const std::string& path, const QueryParameters& query,
                               const std::string& subject) const {
  HttpRequest request;
  request.method = "GET";
  request.url = serviceAddress(config_.serverUrl, query.empty() ? path : path + "?" + buildQuery(query));
  return send(request, subject);
}

nlohmann::json ServiceApi::post(const std::string& path, const nlohmann::json& body,
                                const std::string& subject) const {
  HttpRequest request;
  request.method = "POST";
  request.url = serviceAddress(config_.serverUrl, path);
  request.contentType = "application/json";
  request.body = body.dump();
  return send(request, subject);
}

nlohmann::json ServiceApi::putFile(const std::string& path, const std::filesystem::path& file, uint64_t size,
                                   const std::string& subject) const {
  HttpRequest request;
  request.method = "PUT";
  request.url = serviceAddress(config_.serverUrl, path);
  request.contentType = "application/octet-stream";
  request.bodyFile = file;
  request.bodyFileSize = size;
  return send(request, subject);
}

nlohmann::json ServiceApi::send(HttpRequest& request, const std::string& subject) const {
  request.headers.emplace_back("Authorization", "Bearer " + accessToken_);
  request.headers.emplace_back("Accept", "application/json");
  const std::string what = request.method + " " + request.url.target.substr(0, request.url.target.find('?'));
  log_.debug(what);
  HttpResponse response;
  try {
    response = transport_.send(request);
  } catch (const ConnectionError& error) {
    log_.warning(what + " failed: " + error.what());
    throw;
  }
  if (response.status < 200 || response.status > 299) {
    log_.warning(what + " answered HTTP " + std::to_string(response.status));
    throwServiceError(response.status, response.body, subject);
  }
  nlohmann::json answer = parseAnswer(response.body);
  if (answer.is_discarded()) {
    throw ServerError("norvane: unreadable answer from the service (HTTP " + std::to_string(response.status) +
                      ")");
  }
  return answer;
}

nlohmann::json parseAnswer(const std::string& body) {
  constexpr int kMaxDepth = 32;
  bool tooDeep = false;
  nlohmann::json answer = nlohmann::json::parse(
      body,
      [&tooDeep](int depth, nlohmann::json::parse_event_t, nlohmann::json&) {
        if (depth > kMaxDepth) tooDeep = true;
        return !tooDeep;
      },
      false);
  return tooDeep ? nlohmann::json(nlohmann::json::value_t::discarded) : answer;
}

void throwServiceError(int status, const std::string& body, const std::string& subject) {
  const nlohmann::json answer = parseAnswer(body);
  auto field = [&](const char* key) {
    return answer.is_object() && answer.contains(key) && answer[key].is_string() ? answer[key].get<std::string>()
                                                                                  : std::string();
  };
  const std::string code = field("error");
  const std::string message = field("message");
  const std::string statusText = "(HTTP " + std::to_string(status) + ")";
  const std::string detail = message.empty() ? "" : ": " + escapeControlCharacters(message);
  if (status == 401) {
    throw AuthorizationError(code == "token_expired" ? "norvane: access token expired " + statusText
                                                     : "norvane: access token refused " + statusText);
  }
  if (status == 403) throw AccessDeniedError("norvane: access denied " + statusText + detail);
  if (status == 404) {
    throw NotFoundError("norvane: " + (subject.empty() ? std::string("resource") : subject) + " not found " +
                        statusText);
  }
  if (status == 413) throw RequestTooLargeError("norvane: request too large for the service " + statusText + detail);
  if (status >= 500) throw ServerError("norvane: server error " + statusText + detail);
  throw ServerError("norvane: request refused " + statusText + detail);
}

}  // namespace norvane
