#include "http_exchange.h"

#include <algorithm>
#include <cctype>
#include <regex>

#include "test_socket.h"

namespace tavixtest {
namespace {

struct Url {
  std::string host;
  int port = 80;
  std::string pathAndQuery;
};

// Only http: the tests play the user's part on this machine.
bool parseUrl(const std::string& url, Url& parsed) {
  std::smatch match;
  if (!std::regex_match(url, match, std::regex(R"(http://([^/:]+)(?::([0-9]+))?(/.*)?)"))) return false;
  parsed = {match[1], match[2].matched ? std::stoi(match[2].str()) : 80, match[3].matched ? match[3].str() : "/"};
  return true;
}

std::string decodeChunked(const std::string& body) {
  std::string decoded;
  size_t at = 0;
  while (at < body.size()) {
    size_t lineEnd = body.find("\r\n", at);
    if (lineEnd == std::string::npos) break;
    size_t length = std::stoul(body.substr(at, lineEnd - at), nullptr, 16);
    if (length == 0) break;
    decoded += body.substr(lineEnd + 2, length);
    at = lineEnd + 2 + length + 2;
  }
  return decoded;
}

}  // namespace

std::string formEncode(const std::string& text) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') out += static_cast<char>(c);
    else out += {'%', digits[c >> 4], digits[c & 15]};
  }
  return out;
}

BrowserPage httpExchange(const std::string& url, const HttpRequestParts& request) {
  BrowserPage page;
  page.url = url;
  Url target;
  if (!parseUrl(url, target)) return page;
  const TestSocket connection = TestSocket::connectTo(target.host, target.port);
  if (!connection.isOpen()) return page;

  std::string head = request.method + " " + target.pathAndQuery + " HTTP/1.1\r\nHost: " + target.host + ":" +
                     std::to_string(target.port) +
                     "\r\nUser-Agent: tavix-scripted-browser\r\nAccept: text/html\r\nConnection: close\r\n";
  for (const auto& [name, value] : request.headers) head += name + ": " + value + "\r\n";
  if (!request.contentType.empty()) head += "Content-Type: " + request.contentType + "\r\n";
  if (request.method != "GET") head += "Content-Length: " + std::to_string(request.body.size()) + "\r\n";
  connection.sendAll(head + "\r\n" + request.body);
  const std::string response = connection.receiveAll();

  size_t headerEnd = response.find("\r\n\r\n");
  std::smatch status;
  std::string responseHead = response.substr(0, headerEnd);
  if (headerEnd == std::string::npos ||
      !std::regex_search(responseHead, status, std::regex(R"(^HTTP/1\.[01] ([0-9]{3}))")))
    return page;
  page.status = std::stoi(status[1]);
  page.body = response.substr(headerEnd + 4);
  std::smatch header;
  if (std::regex_search(responseHead, header, std::regex(R"(\r\nLocation:[ \t]*([^\r]*))", std::regex::icase)))
    page.location = header[1];
  if (std::regex_search(responseHead, std::regex(R"(\r\nTransfer-Encoding:[ \t]*chunked)", std::regex::icase)))
    page.body = decodeChunked(page.body);
  else if (std::regex_search(responseHead, header, std::regex(R"(\r\nContent-Length:[ \t]*([0-9]+))", std::regex::icase)))
    page.body.resize(std::min(page.body.size(), static_cast<size_t>(std::stoull(header[1]))));
  return page;
}

}  // namespace tavixtest
