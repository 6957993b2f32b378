// Placeholder until the start-up sequence lands.
#include "host/creo_host.h"
extern "C" int user_initialize(int, char*[], char*, char*, wchar_t[80]) { return 1; }
extern "C" void user_terminate() {}
