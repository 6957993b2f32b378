#include "scripted_browser.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <regex>
#include <utility>
#include <vector>

namespace tavixtest {
namespace {

struct Url {
  std::string host;
  std::string port;
  std::string pathAndQuery;
};

// Only http: the browser plays the user's part on this machine.
bool parseUrl(const std::string& url, Url& parsed) {
  std::smatch match;
  if (!std::regex_match(url, match, std::regex(R"(http://([^/:]+)(?::([0-9]+))?(/.*)?)"))) return false;
  parsed = {match[1], match[2].matched ? match[2].str() : "80", match[3].matched ? match[3].str() : "/"};
  return true;
}

std::string resolve(const std::string& base, const std::string& reference) {
  if (reference.rfind("http://", 0) == 0 || reference.rfind("https://", 0) == 0) return reference;
  std::smatch origin;
  std::regex_search(base, origin, std::regex(R"(^https?://[^/]+)"));
  return origin.str() + (reference.rfind('/', 0) == 0 ? reference : "/" + reference);
}

std::string htmlUnescape(std::string text) {
  static const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, character] : entities)
    for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
      text.replace(at, std::strlen(entity), character);
  return text;
}

std::string attribute(const std::string& tag, const std::string& name) {
  std::smatch match;
  if (std::regex_search(tag, match, std::regex("\\b" + name + "=\"([^\"]*)\""))) return htmlUnescape(match[1]);
  return {};
}

std::string formEncode(const std::string& text) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') out += static_cast<char>(c);
    else out += {'%', digits[c >> 4], digits[c & 15]};
  }
  return out;
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

// One request on its own connection, read to the end. The raw Location header
// is kept as sent: it carries the code and state exactly as the service wrote them.
BrowserPage exchange(const std::string& url, const std::string& method, const std::string& form) {
  BrowserPage page;
  page.url = url;
  Url target;
  if (!parseUrl(url, target)) return page;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* addresses = nullptr;
  if (getaddrinfo(target.host.c_str(), target.port.c_str(), &hints, &addresses) != 0) return page;
  int fd = -1;
  for (addrinfo* a = addresses; a && fd < 0; a = a->ai_next) {
    fd = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (fd >= 0 && connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
      close(fd);
      fd = -1;
    }
  }
  freeaddrinfo(addresses);
  if (fd < 0) return page;
  timeval timeout{60, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);

  std::string request = method + " " + target.pathAndQuery + " HTTP/1.1\r\nHost: " + target.host + ":" + target.port +
                        "\r\nUser-Agent: tavix-scripted-browser\r\nAccept: text/html\r\nConnection: close\r\n";
  if (method == "POST")
    request += "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " + std::to_string(form.size()) +
               "\r\n";
  request += "\r\n" + form;
  for (size_t sent = 0; sent < request.size();) {
    ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
  std::string response;
  char buffer[16384];
  for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) response.append(buffer, static_cast<size_t>(n));
  close(fd);

  size_t headerEnd = response.find("\r\n\r\n");
  std::smatch status;
  std::string head = response.substr(0, headerEnd);
  if (headerEnd == std::string::npos || !std::regex_search(head, status, std::regex(R"(^HTTP/1\.[01] ([0-9]{3}))")))
    return page;
  page.status = std::stoi(status[1]);
  page.body = response.substr(headerEnd + 4);
  std::smatch header;
  if (std::regex_search(head, header, std::regex(R"(\r\nLocation:[ \t]*([^\r]*))", std::regex::icase)))
    page.location = header[1];
  if (std::regex_search(head, std::regex(R"(\r\nTransfer-Encoding:[ \t]*chunked)", std::regex::icase)))
    page.body = decodeChunked(page.body);
  else if (std::regex_search(head, header, std::regex(R"(\r\nContent-Length:[ \t]*([0-9]+))", std::regex::icase)))
    page.body.resize(std::min(page.body.size(), static_cast<size_t>(std::stoull(header[1]))));
  return page;
}

}  // namespace

BrowserPage ScriptedBrowser::get(const std::string& url) {
  BrowserPage page = exchange(url, "GET", {});
  for (int redirects = 0; redirects < 10 && page.status >= 300 && page.status < 400 && !page.location.empty();
       ++redirects)
    page = exchange(resolve(page.url, page.location), "GET", {});
  return page;
}

BrowserPage ScriptedBrowser::submitSignIn(const BrowserPage& page, const std::string& email,
                                          const std::string& password) {
  std::smatch form;
  if (!std::regex_search(page.body, form, std::regex("<form[^>]*id=\"signin\"[^>]*>([\\s\\S]*?)</form>")))
    return BrowserPage{0, page.url, "the page has no sign-in form", {}};
  std::string formTag = form.str(0).substr(0, form.str(0).find('>') + 1);
  std::string fields;
  std::string inputs = form.str(1);
  std::regex inputPattern("<input[^>]*>");
  for (auto it = std::sregex_iterator(inputs.begin(), inputs.end(), inputPattern); it != std::sregex_iterator(); ++it) {
    std::string name = attribute(it->str(), "name");
    if (name.empty()) continue;
    std::string value = name == "email" ? email : name == "password" ? password : attribute(it->str(), "value");
    fields += (fields.empty() ? "" : "&") + formEncode(name) + "=" + formEncode(value);
  }
  return exchange(resolve(page.url, attribute(formTag, "action")), "POST", fields);
}

BrowserPage ScriptedBrowser::signIn(const std::string& authorizeUrl, const std::string& email,
                                    const std::string& password) {
  BrowserPage form = get(authorizeUrl);
  if (form.status != 200) return form;
  BrowserPage answer = submitSignIn(form, email, password);
  if (answer.status != 302) return answer;
  return get(resolve(answer.url, answer.location));
}

}  // namespace tavixtest
