#include "registration_file.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace creosim {

Registration readRegistrationFile(const std::filesystem::path& file) {
  std::ifstream in(file);
  if (!in) throw std::runtime_error("cannot read registration file " + file.string());
  const std::filesystem::path folder = std::filesystem::absolute(file).parent_path();

  Registration registration;
  bool ended = false;
  for (std::string line; !ended && std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string keyword;
    words >> keyword;
    std::string value;
    std::getline(words >> std::ws, value);
    if (keyword == "end") ended = true;
    else if (keyword == "name") registration.name = value;
    else if (keyword == "exec_file") registration.library = folder / value;
    else if (keyword == "text_dir") registration.textDirectory = folder / value;
  }
  if (!ended) throw std::runtime_error("registration file has no 'end' line: " + file.string());
  if (registration.library.empty()) throw std::runtime_error("registration file names no exec_file: " + file.string());
  if (registration.textDirectory.empty()) registration.textDirectory = registration.library.parent_path() / "text";
  return registration;
}

}  // namespace creosim
