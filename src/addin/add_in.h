// The add-in's start and stop, as Creo asks for them through user_initialize
// and user_terminate. A start makes the one object that holds what the add-in
// keeps while it is loaded (the cloud connection, sign-in's state and
// threads); the stop ends it.
#pragma once

#include <chrono>

#include "cloud/cloud_connection.h"
#include "signin/sign_in_context.h"
#include "upload/upload_transfer.h"

// What the add-in works with; Creo's add-in uses the defaults.
struct AddInCollaborators {
  CloudConnection::ClientFactory makeClient = makeLibraryClient;
  UploadPauses uploadPauses = oneSecondPauses();
  std::chrono::nanoseconds firstLoadingDelay = SignInContext::kFirstLoadingDelay;
};

// 0 when the add-in started, 1 when it did not (the log says why). Catches everything.
int startAddIn(const AddInCollaborators& collaborators);
// Catches everything.
void stopAddIn();
