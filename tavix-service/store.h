// Users, workspaces, their root directories, and uploaded files with their
// revisions, kept in SQLite. Safe to call from the server's threads.
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "database.h"
#include "seed.h"

namespace tavixservice {

struct User {
  int64_t id = 0;
  std::string email;
  std::string name;
};

struct Workspace {
  int64_t id = 0;
  std::string name;
  std::string addressKey;
};

struct Directory {
  int64_t id = 0;
  int64_t workspaceId = 0;
  std::string name;
};

// What one received file adds to a workspace.
struct NewRevision {
  int64_t workspaceId = 0;
  int64_t directoryId = 0;
  std::string fileName;
  std::string revisionKey;
  std::string fileVersion;
  std::string sourceRevisionId;
  std::string sourceRevisionVersion;
  std::string lastModified;
  std::string lifecycleState;
  std::string propertiesJson;
  int64_t size = 0;
  std::string sha256;
  int64_t uploadedBy = 0;
};

struct StoredRevision {
  int64_t fileId = 0;
  std::string fileName;
  std::string revisionId;
  int64_t workspaceId = 0;
  std::string workspaceName;
  std::string addressKey;
  std::string revisionKey;
  std::string fileVersion;
  std::string sourceRevisionId;
  std::string sourceRevisionVersion;
  std::string lastModified;
  std::string lifecycleState;
  int64_t size = 0;
  std::string sha256;
  std::string createdAt;
  std::string uploadedBy;  // the uploader's email
};

// An empty text matches anything.
struct RevisionQuery {
  std::string revisionKey;
  std::string sourceRevisionVersion;
  std::string sourceRevisionId;
  std::string fileName;
  bool latestOnly = false;
  bool matchSourceRevision = false;
};

class Store {
 public:
  explicit Store(const std::filesystem::path& databaseFile);

  // Seeds only an empty store, so a data folder keeps what it already holds.
  void seedIfEmpty(const Seed& seed);

  std::optional<User> checkPassword(const std::string& email, const std::string& password);
  std::optional<User> user(int64_t id);

  // The user's workspaces in display (seed) order, names containing `filter` ignoring ASCII case.
  std::vector<Workspace> workspacesOf(int64_t userId, const std::string& filter);
  std::optional<Workspace> workspace(int64_t id);
  std::optional<Workspace> workspaceByAddressKey(const std::string& addressKey);
  bool isMember(int64_t workspaceId, int64_t userId);
  std::optional<Directory> rootDirectory(int64_t workspaceId);
  std::optional<Directory> directory(int64_t id);
  bool removeWorkspace(int64_t id);

  // Adds them all in one transaction: a failure leaves none of them behind.
  std::vector<StoredRevision> addRevisions(const std::vector<NewRevision>& revisions);
  std::vector<StoredRevision> findRevisions(int64_t workspaceId, const RevisionQuery& query);
  // The newest revision of every file in the workspace, by file name.
  std::vector<StoredRevision> latestRevisions(int64_t workspaceId);
  // Newest first.
  std::vector<StoredRevision> revisionsOfFile(int64_t workspaceId, int64_t fileId);
  std::vector<StoredRevision> allRevisions();

 private:
  std::optional<Workspace> readWorkspace(Statement& statement);

  std::mutex mutex_;
  Database db_;
};

}  // namespace tavixservice
