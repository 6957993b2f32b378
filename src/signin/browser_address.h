// Which addresses the add-in shows in Creo's embedded browser: https, and
// plain http only to this machine, as the client library itself allows.
// Addresses come from the service; a "file:" or "javascript:" one would run
// inside Creo.
#pragma once

#include <string>

bool isBrowsableAddress(const std::string& address);
