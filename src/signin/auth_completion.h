// The end of a sign-in, on the background thread: waits for the browser flow,
// stores the tokens and loads the user. It never touches the toolkit or a
// dialog; a failure is left in authFailureFlag for the next Start dialog.
#pragma once

#include <memory>

#include "cloud/norvane_client.h"

void completeAuthentication(std::shared_ptr<INorvaneClient> client);
