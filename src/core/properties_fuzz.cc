// "tavix.properties" as any file may hold it: every entry comes out trimmed and
// printable, and parsing the printed table gives the same table.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "core/properties.h"
#include "fuzz_check.h"

namespace {

constexpr std::string_view kTrimmed = " \t\r\n";

bool isTrimmed(std::string_view text) {
  return text.empty() || (kTrimmed.find(text.front()) == std::string_view::npos &&
                          kTrimmed.find(text.back()) == std::string_view::npos);
}

std::string printed(const TavixProperties::Table& table) {
  // A first line of its own: a key may begin with bytes of a byte-order mark.
  std::string text = "# printed\n";
  for (const auto& [key, value] : table) text += key + "=" + value + "\n";
  return text;
}

TavixProperties::Table parsed(const std::string& text) {
  std::istringstream in(text);
  return TavixProperties::parse(in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const TavixProperties::Table table = parsed(text);
  for (const auto& [key, value] : table) {
    FUZZ_CHECK(!key.empty() && isTrimmed(key) && isTrimmed(value));
    FUZZ_CHECK(key.front() != '#' && key.front() != '!');
    FUZZ_CHECK(key.find_first_of("=\n") == std::string::npos && value.find('\n') == std::string::npos);
  }
  FUZZ_CHECK(parsed(printed(table)) == table);
  // Either line ending gives the same table.
  std::string crlf;
  crlf.reserve(2 * text.size());
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  FUZZ_CHECK(parsed(crlf) == table);
  return 0;
}
