// Where the identity provider may send a browser back with a sign-in code.
#pragma once

#include <string>

namespace tavixservice {

// Only http://127.0.0.1:<port>/... or http://localhost:<port>/...: a code must never travel off this machine.
bool isLoopbackRedirect(const std::string& uri);

}  // namespace tavixservice
