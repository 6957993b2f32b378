// The Tavix service environments the add-in can sign in to.
#pragma once

#include <nlohmann/json.hpp>

enum class ServiceEnvironment { Prod, UsProd, Stage, UsStage };

// An object with the four strings "LoginURL", "ServerURL", "ClientID" and "Audience".
nlohmann::json environmentConfig(ServiceEnvironment environment);
