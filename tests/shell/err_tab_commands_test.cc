#include "shell/window/err_tab_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "addin_fixture.h"
#include "host/support/named_rows.h"
#include "shell/window/frm_utility.h"

namespace marquill::shell {
namespace {

using host::ComponentType;
using host::test::LinesOf;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Lines = std::vector<std::string>;
using Steps = std::function<void(frmUtility&)>;

const std::string kMsgBoxBody =
    "    MsgBox Err.Number & \" # \" & Err.Description,,\"Error\"\r\n    Resume Next";
const std::string kDebugBody =
    "    Debug.Print Err.Number & \" # \" & Err.Description\r\n    Resume Next";
std::string CallBody(const std::string& name) {
  return "    Call " + name + "(Err.Number , Err.Description)\r\n    Resume Next";
}

const Lines kModA = {
    "Option Explicit",      "Public Total As Long",     "Sub A()",     "    x = 1", "End Sub",
    "Function F() As Long", "    On Error Resume Next", "End Function"};

class ErrTabTest : public testing_util::AddinFixture {
 protected:
  ErrTabTest() : AddinFixture({{"modA", ComponentType::kStdModule, kModA}}) {}
  Lines Code() { return LinesOf(*Project().ComponentNamed("modA").Code()); }
};

// The body a sequence of style clicks and typing leaves in txtErrHandler.
struct StyleCase {
  const char* name;
  Steps steps;
  std::string body;
};

class StyleTest : public ErrTabTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(StyleTest, LeavesTheBody) {
  frmUtility& window = OpenWindow();
  GetParam().steps(window);
  EXPECT_EQ(window.txtErrHandler.Text(), GetParam().body);
  EXPECT_THAT(platform_.Calls(), IsEmpty());
}

const StyleCase kStyleCases[] = {
    {"NoStyleLeavesTheBodyEmpty", [](frmUtility& w) { w.txtCallErr.SetText("LogErr"); }, ""},
    {"MsgBox", [](frmUtility& w) { w.optError(0).Click(); }, kMsgBoxBody},
    {"DebugPrint", [](frmUtility& w) { w.optError(1).Click(); }, kDebugBody},
    {"CallWithEmptyName", [](frmUtility& w) { w.optError(2).Click(); }, CallBody("")},
    {"NameTypedUnderMsgBoxLeavesItsBody",
     [](frmUtility& w) {
       w.optError(0).Click();
       w.txtCallErr.SetText("LogErr");
     },
     kMsgBoxBody},
    {"CallThenTakesTheNameTypedBefore",
     [](frmUtility& w) {
       w.optError(0).Click();
       w.txtCallErr.SetText("LogErr");
       w.optError(2).Click();
     },
     CallBody("LogErr")},
    {"EveryKeystrokeUnderCallRebuildsOverHandEdits",
     [](frmUtility& w) {
       w.optError(2).Click();
       w.txtCallErr.SetText("L");
       w.txtErrHandler.SetText("    mine");
       w.txtCallErr.SetText("Lo");
     },
     CallBody("Lo")},
    {"HandEditsSurviveTypingUnderAnotherStyle",
     [](frmUtility& w) {
       w.optError(1).Click();
       w.txtErrHandler.SetText("    mine");
       w.txtCallErr.SetText("Lo");
     },
     "    mine"},
    {"ClickingTheSelectedStyleAgainRestoresIt",
     [](frmUtility& w) {
       w.optError(1).Click();
       w.txtErrHandler.SetText("    mine");
       w.optError(1).Click();
     },
     kDebugBody},
    {"UnknownStyleIndexChangesNothing",
     [](frmUtility& w) {
       w.optError(1).Click();
       optError_Click(w, 3);
     },
     kDebugBody},
};
INSTANTIATE_TEST_SUITE_P(Styles, StyleTest, ::testing::ValuesIn(kStyleCases),
                         host::test::RowName());

// What a press of one of the three buttons does to modA, by the target the tab names.
struct ButtonCase {
  const char* name;
  Steps steps;  // picks and fields, then the press
  Lines code;
};

class ButtonTest : public ErrTabTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(ButtonTest, ChangesTheTarget) {
  frmUtility& window = OpenWindow();
  GetParam().steps(window);
  EXPECT_EQ(Code(), GetParam().code);
  EXPECT_THAT(platform_.Calls(), IsEmpty());
}

Steps Pick(int apply_to, const std::string& member, int button) {
  return [=](frmUtility& w) {
    w.cmbComponents.Choose(w.cmbComponents.Find("modA"));
    if (!member.empty()) w.cmbMembers.Choose(w.cmbMembers.Find(member));
    if (apply_to >= 0) w.cmbWhereErr.Choose(apply_to);
    w.cmdErrHandler(button).Click();
  };
}

const ButtonCase kButtonCases[] = {
    {"NothingAppliedToDoesNothing", Pick(-1, "A", kInsertButton), kModA},
    {"MemberScopeWithoutMemberDoesNothing", Pick(kApplyToMember, "", kInsertButton), kModA},
    {"ComponentInsert",
     Pick(kApplyToComponent, "A", kInsertButton),
     {"Option Explicit", "Public Total As Long", "Sub A()", "On Error Resume Next", "    x = 1",
      "End Sub", "Function F() As Long", "On Error Resume Next", "    On Error Resume Next",
      "End Function"}},
    {"MemberInsert",
     Pick(kApplyToMember, "A", kInsertButton),
     {"Option Explicit", "Public Total As Long", "Sub A()", "On Error Resume Next", "    x = 1",
      "End Sub", "Function F() As Long", "    On Error Resume Next", "End Function"}},
    {"ComponentRemove",
     Pick(kApplyToComponent, "", kRemoveButton),
     {"Option Explicit", "Public Total As Long", "Sub A()", "    x = 1", "End Sub",
      "Function F() As Long", "End Function"}},
    {"MemberRemoveLeavesOtherProcedures", Pick(kApplyToMember, "A", kRemoveButton), kModA},
    {"VariableMemberDoesNothing", Pick(kApplyToMember, "Total", kInsertCustomButton), kModA},
    {"CustomTakesLabelAndBodyAsTheyStand",
     [](frmUtility& w) {
       w.optError(1).Click();
       w.txtErrLabel.SetText("Oops");
       Pick(kApplyToMember, "F", kInsertCustomButton)(w);
     },
     {"Option Explicit", "Public Total As Long", "Sub A()", "    x = 1", "End Sub",
      "Function F() As Long", "On Error GoTo Oops", "    On Error Resume Next", "Exit Function",
      "Oops:", "    Debug.Print Err.Number & \" # \" & Err.Description", "    Resume Next",
      "End Function"}},
    {"UnknownButtonIndexDoesNothing",
     [](frmUtility& w) {
       w.cmbComponents.Choose(0);
       w.cmbWhereErr.Choose(kApplyToComponent);
       cmdErrHandler_Click(w, 3);
     },
     kModA},
};
INSTANTIATE_TEST_SUITE_P(Buttons, ButtonTest, ::testing::ValuesIn(kButtonCases),
                         host::test::RowName());

TEST_F(ErrTabTest, AComponentGoneSincePickedIsSkippedQuietly) {
  frmUtility& window = OpenWindow();
  window.cmbComponents.Choose(0);
  window.cmbWhereErr.Choose(kApplyToComponent);
  const host::CodeModule& code = *Project().ComponentNamed("modA").Code();
  Project().RemoveComponent("modA");
  window.cmdErrHandler(kInsertButton).Click();
  EXPECT_EQ(LinesOf(code), kModA);
  EXPECT_THAT(platform_.Calls(), IsEmpty());
}

}  // namespace
}  // namespace marquill::shell
