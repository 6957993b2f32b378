// Handing an address to a browser program outside the simulator, as a person
// would open it in their own browser. Only the addresses the embedded browser
// itself would load are handed over, each as one argument of its own.
#pragma once

#include <string>
#include <vector>

#include "browser_fetch.h"

namespace creosim {

// Runs `command` (its words, then the address) and waits for it to end.
PageLoad handToOutsideBrowser(const std::vector<std::string>& command, const std::string& url);

}  // namespace creosim
