#include "shell/connect.h"

#include <gtest/gtest.h>

#include "addin_fixture.h"
#include "host/store/database.h"
#include "host/support/named_rows.h"

namespace marquill::shell {
namespace {

using host::test::CrLf;
using testing_util::AddinFixture;

// "caption|type|face|begin group|width" of each control, faces only for buttons.
std::vector<std::string> Describe(CommandBarControls& controls) {
  std::vector<std::string> rows;
  for (int i = 1; i <= controls.Count(); ++i) {
    CommandBarControl& control = controls.Item(i);
    std::string face =
        control.Type() == CommandBarControlType::kButton ? std::to_string(control.Face()) : "-";
    rows.push_back(control.Caption() + "|" + std::to_string(static_cast<int>(control.Type())) +
                   "|" + face + "|" + (control.BeginGroup() ? "group" : "") + "|" +
                   std::to_string(control.Width()));
  }
  return rows;
}

class ConnectTest : public AddinFixture {
 protected:
  RecordingBar* Toolbar() { return bars_.Find(kToolbarName); }
  CommandBarControls& AddIns() { return bars_.Find(kAddInsMenuName)->Controls(); }

  void SeedShortcuts(int count) {
    host::Connection connection;
    connection.Open(addin_folder_.Folder() + "Marquill.mdb");
    for (int i = 0; i < count; ++i) {
      std::string name = "S" + std::to_string(i);
      connection.Execute(host::InsertShortcutSql(name));
      connection.Execute(host::UpdateShortcutSql(name, "' body of " + name));
    }
    connection.Close();
  }
};

TEST_F(ConnectTest, BuildsTheSubmenuAndTheToolbarInOrder) {
  ConnectAddin();
  ASSERT_EQ(AddIns().Count(), 1);
  CommandBarControl& popup = AddIns().Item(1);
  EXPECT_EQ(popup.Caption(), "Marquill");
  EXPECT_EQ(popup.Type(), CommandBarControlType::kPopup);
  EXPECT_EQ(Describe(popup.Controls()), (std::vector<std::string>{
                                            "Open...|1|101||0",
                                            "Time counting|1|0||0",
                                            "Close all windows|1|0||0",
                                            "Clear Immediate window|1|0||0",
                                        }));
  ASSERT_NE(Toolbar(), nullptr);
  EXPECT_TRUE(Toolbar()->Visible());
  EXPECT_EQ(Toolbar()->Position(), kBarTop);
  EXPECT_EQ(Describe(Toolbar()->Controls()), (std::vector<std::string>{
                                                 "VB Marquill|1|101|group|0",
                                                 "Time counting|1|102||0",
                                                 "Close all windows|1|103||0",
                                                 "Clear Immediate window|1|104||0",
                                                 "Shortcuts...|4|-||160",
                                             }));
}

TEST_F(ConnectTest, HooksTheMenuItemsAsTheyAreMadeAndTheToolbarAfterTheShortcuts) {
  ConnectAddin();
  std::vector<std::string> order;
  for (const std::string& entry : bars_.Log()) {
    if (entry.rfind("Hook ", 0) == 0 || entry.find(".AddItem") != std::string::npos ||
        entry.find("Controls.Add") != std::string::npos) {
      order.push_back(entry.substr(0, entry.find(' ')) == "Hook" ? entry : "add");
    }
  }
  // Popup and four items, each item hooked once made; then five toolbar controls, then their
  // five hooks (the box is filled in between, here from an empty table).
  auto tag = [&](CommandBarControl& control) {
    return "Hook " + dynamic_cast<RecordingControl&>(control).Tag();
  };
  CommandBarControls& items = AddIns().Item(1).Controls();
  CommandBarControls& tools = Toolbar()->Controls();
  EXPECT_EQ(order, (std::vector<std::string>{
                       "add", "add", tag(items.Item(1)), "add", tag(items.Item(2)), "add",
                       tag(items.Item(3)), "add", tag(items.Item(4)), "add", "add", "add", "add",
                       "add", tag(tools.Item(1)), tag(tools.Item(2)), tag(tools.Item(3)),
                       tag(tools.Item(4)), tag(tools.Item(5))}));
  EXPECT_EQ(bars_.LiveHooks(), 9);
}

TEST_F(ConnectTest, AToolbarLeftFromAnEarlierConnectionIsReusedAndKeptForItsForeignControl) {
  CommandBar& left = bars_.Add(kToolbarName, kBarTop);
  left.Controls().Add(CommandBarControlType::kButton).SetCaption("Someone else's");
  ConnectAddin();
  EXPECT_EQ(Toolbar(), &left);
  EXPECT_TRUE(left.Visible());
  ASSERT_EQ(left.Controls().Count(), 6);
  EXPECT_EQ(left.Controls().Item(1).Caption(), "Someone else's");
  EXPECT_EQ(left.Controls().Item(2).Caption(), "VB Marquill");

  addin_->OnDisconnection();
  ASSERT_EQ(Toolbar(), &left);
  EXPECT_EQ(Describe(left.Controls()), std::vector<std::string>{"Someone else's|1|0||0"});
}

TEST_F(ConnectTest, DisconnectionRemovesEverythingItAddedAndTheEmptyToolbar) {
  ConnectAddin();
  addin_->OnDisconnection();
  EXPECT_EQ(AddIns().Count(), 0);
  EXPECT_EQ(Toolbar(), nullptr);
  EXPECT_EQ(bars_.LiveHooks(), 0);
  EXPECT_EQ(addin_->Shared().shortcut_box, nullptr);
  EXPECT_FALSE(addin_->Shared().database.HasObjects());

  // The next connection builds a new toolbar.
  ConnectAddin();
  ASSERT_NE(Toolbar(), nullptr);
  EXPECT_EQ(Toolbar()->Controls().Count(), 5);
  EXPECT_EQ(AddIns().Count(), 1);
}

TEST_F(ConnectTest, DisconnectionDeletesTheItemsLastFirstThenTheToolbarControlsThenTheBar) {
  ConnectAddin();
  auto deleted = [](CommandBarControl& control) {
    return dynamic_cast<RecordingControl&>(control).Tag() + ".Delete";
  };
  CommandBarControls& items = AddIns().Item(1).Controls();
  CommandBarControls& tools = Toolbar()->Controls();
  std::vector<std::string> expected = {deleted(items.Item(4)), deleted(items.Item(3)),
                                       deleted(items.Item(2)), deleted(items.Item(1)),
                                       deleted(AddIns().Item(1))};
  for (int i = 1; i <= 5; ++i) expected.push_back(deleted(tools.Item(i)));
  expected.push_back("\"VB Hobrook\".Delete");
  const std::size_t before = bars_.Log().size();
  addin_->OnDisconnection();
  std::vector<std::string> deletions;
  for (std::size_t i = before; i < bars_.Log().size(); ++i) {
    const std::string& entry = bars_.Log()[i];
    if (entry.ends_with(".Delete")) deletions.push_back(entry);
  }
  EXPECT_EQ(deletions, expected);
}

// What a disconnection writes for a running or a stopped clock is the clock tests' business.
TEST_F(ConnectTest, TheClockStartsStoppedWithItsStoppedFaceAtEveryConnection) {
  Connect& first = ConnectAddin();
  first.SetClockRunning(true);
  first.TimeButton()->SetFace(kFaceClockRunning);
  first.OnDisconnection();
  Connect& second = ConnectAddin();
  EXPECT_FALSE(second.ClockRunning());
  EXPECT_EQ(second.TimeButton()->Face(), kFaceClock);
}

TEST_F(ConnectTest, WithoutAnAddInsMenuOnlyTheToolbarIsBuilt) {
  RecordingCommandBars bare(/*with_addins_menu=*/false);
  addin_ = MakeAddin();
  addin_->OnConnection(*vbe_, bare);
  EXPECT_EQ(bare.BarNames(), std::vector<std::string>{"VB Hobrook"});
  EXPECT_EQ(bare.Find(kToolbarName)->Controls().Count(), 5);
  EXPECT_EQ(bare.LiveHooks(), 5);
  addin_->OnDisconnection();
  EXPECT_TRUE(bare.BarNames().empty());
}

struct CacheCase {
  const char* name;
  int rows;
  int last_index;
};

class ShortcutCacheTest : public ConnectTest, public testing::WithParamInterface<CacheCase> {};

TEST_P(ShortcutCacheTest, FillsBoxAndCacheSlotForSlotGrowingThirtyAtATime) {
  SeedShortcuts(GetParam().rows);
  Connect& addin = ConnectAddin();
  const ShortcutCache& cache = addin.Shared().shortcuts;
  EXPECT_EQ(cache.LastIndex(), GetParam().last_index);
  ASSERT_EQ(cache.contents.size(), cache.names.size());
  CommandBarControl& box = *addin.Shared().shortcut_box;
  ASSERT_EQ(box.ListCount(), GetParam().rows);
  for (int slot = 0; slot <= cache.LastIndex(); ++slot) {
    std::string name = slot < GetParam().rows ? "S" + std::to_string(slot) : "";
    ASSERT_EQ(cache.names[slot], name) << "slot " << slot;
    ASSERT_EQ(cache.contents[slot], name.empty() ? "" : "' body of " + name) << "slot " << slot;
    if (!name.empty()) {
      ASSERT_EQ(box.List(slot + 1), name);
    }
  }
  EXPECT_FALSE(addin.Shared().database.IsOpen());  // read and closed again
}

INSTANTIATE_TEST_SUITE_P(Rows, ShortcutCacheTest,
                         testing::Values(CacheCase{"NoRowsKeepsThe31EmptySlots", 0, 30},
                                         CacheCase{"TwentyNineRowsFit", 29, 30},
                                         CacheCase{"TheThirtiethRowGrowsTheCache", 30, 60},
                                         CacheCase{"SixtyRowsGrowItTwice", 60, 90}),
                         host::test::RowName());

TEST_F(ConnectTest, AnUnreadableDatabaseIsReportedAndLeavesTheShortcutsEmpty) {
  test::WriteBytes(addin_folder_.path() / "Marquill.mdb", "this is not a database\n");
  Connect& addin = ConnectAddin();
  EXPECT_EQ(MsgBoxes(), std::vector<std::string>{"Error: Error with Marquill.mdb !"});
  EXPECT_EQ(addin.Shared().shortcut_box->ListCount(), 0);
  EXPECT_EQ(addin.Shared().shortcuts.LastIndex(), 30);
  EXPECT_EQ(Toolbar()->Controls().Count(), 5);  // the rest of the connection went on
}

TEST_F(ConnectTest, MenuAndToolbarClicksRunTheirCommands) {
  vbe_->AddToolWindow("Immediate", host::WindowType::kImmediate);
  vbe_->SetImmediateText("? 1 + 1\r\n 2");
  vbe_->ShowCode(*Project().ComponentNamed("modMain").CodeModule());
  ConnectAddin();

  bars_.Click(*bars_.FindControl(kToolbarName, "Clear Immediate window"));
  EXPECT_EQ(vbe_->ImmediateText(), "");
  bars_.Click(*bars_.FindControl(kAddInsMenuName, "Close all windows"));
  EXPECT_EQ(vbe_->Windows().Count(), 1);  // the Immediate window stays

  EXPECT_EQ(addin_->MainWindow(), nullptr);
  bars_.Click(*bars_.FindControl(kAddInsMenuName, "Open..."));
  frmUtility* window = addin_->MainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->Visible());
  bars_.Click(*bars_.FindControl(kToolbarName, "VB Marquill"));
  EXPECT_EQ(addin_->MainWindow(), window);  // loading a loaded window is a no-op

  int toggles = 0;
  addin_->SetTimeCountingCommand([&](Connect&) { ++toggles; });
  bars_.Click(*bars_.FindControl(kAddInsMenuName, "Time counting"));
  bars_.Click(*bars_.FindControl(kToolbarName, "Time counting"));
  EXPECT_EQ(toggles, 2);
}

TEST_F(ConnectTest, ChoosingAShortcutInsertsItsTextAboveTheSelection) {
  SeedShortcuts(2);
  ConnectAddin();
  host::CodeModule& module = *Project().ComponentNamed("modMain").CodeModule();
  CommandBarControl& box = *addin_->Shared().shortcut_box;
  bars_.Click(box);  // nothing chosen, no pane: nothing happens
  vbe_->ShowCode(module, {2, 3, 2, 3});
  bars_.Click(box);
  box.SetListIndex(2);
  bars_.Click(box);
  EXPECT_EQ(host::test::LinesOf(module),
            (std::vector<std::string>{"Sub Main()", "' body of S1", "End Sub"}));
}

TEST_F(ConnectTest, DisconnectionUnloadsTheMainWindowWhichSavesItsSettings) {
  frmUtility& window = OpenWindow();
  window.SSTab1.SetTab(4);
  addin_->OnDisconnection();
  EXPECT_EQ(addin_->MainWindow(), nullptr);
  EXPECT_EQ(settings_.GetRegString(kSettingsKey, "Tab"), "4");
}

}  // namespace
}  // namespace marquill::shell
