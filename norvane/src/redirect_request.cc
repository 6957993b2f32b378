#include "redirect_request.h"

#include "url.h"

namespace norvane {

namespace {

struct RequestLine {
  std::string method;
  std::string path;
  std::string query;
};

// Empty method when the head is malformed.
RequestLine parseRequestLine(const std::string& head) {
  const std::string line = head.substr(0, head.find("\r\n"));
  const size_t firstSpace = line.find(' ');
  const size_t secondSpace = line.find(' ', firstSpace + 1);
  if (firstSpace == std::string::npos || secondSpace == std::string::npos) return {};
  RequestLine request;
  request.method = line.substr(0, firstSpace);
  const std::string target = line.substr(firstSpace + 1, secondSpace - firstSpace - 1);
  const size_t question = target.find('?');
  request.path = target.substr(0, question);
  if (question != std::string::npos) request.query = target.substr(question + 1);
  return request;
}

// Compares secrets without leaking where they differ.
bool sameSecret(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  unsigned char difference = 0;
  for (size_t i = 0; i < a.size(); ++i) difference |= static_cast<unsigned char>(a[i] ^ b[i]);
  return difference == 0;
}

}  // namespace

RedirectRequest judgeRedirectRequest(const std::string& head, const std::string& callbackPath,
                                     const std::string& expectedState) {
  const RequestLine request = parseRequestLine(head);
  if (request.method != "GET" || request.path != callbackPath) return {};
  std::map<std::string, std::string> query = parseQuery(request.query);
  const auto state = query.find("state");
  if (state == query.end() || !sameSecret(state->second, expectedState))
    return {RedirectRequest::Verdict::WrongState, {}};
  return {RedirectRequest::Verdict::Redirect, std::move(query)};
}

}  // namespace norvane
