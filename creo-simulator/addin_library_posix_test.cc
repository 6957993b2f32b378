#include <dlfcn.h>

#include <stdexcept>

#include "addin_library_test_support.h"

namespace {

TEST(SimAddinLibrary, WithoutTheClientLibraryBesideItTheLinuxAddinDoesNotLoad) {
  // The client library cannot be unloaded once loaded; an earlier test of this
  // process may have loaded it.
  if (void* loaded = dlopen("libnorvane.so", RTLD_NOW | RTLD_NOLOAD)) {
    dlclose(loaded);
    GTEST_SKIP() << "libnorvane.so is already loaded in this process";
  }
  InstalledAddin installed("tavix-creo", /*withClientLibrary=*/false);
  try {
    creosim::AddinLibrary addin(installed.simulator(), installed.addinFile());
    ADD_FAILURE() << "loaded without libnorvane.so";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("libnorvane.so"), std::string::npos) << e.what();
  }
}

}  // namespace
