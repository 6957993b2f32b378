// A thin RAII layer over one SQLite connection.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace tavixservice {

class Statement {
 public:
  Statement(sqlite3* db, const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Parameters are numbered from 1, as in SQL.
  Statement& bind(int index, const std::string& text);
  Statement& bind(int index, int64_t value);
  // True while a row is available; throws on errors.
  bool step();
  std::string text(int column) const;
  int64_t integer(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
};

class Database {
 public:
  explicit Database(const std::filesystem::path& file);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void exec(const char* sql);
  Statement prepare(const char* sql) { return Statement(db_, sql); }
  int64_t lastInsertId() const;

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace tavixservice
