// Creo's calls into the add-in when it loads and unloads it.
#include "addin/add_in.h"

extern "C" int user_initialize(int, char*[], char*, char*, wchar_t[80]) { return startAddIn(AddInCollaborators{}); }

extern "C" void user_terminate() { stopAddIn(); }
