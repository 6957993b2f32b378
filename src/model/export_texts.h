// The user texts the export branches share.
#pragma once

inline constexpr const char* kPrepareFailedText =
    "We couldn't prepare this model for upload. Please try again. If the problem continues, contact support.";
inline constexpr const char* kMissingPartsText =
    "Some referenced parts are missing.\nReopen the assembly with all files loaded, then try again.";
inline constexpr const char* kWindchillFilesText =
    "We couldn't access all required Windchill files. Refresh the workspace or reopen the model, then try again.";
inline constexpr const char* kWindchillRevisionText =
    "We couldn't read the Windchill revision information required for upload. Please reopen the model and try again.";
inline constexpr const char* kModelFileUnreachableText =
    "We couldn't access the selected model file for upload. Please reopen the model and try again.";
