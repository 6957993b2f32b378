// The process-wide cloud client and session manager: the one place that holds
// them, from first use until the add-in is unloaded.
#pragma once

#include <memory>

#include "cloud/norvane_client.h"
#include "cloud/session_manager.h"

// Creates the client on first use (loading and initializing the library);
// throws when that fails and tries again on the next call. The client follows
// later changes of the add-in's log level.
std::shared_ptr<INorvaneClient> getNorvaneClient();
// The client if one exists, else empty; never creates one.
std::shared_ptr<INorvaneClient> peekNorvaneClient();
SessionManager& getSessionManager();

// Tests install a fake client here (an empty pointer returns to the real one).
// Call it on the test's main thread before any sign-in thread starts.
void setNorvaneClientForTesting(std::shared_ptr<INorvaneClient> client);
