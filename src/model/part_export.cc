#include "model/part_export.h"

#include "core/log.h"
#include "core/text_encoding.h"
#include "model/export_texts.h"
#include "model/file_replacement.h"
#include "model/missing_path_error.h"

namespace fs = std::filesystem;

std::vector<ExportedFile> exportPart(const ModelMetadata& metadata, const fs::path& directory, ExportRecord& record) {
  if (!metadata.modelPath) {
    logError("Upload failed: empty model path.");
    return record.failWith(kModelFileUnreachableText, "Selected model could not be resolved to a local file for upload.");
  }
  const fs::path& source = *metadata.modelPath;
  if (record.stagedSources.contains(source)) {
    logDebug("Skipping temp. directory export for already exported model: " + metadata.fileName);
    return {};
  }
  logDebug("Staging model file: " + pathToUtf8(source));
  // The name stays exactly as Creo wrote it, version suffix included.
  const fs::path target = directory / source.filename();
  try {
    stageFileReplacing(source, target);
  } catch (const fs::filesystem_error& error) {
    // Gone since its metadata was read: the same loss as a file found missing then.
    if (!isMissingPathError(error.code())) throw;
    logError("Upload failed: model file vanished before it was staged. path=" + pathToUtf8(source) +
             ", message=" + error.code().message());
    return record.failWith(kModelFileUnreachableText,
                           "Selected model file was no longer there when it was staged for upload.");
  }
  logDebug("Model file staged: " + pathToUtf8(target));
  record.stagedSources.append(source);
  return {plainExportedFile(target)};
}
