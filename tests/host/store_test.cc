#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "host/ignore_errors.h"
#include "host/store/database.h"
#include "host/store/schema.h"
#include "host/support/named_rows.h"
#include "support/accounts.h"
#include "support/files.h"

namespace marquill::host {
namespace {

namespace fs = std::filesystem;
using ::marquill::test::ReadBytes;
using ::marquill::test::TempDir;
using ::marquill::test::WriteBytes;

// Each test gets a fresh folder; the database goes one level below it, in a folder that does
// not exist yet, as on a first start.
class StoreTest : public testing::Test {
 protected:
  fs::path File() const { return root_ / "addin" / "Marquill.mdb"; }

  // Connects as the add-in does, failing the test if a message box appears.
  void Connect(Database& database) {
    ASSERT_TRUE(ConnectDatabase(database, [](std::string_view text, std::string_view) {
      ADD_FAILURE() << "unexpected message: " << text;
    }));
  }

  struct Message {
    std::string text, title;
  };
  // Connects expecting failure; returns the messages shown.
  std::vector<Message> ConnectFailing(Database& database) {
    std::vector<Message> shown;
    EXPECT_FALSE(ConnectDatabase(database, [&](std::string_view text, std::string_view title) {
      shown.push_back({std::string(text), std::string(title)});
    }));
    return shown;
  }

  std::vector<std::vector<Value>> Rows(Database& database, std::string_view sql) {
    std::vector<std::vector<Value>> rows;
    Recordset& recordset = database.recordset();
    recordset.Open(sql, database.connection());
    for (; !recordset.Eof(); recordset.MoveNext()) {
      auto& row = rows.emplace_back();
      for (int c = 0; c < recordset.FieldCount(); ++c) row.push_back(recordset.Field(c));
    }
    recordset.Close();
    return rows;
  }

  TempDir root_{"store"};
};

TEST_F(StoreTest, MissingFileIsCreatedWithTablesAndDefaultRow) {
  Database database(File());
  Connect(database);
  EXPECT_TRUE(fs::exists(File()));
  EXPECT_TRUE(ReadShortcuts(database).empty());

  Recordset& recordset = database.recordset();
  recordset.Open(kSelectComments, database.connection());
  const std::vector<std::string> columns = {"IncludeModule", "IncludeStandard", "IncludeMember",
                                            "IncludeDelim",  "DelimStr",        "DelimNr",
                                            "Member",        "Module"};
  ASSERT_EQ(recordset.FieldCount(), 8);
  for (int c = 0; c < 8; ++c) EXPECT_EQ(recordset.FieldName(c), columns[c]);
  recordset.Close();
  using D = DefaultComments;
  const std::vector<Value> defaults = {
      Value(D::kIncludeModule),       Value(D::kIncludeStandard),       Value(D::kIncludeMember),
      Value(D::kIncludeDelim),        Value(std::string(D::kDelimStr)), Value(60.0),
      Value(std::string(D::kMember)), Value(std::string(D::kModule))};
  EXPECT_EQ(Rows(database, kSelectComments), std::vector<std::vector<Value>>{defaults})
      << "exactly one settings row";
}

struct ShortcutCase {
  const char* name;
  std::string shortcut;
  std::string content;
};

class ShortcutRoundTripTest : public StoreTest, public testing::WithParamInterface<ShortcutCase> {};

TEST_P(ShortcutRoundTripTest, StoresAndFindsAgain) {
  const ShortcutCase& row = GetParam();
  Database database(File());
  Connect(database);
  Connection& connection = database.connection();
  EXPECT_EQ(connection.Execute(InsertShortcutSql("other")), 1);
  EXPECT_EQ(connection.Execute(InsertShortcutSql(row.shortcut)), 1);
  EXPECT_EQ(ReadShortcuts(database), (std::vector<ShortcutRow>{{"other", ""}, {row.shortcut, ""}}));

  EXPECT_EQ(connection.Execute(UpdateShortcutSql(row.shortcut, row.content)), 1);
  EXPECT_EQ(ReadShortcuts(database),
            (std::vector<ShortcutRow>{{"other", ""}, {row.shortcut, row.content}}));

  EXPECT_EQ(connection.Execute(DeleteShortcutSql(row.shortcut)), 1);
  EXPECT_EQ(ReadShortcuts(database), (std::vector<ShortcutRow>{{"other", ""}}));
}

const ShortcutCase kShortcutCases[] = {
    {"Plain", "Loop", "For i = 1 To 10\r\nNext"},
    {"ApostropheInName", "Don't", "x"},
    {"ApostrophesInContent", "Header", "' Author: O'Brien\r\n' ''quoted''"},
    {"OnlyApostrophes", "'", "''"},
    {"SqlLookingText", "a' OR '1'='1", "'); DELETE FROM Shortcuts; --"},
    {"BackslashesAndDoubleQuotes", "C:\\dir\\", "MsgBox \"a\\b\""},
    {"AnsiBytes", "caf\xe9", "' \xa9 2024\r\n"},
    {"NameOfFiftyCharacters", std::string(50, 'n'), std::string(5000, 'c')},
};
INSTANTIATE_TEST_SUITE_P(Rows, ShortcutRoundTripTest, testing::ValuesIn(kShortcutCases),
                         host::test::RowName());

TEST_F(StoreTest, SameNameStatementsReachEveryRow) {
  Database database(File());
  Connect(database);
  Connection& connection = database.connection();
  for (const char* name : {"twin", "single", "twin"}) connection.Execute(InsertShortcutSql(name));
  EXPECT_EQ(connection.Execute(UpdateShortcutSql("twin", "both")), 2);
  EXPECT_EQ(ReadShortcuts(database),
            (std::vector<ShortcutRow>{{"twin", "both"}, {"single", ""}, {"twin", "both"}}));
  EXPECT_EQ(connection.Execute(DeleteShortcutSql("twin")), 2);
  EXPECT_EQ(ReadShortcuts(database), (std::vector<ShortcutRow>{{"single", ""}}));
}

TEST_F(StoreTest, CommentsUpdateRoundTripsApostrophesAndBooleans) {
  Database database(File());
  Connect(database);
  CommentSettingsText settings;
  settings.module = "' Module: it's mine\r\n' (c) O'Brien";
  settings.member = "' Revised: ''";
  settings.include = {true, false, true, false};
  settings.delim_nr = "7";
  settings.delim_str = "'";
  database.connection().Execute(UpdateCommentsSql(settings));

  const auto rows = Rows(database, kSelectComments);
  ASSERT_EQ(rows.size(), 1u);
  const std::vector<Value> expected = {Value(true),
                                       Value(false),
                                       Value(true),
                                       Value(false),
                                       Value(std::string("'")),
                                       Value(7.0),
                                       Value(settings.member),
                                       Value(settings.module)};
  EXPECT_EQ(rows[0], expected);
  EXPECT_TRUE(rows[0][0].IsBool()) << "booleans must read back as booleans";
}

TEST_F(StoreTest, CommentsUpdateRewritesEveryRow) {
  Database database(File());
  Connect(database);
  database.connection().Execute(
      "INSERT INTO Comments VALUES (False, False, False, False, '=', 3, 'b', 'c')");
  CommentSettingsText settings;
  settings.module = "m";
  settings.delim_nr = "12";
  settings.delim_str = "*";
  EXPECT_EQ(database.connection().Execute(UpdateCommentsSql(settings)), 2);
  for (const auto& row : Rows(database, kSelectComments)) {
    EXPECT_EQ(row[4].Text(), "*");
    EXPECT_EQ(row[5].Text(), "12");
    EXPECT_EQ(row[7].Text(), "m");
  }
}

TEST_F(StoreTest, RejectedStatementsLeaveTablesAsTheyWere) {
  Database database(File());
  Connect(database);
  Connection& connection = database.connection();
  connection.Execute(InsertShortcutSql("keep"));
  const auto comments = Rows(database, kSelectComments);

  CommentSettingsText settings;
  settings.module = "changed";
  settings.delim_nr = "";  // an empty count field makes the statement invalid
  EXPECT_THROW(connection.Execute(UpdateCommentsSql(settings)), StoreError);
  settings.delim_nr = "1; DELETE FROM Shortcuts";
  EXPECT_THROW(connection.Execute(UpdateCommentsSql(settings)), StoreError);
  EXPECT_THROW(connection.Execute("DELETE FROM Nowhere"), StoreError);
  EXPECT_FALSE(Step([&] { connection.Execute("not sql"); })) << "Step must swallow StoreError";

  EXPECT_EQ(Rows(database, kSelectComments), comments);
  EXPECT_EQ(ReadShortcuts(database), (std::vector<ShortcutRow>{{"keep", ""}}));
}

TEST_F(StoreTest, StatementsTakeEffectAtOnceForAnotherConnection) {
  Database window(File()), addin(File());
  Connect(window);
  Connect(addin);
  window.connection().Execute(InsertShortcutSql("fresh"));
  EXPECT_EQ(ReadShortcuts(addin), (std::vector<ShortcutRow>{{"fresh", ""}}));
}

TEST_F(StoreTest, ReopensAfterCloseAndAfterRelease) {
  Database database(File());
  Connect(database);
  database.connection().Execute(InsertShortcutSql("kept"));
  database.Close();
  EXPECT_FALSE(database.IsOpen());
  EXPECT_TRUE(ReadShortcuts(database).empty()) << "a closed connection reads nothing";

  database.Open();
  EXPECT_EQ(ReadShortcuts(database), (std::vector<ShortcutRow>{{"kept", ""}}));

  database.ReleaseObjects();
  EXPECT_FALSE(database.HasObjects());
  EXPECT_THROW(database.connection(), StoreError);
  EXPECT_THROW(database.recordset(), StoreError);
  database.Open();  // the window's load: objects created anew, connection opened
  EXPECT_EQ(Rows(database, kSelectComments).size(), 1u) << "no second default row";
  EXPECT_EQ(ReadShortcuts(database), (std::vector<ShortcutRow>{{"kept", ""}}));
}

// Files the store cannot use: each must give the add-in's message and then no shortcuts.
class UnusableFileTest : public StoreTest {
 protected:
  void ExpectMessageThenNoShortcuts() {
    Database database(File());
    const auto shown = ConnectFailing(database);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error with Marquill.mdb !");
    EXPECT_EQ(shown[0].title, "Error");
    EXPECT_FALSE(database.IsOpen());
    EXPECT_TRUE(ReadShortcuts(database).empty());
    // Reading the way the add-in's loop does must end at once, too.
    EXPECT_THROW(database.recordset().Open(kSelectShortcuts, database.connection()), StoreError);
    EXPECT_TRUE(database.recordset().Eof());
  }
};

struct UnusableCase {
  const char* name;
  void (*make)(const fs::path& file);  // puts something unusable where the file goes
};

class UnusablePlaceTest : public UnusableFileTest,
                          public testing::WithParamInterface<UnusableCase> {};

TEST_P(UnusablePlaceTest, GivesTheMessageAndLeavesItAlone) {
  GetParam().make(File());
  const std::string before = fs::is_regular_file(File()) ? ReadBytes(File()) : "";
  ExpectMessageThenNoShortcuts();
  EXPECT_EQ(fs::is_regular_file(File()) ? ReadBytes(File()) : "", before);
}

const UnusableCase kUnusableCases[] = {
    {"TextFile",
     [](const fs::path& file) { WriteBytes(file, "These are my notes, not a database.\n"); }},
    {"FolderInPlaceOfTheFile", [](const fs::path& file) { fs::create_directories(file); }},
    {"FileInPlaceOfTheFolder", [](const fs::path& file) { WriteBytes(file.parent_path(), "x"); }},
};
INSTANTIATE_TEST_SUITE_P(Rows, UnusablePlaceTest, testing::ValuesIn(kUnusableCases),
                         host::test::RowName());

TEST_F(UnusableFileTest, NoPermission) {
  {
    Database database(File());
    Connect(database);
  }
  fs::permissions(File(), fs::perms::none);
  fs::permissions(root_.path(), fs::perms::others_read | fs::perms::others_exec,
                  fs::perm_options::add);
  EXPECT_EQ(::marquill::test::AsOrdinaryAccount([&] {
              ExpectMessageThenNoShortcuts();
              return !HasFailure();
            }),
            0)
      << "1: the check failed as an ordinary account; 2: no such account";
}

TEST_F(StoreTest, ExistingFileGainsMissingTableAndDefaultRow) {
  fs::create_directories(File().parent_path());
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(File().c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw,
                         "CREATE TABLE Shortcuts (ID INTEGER PRIMARY KEY, ShortcutName TEXT, "
                         "ShortcutContent TEXT); INSERT INTO Shortcuts VALUES (1, 'old', NULL)",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);

  Database database(File());
  Connect(database);
  EXPECT_EQ(ReadShortcuts(database), (std::vector<ShortcutRow>{{"old", ""}}))
      << "a null content reads as empty text";
  EXPECT_EQ(Rows(database, kSelectComments).size(), 1u);
}

TEST_F(StoreTest, RecordsetNavigation) {
  Database database(File());
  Connect(database);
  Connection& connection = database.connection();
  connection.Execute(InsertShortcutSql("a"));
  connection.Execute(InsertShortcutSql("b"));
  Recordset& recordset = database.recordset();
  EXPECT_TRUE(recordset.Eof()) << "not opened yet";
  recordset.Open(kSelectShortcuts, connection);
  EXPECT_EQ(recordset.State(), kStateOpen);
  EXPECT_EQ(recordset.Field("shortcutname").Text(), "a") << "field names ignore case";
  EXPECT_EQ(recordset.Field(0).Text(), "1") << "ID set by the store";
  EXPECT_TRUE(recordset.Field("ShortcutContent").IsNull());
  EXPECT_THROW(recordset.Field("Nope"), StoreError);
  EXPECT_THROW(recordset.Field(3), StoreError);
  recordset.MoveNext();
  EXPECT_EQ(recordset.Field(1).Text(), "b");
  recordset.MoveNext();
  EXPECT_TRUE(recordset.Eof());
  EXPECT_THROW(recordset.Field(1), StoreError);
  EXPECT_THROW(recordset.MoveNext(), StoreError);
  recordset.Close();
  EXPECT_EQ(recordset.State(), kStateClosed);
  EXPECT_THROW(recordset.Field(0), StoreError);
}

// A scratch copy of the database: read from the file, written nowhere.
std::string FirstShortcut(Connection& connection) {
  Recordset rows;
  rows.Open("SELECT ShortcutName FROM Shortcuts ORDER BY ID", connection);
  return rows.Eof() ? "" : rows.Field(0).Text();
}

TEST_F(StoreTest, ScratchCopyOfAMissingFileWorksAndLeavesItMissing) {
  Connection scratch;
  scratch.Open(File(), OpenMode::kScratchCopy);
  EXPECT_EQ(scratch.Execute("INSERT INTO Shortcuts(ShortcutName) VALUES('a')"), 1);
  EXPECT_EQ(FirstShortcut(scratch), "a");
  Recordset comments;
  comments.Open(kSelectComments, scratch);
  EXPECT_FALSE(comments.Eof()) << "the default row is there";
  EXPECT_FALSE(fs::exists(File().parent_path()));
}

TEST_F(StoreTest, ScratchCopyReadsAnExistingFileButNeverWritesIt) {
  {
    Connection real;
    real.Open(File());
    real.Execute("INSERT INTO Shortcuts(ShortcutName) VALUES('kept')");
  }
  const std::string before = ReadBytes(File());
  Connection scratch;
  scratch.Open(File(), OpenMode::kScratchCopy);
  EXPECT_EQ(FirstShortcut(scratch), "kept");
  scratch.Execute("UPDATE Shortcuts SET ShortcutName = 'changed'");
  scratch.Execute("DROP TABLE Comments");
  EXPECT_EQ(FirstShortcut(scratch), "changed");
  scratch.Close();
  EXPECT_EQ(ReadBytes(File()), before);
}

TEST_F(StoreTest, ScratchCopyRefusesAFileThatIsNoDatabase) {
  WriteBytes(File(), "text, not a database\n");
  Connection scratch;
  EXPECT_THROW(scratch.Open(File(), OpenMode::kScratchCopy), StoreError);
  EXPECT_EQ(scratch.State(), kStateClosed);
}

TEST(ValueTest, ConvertsAsTheLanguageDoes) {
  EXPECT_EQ(Value().Text(), "");
  EXPECT_EQ(Value(60.0).Text(), "60");
  EXPECT_EQ(Value(2.5).Text(), "2.5");
  EXPECT_EQ(Value(true).Text(), "True");
  EXPECT_EQ(Value(false).Text(), "False");
  EXPECT_TRUE(Value(std::string(" true")).Bool());
  EXPECT_FALSE(Value(std::string("FALSE")).Bool());
  EXPECT_TRUE(Value(std::string("-1")).Bool());
  EXPECT_TRUE(Value(0.5).Bool());
  EXPECT_EQ(Value(true).Number(), -1.0);
  EXPECT_EQ(Value(std::string(" 12 ")).Number(), 12.0);
  EXPECT_THROW(Value().Bool(), ConversionError);
  EXPECT_THROW(Value().Number(), ConversionError);
  EXPECT_THROW(Value(std::string("yes")).Bool(), ConversionError);
}

TEST(StatementTest, CommentsUpdateHasTheAddInsShape) {
  CommentSettingsText settings{"a'b", "c", {true, false, false, true}, "60", "-"};
  EXPECT_EQ(UpdateCommentsSql(settings),
            "UPDATE Comments SET Module='a''b',Member='c',IncludeModule=True,"
            "IncludeStandard=False,IncludeMember=False,IncludeDelim=True,DelimNr=60,"
            "DelimStr='-'");
}

}  // namespace
}  // namespace marquill::host
