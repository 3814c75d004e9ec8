#include "host/store/connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <system_error>

#include "host/store/schema.h"
#include "host/text/vb_text.h"

// The settings update writes the literals True and False (keywords since 3.23); row counts use
// sqlite3_changes64 (3.37).
static_assert(SQLITE_VERSION_NUMBER >= 3037000, "SQLite 3.37 or later is required");

namespace marquill::host {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const fs::path& file, std::string_view what) {
  throw StoreError(file.filename().string() + ": " + std::string(what));
}

struct Finalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

// Prepares the one statement of `sql`, refusing anything but blanks and ';' after it.
Statement Prepare(sqlite3* db, const fs::path& file, std::string_view sql) {
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, &tail);
  Statement statement(raw);
  if (rc != SQLITE_OK) Fail(file, sqlite3_errmsg(db));
  if (statement == nullptr) Fail(file, "empty statement");
  const std::string_view rest(tail, static_cast<std::size_t>(sql.data() + sql.size() - tail));
  if (rest.find_first_not_of(" \t\r\n;") != std::string_view::npos) {
    Fail(file, "characters found after the end of the statement");
  }
  return statement;
}

// Booleans are stored as integers; the declared column type says which integers are flags.
bool IsBooleanColumn(const char* declared) {
  if (declared == nullptr) return false;
  const std::string_view type(declared);
  return EqualsNoCase(type, "BOOLEAN") || EqualsNoCase(type, "BOOL") || EqualsNoCase(type, "BIT") ||
         EqualsNoCase(type, "YESNO");
}

Value ColumnValue(sqlite3_stmt* statement, int column) {
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
      return Value();
    case SQLITE_INTEGER:
      if (IsBooleanColumn(sqlite3_column_decltype(statement, column))) {
        return Value(sqlite3_column_int64(statement, column) != 0);
      }
      return Value(static_cast<double>(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
      return Value(sqlite3_column_double(statement, column));
    default: {  // text, and blobs as their bytes
      const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
      const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
      return Value(std::string(bytes == nullptr ? "" : bytes, bytes == nullptr ? 0 : size));
    }
  }
}

}  // namespace

// --- Value --------------------------------------------------------------------------------

std::string Value::Text() const {
  if (IsText()) return std::get<std::string>(data_);
  if (IsNumber()) return NumberText(std::get<double>(data_));
  if (IsBool()) return std::get<bool>(data_) ? "True" : "False";
  return "";
}

bool Value::Bool() const {
  if (IsBool()) return std::get<bool>(data_);
  if (IsNumber()) return std::get<double>(data_) != 0;
  if (IsText()) {
    const auto& text = std::get<std::string>(data_);
    const auto trimmed = TrimSpaces(text);
    if (EqualsNoCase(trimmed, "True")) return true;
    if (EqualsNoCase(trimmed, "False")) return false;
    return CDbl(text) != 0;
  }
  throw ConversionError("Invalid use of Null");
}

double Value::Number() const {
  if (IsNumber()) return std::get<double>(data_);
  if (IsBool()) return std::get<bool>(data_) ? -1.0 : 0.0;
  if (IsText()) return CDbl(std::get<std::string>(data_));
  throw ConversionError("Invalid use of Null");
}

// --- Connection ---------------------------------------------------------------------------

void Connection::Closer::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::Open(const fs::path& file, OpenMode mode) {
  if (db_) Fail(file_, "the connection is already open");
  std::unique_ptr<sqlite3, Closer> db =
      mode == OpenMode::kScratchCopy ? OpenScratchCopy(file) : OpenInPlace(file);
  // The studio and the command line may use the same file at once.
  sqlite3_busy_timeout(db.get(), 5000);
  const int rc = EnsureSchema(db.get());
  if (rc != SQLITE_OK) Fail(file, sqlite3_errstr(rc));
  db_ = std::move(db);
  file_ = file;
}

namespace {

// SQLite takes file names in UTF-8 everywhere, also where the system's own narrow names are not.
std::string Utf8Name(const fs::path& file) {
  const std::u8string name = file.u8string();
  return std::string(name.begin(), name.end());
}

}  // namespace

std::unique_ptr<sqlite3, Connection::Closer> Connection::OpenInPlace(const fs::path& file) {
  std::error_code error;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), error);
  if (error) Fail(file, "cannot create the folder " + file.parent_path().string());
  sqlite3* raw = nullptr;
  const int rc =
      sqlite3_open_v2(Utf8Name(file).c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  std::unique_ptr<sqlite3, Closer> db(raw);
  if (rc != SQLITE_OK) Fail(file, raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
  sqlite3_extended_result_codes(raw, 1);
  return db;
}

std::unique_ptr<sqlite3, Connection::Closer> Connection::OpenScratchCopy(const fs::path& file) {
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  std::unique_ptr<sqlite3, Closer> copy(raw);
  if (rc != SQLITE_OK) Fail(file, sqlite3_errstr(rc));
  sqlite3_extended_result_codes(raw, 1);
  std::error_code error;
  if (!fs::exists(file, error)) return copy;
  sqlite3* source_raw = nullptr;
  rc = sqlite3_open_v2(Utf8Name(file).c_str(), &source_raw, SQLITE_OPEN_READONLY, nullptr);
  std::unique_ptr<sqlite3, Closer> source(source_raw);
  if (rc != SQLITE_OK) Fail(file, source_raw ? sqlite3_errmsg(source_raw) : sqlite3_errstr(rc));
  sqlite3_busy_timeout(source_raw, 5000);
  sqlite3_backup* backup = sqlite3_backup_init(raw, "main", source_raw, "main");
  if (backup == nullptr) Fail(file, sqlite3_errmsg(raw));
  rc = sqlite3_backup_step(backup, -1);
  sqlite3_backup_finish(backup);
  if (rc != SQLITE_DONE) Fail(file, sqlite3_errstr(rc));
  return copy;
}

int Connection::State() const { return db_ ? kStateOpen : kStateClosed; }

void Connection::EnsureTables() {
  const int rc = EnsureSchema(Handle());
  if (rc != SQLITE_OK) Fail(file_, sqlite3_errstr(rc));
}

sqlite3* Connection::Handle() const {
  if (!db_) throw StoreError("Operation is not allowed when the connection is closed");
  return db_.get();
}

std::int64_t Connection::Execute(std::string_view sql) {
  sqlite3* db = Handle();
  const Statement statement = Prepare(db, file_, sql);
  int rc = SQLITE_ROW;
  while (rc == SQLITE_ROW) rc = sqlite3_step(statement.get());
  if (rc != SQLITE_DONE) Fail(file_, sqlite3_errmsg(db));
  return sqlite3_changes64(db);
}

std::int64_t Connection::LastInsertId() const { return sqlite3_last_insert_rowid(Handle()); }

void Connection::Close() {
  db_.reset();
  file_.clear();
}

// --- Recordset ----------------------------------------------------------------------------

void Recordset::Open(std::string_view sql, Connection& connection) {
  Close();
  sqlite3* db = connection.Handle();
  const Statement statement = Prepare(db, connection.file_, sql);
  sqlite3_stmt* raw = statement.get();

  std::vector<std::string> names;
  const int columns = sqlite3_column_count(raw);
  for (int c = 0; c < columns; ++c) names.emplace_back(sqlite3_column_name(raw, c));
  // The tables are small: keeping the rows frees the connection for statements while reading.
  std::vector<std::vector<Value>> rows;
  int rc = SQLITE_OK;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    auto& row = rows.emplace_back();
    row.reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) row.push_back(ColumnValue(raw, c));
  }
  if (rc != SQLITE_DONE) Fail(connection.file_, sqlite3_errmsg(db));

  names_ = std::move(names);
  rows_ = std::move(rows);
  row_ = 0;
  open_ = true;
}

const std::vector<Value>& Recordset::CurrentRow() const {
  if (!open_) throw StoreError("Operation is not allowed when the recordset is closed");
  if (row_ >= rows_.size()) throw StoreError("Either BOF or EOF is True");
  return rows_[row_];
}

const Value& Recordset::Field(std::string_view name) const {
  const auto& row = CurrentRow();
  for (std::size_t c = 0; c < names_.size(); ++c) {
    if (EqualsNoCase(names_[c], name)) return row[c];
  }
  throw StoreError("Item cannot be found in the collection: " + std::string(name));
}

const Value& Recordset::Field(int ordinal) const {
  const auto& row = CurrentRow();
  if (ordinal < 0 || static_cast<std::size_t>(ordinal) >= row.size()) {
    throw StoreError("Item cannot be found in the collection: " + std::to_string(ordinal));
  }
  return row[static_cast<std::size_t>(ordinal)];
}

const std::string& Recordset::FieldName(int ordinal) const {
  if (ordinal < 0 || static_cast<std::size_t>(ordinal) >= names_.size()) {
    throw StoreError("Item cannot be found in the collection: " + std::to_string(ordinal));
  }
  return names_[static_cast<std::size_t>(ordinal)];
}

void Recordset::MoveNext() {
  CurrentRow();
  ++row_;
}

void Recordset::Close() {
  open_ = false;
  names_.clear();
  rows_.clear();
  row_ = 0;
}

}  // namespace marquill::host
