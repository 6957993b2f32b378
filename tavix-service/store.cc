#include "store.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "crypto.h"

namespace tavixservice {
namespace {

const char* const kSchema = R"(
  PRAGMA journal_mode = WAL;
  PRAGMA foreign_keys = ON;
  CREATE TABLE IF NOT EXISTS users(
    id INTEGER PRIMARY KEY, email TEXT NOT NULL UNIQUE, name TEXT NOT NULL,
    salt TEXT NOT NULL, password_hash TEXT NOT NULL);
  CREATE TABLE IF NOT EXISTS workspaces(
    id INTEGER PRIMARY KEY, name TEXT NOT NULL, address_key TEXT NOT NULL UNIQUE,
    removed INTEGER NOT NULL DEFAULT 0);
  CREATE TABLE IF NOT EXISTS members(
    workspace_id INTEGER NOT NULL REFERENCES workspaces(id), user_id INTEGER NOT NULL REFERENCES users(id),
    PRIMARY KEY(workspace_id, user_id));
  CREATE TABLE IF NOT EXISTS directories(
    id INTEGER PRIMARY KEY, workspace_id INTEGER NOT NULL REFERENCES workspaces(id),
    parent_id INTEGER REFERENCES directories(id), name TEXT NOT NULL);
  CREATE TABLE IF NOT EXISTS files(
    id INTEGER PRIMARY KEY, workspace_id INTEGER NOT NULL REFERENCES workspaces(id),
    directory_id INTEGER NOT NULL REFERENCES directories(id), name TEXT NOT NULL,
    UNIQUE(directory_id, name));
  CREATE TABLE IF NOT EXISTS revisions(
    seq INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE, file_id INTEGER NOT NULL REFERENCES files(id),
    revision_key TEXT NOT NULL, file_version TEXT NOT NULL, source_revision_id TEXT NOT NULL,
    source_revision_version TEXT NOT NULL, last_modified TEXT NOT NULL, lifecycle_state TEXT NOT NULL,
    properties TEXT NOT NULL, size INTEGER NOT NULL, sha256 TEXT NOT NULL,
    created_at TEXT NOT NULL, uploaded_by INTEGER NOT NULL REFERENCES users(id));
)";

// Columns read by readRevisions, in order.
const char* const kRevisionSelect = R"(
  SELECT f.id, f.name, r.id, w.id, w.name, w.address_key, r.revision_key, r.file_version,
         r.source_revision_id, r.source_revision_version, r.last_modified, r.lifecycle_state,
         r.size, r.sha256, r.created_at, u.email
  FROM revisions r JOIN files f ON f.id = r.file_id JOIN workspaces w ON w.id = f.workspace_id
  JOIN users u ON u.id = r.uploaded_by
)";

// Root directories and files get ids of their own range, so that a client that
// sends a workspace id where a directory id belongs is refused rather than lucky.
constexpr int64_t kRootDirectoryIdOffset = 100;
constexpr int64_t kFirstFileId = 1001;

std::vector<StoredRevision> readRevisions(Statement& statement) {
  std::vector<StoredRevision> revisions;
  while (statement.step()) {
    StoredRevision r;
    r.fileId = statement.integer(0);
    r.fileName = statement.text(1);
    r.revisionId = statement.text(2);
    r.workspaceId = statement.integer(3);
    r.workspaceName = statement.text(4);
    r.addressKey = statement.text(5);
    r.revisionKey = statement.text(6);
    r.fileVersion = statement.text(7);
    r.sourceRevisionId = statement.text(8);
    r.sourceRevisionVersion = statement.text(9);
    r.lastModified = statement.text(10);
    r.lifecycleState = statement.text(11);
    r.size = statement.integer(12);
    r.sha256 = statement.text(13);
    r.createdAt = statement.text(14);
    r.uploadedBy = statement.text(15);
    revisions.push_back(std::move(r));
  }
  return revisions;
}

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

Store::Store(const std::filesystem::path& databaseFile) : db_(databaseFile) { db_.exec(kSchema); }

void Store::seedIfEmpty(const Seed& seed) {
  std::lock_guard lock(mutex_);
  auto count = db_.prepare("SELECT COUNT(*) FROM users");
  count.step();
  if (count.integer(0) > 0) return;
  db_.exec("BEGIN");
  try {
    for (const auto& user : seed.users) {
      std::string salt = randomHex(16);
      db_.prepare("INSERT INTO users(email, name, salt, password_hash) VALUES(?1, ?2, ?3, ?4)")
          .bind(1, user.email).bind(2, user.name).bind(3, salt).bind(4, passwordHash(user.password, salt))
          .step();
    }
    for (const auto& workspace : seed.workspaces) {
      db_.prepare("INSERT INTO workspaces(name, address_key) VALUES(?1, ?2)")
          .bind(1, workspace.name).bind(2, workspace.addressKey).step();
      int64_t id = db_.lastInsertId();
      db_.prepare("INSERT INTO directories(id, workspace_id, name) VALUES(?1, ?2, ?3)")
          .bind(1, id + kRootDirectoryIdOffset).bind(2, id).bind(3, workspace.name).step();
      for (const auto& email : workspace.members)
        db_.prepare("INSERT INTO members(workspace_id, user_id) SELECT ?1, id FROM users WHERE email = ?2")
            .bind(1, id).bind(2, email).step();
    }
    db_.exec("COMMIT");
  } catch (...) {
    db_.exec("ROLLBACK");
    throw;
  }
}

std::optional<User> Store::checkPassword(const std::string& email, const std::string& password) {
  std::lock_guard lock(mutex_);
  auto query = db_.prepare("SELECT id, email, name, salt, password_hash FROM users WHERE email = ?1");
  query.bind(1, email);
  if (!query.step()) {
    passwordHash(password, "no-such-user");  // answer as slowly as for a known user
    return std::nullopt;
  }
  if (!constantTimeEquals(passwordHash(password, query.text(3)), query.text(4))) return std::nullopt;
  return User{query.integer(0), query.text(1), query.text(2)};
}

std::optional<User> Store::user(int64_t id) {
  std::lock_guard lock(mutex_);
  auto query = db_.prepare("SELECT id, email, name FROM users WHERE id = ?1");
  query.bind(1, id);
  if (!query.step()) return std::nullopt;
  return User{query.integer(0), query.text(1), query.text(2)};
}

std::vector<Workspace> Store::workspacesOf(int64_t userId, const std::string& filter) {
  std::lock_guard lock(mutex_);
  auto query = db_.prepare(
      "SELECT w.id, w.name, w.address_key FROM workspaces w JOIN members m ON m.workspace_id = w.id "
      "WHERE m.user_id = ?1 AND w.removed = 0 ORDER BY w.id");
  query.bind(1, userId);
  std::vector<Workspace> workspaces;
  std::string wanted = lowered(filter);
  while (query.step()) {
    Workspace workspace{query.integer(0), query.text(1), query.text(2)};
    if (lowered(workspace.name).find(wanted) != std::string::npos) workspaces.push_back(std::move(workspace));
  }
  return workspaces;
}

std::optional<Workspace> Store::readWorkspace(Statement& statement) {
  if (!statement.step()) return std::nullopt;
  return Workspace{statement.integer(0), statement.text(1), statement.text(2)};
}

std::optional<Workspace> Store::workspace(int64_t id) {
  std::lock_guard lock(mutex_);
  auto query = db_.prepare("SELECT id, name, address_key FROM workspaces WHERE id = ?1 AND removed = 0");
  query.bind(1, id);
  return readWorkspace(query);
}

std::optional<Workspace> Store::workspaceByAddressKey(const std::string& addressKey) {
  std::lock_guard lock(mutex_);
  auto query = db_.prepare("SELECT id, name, address_key FROM workspaces WHERE address_key = ?1 AND removed = 0");
  query.bind(1, addressKey);
  return readWorkspace(query);
}

bool Store::isMember(int64_t workspaceId, int64_t userId) {
  std::lock_guard lock(mutex_);
  auto query = db_.prepare("SELECT 1 FROM members WHERE workspace_id = ?1 AND user_id = ?2");
  query.bind(1, workspaceId).bind(2, userId);
  return query.step();
}

std::optional<Directory> Store::rootDirectory(int64_t workspaceId) {
  std::lock_guard lock(mutex_);
  auto query = db_.prepare("SELECT id, workspace_id, name FROM directories WHERE workspace_id = ?1 AND parent_id IS NULL");
  query.bind(1, workspaceId);
  if (!query.step()) return std::nullopt;
  return Directory{query.integer(0), query.integer(1), query.text(2)};
}

std::optional<Directory> Store::directory(int64_t id) {
  std::lock_guard lock(mutex_);
  auto query = db_.prepare("SELECT id, workspace_id, name FROM directories WHERE id = ?1");
  query.bind(1, id);
  if (!query.step()) return std::nullopt;
  return Directory{query.integer(0), query.integer(1), query.text(2)};
}

bool Store::removeWorkspace(int64_t id) {
  std::lock_guard lock(mutex_);
  db_.prepare("UPDATE workspaces SET removed = 1 WHERE id = ?1 AND removed = 0").bind(1, id).step();
  auto changed = db_.prepare("SELECT changes()");
  changed.step();
  return changed.integer(0) > 0;
}

std::vector<StoredRevision> Store::addRevisions(const std::vector<NewRevision>& revisions) {
  std::lock_guard lock(mutex_);
  std::vector<std::string> revisionIds;
  db_.exec("BEGIN");
  try {
    for (const NewRevision& revision : revisions) {
      revisionIds.push_back(randomHex(12));
      db_.prepare(
             "INSERT INTO files(id, workspace_id, directory_id, name) "
             "SELECT COALESCE(MAX(id) + 1, ?4), ?1, ?2, ?3 FROM files WHERE true "
             "ON CONFLICT(directory_id, name) DO NOTHING")
          .bind(1, revision.workspaceId).bind(2, revision.directoryId).bind(3, revision.fileName)
          .bind(4, kFirstFileId).step();
      auto file = db_.prepare("SELECT id FROM files WHERE directory_id = ?1 AND name = ?2");
      file.bind(1, revision.directoryId).bind(2, revision.fileName);
      if (!file.step()) throw std::runtime_error("the file row vanished");
      int64_t fileId = file.integer(0);
      db_.prepare(
             "INSERT INTO revisions(id, file_id, revision_key, file_version, source_revision_id, "
             "source_revision_version, last_modified, lifecycle_state, properties, size, sha256, created_at, "
             "uploaded_by) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, "
             "strftime('%Y-%m-%dT%H:%M:%SZ', 'now'), ?12)")
          .bind(1, revisionIds.back()).bind(2, fileId).bind(3, revision.revisionKey).bind(4, revision.fileVersion)
          .bind(5, revision.sourceRevisionId).bind(6, revision.sourceRevisionVersion).bind(7, revision.lastModified)
          .bind(8, revision.lifecycleState).bind(9, revision.propertiesJson).bind(10, revision.size)
          .bind(11, revision.sha256).bind(12, revision.uploadedBy).step();
    }
    db_.exec("COMMIT");
  } catch (...) {
    db_.exec("ROLLBACK");
    throw;
  }
  std::vector<StoredRevision> stored;
  for (const std::string& revisionId : revisionIds) {
    auto query = db_.prepare((std::string(kRevisionSelect) + " WHERE r.id = ?1").c_str());
    query.bind(1, revisionId);
    stored.push_back(readRevisions(query).at(0));
  }
  return stored;
}

std::vector<StoredRevision> Store::findRevisions(int64_t workspaceId, const RevisionQuery& q) {
  std::lock_guard lock(mutex_);
  auto query = db_.prepare((std::string(kRevisionSelect) + R"(
    WHERE w.id = ?1 AND (?2 = '' OR r.revision_key = ?2) AND (?3 = '' OR f.name = ?3)
      AND (?4 = 0 OR ((?5 = '' OR r.source_revision_id = ?5) AND (?6 = '' OR r.source_revision_version = ?6)))
      AND (?7 = 0 OR r.seq = (SELECT MAX(seq) FROM revisions WHERE file_id = f.id))
    ORDER BY r.seq DESC)").c_str());
  query.bind(1, workspaceId).bind(2, q.revisionKey).bind(3, q.fileName).bind(4, int64_t{q.matchSourceRevision})
      .bind(5, q.sourceRevisionId).bind(6, q.sourceRevisionVersion).bind(7, int64_t{q.latestOnly});
  return readRevisions(query);
}

std::vector<StoredRevision> Store::latestRevisions(int64_t workspaceId) {
  std::lock_guard lock(mutex_);
  auto query = db_.prepare((std::string(kRevisionSelect) + R"(
    WHERE w.id = ?1 AND r.seq = (SELECT MAX(seq) FROM revisions WHERE file_id = f.id) ORDER BY f.name)").c_str());
  query.bind(1, workspaceId);
  return readRevisions(query);
}

std::vector<StoredRevision> Store::revisionsOfFile(int64_t workspaceId, int64_t fileId) {
  std::lock_guard lock(mutex_);
  auto query = db_.prepare((std::string(kRevisionSelect) + " WHERE w.id = ?1 AND f.id = ?2 ORDER BY r.seq DESC").c_str());
  query.bind(1, workspaceId).bind(2, fileId);
  return readRevisions(query);
}

std::vector<StoredRevision> Store::allRevisions() {
  std::lock_guard lock(mutex_);
  auto query = db_.prepare((std::string(kRevisionSelect) + " ORDER BY r.seq").c_str());
  return readRevisions(query);
}

}  // namespace tavixservice
