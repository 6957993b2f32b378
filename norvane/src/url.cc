#include "url.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "norvane/errors.h"

namespace norvane {

namespace {

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

[[noreturn]] void invalidAddress(const std::string& text) {
  throw ConfigurationError("norvane: invalid service address \"" + text + "\"");
}

// A name or an IPv4 address holds no brackets, white space or control
// characters; a bracketed host is an IPv6 address. Anything else could not be
// written back into an address that reads the same.
bool isHostText(const std::string& host, bool bracketed) {
  if (bracketed)
    return host.find(':') != std::string::npos && host.find_first_not_of("0123456789abcdef:.") == std::string::npos;
  for (const unsigned char c : host)
    if (c <= ' ' || c == 0x7f || c == '[' || c == ']' || c == '\\') return false;
  return true;
}

}  // namespace

std::string Url::origin() const {
  const bool ipv6 = host.find(':') != std::string::npos;
  return scheme + "://" + (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port) + "/";
}

Url parseUrl(const std::string& text) {
  Url url;
  const size_t schemeEnd = text.find("://");
  if (schemeEnd == std::string::npos) invalidAddress(text);
  url.scheme = lowered(text.substr(0, schemeEnd));
  if (url.scheme != "http" && url.scheme != "https") invalidAddress(text);

  const size_t authorityStart = schemeEnd + 3;
  const size_t authorityEnd = text.find_first_of("/?#", authorityStart);
  const std::string authority = text.substr(authorityStart, authorityEnd - authorityStart);
  if (authority.empty() || authority.find('@') != std::string::npos) invalidAddress(text);
  url.target = authorityEnd == std::string::npos ? "/" : text.substr(authorityEnd);
  if (url.target.front() != '/') url.target = "/" + url.target;
  if (const size_t fragment = url.target.find('#'); fragment != std::string::npos) url.target.erase(fragment);

  std::string portText;
  if (authority.front() == '[') {
    const size_t close = authority.find(']');
    if (close == std::string::npos) invalidAddress(text);
    url.host = authority.substr(1, close - 1);
    if (close + 1 < authority.size()) {
      if (authority[close + 1] != ':') invalidAddress(text);
      portText = authority.substr(close + 2);
    }
  } else {
    const size_t colon = authority.find(':');
    url.host = authority.substr(0, colon);
    if (colon != std::string::npos) portText = authority.substr(colon + 1);
  }
  url.host = lowered(url.host);
  if (url.host.empty() || !isHostText(url.host, authority.front() == '[')) invalidAddress(text);

  if (portText.empty()) {
    url.port = url.scheme == "https" ? 443 : 80;
  } else {
    unsigned port = 0;
    const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (error != std::errc() || end != portText.data() + portText.size() || port == 0 || port > 65535) {
      invalidAddress(text);
    }
    url.port = static_cast<uint16_t>(port);
  }
  return url;
}

namespace {

// Four decimal parts of 0..255 without leading zeros, as inet_pton reads IPv4:
// resolvers take "0127.0.0.1" as octal (87.0.0.1) and "127.1" as 127.0.0.1.
bool isDottedQuadInLoopbackNet(const std::string& name) {
  int parts = 0;
  size_t position = 0;
  while (position <= name.size()) {
    const size_t dot = std::min(name.find('.', position), name.size());
    const size_t length = dot - position;
    if (length == 0 || length > 3 || (length > 1 && name[position] == '0')) return false;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(name.data() + position, name.data() + dot, value);
    if (error != std::errc() || end != name.data() + dot || value > 255) return false;
    if (parts == 0 && value != 127) return false;
    ++parts;
    position = dot + 1;
  }
  return parts == 4;
}

}  // namespace

bool isLoopbackHost(const std::string& host) {
  const std::string name = lowered(host);
  return name == "localhost" || name == "::1" || isDottedQuadInLoopbackNet(name);
}

void requireSecureTransport(const Url& url) {
  if (url.scheme == "https" || isLoopbackHost(url.host)) return;
  throw ConfigurationError("norvane: refusing plain http to " + url.host +
                           "; only loopback addresses may be reached without https");
}

std::string percentEncode(const std::string& text) {
  static const char* const hex = "0123456789ABCDEF";
  std::string encoded;
  for (const unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      encoded += static_cast<char>(c);
    } else {
      encoded += '%';
      encoded += hex[c >> 4];
      encoded += hex[c & 15];
    }
  }
  return encoded;
}

std::string percentDecode(const std::string& text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      decoded += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() &&
               std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
               std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

std::string buildQuery(const QueryParameters& parameters) {
  std::string query;
  for (const auto& [key, value] : parameters) {
    if (!query.empty()) query += '&';
    query += percentEncode(key) + "=" + percentEncode(value);
  }
  return query;
}

std::map<std::string, std::string> parseQuery(const std::string& query) {
  std::map<std::string, std::string> parameters;
  size_t position = 0;
  while (position < query.size()) {
    const size_t end = std::min(query.find('&', position), query.size());
    const std::string pair = query.substr(position, end - position);
    const size_t equals = pair.find('=');
    if (!pair.empty()) {
      parameters.emplace(percentDecode(pair.substr(0, equals)),
                         equals == std::string::npos ? std::string() : percentDecode(pair.substr(equals + 1)));
    }
    position = end + 1;
  }
  return parameters;
}

}  // namespace norvane
