// One staged file handed to the upload.
#pragma once

#include <filesystem>
#include <string>

struct ExportedFile {
  std::filesystem::path localPath;  // in the session temporary directory
  // The accelerator of a family-table instance, or a Windchill assembly's own file.
  bool markedEntry = false;
  std::string sourceRevisionVersion;  // empty: the upload's default
  std::string uploadFileName;         // empty: the file name of localPath
  std::string sourceRevisionId;       // empty: the upload's default
};

// A file uploaded under its own name with the upload's defaults.
inline ExportedFile plainExportedFile(std::filesystem::path localPath) {
  ExportedFile file;
  file.localPath = std::move(localPath);
  return file;
}
