// What the embedded browser needs to read from pages and addresses: absolute
// http(s) addresses, relative references, and the fields of an HTML form.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace creosim {

struct Url {
  std::string scheme;  // "http" or "https"
  std::string host;    // without brackets for IPv6
  int port = 0;
  std::string target;  // path and query, at least "/"

  std::string origin() const;  // scheme://host:port
};

std::optional<Url> parseUrl(const std::string& text);
// The address a link or Location value leads to from `base`.
std::string resolveUrl(const Url& base, const std::string& reference);
bool isLoopbackHost(const std::string& host);

using FormFields = std::vector<std::pair<std::string, std::string>>;

struct HtmlForm {
  std::string action;  // as written, possibly relative; empty means the page itself
  std::string method;  // lower case
  FormFields fields;   // the form's inputs, in order, entities decoded
};

// The form with the given id, or none.
std::optional<HtmlForm> findForm(const std::string& html, const std::string& id);
// application/x-www-form-urlencoded
std::string encodeForm(const FormFields& fields);

}  // namespace creosim
