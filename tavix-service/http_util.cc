#include "http_util.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace tavixservice {

void sendJson(httplib::Response& res, int status, const nlohmann::json& body) {
  res.status = status;
  res.set_header("Cache-Control", "no-store");
  res.set_content(body.dump(), "application/json");
}

void sendError(httplib::Response& res, int status, const std::string& code, const std::string& message) {
  sendJson(res, status, {{"error", code}, {"message", message}});
}

void sendHtml(httplib::Response& res, int status, const std::string& title, const std::string& bodyHtml) {
  res.status = status;
  res.set_header("Cache-Control", "no-store");
  res.set_header("Content-Security-Policy", "default-src 'self'");
  res.set_content("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + htmlEscape(title) +
                      "</title></head>\n<body>\n" + bodyHtml + "</body></html>\n",
                  "text/html; charset=utf-8");
}

std::string htmlEscape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string urlEncode(const std::string& text) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += digits[c >> 4];
      out += digits[c & 15];
    }
  }
  return out;
}

std::optional<int64_t> parseInteger(const std::string& text) {
  int64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

namespace {

// The deepest nesting of arrays and objects in `text`, read as JSON would be;
// stops counting past `limit`. (A depth check inside the parser's callback
// costs a scan of the parent for every object closed: quadratic in a long
// list of objects, such as an announcement's files.)
int nestingDepth(const std::string& text, int limit) {
  int depth = 0;
  int deepest = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size() && deepest <= limit; ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

}  // namespace

nlohmann::json parseJsonBody(const std::string& text) {
  constexpr int kMaxDepth = 16;
  if (nestingDepth(text, kMaxDepth) > kMaxDepth) return nlohmann::json(nlohmann::json::value_t::discarded);
  return nlohmann::json::parse(text, nullptr, false);
}

}  // namespace tavixservice
