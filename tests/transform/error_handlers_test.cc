#include "transform/error_handlers.h"

#include <gtest/gtest.h>

#include <string>

#include "host/support/named_rows.h"
#include "host/support/test_project.h"
#include "transform/line_test_util.h"

namespace marquill::transform {
namespace {

using host::MemberType;
using testing::Command;
using testing::Lines;
using testing::Outcome;
using testing::Stability;

const CustomHandler kMsgBoxHandler{"err_label", HandlerBody(HandlerStyle::kMsgBox, "")};

Command RemoveAll() {
  return [](host::CodeModule& m) { RemoveResumeNext(m); };
}
Command RemoveIn(std::string name, MemberType type) {
  return [=](host::CodeModule& m) { RemoveResumeNext(m, name, type); };
}
Command InsertAll() {
  return [](host::CodeModule& m) { InsertResumeNext(m); };
}
Command InsertIn(std::string name, MemberType type, int times = 1) {
  return [=](host::CodeModule& m) {
    for (int i = 0; i < times; ++i) InsertResumeNext(m, name, type);
  };
}
Command CustomAll(CustomHandler handler = kMsgBoxHandler) {
  return [=](host::CodeModule& m) { InsertCustomHandlers(m, handler); };
}
Command CustomIn(std::string name, MemberType type, CustomHandler handler = kMsgBoxHandler) {
  return [=](host::CodeModule& m) { InsertCustomHandler(m, name, type, handler); };
}

struct Case {
  const char* name;
  Lines input;
  Command command;
  Lines expected;
  Outcome outcome = Outcome::kCompletes;
  friend void PrintTo(const Case& row, std::ostream* os) { *os << row.name; }
};

class ErrorHandlersTest : public ::testing::TestWithParam<Case> {};

// Inserting adds lines at every run, so only removal is checked for a stable second run.
TEST_P(ErrorHandlersTest, Rewrites) {
  const Case& c = GetParam();
  testing::VerifyLines(c.input, c.command, c.expected, c.outcome, Stability::kUnstable);
}

const Case kRemoveCases[] = {
    {"IndentedStatementGoes",
     {"Sub A()", "    On Error Resume Next", "    x = 1", "End Sub"},
     RemoveAll(),
     {"Sub A()", "    x = 1", "End Sub"}},
    {"StatementWithCommentGoesWhole",
     {"Sub A()", "On Error Resume Next ' ignore it", "End Sub"},
     RemoveAll(),
     {"Sub A()", "End Sub"}},
    {"LowerCaseGoToCommentedAndQuotedStay",
     {"Sub A()", "    on error resume next", "    On Error GoTo h", "    ' On Error Resume Next",
      "    s = \"On Error Resume Next\"", "    x = 1: On Error Resume Next", "h:", "End Sub"},
     RemoveAll(),
     {"Sub A()", "    on error resume next", "    On Error GoTo h", "    ' On Error Resume Next",
      "    s = \"On Error Resume Next\"", "    x = 1: On Error Resume Next", "h:", "End Sub"}},
    {"ColonContinuedStatementKeepsTheRest",
     {"Sub A()", "    On Error Resume Next: Clipboard.Clear", "End Sub"},
     RemoveAll(),
     {"Sub A()", "    Clipboard.Clear", "End Sub"}},
    {"ColonFollowedByCommentOnlyGoesWhole",
     {"Sub A()", "    On Error Resume Next : ' quiet", "End Sub"},
     RemoveAll(),
     {"Sub A()", "End Sub"}},
    {"ComponentScopeReachesHandWrittenLinesEverywhere",
     {"Option Explicit", "Sub A()", "On Error Resume Next", "End Sub", "Function B()",
      "  On Error Resume Next", "End Function"},
     RemoveAll(),
     {"Option Explicit", "Sub A()", "End Sub", "Function B()", "End Function"}},
    {"MemberScopeStaysInsideItsRange",
     {"Sub A()", "On Error Resume Next", "End Sub", "Sub B()", "On Error Resume Next", "End Sub"},
     RemoveIn("B", MemberType::kMethod),
     {"Sub A()", "On Error Resume Next", "End Sub", "Sub B()", "End Sub"}},
    {"PropertyScopeCoversEachAccessor",
     {"Property Get P()", "On Error Resume Next", "End Property", "Sub Between()",
      "On Error Resume Next", "End Sub", "Property Let P(v)", "On Error Resume Next",
      "End Property"},
     RemoveIn("P", MemberType::kProperty),
     {"Property Get P()", "End Property", "Sub Between()", "On Error Resume Next", "End Sub",
      "Property Let P(v)", "End Property"}},
    {"VariableMemberChangesNothing",
     {"Dim On_", "Sub A()", "On Error Resume Next", "End Sub"},
     RemoveIn("On_", MemberType::kVariable),
     {"Dim On_", "Sub A()", "On Error Resume Next", "End Sub"}},
};
INSTANTIATE_TEST_SUITE_P(Remove, ErrorHandlersTest, ::testing::ValuesIn(kRemoveCases),
                         host::test::RowName());

const Case kInsertCases[] = {
    {"TwiceGivesTwoStatements",
     {"Sub A()", "    x = 1", "End Sub"},
     InsertIn("A", MemberType::kMethod, 2),
     {"Sub A()", "On Error Resume Next", "On Error Resume Next", "    x = 1", "End Sub"}},
    {"DeclarationOverThreeLines",
     {"Function F(a As Long, _", "           b As Long, _", "           c As Long) As Long",
      "End Function"},
     InsertIn("F", MemberType::kMethod),
     {"Function F(a As Long, _", "           b As Long, _", "           c As Long) As Long",
      "On Error Resume Next", "End Function"}},
    {"CommentsMentioningSubAboveTheDeclarationAreSkipped",
     {"Dim x", "", "' This Sub calls a Function", "   ' Sub too", "Public Sub A()", "End Sub"},
     InsertIn("A", MemberType::kMethod),
     {"Dim x", "", "' This Sub calls a Function", "   ' Sub too", "Public Sub A()",
      "On Error Resume Next", "End Sub"}},
    {"PropertyWithoutSetGetsGetThenLet",
     {"Property Let P(v)", "End Property", "Property Get P()", "End Property"},
     InsertIn("P", MemberType::kProperty),
     {"Property Let P(v)", "On Error Resume Next", "End Property", "Property Get P()",
      "On Error Resume Next", "End Property"}},
    {"ComponentScopeCoversEveryProcedure",
     {"Option Explicit", "Private m As Long", "Const K = 1", "Sub A()", "End Sub",
      "Property Get P() As Long", "End Property", "Property Set P(v As Object)", "End Property",
      "Private Function F() As Long", "End Function"},
     InsertAll(),
     {"Option Explicit", "Private m As Long", "Const K = 1", "Sub A()", "On Error Resume Next",
      "End Sub", "Property Get P() As Long", "On Error Resume Next", "End Property",
      "Property Set P(v As Object)", "On Error Resume Next", "End Property",
      "Private Function F() As Long", "On Error Resume Next", "End Function"}},
    {"ComponentScopeSkipsEventsAndDeclares",
     {"Public Event Changed(ByVal v As Long)",
      "Private Declare Function GetTickCount Lib \"kernel32\" () As Long", "", "Sub A()",
      "End Sub"},
     InsertAll(),
     {"Public Event Changed(ByVal v As Long)",
      "Private Declare Function GetTickCount Lib \"kernel32\" () As Long", "", "Sub A()",
      "On Error Resume Next", "End Sub"}},
    {"OneLineProcedureIsPassedOver",
     {"Sub A(): x = 1: End Sub", "Sub B()", "End Sub"},
     InsertAll(),
     {"Sub A(): x = 1: End Sub", "Sub B()", "On Error Resume Next", "End Sub"}},
    {"DeclarationTheSearchMissesIsPassedOver",
     {"sub A()", "End Sub", "Sub B()", "End Sub"},
     InsertAll(),
     {"sub A()", "End Sub", "Sub B()", "On Error Resume Next", "End Sub"}},
    {"StrayKeywordLineAboveTheDeclarationIsPassedOver",
     {"Property Let N(v)", "End Property", "Property", "Property Get X()", "End Property"},
     InsertAll(),
     {"Property Let N(v)", "On Error Resume Next", "End Property", "Property", "Property Get X()",
      "End Property"}},
    {"ColonInsideAStringIsNoStatementEnd",
     {"Sub A(Optional s = \": End Sub\")", "End Sub"},
     InsertAll(),
     {"Sub A(Optional s = \": End Sub\")", "On Error Resume Next", "End Sub"}},
    {"VariableMemberChangesNothing",
     {"Public Total As Long", "Sub A()", "End Sub"},
     InsertIn("Total", MemberType::kVariable),
     {"Public Total As Long", "Sub A()", "End Sub"}},
    {"EventMemberChangesNothing",
     {"Public Event Changed()", "Sub A()", "End Sub"},
     InsertIn("Changed", MemberType::kEvent),
     {"Public Event Changed()", "Sub A()", "End Sub"}},
    {"ConstantMemberChangesNothing",
     {"Const Sub_Count = 1", "Sub A()", "End Sub"},
     InsertIn("Sub_Count", MemberType::kConstant),
     {"Const Sub_Count = 1", "Sub A()", "End Sub"}},
    {"DeclareAsMemberIsRefusedByTheHost",
     {"Declare Sub Sleep Lib \"kernel32\" (ByVal ms As Long)", "Sub A()", "End Sub"},
     InsertIn("Sleep", MemberType::kMethod),
     {"Declare Sub Sleep Lib \"kernel32\" (ByVal ms As Long)", "Sub A()", "End Sub"},
     Outcome::kFails},
};
INSTANTIATE_TEST_SUITE_P(Insert, ErrorHandlersTest, ::testing::ValuesIn(kInsertCases),
                         host::test::RowName());

const Case kCustomCases[] = {
    {"MsgBoxLayout",
     {"Sub A()", "    x = 1", "End Sub"},
     CustomIn("A", MemberType::kMethod),
     {"Sub A()", "On Error GoTo err_label", "    x = 1", "Exit Sub",
      "err_label:", "    MsgBox Err.Number & \" # \" & Err.Description,,\"Error\"",
      "    Resume Next", "End Sub"}},
    {"FunctionGetsExitFunction",
     {"Private Function F() As Long", "End Function"},
     CustomIn("F", MemberType::kMethod, {"h", "    Resume Next"}),
     {"Private Function F() As Long", "On Error GoTo h", "Exit Function", "h:", "    Resume Next",
      "End Function"}},
    {"SubWhoseNameHoldsFunctionIsASub",
     {"Public Sub CallFunction()", "End Sub"},
     CustomIn("CallFunction", MemberType::kMethod, {"h", "b"}),
     {"Public Sub CallFunction()", "On Error GoTo h", "Exit Sub", "h:", "b", "End Sub"}},
    {"IndentedEndLineIsFound",
     {"Sub A()", "    x = 1", "    End Sub"},
     CustomIn("A", MemberType::kMethod, {"h", "b"}),
     {"Sub A()", "On Error GoTo h", "    x = 1", "Exit Sub", "h:", "b", "    End Sub"}},
    {"EndLineFollowedByComment",
     {"Sub A()", "End Sub ' A"},
     CustomIn("A", MemberType::kMethod, {"h", "b"}),
     {"Sub A()", "On Error GoTo h", "Exit Sub", "h:", "b", "End Sub ' A"}},
    {"EmptyLabelAndEmptyBody",
     {"Sub A()", "End Sub"},
     CustomIn("A", MemberType::kMethod, {"", ""}),
     {"Sub A()", "On Error GoTo ", "Exit Sub", ":", "", "End Sub"}},
    {"MissingEndLineWithdrawsTheGoTo",
     {"Function F()", "    x = 1", "End Sub"},
     CustomIn("F", MemberType::kMethod, {"h", "b"}),
     {"Function F()", "    x = 1", "End Sub"}},
    {"PropertyGetAndLetGetExitProperty",
     {"Property Get P()", "End Property", "", "Property Let P(v)", "End Property"},
     CustomIn("P", MemberType::kProperty, {"h", "b"}),
     {"Property Get P()", "On Error GoTo h", "Exit Property", "h:", "b", "End Property", "",
      "Property Let P(v)", "On Error GoTo h", "Exit Property", "h:", "b", "End Property"}},
    {"ComponentScopeAsksEachRangeAfresh",
     {"Public Event E()", "Sub A()", "x = 1", "End Sub", "Sub B(): End Sub", "Function F(a, _",
      "  b)", "End Function"},
     CustomAll({"h", "    Debug.Print 1\r\n    Resume Next"}),
     {"Public Event E()", "Sub A()", "On Error GoTo h", "x = 1", "Exit Sub",
      "h:", "    Debug.Print 1", "    Resume Next", "End Sub", "Sub B(): End Sub",
      "Function F(a, _", "  b)", "On Error GoTo h", "Exit Function", "h:", "    Debug.Print 1",
      "    Resume Next", "End Function"}},
};
INSTANTIATE_TEST_SUITE_P(Custom, ErrorHandlersTest, ::testing::ValuesIn(kCustomCases),
                         host::test::RowName());

struct BodyCase {
  const char* name;
  HandlerStyle style;
  std::string call_name;
  std::string expected;
};

class HandlerBodyTest : public ::testing::TestWithParam<BodyCase> {};

TEST_P(HandlerBodyTest, BuildsTheTemplate) {
  EXPECT_EQ(HandlerBody(GetParam().style, GetParam().call_name), GetParam().expected);
}

const BodyCase kBodyCases[] = {
    {"MsgBox", HandlerStyle::kMsgBox, "Ignored",
     "    MsgBox Err.Number & \" # \" & Err.Description,,\"Error\"\r\n    Resume Next"},
    {"DebugPrint", HandlerStyle::kDebugPrint, "",
     "    Debug.Print Err.Number & \" # \" & Err.Description\r\n    Resume Next"},
    {"CallNamesTheRoutineAsTyped", HandlerStyle::kCall, " LogErr",
     "    Call  LogErr(Err.Number , Err.Description)\r\n    Resume Next"},
    {"CallWithEmptyName", HandlerStyle::kCall, "",
     "    Call (Err.Number , Err.Description)\r\n    Resume Next"},
};
INSTANTIATE_TEST_SUITE_P(Styles, HandlerBodyTest, ::testing::ValuesIn(kBodyCases),
                         host::test::RowName());

// A walk over a whole module must not read the module again for every procedure.
TEST(ErrorHandlerWalkTest, ComponentScopeReadsTheStructureOnce) {
  Lines lines = {"Option Explicit"};
  for (int i = 0; i < 50; ++i) {
    lines.insert(lines.end(), {"' P" + std::to_string(i), "Sub P" + std::to_string(i) + "()",
                               "    x = 1", "End Sub"});
  }
  host::test::TestModule module(lines);
  InsertCustomHandlers(module.code(), kMsgBoxHandler);
  InsertResumeNext(module.code());
  RemoveResumeNext(module.code());
  EXPECT_EQ(module.code().CountOfLines(), 1 + 50 * (4 + 5));
  EXPECT_LE(module.code().ScanCount(), 1u);
}

}  // namespace
}  // namespace marquill::transform
