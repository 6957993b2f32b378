// Checks, before the upload dialog opens, that the current Creo model may be
// uploaded, and copies a Windchill model out of its workspace into the session
// temporary directory of its scope.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <pfcModel.h>

struct PreparedModel {
  // Empty when the model may be uploaded; else what the user is told.
  std::string refusal;
  // The local copy of a Windchill model.
  std::optional<std::filesystem::path> stagedModelPath;
};

// Never throws for a refused model; every refusal is logged.
PreparedModel prepareModelLocally();

// The log texts of one caller of the check below.
struct SimplifiedRepCheckTexts {
  const char* nonSolidSkipped;  // followed by the type and file
  const char* checkFailed;      // followed by the file and the exception
};
inline constexpr SimplifiedRepCheckTexts kPrepareModelLocallyTexts = {
    "prepareModelLocally: skipping simplified representation check for non-solid model. type=",
    "prepareModelLocally: simplified representation check skipped. file="};

// A part or assembly shown in a simplified representation other than the
// master; a check the toolkit refuses counts as none.
bool hasSimplifiedRepresentation(const pfcModel_ptr& model, int type, const std::string& fileName,
                                 const SimplifiedRepCheckTexts& texts);
