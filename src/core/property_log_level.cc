#include "core/property_log_level.h"

#include <optional>
#include <string>

#include "core/log.h"
#include "core/properties.h"

void applyPropertyLogLevel() {
  const std::string value = TavixProperties::get("tavix_creo_log_level");
  if (value.empty()) return;
  const std::optional<LogLevel> level = parseLogLevel(value);
  if (!level) {
    const std::string message = "tavix.properties: unrecognised value for tavix_creo_log_level: \"" + value +
                                "\" \xE2\x80\x94 ignoring.";
    logWarningAtAnyLevel(message.c_str());
    return;
  }
  changeLogLevel(*level, "properties");
}
