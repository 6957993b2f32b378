// Copies of models out of a Windchill workspace: a plain copy into a directory,
// a copy that reuses one already there, staging at an exact path, and the
// search for the loaded generic of a Windchill family-table instance.
// Every log line starts with "WindchillUtils: ".
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <pfcSession.h>
#include <pfcModel.h>

using pfcBaseSession_ptr = xrcptr<pfcBaseSession>;

// The workspace file of `origin` copied into `destination`, or nothing after one log line.
std::optional<std::filesystem::path> copyWindchillModel(const pfcBaseSession_ptr& session, const std::string& origin,
                                                        const std::string& modelFileName,
                                                        const std::filesystem::path& destination);
// As copyWindchillModel, but an earlier copy in `destination` is reused. Throws
// std::filesystem::filesystem_error ("exists") when presence cannot be tested.
std::optional<std::filesystem::path> copyWindchillModelIfNeeded(const pfcBaseSession_ptr& session,
                                                                const std::string& origin,
                                                                const std::string& modelFileName,
                                                                const std::filesystem::path& destination);
// The workspace file of `origin` at exactly `target` (an existing target is reused).
std::optional<std::filesystem::path> stageWindchillModelToPath(const pfcBaseSession_ptr& session,
                                                               const std::string& origin,
                                                               const std::string& modelFileName,
                                                               const std::filesystem::path& target);

// A part or assembly from Windchill whose file name holds "<"; false on any toolkit error.
bool isWindchillFamilyInstance(const pfcModel_ptr& model);
// The one loaded generic of a Windchill instance, or null (none, ambiguous, or a toolkit error).
pfcModel_ptr findLoadedWindchillGeneric(const pfcModels_ptr& models, const pfcModel_ptr& instance);
