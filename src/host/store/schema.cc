#include "host/store/schema.h"

#include <sqlite3.h>

#include <memory>

namespace marquill::host {
namespace {

// Column order matters: the settings load reads Comments by position.
constexpr const char* kCreateTables =
    "CREATE TABLE IF NOT EXISTS Shortcuts ("
    "ID INTEGER PRIMARY KEY AUTOINCREMENT, ShortcutName TEXT(50), ShortcutContent TEXT);"
    "CREATE TABLE IF NOT EXISTS Comments ("
    "IncludeModule BOOLEAN, IncludeStandard BOOLEAN, IncludeMember BOOLEAN, "
    "IncludeDelim BOOLEAN, DelimStr TEXT, DelimNr INTEGER, Member TEXT, Module TEXT);";

constexpr const char* kInsertDefaults =
    "INSERT INTO Comments (IncludeModule, IncludeStandard, IncludeMember, IncludeDelim, "
    "DelimStr, DelimNr, Member, Module) SELECT ?, ?, ?, ?, ?, ?, ?, ? "
    "WHERE NOT EXISTS (SELECT 1 FROM Comments)";

struct Finalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

// The single integer a query returns, or -1 when it fails.
sqlite3_int64 QueryNumber(sqlite3* db, const char* sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) return -1;
  const Statement statement(raw);
  if (sqlite3_step(raw) != SQLITE_ROW) return -1;
  return sqlite3_column_int64(raw, 0);
}

bool Complete(sqlite3* db) {
  const auto tables = QueryNumber(db,
                                  "SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                  "AND lower(name) IN ('shortcuts', 'comments')");
  return tables == 2 && QueryNumber(db, "SELECT EXISTS (SELECT 1 FROM Comments)") == 1;
}

void BindText(sqlite3_stmt* statement, int index, std::string_view text) {
  sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

int InsertDefaults(sqlite3* db) {
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v2(db, kInsertDefaults, -1, &raw, nullptr);
  if (rc != SQLITE_OK) return rc;
  const Statement statement(raw);
  using D = DefaultComments;
  sqlite3_bind_int(raw, 1, D::kIncludeModule);
  sqlite3_bind_int(raw, 2, D::kIncludeStandard);
  sqlite3_bind_int(raw, 3, D::kIncludeMember);
  sqlite3_bind_int(raw, 4, D::kIncludeDelim);
  BindText(raw, 5, D::kDelimStr);
  sqlite3_bind_int(raw, 6, D::kDelimNr);
  BindText(raw, 7, D::kMember);
  BindText(raw, 8, D::kModule);
  rc = sqlite3_step(raw);
  return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

}  // namespace

int EnsureSchema(sqlite3* db) {
  // Reading the catalogue first is also what tells a database from any other file.
  int rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK || Complete(db)) return rc;
  // Another process may be doing the same: take the write lock, then create only what is
  // still missing.
  rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) return rc;
  rc = sqlite3_exec(db, kCreateTables, nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) rc = InsertDefaults(db);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  return rc;
}

}  // namespace marquill::host
