#include "docs/comment_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/store/schema.h"
#include "host/support/named_rows.h"
#include "support/files.h"

namespace marquill::docs {
namespace {

namespace fs = std::filesystem;

struct CountRow {
  const char* name;
  std::string typed;
  const char* held;
};

// The reading and the rounding have their own tests; these rows are the count's own rules.
const CountRow kCountRows[] = {
    {"LeadingBlank", " 12", "12"},
    {"HalfRoundsToEven", "2.5", "2"},
    {"Empty", "", "0"},
    {"Letters", "abc", "0"},
    {"Negative", "-5", "0"},
    {"LongestLine", "1021", "1021"},
    {"PastTheLongestLine", "5000", "1021"},
    {"TooLargeForANumber", std::string(400, '9'), "1021"},
};

class DelimCountTest : public testing::TestWithParam<CountRow> {};

TEST_P(DelimCountTest, FieldHoldsDigitsOnly) {
  const std::string held = DelimCountText(GetParam().typed);
  EXPECT_EQ(held, GetParam().held);
  EXPECT_EQ(DelimCountText(held), held) << "normalising twice must change nothing";
}

INSTANTIATE_TEST_SUITE_P(Rows, DelimCountTest, testing::ValuesIn(kCountRows),
                         host::test::RowName());

class CommentStoreTest : public testing::Test {
 protected:
  fs::path File() const { return root_ / "Marquill.mdb"; }

  // Every row of Comments, read over a connection of its own, as text.
  std::vector<std::vector<std::string>> Rows() {
    host::Connection connection;
    connection.Open(File());
    host::Recordset rows;
    rows.Open("SELECT * FROM Comments", connection);
    std::vector<std::vector<std::string>> texts;
    for (; !rows.Eof(); rows.MoveNext()) {
      auto& row = texts.emplace_back();
      for (int c = 0; c < rows.FieldCount(); ++c) row.push_back(rows.Field(c).Text());
    }
    return texts;
  }

  void Execute(const std::string& sql) {
    host::Connection connection;
    connection.Open(File());
    connection.Execute(sql);
  }

  test::TempDir root_{"comments"};
};

CommentSettings Sample() {
  CommentSettings settings;
  settings.module_comments = true;
  settings.also = true;
  settings.delim = "'";
  settings.delim_count = "12";
  settings.member_line = "' Don't forget: it's 'quoted'";
  settings.module_template = "' Author: O'Brien\r\n' Module: ''two''\r\n";
  return settings;
}

TEST_F(CommentStoreTest, NewDatabaseLoadsTheDefaultRow) {
  host::Database database(File());
  const auto loaded = LoadCommentSettings(database);
  ASSERT_TRUE(loaded.has_value());
  using D = host::DefaultComments;
  EXPECT_EQ(loaded->module_comments, D::kIncludeModule);
  EXPECT_EQ(loaded->standard_comments, D::kIncludeStandard);
  EXPECT_EQ(loaded->also, D::kIncludeMember);
  EXPECT_EQ(loaded->delimiters, D::kIncludeDelim);
  EXPECT_EQ(loaded->delim, D::kDelimStr);
  EXPECT_EQ(loaded->delim_count, std::to_string(D::kDelimNr));
  EXPECT_EQ(loaded->member_line, D::kMember);
  EXPECT_EQ(loaded->module_template, D::kModule);
  EXPECT_TRUE(database.IsOpen()) << "the connection stays open for the window's commands";
  EXPECT_EQ(database.recordset().State(), host::kStateClosed);
}

TEST_F(CommentStoreTest, ApostrophesSurviveSaveAndReload) {
  host::Database database(File());
  SaveCommentSettings(database, Sample());
  database.ReleaseObjects();
  host::Database reopened(File());
  EXPECT_EQ(LoadCommentSettings(reopened), Sample());
}

TEST_F(CommentStoreTest, SaveOverwritesEveryRowAndLoadReadsTheFirst) {
  host::Database database(File());
  LoadCommentSettings(database);
  database.connection().Execute(
      "INSERT INTO Comments VALUES (0, 0, 0, 0, 'x', 1, 'second', 'second')");
  database.connection().Execute(
      "INSERT INTO Comments VALUES (1, 1, 1, 1, 'y', 2, 'third', 'third')");
  SaveCommentSettings(database, Sample());
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1], rows[0]);
  EXPECT_EQ(rows[2], rows[0]);
  EXPECT_EQ(LoadCommentSettings(database), Sample());
}

TEST_F(CommentStoreTest, CountThatIsNoNumberIsSavedAsZero) {
  host::Database database(File());
  CommentSettings settings = Sample();
  settings.delim_count = "12; DROP TABLE Comments";
  SaveCommentSettings(database, settings);
  EXPECT_EQ(LoadCommentSettings(database)->delim_count, "12");
  settings.delim_count = "";
  SaveCommentSettings(database, settings);
  EXPECT_EQ(LoadCommentSettings(database)->delim_count, "0");
}

// What goes missing from the database while it is in use, and comes back with the defaults.
struct MissingRow {
  const char* name;
  const char* removal;
};

const MissingRow kMissingRows[] = {
    {"Row", "DELETE FROM Comments"},
    {"Table", "DROP TABLE Comments"},
};

class MissingCommentsTest : public CommentStoreTest,
                            public testing::WithParamInterface<MissingRow> {};

TEST_P(MissingCommentsTest, LoadFindsTheDefaults) {
  host::Database database(File());
  SaveCommentSettings(database, Sample());
  database.connection().Execute(GetParam().removal);
  const auto loaded = LoadCommentSettings(database);
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(loaded->member_line, host::DefaultComments::kMember);
}

TEST_P(MissingCommentsTest, SaveWritesTheRowItCreates) {
  host::Database database(File());
  LoadCommentSettings(database);
  database.connection().Execute(GetParam().removal);
  SaveCommentSettings(database, Sample());
  EXPECT_EQ(Rows().size(), 1u);
  EXPECT_EQ(LoadCommentSettings(database), Sample());
}

INSTANTIATE_TEST_SUITE_P(Rows, MissingCommentsTest, testing::ValuesIn(kMissingRows),
                         host::test::RowName());

TEST_F(CommentStoreTest, NullColumnsLoadAsOffAndEmpty) {
  Execute("UPDATE Comments SET IncludeModule = NULL, DelimStr = NULL, DelimNr = NULL");
  host::Database database(File());
  const auto loaded = LoadCommentSettings(database);
  ASSERT_TRUE(loaded.has_value());
  EXPECT_FALSE(loaded->module_comments);
  EXPECT_EQ(loaded->delim, "");
  EXPECT_EQ(loaded->delim_count, "");
}

TEST_F(CommentStoreTest, FileThatIsNoDatabaseIsRefusedAndLeftAlone) {
  const std::string text = "not a database, just text\n";
  test::WriteBytes(File(), text);
  host::Database database(File());
  EXPECT_THROW(LoadCommentSettings(database), host::StoreError);
  EXPECT_THROW(SaveCommentSettings(database, Sample()), host::StoreError);
  EXPECT_EQ(test::ReadBytes(File()), text);
}

// A database whose header forbids writing: SQLite opens it for reading only, whoever runs the
// tests (permission bits do not stop root).
void MakeReadOnly(const fs::path& file) {
  std::fstream bytes(file, std::ios::in | std::ios::out | std::ios::binary);
  bytes.seekp(18);
  bytes.put(static_cast<char>(3));
}

TEST_F(CommentStoreTest, ReadOnlyDatabaseLoadsButRefusesTheSave) {
  {
    host::Database database(File());
    SaveCommentSettings(database, Sample());
  }
  MakeReadOnly(File());
  host::Database database(File());
  EXPECT_EQ(LoadCommentSettings(database), Sample());
  CommentSettings changed = Sample();
  changed.member_line = "' changed";
  EXPECT_THROW(SaveCommentSettings(database, changed), host::StoreError);
  EXPECT_EQ(LoadCommentSettings(database), Sample());
}

TEST_F(CommentStoreTest, LockedDatabaseRefusesTheSaveAndKeepsTheRow) {
  host::Database database(File());
  SaveCommentSettings(database, Sample());
  host::Connection other;
  other.Open(File());
  other.Execute("BEGIN IMMEDIATE");  // another writer holds the database
  CommentSettings changed = Sample();
  changed.member_line = "' changed";
  EXPECT_THROW(SaveCommentSettings(database, changed), host::StoreError);
  other.Execute("ROLLBACK");
  EXPECT_EQ(LoadCommentSettings(database), Sample());
}

}  // namespace
}  // namespace marquill::docs
