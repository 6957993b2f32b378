// The model's unique identifier, read from the text header of its file.
#include <fstream>

#include "core/log.h"
#include "core/text_encoding.h"
#include "model/model_header.h"
#include "model/model_metadata.h"

std::string ModelMetadataResolver::resolveUniqueId(const std::optional<std::filesystem::path>& path) {
  if (!path) {
    logWarning("No model path available; cannot extract unique ID.");
    return {};
  }
  std::ifstream file(*path);
  if (!file) {
    logError("Failed to open model file for unique ID extraction: " + pathToUtf8(*path));
    return {};
  }
  const ModelHeaderScan scan = scanModelHeader(file);
  switch (scan.outcome) {
    case ModelHeaderScan::Outcome::Identifier:
      logDebug("Unique ID extracted from model file: " + pathToUtf8(path->filename()));
      return scan.identifier;
    case ModelHeaderScan::Outcome::EndWithoutIdentifier:
      logError("Unique ID not found in model header: " + pathToUtf8(*path));
      return {};
    case ModelHeaderScan::Outcome::NoEnd: break;
  }
  logError("End of model header not found during unique ID extraction: " + pathToUtf8(*path));
  return {};
}
