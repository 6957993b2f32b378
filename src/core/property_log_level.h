// The log level "tavix.properties" may ask for.
#pragma once

// Applies tavix_creo_log_level from the loaded properties (once, during
// start-up); an unrecognised value is ignored with a warning.
void applyPropertyLogLevel();
