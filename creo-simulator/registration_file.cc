#include "registration_file.h"

#include <fstream>
#include <map>
#include <set>
#include <stdexcept>

#include "sim_text.h"

namespace creosim {

namespace fs = std::filesystem;

namespace {

// What the simulator reads, and keywords Creo documents that change nothing in it.
const std::set<std::string> kKeywords = {"name",     "startup",  "toolkit",     "fail_tol",   "exec_file",
                                         "text_dir", "revision", "description", "allow_stop", "delay_start"};

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

class RegistrationReader {
 public:
  explicit RegistrationReader(const fs::path& file) : file_(file) {}

  Registration read() {
    std::ifstream in(file_, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read the registration file " + utf8Of(file_));
    bool ended = false;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      ++number;
      line = trimmed(line);
      if (line.empty()) continue;
      if (ended) fail(number, "creo-sim hosts one application: nothing may follow its \"end\"");
      const size_t space = line.find_first_of(" \t");
      const std::string keyword = asciiLower(line.substr(0, space));
      const std::string value = space == std::string::npos ? "" : trimmed(line.substr(space));
      if (keyword == "end") {
        ended = true;
        continue;
      }
      if (!kKeywords.count(keyword)) fail(number, "unknown keyword \"" + keyword + "\"");
      if (!values_.emplace(keyword, Entry{value, number}).second) fail(number, "\"" + keyword + "\" given twice");
      if (value.empty()) fail(number, "\"" + keyword + "\" without a value");
    }
    if (!ended) fail(0, "no \"end\" line");
    return registration();
  }

 private:
  struct Entry {
    std::string value;
    int line = 0;
  };

  [[noreturn]] void fail(int line, const std::string& what) const {
    throw std::runtime_error(utf8Of(file_) + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + what);
  }

  const Entry& required(const std::string& keyword, const char* why) const {
    auto it = values_.find(keyword);
    if (it == values_.end()) fail(0, "no \"" + keyword + "\" line (" + why + ")");
    return it->second;
  }

  fs::path fullPath(const std::string& keyword) const {
    const Entry& entry = required(keyword, "a full path");
    const fs::path path = pathOf(entry.value);
    if (!path.is_absolute()) fail(entry.line, keyword + " must be a full path: " + entry.value);
    return path;
  }

  Registration registration() const {
    Registration result;
    result.name = required("name", "the application's name").value;
    const Entry& startup = required("startup", "how the application starts");
    if (asciiLower(startup.value) != "dll")
      fail(startup.line, "startup " + startup.value + ": creo-sim starts applications as a DLL only");
    const Entry& toolkit = required("toolkit", "required for an Object TOOLKIT C++ application");
    if (asciiLower(toolkit.value) != "object")
      fail(toolkit.line, "toolkit " + toolkit.value + ": creo-sim hosts Object TOOLKIT C++ applications only");
    result.library = fullPath("exec_file");
    result.textDirectory = fullPath("text_dir");
    auto tolerance = values_.find("fail_tol");
    if (tolerance != values_.end()) {
      const std::string value = asciiUpper(tolerance->second.value);
      if (value != "TRUE" && value != "FALSE") fail(tolerance->second.line, "fail_tol must be TRUE or FALSE");
      result.failTolerant = value == "TRUE";
    }
    return result;
  }

  fs::path file_;
  std::map<std::string, Entry> values_;
};

}  // namespace

Registration readRegistrationFile(const fs::path& file) { return RegistrationReader(file).read(); }

}  // namespace creosim
