#include "shell/command_bars/recording_command_bars.h"

#include <gtest/gtest.h>

namespace marquill::shell {
namespace {

TEST(RecordingCommandBarsTest, ADeletedControlStaysReachableButRefusesEverything) {
  RecordingCommandBars bars;
  CommandBar& bar = bars.Add("Tools", kBarTop);
  CommandBarControl& first = bar.Controls().Add(CommandBarControlType::kButton);
  CommandBarControl& second = bar.Controls().Add(CommandBarControlType::kButton);
  first.SetCaption("one");
  second.SetCaption("two");
  first.Delete();
  EXPECT_EQ(bar.Controls().Count(), 1);
  EXPECT_EQ(bar.Controls().Item(1).Caption(), "two");
  EXPECT_THROW(first.Caption(), host::HostError);
  EXPECT_THROW(first.Delete(), host::HostError);
}

TEST(RecordingCommandBarsTest, OperationsOfAnotherControlTypeAreRefused) {
  RecordingCommandBars bars;
  CommandBarControls& controls = bars.Add("Tools", kBarTop).Controls();
  CommandBarControl& button = controls.Add(CommandBarControlType::kButton);
  CommandBarControl& combo = controls.Add(CommandBarControlType::kComboBox);
  EXPECT_THROW(button.AddItem("x"), host::HostError);
  EXPECT_THROW(button.Controls(), host::HostError);
  EXPECT_THROW(combo.SetFace(kFaceLogo), host::HostError);
  combo.AddItem("a");
  combo.AddItem("b");
  combo.SetListIndex(2);
  combo.RemoveItem(1);
  EXPECT_EQ(combo.ListIndex(), 1);
  EXPECT_EQ(combo.List(1), "b");
  EXPECT_THROW(combo.RemoveItem(2), host::HostError);
}

TEST(RecordingCommandBarsTest, HooksRunOnClickUntilDestroyed) {
  RecordingCommandBars bars;
  CommandBarControl& button =
      bars.Add("Tools", kBarTop).Controls().Add(CommandBarControlType::kButton);
  int clicks = 0;
  auto hook = bars.HookClick(button, [&] { ++clicks; });
  auto other = bars.HookClick(button, [&] { clicks += 10; });
  EXPECT_EQ(bars.Click(button), 2);
  other.reset();
  EXPECT_EQ(bars.Click(button), 1);
  EXPECT_EQ(clicks, 12);
  EXPECT_EQ(bars.LiveHooks(), 1);
}

TEST(RecordingCommandBarsTest, BarsAreFoundByNameAndDeletedBarsAreGone) {
  RecordingCommandBars bars;
  EXPECT_EQ(bars.BarNames(), std::vector<std::string>{"Add-Ins"});
  EXPECT_THROW(bars.Item("Tools"), host::HostError);
  CommandBar& tools = bars.Add("Tools", kBarTop);
  EXPECT_THROW(bars.Add("Tools", kBarTop), host::HostError);
  tools.Delete();
  EXPECT_EQ(bars.Find("Tools"), nullptr);
  EXPECT_THROW(tools.Controls(), host::HostError);
  EXPECT_EQ(bars.Log(), (std::vector<std::string>{"Item(\"Tools\") -> missing",
                                                  "Add bar \"Tools\" at 1", "\"Tools\".Delete"}));
  RecordingCommandBars bare(/*with_addins_menu=*/false);
  EXPECT_TRUE(bare.BarNames().empty());
}

}  // namespace
}  // namespace marquill::shell
