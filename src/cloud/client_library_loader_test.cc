#include "cloud/client_library_loader.h"

#if defined(_WIN32)
#include <windows.h>
#endif

#include <fstream>

#include "cloud/cloud_connection.h"
#include "core/directory_removal.h"
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
  // At a root the separator stays: "C:" alone is the drive's current directory.
  EXPECT_EQ(parentDirectoryOf("C:\\tavix-creo.dll"), fs::path("C:\\"));
  EXPECT_EQ(parentDirectoryOf("C:/tavix-creo.dll"), fs::path("C:/"));
  EXPECT_EQ(parentDirectoryOf("/libtavix-creo.so"), fs::path("/"));
  EXPECT_EQ(parentDirectoryOf("\\\\server\\share\\tavix-creo.dll"), fs::path("\\\\server\\share"));
  // A name that cannot be resolved is kept as read.
  EXPECT_EQ(canonicalModuleName("/no/such/folder/x.dll"), fs::path("/no/such/folder/x.dll"));
}

#if defined(_WIN32)
TEST(LifecycleModuleDirectory, LongPathPrefixesTurnBackIntoDriveFormsWhereTheNameFits) {
  const fs::path real = fs::canonical(moduleFileName());
  EXPECT_EQ(canonicalModuleName(fs::path(L"\\\\?\\" + real.wstring())), real);

  // An add-in installed deeper than 260 characters opens only with the prefix.
  const fs::path ordinaryTop = fs::canonical(fs::temp_directory_path()) / "long-module-path-test";
  std::error_code ignored;
  fs::remove_all(ordinaryTop, ignored);
  std::wstring deep = L"\\\\?\\" + ordinaryTop.wstring();
  while (deep.size() < 300) deep += L"\\" + std::wstring(40, L'd');
  fs::create_directories(deep);
  const fs::path file = deep + L"\\tavix-creo.dll";
  std::ofstream(file) << "add-in";
  const fs::path canonical = canonicalModuleName(file);
  EXPECT_EQ(canonical.wstring().rfind(L"\\\\?\\", 0), 0u) << canonical;
  EXPECT_TRUE(fs::is_regular_file(canonical)) << canonical;
  EXPECT_EQ(parentDirectoryOf(canonical).wstring().rfind(L"\\\\?\\", 0), 0u);
  removeDirectoryTree(fs::path(L"\\\\?\\" + ordinaryTop.wstring()));
}

// Another component loaded a norvane.dll of its own from elsewhere: the add-in
// loads its own from its folder instead of taking that one.
TEST(LifecycleClientLibrary, ALibraryOfTheSameNameFromAnotherFolderIsNotTaken) {
  if (GetModuleHandleW(L"norvane.dll")) GTEST_SKIP() << "norvane.dll was loaded before this test";
  const fs::path elsewhere = fs::temp_directory_path() / "other-component";
  fs::create_directories(elsewhere);
  fs::copy_file(moduleRelativePath(kClientLibraryFileName), elsewhere / "norvane.dll",
                fs::copy_options::overwrite_existing);
  HMODULE foreign = LoadLibraryW((elsewhere / "norvane.dll").c_str());
  ASSERT_NE(foreign, nullptr);

  void* own = tryLoadClientLibrary();
  ASSERT_NE(own, nullptr);
  EXPECT_NE(own, static_cast<void*>(foreign));
  wchar_t name[1024];
  ASSERT_GT(GetModuleFileNameW(static_cast<HMODULE>(own), name, 1024), 0u);
  EXPECT_TRUE(fs::equivalent(fs::path(name).parent_path(), moduleDirectory())) << fs::path(name);
  FreeLibrary(foreign);
  std::error_code ignored;
  fs::remove_all(elsewhere, ignored);
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
  CloudConnection cloud(makeLibraryClient);
  ASSERT_TRUE(cloud.client());
  EXPECT_EQ(tryLoadClientLibrary(), first);
}

}  // namespace
