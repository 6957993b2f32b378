#include "browser_page.h"

#include <algorithm>
#include <cctype>

namespace creosim {

namespace {

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string decodeEntities(const std::string& text) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&quot;", '"'}, {"&#39;", '\''}, {"&#x27;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    if (text[i] == '&') {
      for (const auto& [entity, c] : kEntities) {
        const std::string name(entity);
        if (text.compare(i, name.size(), name) == 0) {
          out += c;
          i += name.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

// The attributes of one tag, names in lower case.
std::vector<std::pair<std::string, std::string>> tagAttributes(const std::string& tag) {
  std::vector<std::pair<std::string, std::string>> attributes;
  size_t i = tag.find_first_of(" \t\r\n");
  while (i != std::string::npos && i < tag.size()) {
    while (i < tag.size() && (std::isspace(static_cast<unsigned char>(tag[i])) || tag[i] == '/')) ++i;
    const size_t nameStart = i;
    while (i < tag.size() && !std::isspace(static_cast<unsigned char>(tag[i])) && tag[i] != '=' && tag[i] != '/')
      ++i;
    if (i == nameStart) break;
    std::string name = lower(tag.substr(nameStart, i - nameStart));
    std::string value;
    if (i < tag.size() && tag[i] == '=') {
      ++i;
      if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
        const char quote = tag[i++];
        const size_t end = tag.find(quote, i);
        value = tag.substr(i, end == std::string::npos ? std::string::npos : end - i);
        i = end == std::string::npos ? tag.size() : end + 1;
      } else {
        const size_t start = i;
        while (i < tag.size() && !std::isspace(static_cast<unsigned char>(tag[i]))) ++i;
        value = tag.substr(start, i - start);
      }
    }
    attributes.emplace_back(std::move(name), decodeEntities(value));
  }
  return attributes;
}

std::string attribute(const std::vector<std::pair<std::string, std::string>>& attributes, const std::string& name) {
  for (const auto& [key, value] : attributes)
    if (key == name) return value;
  return {};
}

// The text of the <label> that encloses an input, from the label's start to the input.
std::string labelBefore(const std::string& html, const std::string& lowered, size_t from, size_t input) {
  const size_t label = lowered.rfind("<label", input);
  if (label == std::string::npos || label < from) return {};
  const size_t closed = lowered.find("</label", label);
  if (closed != std::string::npos && closed < input) return {};
  const size_t labelEnd = html.find('>', label);
  if (labelEnd == std::string::npos || labelEnd > input) return {};
  std::string text = pageText(html.substr(labelEnd + 1, input - labelEnd - 1));
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

bool isBlockTag(const std::string& name) {
  static const char* kBlocks[] = {"p", "h1", "h2", "h3", "div", "tr", "li", "br", "form", "table", "button", "label", "title"};
  return std::any_of(std::begin(kBlocks), std::end(kBlocks), [&](const char* block) { return name == block; });
}

}  // namespace

std::string pageTitle(const std::string& html) {
  const std::string lowered = lower(html);
  const size_t open = lowered.find("<title");
  if (open == std::string::npos) return {};
  const size_t start = html.find('>', open);
  const size_t end = lowered.find("</title", open);
  if (start == std::string::npos || end == std::string::npos || end < start) return {};
  std::string title = pageText(html.substr(start + 1, end - start - 1));
  if (!title.empty()) title.pop_back();  // its line's end
  return title;
}

std::string pageText(const std::string& html) {
  const std::string lowered = lower(html);
  std::string lines;
  std::string line;
  auto endLine = [&] {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    line.erase(0, line.find_first_not_of(' '));
    if (!line.empty()) lines += decodeEntities(line) + "\n";
    line.clear();
  };
  size_t i = 0;
  // What the head holds (the title among it) is not part of the page's text.
  if (const size_t body = lowered.find("<body"); body != std::string::npos) i = body;
  while (i < html.size()) {
    if (html[i] == '<') {
      const size_t end = html.find('>', i);
      if (end == std::string::npos) break;
      std::string name = lowered.substr(i + 1, end - i - 1);
      const bool closing = !name.empty() && name.front() == '/';
      if (closing) name.erase(0, 1);
      name = name.substr(0, name.find_first_of(" \t\r\n/"));
      if (!closing && (name == "script" || name == "style")) {
        const size_t close = html.find('>', lowered.find("</" + name, end));
        i = close == std::string::npos ? html.size() : close + 1;
        continue;
      }
      if (isBlockTag(name)) endLine();
      else if ((name == "td" || name == "th") && !closing && !line.empty()) {
        while (line.back() == ' ') line.pop_back();
        line += " | ";
      }
      i = end + 1;
      continue;
    }
    const char c = html[i++];
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!line.empty() && line.back() != ' ') line += ' ';
    } else {
      line += c;
    }
  }
  endLine();
  return lines;
}

FormFields HtmlForm::filledIn(const FormFields& values) const {
  FormFields filled = fields;
  // Not a structured binding: clang 14 (the fuzz build) cannot capture one in a lambda.
  for (const auto& entry : values) {
    auto field = std::find_if(filled.begin(), filled.end(), [&](const auto& f) { return f.first == entry.first; });
    if (field != filled.end()) field->second = entry.second;
    else filled.emplace_back(entry.first, entry.second);
  }
  return filled;
}

std::string Url::origin() const {
  const std::string shownHost = host.find(':') != std::string::npos ? "[" + host + "]" : host;
  return scheme + "://" + shownHost + ":" + std::to_string(port);
}

std::optional<Url> parseUrl(const std::string& text) {
  const size_t schemeEnd = text.find("://");
  if (schemeEnd == std::string::npos) return std::nullopt;
  Url url;
  url.scheme = lower(text.substr(0, schemeEnd));
  if (url.scheme != "http" && url.scheme != "https") return std::nullopt;
  const size_t authorityStart = schemeEnd + 3;
  const size_t authorityEnd = text.find_first_of("/?#", authorityStart);
  std::string authority = text.substr(authorityStart, authorityEnd - authorityStart);
  if (authority.find('@') != std::string::npos) return std::nullopt;
  std::string port;
  if (!authority.empty() && authority.front() == '[') {
    const size_t close = authority.find(']');
    if (close == std::string::npos) return std::nullopt;
    url.host = authority.substr(1, close - 1);
    if (close + 1 < authority.size()) {
      if (authority[close + 1] != ':') return std::nullopt;
      port = authority.substr(close + 2);
    }
  } else {
    const size_t colon = authority.find(':');
    url.host = authority.substr(0, colon);
    if (colon != std::string::npos) port = authority.substr(colon + 1);
  }
  if (url.host.empty()) return std::nullopt;
  url.host = lower(url.host);
  if (port.empty()) {
    url.port = url.scheme == "https" ? 443 : 80;
  } else {
    if (port.size() > 5 || !std::all_of(port.begin(), port.end(), [](unsigned char c) { return std::isdigit(c); }))
      return std::nullopt;
    url.port = std::stoi(port);
    if (url.port < 1 || url.port > 65535) return std::nullopt;
  }
  std::string target = authorityEnd == std::string::npos ? std::string() : text.substr(authorityEnd);
  target = target.substr(0, target.find('#'));
  if (target.empty() || target.front() != '/') target = "/" + target;
  url.target = target;
  return url;
}

std::string resolveUrl(const Url& base, const std::string& reference) {
  if (reference.find("://") != std::string::npos) return reference;
  if (reference.empty()) return base.origin() + base.target;
  if (reference.rfind("//", 0) == 0) return base.scheme + ":" + reference;
  if (reference.front() == '/') return base.origin() + reference;
  const std::string path = base.target.substr(0, base.target.find('?'));
  if (reference.front() == '?') return base.origin() + path + reference;
  return base.origin() + path.substr(0, path.rfind('/') + 1) + reference;
}

// Only an address in 127.0.0.0/8 written as four numbers: a name such as
// "127.tavix.example" would be looked up and could lead anywhere.
bool isLoopbackHost(const std::string& host) {
  if (host == "localhost" || host == "::1") return true;
  int parts = 0;
  size_t start = 0;
  for (;;) {
    const size_t end = std::min(host.find('.', start), host.size());
    const std::string part = host.substr(start, end - start);
    if (part.empty() || part.size() > 3 || !std::all_of(part.begin(), part.end(), [](unsigned char c) { return std::isdigit(c); })) return false;
    if (std::stoi(part) > 255 || (parts == 0 && part != "127")) return false;
    ++parts;
    if (end == host.size()) return parts == 4;
    start = end + 1;
  }
}

std::string addressWithoutQuery(const std::string& url) { return url.substr(0, url.find('?')); }

std::optional<HtmlForm> findForm(const std::string& html, const std::string& id) {
  const std::string lowered = lower(html);
  for (size_t start = lowered.find("<form"); start != std::string::npos; start = lowered.find("<form", start + 1)) {
    const size_t tagEnd = html.find('>', start);
    if (tagEnd == std::string::npos) return std::nullopt;
    const auto formAttributes = tagAttributes(html.substr(start + 1, tagEnd - start - 1));
    if (attribute(formAttributes, "id") != id) continue;

    HtmlForm form;
    form.action = attribute(formAttributes, "action");
    form.method = lower(attribute(formAttributes, "method"));
    if (form.method.empty()) form.method = "get";
    const size_t formEnd = std::min(lowered.find("</form", tagEnd), html.size());
    for (size_t input = lowered.find("<input", tagEnd); input < formEnd; input = lowered.find("<input", input + 1)) {
      const size_t inputEnd = html.find('>', input);
      if (inputEnd == std::string::npos) break;
      const auto inputAttributes = tagAttributes(html.substr(input + 1, inputEnd - input - 1));
      const std::string name = attribute(inputAttributes, "name");
      if (name.empty()) continue;
      form.fields.emplace_back(name, attribute(inputAttributes, "value"));
      std::string type = lower(attribute(inputAttributes, "type"));
      if (type.empty()) type = "text";
      if (type == "hidden" || type == "submit") continue;
      std::string label = labelBefore(html, lowered, tagEnd, input);
      form.questions.push_back(FormQuestion{name, label.empty() ? name : label, type});
    }
    return form;
  }
  return std::nullopt;
}

std::string encodeForm(const FormFields& fields) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const auto& [name, value] : fields) {
    if (!out.empty()) out += '&';
    for (const std::string* part : {&name, &value}) {
      for (unsigned char c : *part) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
          out += static_cast<char>(c);
        } else {
          out += '%';
          out += kHex[c >> 4];
          out += kHex[c & 15];
        }
      }
      if (part == &name) out += '=';
    }
  }
  return out;
}

}  // namespace creosim
