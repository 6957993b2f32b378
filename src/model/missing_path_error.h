// Whether a file-system error only says that a path is not there: file or path
// not found, bad network path, invalid name.
#pragma once

#include <system_error>

bool isMissingPathError(const std::error_code& error);
