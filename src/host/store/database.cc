#include "host/store/database.h"

#include "host/text/vb_text.h"

namespace marquill::host {

void Database::CreateObjects() {
  if (!connection_) connection_ = std::make_unique<Connection>();
  if (!recordset_) recordset_ = std::make_unique<Recordset>();
}

void Database::ReleaseObjects() {
  Close();
  recordset_.reset();
  connection_.reset();
}

Connection& Database::connection() {
  if (!connection_) throw StoreError("Object variable not set: the database connection");
  return *connection_;
}

Recordset& Database::recordset() {
  if (!recordset_) throw StoreError("Object variable not set: the database recordset");
  return *recordset_;
}

void Database::Open() {
  CreateObjects();
  if (!IsOpen()) connection_->Open(file_, mode_);
}

void Database::Close() {
  if (recordset_) recordset_->Close();
  if (connection_) connection_->Close();
}

bool ConnectDatabase(Database& database, const MessageBoxFn& message_box) {
  database.CreateObjects();
  try {
    database.connection().Open(database.File(), database.Mode());
  } catch (const StoreError&) {
    // Reported below, by the state the connection is left in.
  }
  if (database.IsOpen()) return true;
  if (message_box) message_box(kOpenFailedText, kOpenFailedTitle);
  return false;
}

namespace {

// 0 for a table without keys, which the editor then cannot change.
std::int64_t RowId(const Recordset& recordset) {
  for (int field = 0; field < recordset.FieldCount(); ++field) {
    if (!EqualsNoCase(recordset.FieldName(field), "ID")) continue;
    const Value& id = recordset.Field(field);
    return id.IsNumber() ? static_cast<std::int64_t>(id.Number()) : 0;
  }
  return 0;
}

}  // namespace

std::vector<ShortcutRow> ReadShortcuts(Database& database) {
  std::vector<ShortcutRow> rows;
  if (!database.IsOpen() || !database.HasObjects()) return rows;
  Recordset& recordset = database.recordset();
  try {
    recordset.Open(kSelectShortcuts, database.connection());
    for (; !recordset.Eof(); recordset.MoveNext()) {
      ShortcutRow row{recordset.Field("ShortcutName").Text(),
                      recordset.Field("ShortcutContent").Text()};
      row.id = RowId(recordset);
      rows.push_back(std::move(row));
    }
  } catch (const StoreError&) {
    // A damaged table: keep what was read.
  }
  recordset.Close();
  return rows;
}

std::string InsertShortcutSql(std::string_view name) {
  return "INSERT INTO Shortcuts(ShortcutName) VALUES('" + QuoteSql(name) + "')";
}

std::string DeleteShortcutSql(std::string_view name) {
  return "DELETE FROM Shortcuts WHERE ShortcutName='" + QuoteSql(name) + "'";
}

std::string UpdateShortcutSql(std::string_view name, std::string_view content) {
  return "UPDATE Shortcuts SET ShortcutContent='" + QuoteSql(content) + "' WHERE ShortcutName='" +
         QuoteSql(name) + "'";
}

std::string DeleteShortcutSql(std::int64_t id) {
  return "DELETE FROM Shortcuts WHERE ID=" + std::to_string(id);
}

std::string UpdateShortcutSql(std::int64_t id, std::string_view content) {
  return "UPDATE Shortcuts SET ShortcutContent='" + QuoteSql(content) +
         "' WHERE ID=" + std::to_string(id);
}

std::string UpdateCommentsSql(const CommentSettingsText& settings) {
  auto flag = [&](std::size_t i) -> std::string { return settings.include[i] ? "True" : "False"; };
  return "UPDATE Comments SET Module='" + QuoteSql(settings.module) + "',Member='" +
         QuoteSql(settings.member) + "',IncludeModule=" + flag(0) + ",IncludeStandard=" + flag(1) +
         ",IncludeMember=" + flag(2) + ",IncludeDelim=" + flag(3) +
         ",DelimNr=" + settings.delim_nr + ",DelimStr='" + QuoteSql(settings.delim_str) + "'";
}

}  // namespace marquill::host
