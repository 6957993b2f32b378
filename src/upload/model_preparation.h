// Checks, before the upload dialog opens, that the current Creo model may be
// uploaded, and copies a Windchill model out of its workspace into the session
// temporary directory of its scope.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "host/pfc_model.h"

struct PreparedModel {
  // Empty when the model may be uploaded; else what the user is told.
  std::string refusal;
  // The local copy of a Windchill model.
  std::optional<std::filesystem::path> stagedModelPath;
};

// Never throws for a refused model; every refusal is logged.
PreparedModel prepareModelLocally();

// A part or assembly shown in a simplified representation other than the
// master; a check the toolkit refuses counts as none. Log lines start with logPrefix.
bool hasSimplifiedRepresentation(const pfcModel_ptr& model, int type, const std::string& fileName,
                                 const std::string& logPrefix);
