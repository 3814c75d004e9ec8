// The add-in database as the add-in class and the main window share it, and its statements.
//
// One connection and one recordset are module-level values: the add-in class creates them at
// connection, opens the connection, reads Shortcuts and closes both; the main window creates
// whatever was released, reopens the connection, reads Comments and keeps the connection open
// while it exists; its unload closes and releases them, as does the add-in's disconnection.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/store/connection.h"

namespace marquill::host {

class Database {
 public:
  explicit Database(std::filesystem::path file) : file_(std::move(file)) {}

  const std::filesystem::path& File() const { return file_; }
  // How the connection opens the file; a dry run works on a scratch copy.
  OpenMode Mode() const { return mode_; }
  void SetMode(OpenMode mode) { mode_ = mode; }

  // Creates the connection and the recordset where they were released; live ones are kept.
  void CreateObjects();
  // Closes both and drops them.
  void ReleaseObjects();
  bool HasObjects() const { return connection_ && recordset_; }
  // StoreError when the object was released.
  Connection& connection();
  Recordset& recordset();

  bool IsOpen() const { return connection_ && connection_->State() == kStateOpen; }
  // Creates released objects and opens the connection unless it is open; StoreError when the
  // file cannot be opened.
  void Open();
  // Closes the recordset and the connection, keeping the objects.
  void Close();

 private:
  std::filesystem::path file_;
  OpenMode mode_ = OpenMode::kInPlace;
  std::unique_ptr<Connection> connection_;
  std::unique_ptr<Recordset> recordset_;
};

// Shows a message box: text and title, OK button only.
using MessageBoxFn = std::function<void(std::string_view text, std::string_view title)>;

inline constexpr std::string_view kOpenFailedText = "Error with Marquill.mdb !";
inline constexpr std::string_view kOpenFailedTitle = "Error";

// The add-in connection's open: creates the objects and opens the connection; when it is not
// open afterwards, says so in a message box. Returns whether it is open.
bool ConnectDatabase(Database& database, const MessageBoxFn& message_box);

struct ShortcutRow {
  std::string name;
  std::string content;  // a missing content reads as ""
  std::int64_t id = 0;  // the row's key: two shortcuts may share a name, never an ID
  // Rows compare by what they hold; the key only says where a row is kept.
  friend bool operator==(const ShortcutRow& a, const ShortcutRow& b) {
    return a.name == b.name && a.content == b.content;
  }
};

// Every row of Shortcuts in the order the store returns them, read through the shared
// recordset, which is closed again. When the connection is not open, or the read fails part way,
// returns what it got (nothing), never throwing: the add-in goes on without shortcuts.
std::vector<ShortcutRow> ReadShortcuts(Database& database);

// The statements, exactly as the add-in builds them; every quoted value goes through QuoteSql.
inline constexpr std::string_view kSelectShortcuts = "SELECT * FROM Shortcuts";
inline constexpr std::string_view kSelectComments = "SELECT * FROM Comments";
std::string InsertShortcutSql(std::string_view name);
std::string DeleteShortcutSql(std::string_view name);
std::string UpdateShortcutSql(std::string_view name, std::string_view content);
// The editor's statements address one row by its ID, so shortcuts sharing a name stay apart.
std::string DeleteShortcutSql(std::int64_t id);
std::string UpdateShortcutSql(std::int64_t id, std::string_view content);

// The comment settings as the window's fields hold them, for the settings save.
struct CommentSettingsText {
  std::string module;                // txtCommentFormat
  std::string member;                // txtCmtLine
  std::array<bool, 4> include = {};  // chkComments 0 to 3, on only at value 1
  std::string delim_nr;              // txtDelimNr, written unquoted
  std::string delim_str;             // txtDelim
};
// The settings update. It has no WHERE clause: every row is rewritten, none is inserted.
std::string UpdateCommentsSql(const CommentSettingsText& settings);

}  // namespace marquill::host
