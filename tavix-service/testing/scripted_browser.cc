#include "scripted_browser.h"

#include <regex>
#include <utility>

#include <httplib.h>

namespace tavixtest {
namespace {

// "http://host:port" and "/path?query" of an absolute http address.
std::pair<std::string, std::string> splitUrl(const std::string& url) {
  if (url.rfind("http://", 0) != 0) return {};
  size_t slash = url.find('/', 7);
  if (slash == std::string::npos) return {url, "/"};
  return {url.substr(0, slash), url.substr(slash)};
}

std::string resolve(const std::string& base, const std::string& reference) {
  if (reference.rfind("http://", 0) == 0 || reference.rfind("https://", 0) == 0) return reference;
  return splitUrl(base).first + (reference.rfind('/', 0) == 0 ? reference : "/" + reference);
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

BrowserPage toPage(const std::string& url, const httplib::Result& result) {
  BrowserPage page;
  page.url = url;
  if (!result) return page;
  page.status = result->status;
  page.body = result->body;
  page.location = result->get_header_value("Location");
  return page;
}

httplib::Client clientFor(const std::string& origin) {
  httplib::Client client(origin);
  client.set_connection_timeout(5);
  client.set_read_timeout(60);
  return client;
}

}  // namespace

BrowserPage ScriptedBrowser::get(const std::string& url) {
  std::string current = url;
  BrowserPage page;
  for (int redirects = 0; redirects <= 10; ++redirects) {
    auto [origin, path] = splitUrl(current);
    if (origin.empty()) return BrowserPage{0, current, {}, {}};
    auto client = clientFor(origin);
    page = toPage(current, client.Get(path.c_str()));
    if (page.status < 300 || page.status >= 400 || page.location.empty()) return page;
    current = resolve(current, page.location);
  }
  return page;
}

BrowserPage ScriptedBrowser::submitSignIn(const BrowserPage& page, const std::string& email,
                                          const std::string& password) {
  std::smatch form;
  if (!std::regex_search(page.body, form, std::regex("<form[^>]*id=\"signin\"[^>]*>([\\s\\S]*?)</form>")))
    return BrowserPage{0, page.url, "the page has no sign-in form", {}};
  std::string formTag = form.str(0).substr(0, form.str(0).find('>') + 1);
  httplib::Params fields;
  std::string inputs = form.str(1);
  std::regex inputPattern("<input[^>]*>");
  for (auto it = std::sregex_iterator(inputs.begin(), inputs.end(), inputPattern); it != std::sregex_iterator(); ++it) {
    std::string name = attribute(it->str(), "name");
    if (name == "email") fields.emplace(name, email);
    else if (name == "password") fields.emplace(name, password);
    else if (!name.empty()) fields.emplace(name, attribute(it->str(), "value"));
  }
  std::string target = resolve(page.url, attribute(formTag, "action"));
  auto [origin, path] = splitUrl(target);
  auto client = clientFor(origin);
  return toPage(target, client.Post(path.c_str(), fields));
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
