// The facts about one Creo model that the upload dialog shows and the export
// and upload use, resolved from the model and its file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <pfcModel.h>

struct ModelMetadata {
  std::string fileName;  // lower-cased (A-Z); ".undefined" when the model has none
  double fileSizeMb = 0;  // with the assembly's components, rounded to two decimals
  std::string formattedDate;
  std::optional<std::filesystem::path> modelPath;
  std::string uniqueId;
  std::string sourceRevisionId;
  bool isFamilyTableGeneric = false;
  bool isFamilyTableInstance = false;
  // Creo failed while asked about the family table: the two flags above say nothing.
  bool familyTableUnknown = false;
  std::string lifecycleState;
};

struct SourceRevision {
  std::string sourceRevisionId;
  std::string sourceRevisionVersion;
};

// The text of the one hard failure: an embedded component anywhere in an assembly.
extern const char* const kEmbeddedComponentMessage;

class ModelMetadataResolver {
 public:
  // `path` is the model file's local path when the caller has it (a staged
  // Windchill copy); otherwise it is resolved from the model's origin. Throws
  // std::runtime_error(kEmbeddedComponentMessage) for an assembly with an
  // embedded component, or a file-system error while the origin is tested.
  ModelMetadata getModelMetadata(const pfcModel_ptr& model,
                                 const std::optional<std::filesystem::path>& path = std::nullopt);

  static std::string resolveFileName(const pfcModel_ptr& model);
  static std::optional<std::filesystem::path> resolveModelPath(const pfcModel_ptr& model);
  // Size in MiB of the file and, for an assembly, of its components not yet counted.
  static double resolveFileSize(const std::optional<std::filesystem::path>& path, const pfcModel_ptr& model,
                                const std::optional<std::filesystem::path>& stagingDirectory);
  static std::string resolveFormattedDate(const std::optional<std::filesystem::path>& path);
  static std::string resolveUniqueId(const std::optional<std::filesystem::path>& path);
  static void resolveFamilyTableClassification(const pfcModel_ptr& model, ModelMetadata& metadata);
  static std::string resolveLifecycleState(const pfcModel_ptr& model);
  static std::string resolveSourceRevisionId(const pfcModel_ptr& model);
};

SourceRevision resolveSourceRevisionVersion(const pfcModel_ptr& model, const std::string& sourceRevisionId);
