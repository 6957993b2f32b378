#include "model/creo_model_queries.h"

#include <chrono>

#include <pfcModel.h>
#include <pfcExceptions.h>

#include "core/local_time.h"
#include "core/log.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/model_time_format.h"

namespace {

using Query = xstring (pfcModel::*)();

// The log texts of one query.
struct QueryTexts {
  const char* returned;
  const char* toolkitException;
  const char* structuredException;
};

const QueryTexts kRevisionTexts = {
    "CreoModelQueries: GetRevision() returned: ", "CreoModelQueries: GetRevision() threw toolkit exception: ",
    "CreoModelQueries: GetRevision() raised a structured exception while querying Creo. The model may not have been "
    "checked in to Windchill."};
const QueryTexts kVersionTexts = {
    "CreoModelQueries: GetVersion() returned: ", "CreoModelQueries: GetVersion() threw toolkit exception: ",
    "CreoModelQueries: GetVersion() raised a structured exception while querying Creo. The model may not have been "
    "checked in to Windchill."};

CreoQueryResult guardedQuery(const pfcModel_ptr& model, Query query, const QueryTexts& texts) {
  CreoQueryResult result;
  if (!model) return result;
  try {
    if (const auto error = catchToolkitError([&] { result.value = fromXstring(((*model).*query)()); })) {
      result.status = QueryStatus::ToolkitError;
      result.error = error->description();
      logWarning(texts.toolkitException + result.error);
      return result;
    }
  } catch (...) {
    // A processor-level fault inside Creo on a model never checked in.
    result.status = QueryStatus::StructuredException;
    logWarning(texts.structuredException);
    return result;
  }
  if (result.value.empty()) return result;
  result.status = QueryStatus::Ok;
  logDebug(texts.returned + result.value);
  return result;
}

}  // namespace

CreoQueryResult CreoModelQueries::GetRevision(const pfcModel_ptr& model) {
  return guardedQuery(model, &pfcModel::GetRevision, kRevisionTexts);
}

CreoQueryResult CreoModelQueries::GetVersion(const pfcModel_ptr& model) {
  return guardedQuery(model, &pfcModel::GetVersion, kVersionTexts);
}

std::string CreoModelQueries::formatCurrentTimeShort() {
  return formatShortDateTime(localTimeOf(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now())));
}

std::string CreoModelQueries::formatFileTimeIso(const std::filesystem::path& path) {
  const auto written = lastWriteTime(path);
  if (!written) return {};
  const auto seconds = std::chrono::floor<std::chrono::seconds>(*written);
  const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(*written - seconds).count();
  return formatIsoUtc(utcTimeOf(std::chrono::system_clock::to_time_t(seconds)), static_cast<int>(milliseconds));
}
