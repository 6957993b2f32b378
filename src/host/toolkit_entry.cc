// The toolkit's exported entry points, through which Creo starts and stops the add-in.
#include "host/creo_host.h"

extern "C" int user_initialize_plus(CreoHost* host, int argc, char* argv[], char* version, char* build,
                                    wchar_t errbuf[80]) {
  setCreoHost(host);
  return user_initialize(argc, argv, version, build, errbuf);
}

extern "C" void user_terminate_plus() {
  user_terminate();
  setCreoHost(nullptr);
}
