#include "upload/upload_payload.h"

#include <algorithm>
#include <regex>

#include "core/text_encoding.h"

std::string withoutTrailingVersion(const std::string& fileName) {
  static const std::regex kVersionSuffix(R"(\.\d+$)");
  return std::regex_replace(fileName, kVersionSuffix, "");
}

namespace {

std::string nameOf(const ExportedFile& file) {
  return file.uploadFileName.empty() ? pathToUtf8(file.localPath.filename()) : file.uploadFileName;
}

norvane::NorvaneUploadFile entryFor(const ExportedFile& file, std::string name, const std::string& revisionKey) {
  norvane::NorvaneUploadFile entry;
  entry.name = std::move(name);
  entry.path = pathToUtf8(file.localPath);
  entry.revisionKey = revisionKey;
  if (!file.sourceRevisionVersion.empty()) entry.version = file.sourceRevisionVersion;
  entry.sourceRevisionId = file.sourceRevisionId;
  return entry;
}

}  // namespace

NorvaneUploadPayload buildUploadPayload(const UploadContext& context, const std::vector<ExportedFile>& files) {
  const ModelMetadata& metadata = context.metadata;
  NorvaneUploadPayload payload;
  payload.targetDirectories[context.workspace.id] = context.rootDirectory.id;
  payload.sourceRevisionId = metadata.sourceRevisionId;
  payload.revisionId = metadata.sourceRevisionId;
  payload.sourceRevisionVersion = context.sourceRevisionVersion;
  payload.lastModified = context.lastModified;
  if (!metadata.lifecycleState.empty()) payload.lifecycleState = metadata.lifecycleState;
  if (files.empty()) return payload;

  const std::string instanceKey = metadata.uniqueId + "_" + metadata.fileName;
  if (context.kind == ModelKind::FamilyTableGenericPart) {
    // The generic and, when the export wrote one, its accelerator; never more
    // than the export produced.
    payload.primaryName = nameOf(files.front());
    const size_t count = std::min<size_t>(files.size(), 2);
    for (size_t i = 0; i < count; ++i) payload.files.push_back(entryFor(files[i], nameOf(files[i]), instanceKey));
    return payload;
  }
  if (isAssembly(context.kind)) payload.primaryName = withoutTrailingVersion(nameOf(files.front()));
  const std::string& revisionKey = metadata.isFamilyTableInstance ? instanceKey : metadata.uniqueId;
  for (const ExportedFile& file : files)
    payload.files.push_back(entryFor(file, withoutTrailingVersion(nameOf(file)), revisionKey));
  return payload;
}

std::string primaryFileName(const NorvaneUploadPayload& payload) {
  if (payload.primaryName) return *payload.primaryName;
  return payload.files.empty() ? std::string() : payload.files.front().name;
}
