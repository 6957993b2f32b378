#include "database.h"

#include <sqlite3.h>

#include <stdexcept>

namespace tavixservice {
namespace {

[[noreturn]] void fail(sqlite3* db, const std::string& what) {
  throw std::runtime_error("SQLite: " + what + ": " + sqlite3_errmsg(db));
}

}  // namespace

Statement::Statement(sqlite3* db, const char* sql) : db_(db) {
  if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) fail(db, std::string("prepare ") + sql);
}

Statement::~Statement() { sqlite3_finalize(statement_); }

Statement& Statement::bind(int index, const std::string& text) {
  if (sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) != SQLITE_OK)
    fail(db_, "bind");
  return *this;
}

Statement& Statement::bind(int index, int64_t value) {
  if (sqlite3_bind_int64(statement_, index, value) != SQLITE_OK) fail(db_, "bind");
  return *this;
}

bool Statement::step() {
  int result = sqlite3_step(statement_);
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  fail(db_, "step");
}

std::string Statement::text(int column) const {
  auto* value = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  return value ? std::string(value, sqlite3_column_bytes(statement_, column)) : std::string();
}

int64_t Statement::integer(int column) const { return sqlite3_column_int64(statement_, column); }

Database::Database(const std::filesystem::path& file) {
  if (sqlite3_open(file.string().c_str(), &db_) != SQLITE_OK) {
    std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw std::runtime_error("SQLite: cannot open " + file.string() + ": " + message);
  }
  sqlite3_busy_timeout(db_, 5000);
}

Database::~Database() { sqlite3_close(db_); }

void Database::exec(const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : "unknown error";
    sqlite3_free(message);
    throw std::runtime_error(std::string("SQLite: ") + text);
  }
}

int64_t Database::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

}  // namespace tavixservice
