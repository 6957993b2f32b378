#include "model/missing_path_error.h"

#ifdef _WIN32

#include <windows.h>

bool isMissingPathError(const std::error_code& error) {
  if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory ||
      error == std::errc::invalid_argument)
    return true;
  if (error.category() != std::system_category()) return false;
  switch (error.value()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_NAME: return true;
    default: return false;
  }
}

#else

bool isMissingPathError(const std::error_code& error) {
  return error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory ||
         error == std::errc::filename_too_long || error == std::errc::invalid_argument;
}

#endif
