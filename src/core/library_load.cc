// What happens as the library is loaded, kept in one place so the order holds:
// the log level first (its announcement is the log's first line), then the
// properties' search path, which the start-up sequence reads later.
#include "core/log.h"
#include "core/properties.h"

namespace {
[[maybe_unused]] const bool initialisedAtLoad =
    (initLogLevelFromEnvironment(), TavixProperties::libraryDirectoryPath(), true);
}  // namespace
