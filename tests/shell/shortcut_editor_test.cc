#include "shell/shortcut_editor.h"

#include <gtest/gtest.h>

#include "addin_fixture.h"
#include "host/store/connection.h"
#include "host/store/database.h"
#include "host/support/named_rows.h"
#include "shell/addin_shared.h"

namespace marquill::shell {
namespace {

using testing_util::AddinFixture;

struct Row {
  std::string name;
  std::string content;
  friend bool operator==(const Row&, const Row&) = default;
};

class ShortcutEditorTest : public AddinFixture {
 protected:
  std::string DatabaseFile() { return addin_folder_.Folder() + "Marquill.mdb"; }

  void Seed(const std::vector<Row>& rows) {
    host::Connection connection;
    connection.Open(DatabaseFile());
    for (const Row& row : rows) {
      connection.Execute(host::InsertShortcutSql(row.name));
      connection.Execute(host::UpdateShortcutSql(connection.LastInsertId(), row.content));
    }
  }

  std::vector<Row> Table() {
    host::Database database(DatabaseFile());
    database.Open();
    std::vector<Row> rows;
    for (const host::ShortcutRow& row : host::ReadShortcuts(database)) {
      rows.push_back({row.name, row.content});
    }
    return rows;
  }

  // What the editor list, the toolbar box and the cache hold, slot by slot: all three must agree.
  std::vector<Row> Lists() {
    frmUtility& window = *addin_->MainWindow();
    const ShortcutCache& cache = addin_->Shared().shortcuts;
    CommandBarControl& box = *addin_->Shared().shortcut_box;
    std::vector<Row> rows;
    EXPECT_EQ(box.ListCount(), window.lstShortcuts.ListCount());
    for (int k = 0; k < window.lstShortcuts.ListCount(); ++k) {
      EXPECT_EQ(window.lstShortcuts.List(k), cache.names[static_cast<std::size_t>(k)]);
      EXPECT_EQ(box.List(k + 1), cache.names[static_cast<std::size_t>(k)]);
      rows.push_back(
          {cache.names[static_cast<std::size_t>(k)], cache.contents[static_cast<std::size_t>(k)]});
    }
    for (int k = window.lstShortcuts.ListCount(); k <= cache.LastIndex(); ++k) {
      EXPECT_EQ(cache.names[static_cast<std::size_t>(k)], "") << "slot " << k;
    }
    return rows;
  }

  void New(const std::string& name) {
    platform_.Queue({Answer::Kind::kText, name, "test"});
    addin_->MainWindow()->cmdShortcut(0).Click();
  }
  void Choose(int entry) { addin_->MainWindow()->lstShortcuts.Choose(entry); }
  void Save(const std::string& text) {
    addin_->MainWindow()->txtShortcut.SetText(text);
    addin_->MainWindow()->cmdShortcut(2).Click();
  }
  void Delete() { addin_->MainWindow()->cmdShortcut(1).Click(); }
};

TEST_F(ShortcutEditorTest, NewAsksForANameAndAddsAnEmptyShortcutEverywhere) {
  OpenWindow();
  New("Header");
  EXPECT_EQ(platform_.CallsOf("InputBox").at(0).detail,
            "New shortcut: The name of the new shortcut?");
  EXPECT_EQ(Lists(), (std::vector<Row>{{"Header", ""}}));
  EXPECT_EQ(Table(), (std::vector<Row>{{"Header", ""}}));
  platform_.Queue({Answer::Kind::kCancel, "", "test"});
  addin_->MainWindow()->cmdShortcut(0).Click();
  EXPECT_EQ(Lists().size(), 1u);
  EXPECT_TRUE(MsgBoxes().empty());
}

TEST_F(ShortcutEditorTest, SelectingShowsTheTextAndSaveStoresIt) {
  Seed({{"A", "a text"}, {"B", "b text"}});
  frmUtility& window = OpenWindow();
  EXPECT_FALSE(window.cmdShortcut(2).Enabled());
  Choose(1);
  EXPECT_EQ(window.txtShortcut.Text(), "b text");
  EXPECT_TRUE(window.cmdShortcut(2).Enabled());  // the shown text changed
  Save("Dim it's\r\nit = 1");
  EXPECT_FALSE(window.cmdShortcut(2).Enabled());
  EXPECT_EQ(Table(), (std::vector<Row>{{"A", "a text"}, {"B", "Dim it's\r\nit = 1"}}));
  EXPECT_EQ(Lists(), Table());
  Choose(1);  // the same text again: no change, Save stays disabled
  EXPECT_FALSE(window.cmdShortcut(2).Enabled());
}

TEST_F(ShortcutEditorTest, FiftyCharactersAndApostrophesAreStoredAndFoundAgain) {
  const std::string fifty(50, 'n');
  OpenWindow();
  New(fifty);
  New("O'Brien's");
  Choose(1);
  Save("MsgBox \"it's\"");
  EXPECT_EQ(Table(), (std::vector<Row>{{fifty, ""}, {"O'Brien's", "MsgBox \"it's\""}}));
  addin_->OnDisconnection();
  ConnectAddin();
  OpenWindow();
  EXPECT_EQ(Lists(), Table());
}

TEST_F(ShortcutEditorTest, DeletingEntryTwoOfFiveKeepsEveryLaterTextWithItsName) {
  Seed({{"S0", "t0"}, {"S1", "t1"}, {"S2", "t2"}, {"S3", "t3"}, {"S4", "t4"}});
  frmUtility& window = OpenWindow();
  Choose(2);
  Delete();
  EXPECT_EQ(window.txtShortcut.Text(), "");
  const std::vector<Row> left = {{"S0", "t0"}, {"S1", "t1"}, {"S3", "t3"}, {"S4", "t4"}};
  EXPECT_EQ(Lists(), left);
  EXPECT_EQ(Table(), left);
  Choose(2);
  EXPECT_EQ(window.txtShortcut.Text(), "t3");
}

TEST_F(ShortcutEditorTest, ShortcutsSharingANameAreChangedOneAtATime) {
  Seed({{"Twin", "first"}, {"Other", "o"}, {"Twin", "second"}});
  OpenWindow();
  Choose(2);
  Save("second, changed");
  EXPECT_EQ(Table(),
            (std::vector<Row>{{"Twin", "first"}, {"Other", "o"}, {"Twin", "second, changed"}}));
  Choose(0);
  Delete();
  const std::vector<Row> left = {{"Other", "o"}, {"Twin", "second, changed"}};
  EXPECT_EQ(Table(), left);
  EXPECT_EQ(Lists(), left);
}

TEST_F(ShortcutEditorTest, WithoutASelectionDeleteAndSaveDoNothing) {
  Seed({{"A", "a"}});
  OpenWindow();
  addin_->MainWindow()->txtShortcut.SetText("typed");
  addin_->MainWindow()->cmdShortcut(2).Click();
  Delete();
  EXPECT_EQ(Table(), (std::vector<Row>{{"A", "a"}}));
  EXPECT_TRUE(addin_->MainWindow()->cmdShortcut(2).Enabled());
}

TEST_F(ShortcutEditorTest, NewGrowsAFullCacheSoEveryListedShortcutCanBePasted) {
  std::vector<Row> seed;
  for (int i = 0; i < 29; ++i) seed.push_back({"S" + std::to_string(i), "' " + std::to_string(i)});
  Seed(seed);
  ConnectAddin();
  EXPECT_EQ(addin_->Shared().shortcuts.LastIndex(), 30);
  OpenWindow();
  for (int i = 29; i < 64; ++i) {
    New("S" + std::to_string(i));
    Choose(i);
    Save("' " + std::to_string(i));
  }
  ShortcutCache& cache = addin_->Shared().shortcuts;
  EXPECT_EQ(cache.LastIndex(), 90);
  EXPECT_EQ(Lists().size(), 64u);
  EXPECT_EQ(Lists(), Table());

  host::CodeModule& module = *Project().ComponentNamed("modMain").CodeModule();
  vbe_->ShowCode(module, {1, 1, 1, 1});
  CommandBarControl& box = *addin_->Shared().shortcut_box;
  box.SetListIndex(64);
  bars_.Click(box);
  EXPECT_EQ(module.Lines(1, 1), "' 63");
}

TEST_F(ShortcutEditorTest, AThreeLineShortcutIsPastedAboveTheSelection) {
  Seed({{"Block", "' one\r\n' two\r\n' three"}});
  ConnectAddin();
  host::CodeModule& module = *Project().ComponentNamed("modMain").CodeModule();
  vbe_->ShowCode(module, {2, 1, 2, 5});
  CommandBarControl& box = *addin_->Shared().shortcut_box;
  box.SetListIndex(1);
  bars_.Click(box);
  EXPECT_EQ(host::test::LinesOf(module),
            (std::vector<std::string>{"Sub Main()", "' one", "' two", "' three", "End Sub"}));
}

TEST_F(ShortcutEditorTest, WithNoRowsTheBoxIsEmptyAndTheCacheKeeps31EmptySlots) {
  ConnectAddin();
  OpenWindow();
  EXPECT_TRUE(Lists().empty());
  EXPECT_EQ(addin_->Shared().shortcuts.LastIndex(), 30);
}

struct BadName {
  const char* name;
  std::string answer;
  const char* message;
};

class ShortcutNameTest : public ShortcutEditorTest, public testing::WithParamInterface<BadName> {};

TEST_P(ShortcutNameTest, IsRefusedWithAMessageAndNothingIsAdded) {
  Seed({{"Kept", "k"}});
  OpenWindow();
  New(GetParam().answer);
  EXPECT_EQ(MsgBoxes(), std::vector<std::string>{std::string("Error: ") + GetParam().message});
  EXPECT_EQ(Table(), (std::vector<Row>{{"Kept", "k"}}));
  EXPECT_EQ(Lists(), Table());
}

const BadName kBadNames[] = {
    {"Empty", "", "A shortcut needs a name."},
    {"FiftyOneCharacters", std::string(51, 'x'),
     "A shortcut's name has at most 50 characters; this one has 51."},
    {"LineBreak", "two\r\nlines", "A shortcut's name is one line; it cannot hold a line break."},
    {"LoneLineFeed", "two\nlines", "A shortcut's name is one line; it cannot hold a line break."},
};

INSTANTIATE_TEST_SUITE_P(Names, ShortcutNameTest, testing::ValuesIn(kBadNames),
                         host::test::RowName());

TEST_F(ShortcutEditorTest, AClosedDatabaseRefusesEveryChangeAndTheListsStayAsTheyWere) {
  Seed({{"A", "a"}, {"B", "b"}});
  frmUtility& window = OpenWindow();
  addin_->Shared().database.Close();  // as when the file could not be opened at load
  New("C");
  Choose(0);
  Save("changed");
  Choose(0);
  Delete();
  EXPECT_EQ(MsgBoxes().size(), 3u);
  for (const std::string& error : MsgBoxes()) {
    EXPECT_TRUE(error.starts_with("Error: Marquill.mdb did not take the change: ")) << error;
  }
  EXPECT_EQ(Lists(), (std::vector<Row>{{"A", "a"}, {"B", "b"}}));
  EXPECT_EQ(Table(), (std::vector<Row>{{"A", "a"}, {"B", "b"}}));
  EXPECT_TRUE(window.cmdShortcut(2).Enabled());  // the text was not saved
}

TEST_F(ShortcutEditorTest, SavingAShortcutSomeoneElseDeletedSaysSo) {
  Seed({{"A", "a"}});
  OpenWindow();
  host::Connection other;
  other.Open(DatabaseFile());
  other.Execute("DELETE FROM Shortcuts");
  Choose(0);
  Save("lost?");
  EXPECT_EQ(MsgBoxes(), std::vector<std::string>{"Error: The shortcut A is no longer in "
                                                 "Marquill.mdb; its text was not saved."});
}

}  // namespace
}  // namespace marquill::shell
