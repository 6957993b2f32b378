#include "core/session_temp_directory.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <stdexcept>
#include <thread>

#include "core/ascii_case.h"
#include "core/directory_removal.h"
#include "core/fnv1a_hash.h"
#include "core/log.h"
#include "core/properties.h"
#include "core/session_directory_lock.h"
#include "core/temp_directory_platform.h"
#include "core/text_encoding.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kDirectoryPrefix = "tavix-";
constexpr const char* kDefaultScope = "__default__";
constexpr int kCreateAttempts = 32;
constexpr const char* kRetainedMessage =
    "Skipping cleanup as the property tavix_creo_retain_temp_files is set to true.";

struct SessionTempState {
  std::optional<fs::path> baseDirectory;
  std::optional<std::string> currentScope;
  std::optional<std::string> currentDirectoryId;
  SessionDirectoryLock lock;
  std::map<std::string, int> uses;  // directory id -> transfers reading it
};

SessionTempState& state() {
  static SessionTempState instance;
  return instance;
}

std::atomic<uint64_t> g_candidateCounter{0};
std::atomic<uint32_t> g_stateLock{0};

// Held while a request or the termination clean-up reads or changes the state;
// released on every way out, exceptions included.
class StateLockGuard {
 public:
  StateLockGuard() {
    while (g_stateLock.exchange(1, std::memory_order_acquire) != 0) std::this_thread::yield();
  }
  ~StateLockGuard() { g_stateLock.store(0, std::memory_order_release); }
  StateLockGuard(const StateLockGuard&) = delete;
  StateLockGuard& operator=(const StateLockGuard&) = delete;
};

bool retainTempFiles() {
  return asciiUppered(TavixProperties::get("tavix_creo_retain_temp_files")) == "TRUE";
}

std::string describe(const std::error_code& error) {
  return "code=" + std::to_string(error.value()) + ", message=" + error.message();
}

bool hasSessionDirectoryPrefix(const fs::path& path) {
  static const fs::path::string_type prefix = fs::path(kDirectoryPrefix).native();
  return path.filename().native().compare(0, prefix.size(), prefix) == 0;
}

// Something that is not this user's private directory sits at a session directory's name.
[[noreturn]] void refuseForeignEntry(const fs::path& path, const fs::file_status& status) {
  if (!fs::is_directory(status)) {
    const std::error_code notDirectory = std::make_error_code(std::errc::not_a_directory);
    logWarning("Session temp path is not a directory: path=" + pathToUtf8(path) + ", " + describe(notDirectory));
    throw std::runtime_error("Session temp path exists but is not a directory.");
  }
  const std::error_code foreign = std::make_error_code(std::errc::permission_denied);
  logWarning("Session temp directory is not private to this user: path=" + pathToUtf8(path) + ", " + describe(foreign));
  throw std::runtime_error("Session temp directory is not private to this user.");
}

fs::path sessionDirectoryPath(const fs::path& base, const std::string& id) { return base / (kDirectoryPrefix + id); }

const fs::path& baseDirectoryLocked(SessionTempState& s) {
  if (!s.baseDirectory) s.baseDirectory = resolveBaseTempDirectory();
  return *s.baseDirectory;
}

// (Re-)creates the lock file when it is not held or was deleted with the directory.
void holdDirectory(SessionTempState& s, const fs::path& directory) {
  std::error_code ignored;
  if (s.lock.held() && fs::exists(directory / SessionDirectoryLock::kFileName, ignored)) return;
  if (const std::error_code error = s.lock.acquire(directory))
    logWarning("Failed to lock session temp directory: path=" + pathToUtf8(directory) + ", " + describe(error));
}

// Removes a session directory with everything in it; true when it is gone.
bool removeSessionDirectory(const fs::path& directory, const char* failureText, const char* successText) {
  const DirectoryRemovalResult removal = removeDirectoryTree(directory);
  if (removal.error) {
    logWarning(failureText + pathToUtf8(directory) + ", " + describe(removal.error));
    return false;
  }
  logDebug(successText + pathToUtf8(directory) + ", removed_entries=" + std::to_string(removal.removedEntries));
  return true;
}

bool currentDirectoryInUse(const SessionTempState& s) {
  return s.currentDirectoryId && s.uses.count(*s.currentDirectoryId) > 0;
}

// The current directory stops being current. A transfer still reading it
// keeps it; its last use removes it.
void letGoOfCurrentDirectory(SessionTempState& s, const fs::path& directory, const char* failureText,
                             const char* successText) {
  s.lock.release();
  if (currentDirectoryInUse(s)) {
    logDebug("Session temp directory is in use by a transfer; it is removed when the transfer ends: path=" +
             pathToUtf8(directory));
  } else if (retainTempFiles()) {
    logDebug(kRetainedMessage);
  } else if (!removeSessionDirectory(directory, failureText, successText)) {
    return;
  }
  s.currentDirectoryId.reset();
}

}  // namespace

fs::path resolveBaseTempDirectory() {
  uint32_t lastError = 0;
  if (std::optional<fs::path> temp = systemTempDirectory(lastError)) {
    logDebug("Resolved base temp directory via GetTempPathW: path=" + pathToUtf8(*temp));
    return *temp;
  }
  logWarning("GetTempPathW failed; using std::filesystem fallback. last_error=" + std::to_string(lastError));

  std::error_code error;
  fs::path temp = fs::temp_directory_path(error);
  if (!error && !temp.empty()) {
    logDebug("Resolved base temp directory via std::filesystem::temp_directory_path: path=" + pathToUtf8(temp));
    return temp;
  }
  logWarning("std::filesystem::temp_directory_path failed. " + describe(error));

  error.clear();
  fs::path current = fs::current_path(error);
  if (!error && !current.empty()) {
    logWarning("Falling back to current working directory for temp files: path=" + pathToUtf8(current));
    return current;
  }
  logError("Unable to resolve base directory for session temp files.");
  throw std::runtime_error("Unable to resolve base directory for session temp files.");
}

std::string makeSessionDirectoryId() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  const uint64_t t = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());

  const uint32_t threadId = currentThreadNumericId();
  char threadIdBytes[4];
  for (int byte = 0; byte < 4; ++byte) threadIdBytes[byte] = static_cast<char>((threadId >> (8 * byte)) & 0xffU);
  const uint64_t h = fnv1a64(std::string_view(threadIdBytes, sizeof threadIdBytes)) << 1;
  const uint64_t c = g_candidateCounter.fetch_add(1);

  const uint64_t value = t ^ h ^ (c * 0x9e3779b97f4a7c15ULL);
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

void ensureExistingDirectory(const fs::path& path) {
  std::error_code error;
  // What sits at the name itself: in a shared temporary folder a vanished
  // directory may have been replaced by someone else's link or directory.
  const fs::file_status status = fs::symlink_status(path, error);
  if (error && error != std::errc::no_such_file_or_directory) {
    logWarning("Session temp directory exists() failed: " + describe(error));
    throw std::runtime_error("Failed to check session temp directory existence.");
  }
  if (fs::exists(status)) {
    if (isPrivateDirectoryOfUser(path)) return;
    refuseForeignEntry(path, status);
  }

  error.clear();
  fs::create_directories(path.parent_path(), error);
  if (!error) {
    error = createPrivateDirectory(path);
    if (error == std::errc::file_exists && isPrivateDirectoryOfUser(path)) error.clear();
  }
  if (error) {
    logWarning("Session temp directory create failed: path=" + pathToUtf8(path) + ", " + describe(error));
    throw std::runtime_error("Failed to create session temp directory.");
  }
  logDebug("Session temp directory created via ensureExistingDirectory: path=" + pathToUtf8(path));
}

fs::path getSessionTempDirectory(const std::string& requestedScope) {
  StateLockGuard guard;
  SessionTempState& s = state();
  const fs::path& base = baseDirectoryLocked(s);

  const std::string scope = requestedScope.empty() ? kDefaultScope : requestedScope;
  // A directory a transfer reads is not handed to anyone else, not even for its own scope.
  const bool scopeChanged = s.currentScope && (*s.currentScope != scope || currentDirectoryInUse(s));

  if (s.currentDirectoryId && !scopeChanged) {
    const fs::path directory = sessionDirectoryPath(base, *s.currentDirectoryId);
    ensureExistingDirectory(directory);
    holdDirectory(s, directory);
    return directory;
  }

  if (s.currentDirectoryId) {
    logDebug("Session temp scope changed; rotating temp directory.");
    letGoOfCurrentDirectory(s, sessionDirectoryPath(base, *s.currentDirectoryId),
                            "Failed to remove previous scoped temp directory. path=",
                            "Session temp directory cleaned for scope switch: path=");
    s.currentDirectoryId.reset();
  } else {
    logDebug("Allocating session temp directory for new scope.");
  }

  s.currentScope = scope;
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    const std::string id = makeSessionDirectoryId();
    const fs::path candidate = sessionDirectoryPath(base, id);
    const std::error_code error = createPrivateDirectory(candidate);
    if (!error) {
      s.currentDirectoryId = id;
      holdDirectory(s, candidate);
      logDebug("Session temp directory created: path=" + pathToUtf8(candidate));
      return candidate;
    }
    if (error == std::errc::file_exists) continue;
    logWarning("Failed creating candidate session temp directory; retrying. " + describe(error));
  }
  logError("Unable to allocate a unique session temp directory after max attempts.");
  throw std::runtime_error("Unable to allocate a unique session temp directory.");
}

void cleanupSessionTempDirectory() {
  StateLockGuard guard;
  SessionTempState& s = state();
  if (!s.currentDirectoryId) return;

  letGoOfCurrentDirectory(s, sessionDirectoryPath(baseDirectoryLocked(s), *s.currentDirectoryId),
                          "Failed to remove session temp directory. path=", "Session temp directory cleaned: path=");
  if (!s.currentDirectoryId) s.currentScope.reset();
}

std::string holdSessionTempDirectory(const std::string& requestedScope) {
  StateLockGuard guard;
  SessionTempState& s = state();
  const std::string scope = requestedScope.empty() ? kDefaultScope : requestedScope;
  if (!s.currentDirectoryId || s.currentScope != scope) return "";
  ++s.uses[*s.currentDirectoryId];
  return *s.currentDirectoryId;
}

void releaseSessionTempDirectory(const std::string& id) {
  StateLockGuard guard;
  SessionTempState& s = state();
  const auto use = s.uses.find(id);
  if (use == s.uses.end() || --use->second > 0) return;
  s.uses.erase(use);
  const fs::path directory = sessionDirectoryPath(baseDirectoryLocked(s), id);
  if (s.currentDirectoryId == id) {
    letGoOfCurrentDirectory(s, directory, "Failed to remove session temp directory. path=",
                            "Session temp directory cleaned: path=");
    if (!s.currentDirectoryId) s.currentScope.reset();
  } else if (retainTempFiles()) {
    logDebug(kRetainedMessage);
  } else {
    removeSessionDirectory(directory, "Failed to remove session temp directory. path=",
                           "Session temp directory cleaned: path=");
  }
}

void cleanupStaleTempDirectories() {
  if (retainTempFiles()) {
    logDebug(kRetainedMessage);
    return;
  }
  fs::path base;
  {
    StateLockGuard guard;
    base = baseDirectoryLocked(state());
  }

  uint64_t directoriesRemoved = 0;
  uint64_t entriesRemoved = 0;
  std::error_code error;
  fs::directory_iterator it(base, error);
  if (error) {
    logWarning("Error iterating temp directory during stale cleanup: " + describe(error));
  } else {
    for (const fs::directory_iterator end; it != end;) {
      const fs::directory_entry& entry = *it;
      // Only this user's own directories: the folder may be shared with other
      // users, and a link there leads into someone else's files.
      if (hasSessionDirectoryPrefix(entry.path()) && isPrivateDirectoryOfUser(entry.path())) {
        if (SessionDirectoryLock::isHeldElsewhere(entry.path())) {
          logDebug("Skipping temp directory held by a running session: path=" + pathToUtf8(entry.path()));
        } else {
          const DirectoryRemovalResult removal = removeDirectoryTree(entry.path());
          if (removal.error) {
            logWarning("Failed to remove stale temp directory: path=" + pathToUtf8(entry.path()) + ", " +
                       describe(removal.error));
          } else {
            ++directoriesRemoved;
            entriesRemoved += removal.removedEntries;
          }
        }
      }
      it.increment(error);
      if (error) throw fs::filesystem_error("directory_iterator::operator++", base, error);
    }
  }

  if (directoriesRemoved > 0) {
    logDebug("Stale temp directory cleanup complete: dirs_removed=" + std::to_string(directoriesRemoved) +
             ", entries_removed=" + std::to_string(entriesRemoved));
  } else {
    logDebug("No stale tavix temp directories found.");
  }
}
