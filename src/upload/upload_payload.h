// What the client library's upload is given: the target directory, the
// model's revision facts and one entry per staged file, by kind of upload.
#pragma once

#include <string>
#include <vector>

#include "cloud/norvane_client.h"
#include "model/exported_file.h"
#include "model/model_kind.h"
#include "model/model_metadata.h"

struct UploadContext {
  ModelKind kind = ModelKind::Part;
  NorvaneWorkspace workspace;
  NorvaneDirectory rootDirectory;
  ModelMetadata metadata;
  std::string sourceRevisionVersion;
  std::string lastModified;  // the model file's last-write time, ISO 8601 UTC
};

// "bracket.prt.3" gives "bracket.prt": the name a versioned Creo file is stored under.
std::string withoutTrailingVersion(const std::string& fileName);

NorvaneUploadPayload buildUploadPayload(const UploadContext& context, const std::vector<ExportedFile>& files);

// The payload's primary name when it has one, else its first file's name.
std::string primaryFileName(const NorvaneUploadPayload& payload);
