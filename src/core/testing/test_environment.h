// Setting the process environment from tests, the way the C runtime reads it.
#pragma once

// A null value removes the variable.
void setEnvironmentVariable(const char* name, const char* value);

// Makes the C runtime take up a changed TZ variable.
void rereadTimeZone();
