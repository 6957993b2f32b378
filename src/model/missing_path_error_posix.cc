#include "model/missing_path_error.h"

bool isMissingPathError(const std::error_code& error) {
  return error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory ||
         error == std::errc::filename_too_long || error == std::errc::invalid_argument;
}
