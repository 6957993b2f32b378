#include "core/session_temp_directory.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <fstream>
#include <regex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/directory_removal.h"
#include "core/session_directory_lock.h"
#include "core/testing/lifecycle_test_support.h"
#include "core/text_encoding.h"

namespace fs = std::filesystem;

namespace {

using TempDirectories = LifecycleTest;

void writeFile(const fs::path& path, const std::string& text = "x") {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

std::string utf8(const fs::path& path) { return pathToUtf8(path); }

// Why the scope's directory is refused, or "" when it is not.
std::string refusalOf(const std::string& scope) {
  try {
    getSessionTempDirectory(scope);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

// A directory as an earlier session of this add-in left it: private to the user.
void writeStaleFile(const fs::path& directory, const std::string& name) {
  writeFile(directory / name);
  fs::permissions(directory, fs::perms::owner_all);
}

TEST_F(TempDirectories, OneDirectoryPerScopeReusedUntilTheScopeChanges) {
  const fs::path first = getSessionTempDirectory("");
  EXPECT_EQ(first.parent_path(), testBaseDirectory());
  EXPECT_TRUE(std::regex_match(first.filename().string(), std::regex("tavix-[0-9a-f]{16}")));
  EXPECT_TRUE(fs::is_directory(first));
  EXPECT_TRUE(fs::exists(first / SessionDirectoryLock::kFileName));

  // The default scope is the empty scope; asking again creates nothing.
  EXPECT_EQ(getSessionTempDirectory("__default__"), first);
  EXPECT_EQ(getSessionTempDirectory(""), first);
  EXPECT_EQ(countLogged("[DEBUG] [Tavix] Allocating session temp directory for new scope."), 1);
  EXPECT_EQ(countLogged("[DEBUG] [Tavix] Session temp directory created: path="), 1);

  writeFile(first / "bracket.prt.1");
  const fs::path second = getSessionTempDirectory("model-b");
  EXPECT_NE(second, first);
  EXPECT_FALSE(fs::exists(first));
  EXPECT_TRUE(fs::is_directory(second));
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Session temp scope changed; rotating temp directory."));
  // The directory, the staged file and the lock file.
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Session temp directory cleaned for scope switch: path=" + utf8(first) +
                     ", removed_entries=3"))
      << logText();

  cleanupSessionTempDirectory();
  EXPECT_FALSE(fs::exists(second));
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Session temp directory cleaned: path=" + utf8(second) + ", removed_entries=2"));
  // Nothing left to clean: a second clean-up is silent.
  const int lines = static_cast<int>(capture_.messages().size());
  cleanupSessionTempDirectory();
  EXPECT_EQ(static_cast<int>(capture_.messages().size()), lines);
}

// A transfer reads its upload's files while another upload (of another model,
// or of the same one again) changes scope, exports and cleans up: the
// transfer's files stay until it lets go, and then go with nothing else.
TEST_F(TempDirectories, ADirectoryATransferHoldsOutlivesScopeChangesAndCleanUpsUntilReleased) {
  const fs::path held = getSessionTempDirectory("bracket");
  writeFile(held / "bracket.prt.3");
  const std::string id = holdSessionTempDirectory("bracket");
  EXPECT_EQ("tavix-" + id, held.filename().string());
  EXPECT_EQ(holdSessionTempDirectory("other"), "");

  const fs::path other = getSessionTempDirectory("plate");
  EXPECT_NE(other, held);
  cleanupSessionTempDirectory();
  EXPECT_FALSE(fs::exists(other));
  const fs::path again = getSessionTempDirectory("bracket");
  EXPECT_NE(again, held);
  cleanupSessionTempDirectory();
  EXPECT_FALSE(fs::exists(again));
  const fs::path next = getSessionTempDirectory("bracket");
  EXPECT_NE(next, held);
  EXPECT_TRUE(fs::exists(held / "bracket.prt.3"));
  EXPECT_EQ(countLogged("[DEBUG] [Tavix] Session temp directory is in use by a transfer; it is removed when the "
                        "transfer ends: path=" + utf8(held)),
            1);

  releaseSessionTempDirectory(id);
  EXPECT_FALSE(fs::exists(held));
  EXPECT_TRUE(fs::is_directory(next));
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Session temp directory cleaned: path=" + utf8(held) + ", removed_entries=3"))
      << logText();
  // Held while it is the current one: its release ends the scope.
  const std::string nextId = holdSessionTempDirectory("bracket");
  releaseSessionTempDirectory(nextId);
  EXPECT_FALSE(fs::exists(next));
  const fs::path fresh = getSessionTempDirectory("bracket");
  EXPECT_NE(fresh, next);
  cleanupSessionTempDirectory();
}

TEST_F(TempDirectories, ADirectoryDeletedByHandComesBackAndAFileInItsPlaceIsRefused) {
  const fs::path directory = getSessionTempDirectory("scope");
  std::error_code removal;
  fs::remove_all(directory, removal);
  // Windows (wine at least) refuses while the session's lock file is open.
  if (removal) GTEST_SKIP() << "the session directory cannot be deleted while in use: " << removal.message();
  EXPECT_EQ(getSessionTempDirectory("scope"), directory);
  EXPECT_TRUE(fs::is_directory(directory));
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Session temp directory created via ensureExistingDirectory: path=" +
                     utf8(directory)));
  // Still marked as in use, so another session's start-up leaves it alone.
  cleanupStaleTempDirectories();
  EXPECT_TRUE(fs::is_directory(directory));

  fs::remove_all(directory);
  writeFile(directory, "not a directory");
  EXPECT_EQ(refusalOf("scope"), "Session temp path exists but is not a directory.");
  EXPECT_EQ(countLogged("[WARNING] [Tavix] Session temp path is not a directory: path=" + utf8(directory)), 1);
  fs::remove(directory);
}

TEST_F(TempDirectories, RetainedFilesSurviveScopeChangesTerminationAndStartUp) {
  useProperties("tavix_creo_retain_temp_files=True\n");
  const fs::path leftover = testBaseDirectory() / "tavix-00000000000000aa";
  writeStaleFile(leftover, "old.prt");
  cleanupStaleTempDirectories();
  EXPECT_TRUE(fs::exists(leftover / "old.prt"));

  const fs::path first = getSessionTempDirectory("a");
  const fs::path second = getSessionTempDirectory("b");
  cleanupSessionTempDirectory();
  EXPECT_TRUE(fs::is_directory(first));
  EXPECT_TRUE(fs::is_directory(second));
  EXPECT_EQ(countLogged("[DEBUG] [Tavix] Skipping cleanup as the property tavix_creo_retain_temp_files is set to true."),
            3);

  // "yes" is not "true": the next start-up removes them.
  useProperties("tavix_creo_retain_temp_files=yes\n");
  cleanupStaleTempDirectories();
  EXPECT_FALSE(fs::exists(leftover));
  EXPECT_FALSE(fs::exists(first));
  EXPECT_FALSE(fs::exists(second));
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Stale temp directory cleanup complete: dirs_removed=3, entries_removed=6"))
      << logText();
}

TEST_F(TempDirectories, StaleCleanupSparesFilesOtherNamesAndDirectoriesARunningSessionHolds) {
  cleanupStaleTempDirectories();
  EXPECT_TRUE(logged("[DEBUG] [Tavix] No stale tavix temp directories found."));

  const fs::path base = testBaseDirectory();
  writeFile(base / "tavix-0000000000000001" / "a" / "b" / "deep.prt");
  writeStaleFile(base / "tavix-0000000000000001", "top.asm");
  writeFile(base / "tavix-not-a-directory");
  writeFile(base / "Tavix-0000000000000002" / "other-case.prt");
  writeFile(base / "unrelated" / "file.txt");
  // Another Creo session in the middle of an upload: its lock file is held.
  const fs::path busy = base / "tavix-0000000000000003";
  writeStaleFile(busy, "uploading.prt");
  SessionDirectoryLock otherSession;
  ASSERT_FALSE(otherSession.acquire(busy));
  // This session's own directory is held too.
  const fs::path own = getSessionTempDirectory("current");

  cleanupStaleTempDirectories();
  EXPECT_FALSE(fs::exists(base / "tavix-0000000000000001"));
  EXPECT_TRUE(fs::is_regular_file(base / "tavix-not-a-directory"));
  EXPECT_TRUE(fs::exists(base / "Tavix-0000000000000002" / "other-case.prt"));
  EXPECT_TRUE(fs::exists(base / "unrelated" / "file.txt"));
  EXPECT_TRUE(fs::exists(busy / "uploading.prt"));
  EXPECT_TRUE(fs::is_directory(own));
  // tavix-...01, a, b, deep.prt, top.asm
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Stale temp directory cleanup complete: dirs_removed=1, entries_removed=5"))
      << logText();
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Skipping temp directory held by a running session: path=" + utf8(busy)));

  // Once that session has ended, its directory is stale like any other.
  otherSession.release();
  cleanupSessionTempDirectory();
  cleanupStaleTempDirectories();
  EXPECT_FALSE(fs::exists(busy));
}

TEST_F(TempDirectories, ABaseThatTakesNoDirectoriesFailsAfter32Attempts) {
  const fs::path base = testBaseDirectory();
  fs::remove_all(base);
  writeFile(base, "the base is a file now");
  EXPECT_EQ(refusalOf("scope"), "Unable to allocate a unique session temp directory.");
  EXPECT_EQ(countLogged("[WARNING] [Tavix] Failed creating candidate session temp directory; retrying. code="), 32);
  EXPECT_TRUE(logged("[ERROR] [Tavix] Unable to allocate a unique session temp directory after max attempts."));

  // Once the base is usable again, the same scope gets a directory.
  fs::remove(base);
  fs::create_directory(base);
  EXPECT_TRUE(fs::is_directory(getSessionTempDirectory("scope")));
}

TEST_F(TempDirectories, ConcurrentRequestsShareOneDirectoryAndIdsNeverRepeat) {
  constexpr int kThreads = 4;
  std::vector<fs::path> paths(kThreads);
  std::vector<std::vector<std::string>> ids(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      paths[t] = getSessionTempDirectory("shared");
      for (int i = 0; i < 2000; ++i) ids[t].push_back(makeSessionDirectoryId());
    });
  }
  for (std::thread& thread : threads) thread.join();

  std::set<std::string> distinct;
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(paths[t], paths[0]);
    for (const std::string& id : ids[t]) {
      EXPECT_TRUE(id.size() == 16 && id.find_first_not_of("0123456789abcdef") == std::string::npos) << id;
      distinct.insert(id);
    }
  }
  EXPECT_EQ(distinct.size(), static_cast<size_t>(kThreads * 2000));
  EXPECT_EQ(countLogged("[DEBUG] [Tavix] Session temp directory created: path="), 1);
}

TEST_F(TempDirectories, TreeRemovalCountsEntriesAndNeverFollowsLinks) {
  const fs::path root = capture_.directory() / "tree";
  writeFile(root / "one.prt");
  writeFile(root / "sub" / "two.prt");
  writeFile(root / "sub" / "deeper" / "three.prt");
  const fs::path outside = capture_.directory() / "outside";
  writeFile(outside / "keep.prt");
  std::error_code linkError;
  fs::create_directory_symlink(outside, root / "sub" / "link", linkError);

  const DirectoryRemovalResult removal = removeDirectoryTree(root);
  EXPECT_FALSE(removal.error) << removal.error.message();
  EXPECT_EQ(removal.removedEntries, linkError ? 6u : 7u);
  EXPECT_FALSE(fs::exists(root));
  EXPECT_TRUE(fs::exists(outside / "keep.prt"));

  const DirectoryRemovalResult missing = removeDirectoryTree(root);
  EXPECT_FALSE(missing.error);
  EXPECT_EQ(missing.removedEntries, 0u);
}

#ifndef _WIN32
// /tmp is shared by every user: other users' entries, links and directories
// that are not private are left alone, and nothing is done through a link.
TEST_F(TempDirectories, AHostileSharedTempFolderLosesNothingOutsideTheUsersOwnDirectories) {
  const fs::path base = testBaseDirectory();
  const fs::path outside = capture_.directory() / "someone-elses";
  writeFile(outside / "keep.prt");
  const fs::path stale = base / "tavix-0000000000000001";
  writeStaleFile(stale, "old.prt");
  fs::create_directory_symlink(outside, stale / "link");
  const fs::path open = base / "tavix-0000000000000002";
  writeFile(open / "shared.prt");
  fs::permissions(open, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  const fs::path link = base / "tavix-0000000000000004";
  fs::create_directory_symlink(outside, link);
  const fs::path foreign = base / "tavix-0000000000000005";
  writeStaleFile(foreign, "theirs.prt");
  const bool canChown = ::chown(foreign.c_str(), 65534, 65534) == 0;

  cleanupStaleTempDirectories();
  EXPECT_FALSE(fs::exists(fs::symlink_status(stale)));
  EXPECT_TRUE(fs::exists(open / "shared.prt"));
  EXPECT_TRUE(fs::is_symlink(link));
  if (canChown) {
    EXPECT_TRUE(fs::exists(foreign / "theirs.prt"));
  }
  EXPECT_TRUE(fs::exists(outside / "keep.prt"));
  // tavix-...01, old.prt, link
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Stale temp directory cleanup complete: dirs_removed=" +
                     std::string(canChown ? "1, entries_removed=3" : "2, entries_removed=5")))
      << logText();

  // The session directory vanished and a link took its name: refused, not written through.
  const fs::path session = getSessionTempDirectory("scope");
  fs::remove_all(session);
  fs::create_directory_symlink(outside, session);
  EXPECT_EQ(refusalOf("scope"), "Session temp path exists but is not a directory.");
  EXPECT_EQ(countLogged("[WARNING] [Tavix] Session temp path is not a directory: path=" + utf8(session)), 1);
  // A directory others may enter took its name.
  fs::remove(session);
  fs::create_directory(session);
  fs::permissions(session, fs::perms::all);
  EXPECT_EQ(refusalOf("scope"), "Session temp directory is not private to this user.");
  EXPECT_EQ(countLogged("[WARNING] [Tavix] Session temp directory is not private to this user: path=" +
                        utf8(session) + ", code=13"),
            1);
  EXPECT_FALSE(fs::exists(session / SessionDirectoryLock::kFileName));
  fs::remove(session);

  // A lock file that is a link is not followed, not even to create its target.
  const fs::path directory = capture_.directory() / "locked";
  fs::create_directory(directory);
  fs::create_symlink(outside / "planted", directory / SessionDirectoryLock::kFileName);
  SessionDirectoryLock lock;
  EXPECT_TRUE(lock.acquire(directory));
  EXPECT_FALSE(fs::exists(outside / "planted"));
  EXPECT_EQ(fs::directory_iterator(outside)->path().filename(), "keep.prt");
}
#endif

}  // namespace
