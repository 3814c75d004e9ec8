#include "shell/ide_window_commands.h"

#include <gtest/gtest.h>

#include "host/support/test_project.h"

namespace marquill::shell {
namespace {

using host::ComponentType;
using host::WindowType;

class IdeWindowsTest : public testing::Test {
 protected:
  IdeWindowsTest()
      : vbe_(host::test::MakeVbe({{"modA", ComponentType::kStdModule, {"Sub A()", "End Sub"}},
                                  {"modB", ComponentType::kStdModule, {}},
                                  {"frmMain", ComponentType::kVBForm, {}}})) {}

  host::MemoryProject& Project() { return host::test::ActiveMemoryProject(*vbe_); }

  std::vector<std::string> OpenWindows() {
    std::vector<std::string> captions;
    for (host::Window& window : vbe_->Windows()) captions.push_back(window.Caption());
    return captions;
  }

  std::unique_ptr<host::MemoryVbe> vbe_;
};

TEST_F(IdeWindowsTest, CloseAllWindowsLeavesOnlyTheToolWindows) {
  vbe_->AddToolWindow("Immediate", WindowType::kImmediate);
  vbe_->ShowCode(*Project().ComponentNamed("modA").CodeModule());
  vbe_->AddToolWindow("Project - Project1", WindowType::kProjectWindow);
  vbe_->ShowDesigner(Project().ComponentNamed("frmMain"));
  vbe_->ShowCode(*Project().ComponentNamed("modB").CodeModule());
  CloseAllWindows(*vbe_);
  EXPECT_EQ(OpenWindows(), (std::vector<std::string>{"Immediate", "Project - Project1"}));
  EXPECT_EQ(vbe_->ActiveCodePane(), nullptr);
}

TEST_F(IdeWindowsTest, ClearImmediateEmptiesItsTextAndLeavesTheFocusWhereItWas) {
  vbe_->AddToolWindow("Immediate", WindowType::kImmediate);
  vbe_->SetImmediateText("? Now\r\n06/12/2026");
  host::CodePane& pane =
      vbe_->ShowCode(*Project().ComponentNamed("modA").CodeModule(), {2, 1, 2, 4});
  host::Window* active = vbe_->ActiveWindow();
  ClearImmediateWindow(*vbe_);
  EXPECT_EQ(vbe_->ImmediateText(), "");
  EXPECT_EQ(vbe_->ActiveWindow(), active);
  EXPECT_EQ(vbe_->ActiveCodePane(), &pane);
  EXPECT_EQ(pane.GetSelection(), (host::Selection{2, 1, 2, 4}));
  EXPECT_EQ(host::test::LinesOf(pane.CodeModule()),
            (std::vector<std::string>{"Sub A()", "End Sub"}));

  ClearImmediateWindow(*vbe_);  // already empty: still empty, focus unchanged
  EXPECT_EQ(vbe_->ImmediateText(), "");
  EXPECT_EQ(vbe_->ActiveWindow(), active);
}

TEST_F(IdeWindowsTest, WithoutAnImmediateWindowClearTouchesNothing) {
  host::CodeModule& module = *Project().ComponentNamed("modA").CodeModule();
  vbe_->ShowCode(module, {1, 1, 2, 1});
  host::Window* active = vbe_->ActiveWindow();
  ClearImmediateWindow(*vbe_);
  EXPECT_EQ(vbe_->ActiveWindow(), active);
  EXPECT_EQ(OpenWindows().size(), 1u);
  EXPECT_EQ(host::test::LinesOf(module), (std::vector<std::string>{"Sub A()", "End Sub"}));
  EXPECT_THROW(vbe_->ImmediateText(), host::HostError);
}

}  // namespace
}  // namespace marquill::shell
