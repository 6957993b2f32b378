// The add-in's text folder (the registration's text_dir) as Creo reads it: one
// folder per language, of which the simulator reads "usascii". The language
// folder holds the message files; its "resource" subfolder holds what the user
// interface draws: the dialog resources and every image. A ribbon definition is
// read from "ribbon" in the text folder or in the language folder, as Creo reads it.
// Names are found without regard to the case of A to Z, as on Windows.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace creosim {

class TextFolder {
 public:
  explicit TextFolder(std::filesystem::path textDirectory);

  const std::filesystem::path& directory() const { return directory_; }
  std::filesystem::path languageFolder() const;
  std::filesystem::path resourceFolder() const;

  // nullopt when there is no such file, when the name is a path, or, for a
  // message file, when the name breaks Creo's rule: lower case, at most 30
  // characters, a three-letter extension.
  std::optional<std::filesystem::path> messageFile(const std::string& name) const;
  std::optional<std::filesystem::path> resourceFile(const std::string& name) const;
  std::optional<std::filesystem::path> ribbonFile(const std::string& name) const;

 private:
  std::filesystem::path directory_;
};

bool isMessageFileName(const std::string& name);
// The regular file of that name in the folder, its case ignored; a name that
// is a path ("..", "a/b") finds nothing.
std::optional<std::filesystem::path> findFileIgnoringCase(const std::filesystem::path& folder,
                                                          const std::string& name);

}  // namespace creosim
