// Small helpers shared by the service's routes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <httplib.h>
#include <nlohmann/json.hpp>

namespace tavixservice {

void sendJson(httplib::Response& res, int status, const nlohmann::json& body);
// {"error": code, "message": message}, the shape every API failure has.
void sendError(httplib::Response& res, int status, const std::string& code, const std::string& message);
void sendHtml(httplib::Response& res, int status, const std::string& title, const std::string& bodyHtml);

std::string htmlEscape(const std::string& text);
std::string urlEncode(const std::string& text);
// A whole decimal number and nothing else.
std::optional<int64_t> parseInteger(const std::string& text);
// The JSON of a request body; discarded when malformed or nested deeper than
// any request of this service needs (deep nesting would exhaust the stack of
// whatever walks it later).
nlohmann::json parseJsonBody(const std::string& text);

}  // namespace tavixservice
