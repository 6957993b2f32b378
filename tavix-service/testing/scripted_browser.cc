#include "scripted_browser.h"

#include <cstring>
#include <regex>
#include <utility>

namespace tavixtest {
namespace {

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

}  // namespace

BrowserPage ScriptedBrowser::get(const std::string& url) {
  BrowserPage page = httpExchange(url);
  for (int redirects = 0; redirects < 10 && page.status >= 300 && page.status < 400 && !page.location.empty();
       ++redirects)
    page = httpExchange(resolve(page.url, page.location));
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
  return httpExchange(resolve(page.url, attribute(formTag, "action")),
                      {"POST", {}, "application/x-www-form-urlencoded", fields});
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
