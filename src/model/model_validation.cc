#include "model/model_validation.h"

#include "core/text_encoding.h"
#include "core/ascii_case.h"
#include "model/path_text.h"
#include "model/windchill_names.h"

std::string validateFileType(const std::string& modelFileName, bool hasSimplifiedRep) {
  const std::string lastComponent = pathToUtf8(pathFromUtf8(withoutVersionSuffix(modelFileName)).filename());
  const size_t dot = lastComponent.rfind('.');
  const std::string extension = dot == std::string::npos ? std::string() : asciiLowered(lastComponent.substr(dot));

  std::string word;
  if (extension == ".prt") word = "part";
  else if (extension == ".asm") word = "assembly";
  else if (extension == ".drw") word = "drawing";
  else if (extension.empty()) return "This file type is not supported in Tavix.\nTavix supports only PRT, ASM, and DRW files.";
  else return extension + " files are not supported in Tavix.\nTavix supports only PRT, ASM, and DRW files.";

  if (hasSimplifiedRep)
    return "This " + word + " has an active simplified representation.\nSimplified representations are not supported in Tavix.";
  return {};
}

std::string validateSavedFile(const std::filesystem::path& originPath) {
  if (originPath.empty()) return "The current model has not been saved yet.\nPlease save the file and try again.";
  std::error_code error;
  const auto status = std::filesystem::status(originPath, error);
  if (error || !std::filesystem::exists(status))
    return "We couldn't access the model file at its saved location.\n"
           "Reconnect the drive or reopen and save the model, then try again.";
  return {};
}
