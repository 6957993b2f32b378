#include "model/windchill_revision.h"

#include <exception>

#include <pfcExceptions.h>

#include "core/log.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/creo_model_queries.h"
#include "model/export_texts.h"

namespace {

// The revision, else the model's version stamp; none after a log line.
std::optional<std::string> revisionForExport(const pfcModel_ptr& model) {
  const CreoQueryResult revision = CreoModelQueries::GetRevision(model);
  if (revision.status == QueryStatus::Ok) return revision.value;
  if (revision.status == QueryStatus::ToolkitError) {
    logError("Failed to resolve Windchill model revision during export.");
    return std::nullopt;
  }
  std::string stamp;
  try {
    if (const auto error = catchToolkitError([&] { stamp = fromXstring(model->GetVersionStamp()); })) {
      logError("Failed to resolve Windchill version stamp during export: " + error->description());
      return std::nullopt;
    }
  } catch (const std::exception& error) {
    logError("Failed to resolve Windchill version stamp during export: " + std::string(error.what()));
    return std::nullopt;
  }
  if (stamp.empty()) {
    logWarning("Windchill model has neither a revision nor an internal version stamp.");
    return std::nullopt;
  }
  logInfo("Windchill model revision unavailable; using per-model version stamp: " + stamp);
  return stamp;
}

}  // namespace

std::optional<WindchillRevision> resolveWindchillRevision(const pfcModel_ptr& model, const char* revisionDetail,
                                                          const char* iterationDetail, ExportRecord& record) {
  const std::optional<std::string> revision = revisionForExport(model);
  if (!revision) {
    record.failWith(kWindchillRevisionText, revisionDetail);
    return std::nullopt;
  }
  // A model never checked in has no iteration yet: it is the first.
  std::string version = "1";
  const CreoQueryResult iteration = CreoModelQueries::GetVersion(model);
  if (iteration.status == QueryStatus::Ok) version = iteration.value;
  if (iteration.status == QueryStatus::ToolkitError) {
    logError(iterationDetail);
    record.failWith(kWindchillRevisionText, iterationDetail);
    return std::nullopt;
  }
  return WindchillRevision{*revision, version};
}
