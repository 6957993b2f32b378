// What every walk over an assembly's components shares: telling a suppressed
// component, and finding a component's model in session or on disk.
#pragma once

#include <string>

#include <pfcSession.h>
#include <pfcModel.h>
#include <pfcFeature.h>

bool isSuppressed(pfcFeatureStatus status);

// The debug line for a suppressed component, behind `logPrefix`, e.g.
// "ModelExporter::exportToTempDirectory()".
void logSuppressedComponent(const std::string& logPrefix, const pfcModelDescriptor_ptr& descriptor,
                            const std::string& assemblyName);

// GetModelFromDescr, then RetrieveModel; a failing call is logged behind
// `logPrefix` and counts as no model. Null when neither gives one.
pfcModel_ptr componentModel(const xrcptr<pfcBaseSession>& session, const pfcModelDescriptor_ptr& descriptor,
                            const std::string& logPrefix);
