#include "cloud/client_library_loader.h"

#include "cloud/client_provider.h"
#include "core/module_directory.h"
#include "core/module_file.h"
#include "core/testing/lifecycle_test_support.h"

namespace fs = std::filesystem;

namespace {

TEST(LifecycleModuleDirectory, IsTheFolderOfTheRunningModuleAndNamesFilesInIt) {
  const fs::path directory = moduleDirectory();
  EXPECT_TRUE(directory.is_absolute());
  EXPECT_TRUE(fs::equivalent(directory, fs::path(moduleFileName()).parent_path()));
  EXPECT_EQ(moduleRelativePath(kClientLibraryFileName), directory / kClientLibraryFileName);
  EXPECT_TRUE(fs::exists(moduleRelativePath(kClientLibraryFileName)));

  EXPECT_EQ(parentDirectoryOf("/opt/creo/tavix/libtavix-creo.so"), fs::path("/opt/creo/tavix"));
  EXPECT_EQ(parentDirectoryOf("C:\\Tavix\\\\bin\\tavix-creo.dll"), fs::path("C:\\Tavix\\\\bin"));
  EXPECT_EQ(parentDirectoryOf("D:/tools//tavix-creo.dll"), fs::path("D:/tools"));
  // A name that cannot be resolved is kept as read.
  EXPECT_EQ(canonicalModuleName("/no/such/folder/x.dll"), fs::path("/no/such/folder/x.dll"));
}

#if defined(_WIN32)
TEST(LifecycleModuleDirectory, LongPathPrefixesTurnBackIntoDriveForms) {
  const fs::path real = fs::canonical(moduleFileName());
  EXPECT_EQ(canonicalModuleName(fs::path(L"\\\\?\\" + real.wstring())), real);
}
#endif

TEST(LifecycleClientLibrary, AnAlreadyLoadedLibraryIsReusedWithoutError) {
  uint32_t errorCode = 12345;
  void* first = tryLoadClientLibrary(&errorCode);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(errorCode, 0u);
  EXPECT_EQ(tryLoadClientLibrary(), first);
  EXPECT_NO_THROW(ensureClientLibraryLoaded());

  // The first calls into the library (the client is made) find the loaded module.
  ASSERT_TRUE(getNorvaneClient());
  EXPECT_EQ(tryLoadClientLibrary(), first);
}

}  // namespace
