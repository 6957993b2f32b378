// The process environment.
#pragma once

#include <optional>
#include <string>

// The variable's value, or nothing when it is not set.
std::optional<std::string> environmentVariable(const char* name);
