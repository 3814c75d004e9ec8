// The add-in database connection and recordset, on SQLite.
//
// The add-in talks to its store the way the IDE-era code talked to its data objects: a
// connection that is opened on a file, executes statements and is closed; a recordset opened on a
// SELECT over that connection and read front to back. Those are the only operations callers
// rely on, so that is all these classes offer. Statements take effect at once (autocommit).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/code_model.h"

struct sqlite3;

namespace marquill::host {

// A failed open, a rejected statement, a field that does not exist. A HostError, so the
// ignore-errors step skips it like any other refusal.
class StoreError : public HostError {
 public:
  using HostError::HostError;
};

// One field value: null, text, number or boolean, as the store hands them out.
class Value {
 public:
  Value() = default;
  explicit Value(std::string text) : data_(std::move(text)) {}
  explicit Value(double number) : data_(number) {}
  explicit Value(bool flag) : data_(flag) {}

  bool IsNull() const { return std::holds_alternative<std::monostate>(data_); }
  bool IsText() const { return std::holds_alternative<std::string>(data_); }
  bool IsNumber() const { return std::holds_alternative<double>(data_); }
  bool IsBool() const { return std::holds_alternative<bool>(data_); }

  // The value converted to text as the language does: "" for null, "True"/"False", NumberText.
  std::string Text() const;
  // Non-zero numbers and the texts "True"/"False" (any case) or numbers convert; ConversionError
  // for null and for other text.
  bool Bool() const;
  // True reads as -1, as the language has it; ConversionError for null and non-numeric text.
  double Number() const;

  friend bool operator==(const Value&, const Value&) = default;

 private:
  std::variant<std::monostate, std::string, double, bool> data_;
};

inline constexpr int kStateClosed = 0;
inline constexpr int kStateOpen = 1;

// How a connection uses its file. A scratch copy reads the file once into memory and works
// there, so a dry run can use the add-in's database without writing anything anywhere: a missing
// file stays missing, and every statement changes only the copy.
enum class OpenMode { kInPlace, kScratchCopy };

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens the add-in database at `file`. A missing file (and its folder) is created with the
  // add-in's tables and the default Comments row; tables missing from an existing file are
  // added. StoreError when the file cannot be opened or is not a database; the connection then
  // stays closed. Opening an open connection is an error.
  void Open(const std::filesystem::path& file, OpenMode mode = OpenMode::kInPlace);
  // kStateOpen (1) or kStateClosed (0).
  int State() const;
  // Creates the tables and the default Comments row again where they went missing while the
  // connection was open. StoreError when the database cannot be written.
  void EnsureTables();
  // Runs one statement; returns the number of rows it changed. Text after the statement other
  // than blanks and a semicolon is refused, so one statement can never smuggle in another.
  std::int64_t Execute(std::string_view sql);
  // The key the last successful INSERT gave its row.
  std::int64_t LastInsertId() const;
  // Closing a closed connection does nothing.
  void Close();

 private:
  friend class Recordset;
  struct Closer {
    void operator()(sqlite3* db) const;
  };
  sqlite3* Handle() const;
  static std::unique_ptr<sqlite3, Closer> OpenInPlace(const std::filesystem::path& file);
  static std::unique_ptr<sqlite3, Closer> OpenScratchCopy(const std::filesystem::path& file);

  std::unique_ptr<sqlite3, Closer> db_;
  std::filesystem::path file_;
};

class Recordset {
 public:
  // Runs `sql` on an open connection and keeps the rows; the cursor stands on the first.
  // Opening an open recordset closes it first. StoreError when the connection is closed or the
  // query fails; the recordset then stays closed.
  void Open(std::string_view sql, Connection& connection);
  int State() const { return open_ ? kStateOpen : kStateClosed; }
  // Past the last row (not spelled EOF, which <cstdio> takes as a macro). A closed recordset is
  // at its end, so reading one that failed to open yields nothing instead of looping.
  bool Eof() const { return !open_ || row_ >= rows_.size(); }
  // The current row's field by name (any case) or by 0-based position. StoreError at the end or
  // when there is no such field.
  const Value& Field(std::string_view name) const;
  const Value& Field(int ordinal) const;
  int FieldCount() const { return static_cast<int>(names_.size()); }
  const std::string& FieldName(int ordinal) const;
  // StoreError at the end.
  void MoveNext();
  // Closing a closed recordset does nothing.
  void Close();

 private:
  const std::vector<Value>& CurrentRow() const;

  bool open_ = false;
  std::vector<std::string> names_;
  std::vector<std::vector<Value>> rows_;
  std::size_t row_ = 0;
};

}  // namespace marquill::host
