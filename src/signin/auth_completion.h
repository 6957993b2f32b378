// The end of a sign-in, on the background thread: waits for the browser flow,
// stores the tokens and loads the user. It never touches the toolkit or a
// dialog; a failure is left in the sign-in state for the next Start dialog.
#pragma once

#include <memory>

#include "cloud/norvane_client.h"
#include "signin/stop_request.h"

// Once `stop` is requested (a newer sign-in, or the add-in unloading) a
// failure is a cancellation: logged, but not left for the next Start dialog.
void completeAuthentication(std::shared_ptr<INorvaneClient> client, StopRequest stop);
