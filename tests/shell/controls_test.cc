#include "shell/window/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marquill::shell {
namespace {

// Records what an observer was told, as "name:state".
struct Watcher {
  std::vector<std::string> seen;
  void Watch(Control& control) {
    control.Subscribe([this](Control& changed, ControlState state) {
      seen.push_back(changed.DisplayName() + ":" + std::to_string(static_cast<int>(state)));
    });
  }
};

std::string Seen(const Control& control, ControlState state) {
  return control.DisplayName() + ":" + std::to_string(static_cast<int>(state));
}

TEST(TextBoxTest, ChangeFiresOnlyWhenTheTextDiffers) {
  TextBox box("txtSplit", 2, "80");
  int changes = 0;
  box.OnChange([&] { ++changes; });
  box.SetText("80");
  EXPECT_EQ(changes, 0);
  box.SetText("60");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(box.Text(), "60");
}

TEST(TextBoxTest, AHandlerRewritingTheTextReachesAFixedPoint) {
  // A field that keeps itself numeric rewrites its text from its own Change handler.
  TextBox box("txtIndent", 2, "4");
  int changes = 0;
  box.OnChange([&] {
    ++changes;
    std::string digits;
    for (char c : box.Text()) {
      if (c >= '0' && c <= '9') digits += c;
    }
    box.SetText(digits.empty() ? "0" : digits);
  });
  box.SetText("12a");
  EXPECT_EQ(box.Text(), "12");
  EXPECT_EQ(changes, 2);  // the user's edit, then the rewrite; the third set changes nothing
}

TEST(TextBoxTest, ObserversSeeEveryChangeAndLostFocusIsItsOwnEvent) {
  TextBox box("txtSplit", 2, "80");
  Watcher watcher;
  watcher.Watch(box);
  bool lost = false;
  box.OnLostFocus([&] { lost = true; });
  box.SetText("70");
  box.SetText("70");
  box.LoseFocus();
  EXPECT_TRUE(lost);
  EXPECT_EQ(watcher.seen, (std::vector<std::string>{Seen(box, ControlState::kText)}));
}

TEST(CheckBoxTest, ClickFiresOnEveryChangeOfValueAndOnlyOneCountsAsOn) {
  CheckBox box("chkDelLines", -1, 2, "all", 1);
  std::vector<int> clicks;
  box.OnClick([&] { clicks.push_back(box.Value()); });
  box.SetValue(1);
  box.SetValue(2);
  EXPECT_FALSE(box.On());
  box.SetValue(0);
  EXPECT_EQ(clicks, (std::vector<int>{2, 0}));
  EXPECT_THROW(box.SetValue(3), std::out_of_range);
}

TEST(OptionButtonTest, AnArrayIsOneGroupWithOneHandlerTakingTheIndex) {
  ControlArray<OptionButton> options("optWhere");
  options.Add(0, 2, "All project").SetValue(true);
  options.Add(1, 2, "Current module");
  options.Add(2, 2, "Selected text");
  std::vector<int> clicked;
  options.OnClick([&](int index) { clicked.push_back(index); });

  options(2).SetValue(true);
  EXPECT_FALSE(options(0).Value());
  EXPECT_TRUE(options(2).Value());
  options(2).SetValue(true);  // already selected: nothing happens
  options(2).Click();         // a user's click on the selected button still fires
  options(1).Click();
  EXPECT_FALSE(options(2).Value());
  EXPECT_EQ(clicked, (std::vector<int>{2, 2, 1}));
}

TEST(CommandButtonTest, ADisabledButtonCannotBePressed) {
  ControlArray<CommandButton> buttons("cmdShortcut");
  buttons.Add(0, 2, "New");
  buttons.Add(2, 2, "Save");
  std::vector<int> pressed;
  buttons.OnClick([&](int index) { pressed.push_back(index); });
  buttons(2).SetEnabled(false);
  EXPECT_FALSE(buttons(2).Click());
  EXPECT_TRUE(buttons(0).Click());
  EXPECT_EQ(pressed, std::vector<int>{0});
  EXPECT_FALSE(buttons.Has(1));
  EXPECT_THROW(buttons(1), std::out_of_range);
}

TEST(ListControlTest, RemovingEntriesKeepsTheChosenEntryOrDropsIt) {
  ComboBox combo("cmbComponents", 4, {"modMain", "Class1", "frmMain"});
  combo.SetListIndex(2);
  combo.RemoveItem(0);
  EXPECT_EQ(combo.ListIndex(), 1);
  EXPECT_EQ(combo.Text(), "frmMain");
  combo.AddItem("first", 0);
  EXPECT_EQ(combo.Text(), "frmMain");
  combo.RemoveItem(2);
  EXPECT_EQ(combo.ListIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
  EXPECT_THROW(combo.RemoveItem(5), std::out_of_range);
}

TEST(ListControlTest, ChoosingFiresClickButSettingTheSameIndexDoesNot) {
  ComboBox combo("cmbWhereErr", 4, {"selected component", "selected member"});
  int clicks = 0;
  combo.OnClick([&] { ++clicks; });
  combo.SetListIndex(1);
  combo.SetListIndex(1);
  combo.Choose(1);
  EXPECT_EQ(clicks, 2);
  EXPECT_THROW(combo.SetListIndex(2), std::out_of_range);
  combo.Clear();
  EXPECT_EQ(combo.ListIndex(), -1);
  EXPECT_EQ(combo.ListCount(), 0);
}

TEST(ListBoxTest, TicksAreTheirOwnStateOnlyInAListWithCheckBoxes) {
  ListBox forms("lstForms", 0, /*check_boxes=*/true);
  forms.AddItem("frmMain");
  forms.AddItem("frmAbout");
  Watcher watcher;
  watcher.Watch(forms);
  forms.SetSelected(1, true);
  forms.SetSelected(1, true);
  EXPECT_FALSE(forms.Selected(0));
  EXPECT_TRUE(forms.Selected(1));
  EXPECT_EQ(forms.ListIndex(), -1);
  EXPECT_EQ(watcher.seen, std::vector<std::string>{Seen(forms, ControlState::kTicks)});

  ListBox plain("lstShortcuts", 2);
  plain.AddItem("a");
  plain.AddItem("b");
  plain.SetSelected(1, true);
  EXPECT_EQ(plain.ListIndex(), 1);
  EXPECT_TRUE(plain.Selected(1));
  plain.SetSelected(1, false);
  EXPECT_EQ(plain.ListIndex(), -1);
}

TEST(ListControlTest, ItemDataTravelsWithItsEntry) {
  ComboBox combo("cmbMembers", 4);
  combo.SetItemData(combo.AddItem("Total"), 1);
  combo.SetItemData(combo.AddItem("Count"), 2);
  combo.RemoveItem(0);
  EXPECT_EQ(combo.List(0), "Count");
  EXPECT_EQ(combo.ItemData(0), 2);
  EXPECT_EQ(combo.Find("Total"), -1);
}

TEST(TabStripTest, RefusesATabItDoesNotHave) {
  TabStrip strip("SSTab1", {"a", "b", "c"});
  Watcher watcher;
  watcher.Watch(strip);
  strip.SetTab(2);
  EXPECT_THROW(strip.SetTab(3), std::out_of_range);
  EXPECT_THROW(strip.SetTab(-1), std::out_of_range);
  EXPECT_EQ(strip.Tab(), 2);
  EXPECT_EQ(watcher.seen, std::vector<std::string>{Seen(strip, ControlState::kTab)});
}

TEST(ControlTest, AnObserverMayUnsubscribeWhileBeingTold) {
  CommandButton button("cmdIndent", -1, 2, "Indent");
  int told = 0;
  int handle = 0;
  handle = button.Subscribe([&](Control& control, ControlState) {
    ++told;
    control.Unsubscribe(handle);
  });
  button.SetEnabled(false);
  button.SetEnabled(true);
  EXPECT_EQ(told, 1);
}

}  // namespace
}  // namespace marquill::shell
