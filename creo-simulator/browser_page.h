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
// The address as shown to people: a sign-in's query carries its code and state.
std::string addressWithoutQuery(const std::string& url);

using FormFields = std::vector<std::pair<std::string, std::string>>;

// An input a person types into, as the page labels it.
struct FormQuestion {
  std::string name;
  std::string label;  // the text of its <label>, else its name
  std::string type;   // lower case, "text" when not given
};

struct HtmlForm {
  std::string action;  // as written, possibly relative; empty means the page itself
  std::string method;  // lower case
  FormFields fields;   // the form's inputs, in order, entities decoded
  std::vector<FormQuestion> questions;  // the inputs that are not hidden, in order

  // The fields with these values put in by name; names the form lacks are added.
  FormFields filledIn(const FormFields& values) const;
};

// The form with the given id, or none.
std::optional<HtmlForm> findForm(const std::string& html, const std::string& id);
// What a person reads on the page: its title, and its text with one line per
// heading, paragraph, table row or button.
std::string pageTitle(const std::string& html);
std::string pageText(const std::string& html);
// application/x-www-form-urlencoded
std::string encodeForm(const FormFields& fields);

}  // namespace creosim
