// Members and procedure ranges the in-memory code module reads from tricky code.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "support/named_rows.h"
#include "support/test_project.h"

namespace marquill::host {
namespace {

using test::TestModule;

std::string_view TypeWord(MemberType type) {
  switch (type) {
    case MemberType::kMethod:
      return "method";
    case MemberType::kProperty:
      return "property";
    case MemberType::kVariable:
      return "variable";
    case MemberType::kEvent:
      return "event";
    case MemberType::kConstant:
      return "constant";
  }
  return "?";
}

// "Name type line" for each member, in host order.
std::vector<std::string> MembersOf(CodeModule& module) {
  std::vector<std::string> members;
  for (Member& member : module.Members()) {
    std::ostringstream text;
    text << member.Name() << ' ' << TypeWord(member.Type()) << ' ' << member.CodeLocation();
    members.push_back(text.str());
  }
  return members;
}

ProcKind KindNamed(std::string_view word) {
  if (word == "Get") return ProcKind::kGet;
  if (word == "Let") return ProcKind::kLet;
  if (word == "Set") return ProcKind::kSet;
  return ProcKind::kProc;
}

// "Name Kind start+count @body", or "Name Kind missing" when the host refuses the query.
std::string RangeOf(const CodeModule& module, const std::string& name, std::string_view kind) {
  std::ostringstream text;
  text << name << ' ' << kind << ' ';
  try {
    const ProcKind proc_kind = KindNamed(kind);
    text << module.ProcStartLine(name, proc_kind) << '+' << module.ProcCountLines(name, proc_kind)
         << " @" << module.ProcBodyLine(name, proc_kind);
  } catch (const HostError&) {
    text << "missing";
  }
  return text.str();
}

struct StructureCase {
  const char* name;
  std::vector<std::string> lines;
  std::vector<std::string> members;
  // Each row names the procedure and kind it asks for in its first two words.
  std::vector<std::string> ranges;
};

class MemoryStructureTest : public ::testing::TestWithParam<StructureCase> {};

TEST_P(MemoryStructureTest, ReadsMembersAndRanges) {
  TestModule module(GetParam().lines);
  EXPECT_EQ(MembersOf(module.code()), GetParam().members);
  for (const std::string& expected : GetParam().ranges) {
    std::istringstream words(expected);
    std::string name, kind;
    words >> name >> kind;
    EXPECT_EQ(RangeOf(module.code(), name, kind), expected);
  }
}

const StructureCase kStructureCases[] = {
    {"CommentsAboveMentioningSubBelongToTheProcedure",
     {"Option Explicit", "", "' This Sub does things", "' Sub Fake()", "Public Sub Real()",
      "  x = 1", "End Sub"},
     {"Real method 5"},
     {"Real Proc 2+6 @5", "Fake Proc missing"}},
    {"DeclarationContinuedOverThreeLines",
     {"Private Sub Long1(a As Long, _", "                 b As Long, _",
      "                 c As Long)", "End Sub", "Function F() As Long", "End Function"},
     {"Long1 method 1", "F method 5"},
     {"Long1 Proc 1+4 @1", "F Proc 5+2 @5"}},
    {"PropertyWithGetAndLetButNoSet",
     {"Private m As Long", "", "Public Property Get Value() As Long", "  Value = m", "End Property",
      "", "Public Property Let Value(ByVal v As Long)", "  m = v", "End Property"},
     {"m variable 1", "Value property 3"},
     {"Value Get 2+4 @3", "Value Let 6+4 @7", "Value Set missing", "Value Proc missing"}},
    {"PropertyLocatedAtItsFirstAccessor",
     {"Property Let Size(v)", "End Property", "Sub Middle()", "End Sub", "Property Get Size()",
      "End Property", "Property Set Size(o)", "End Property"},
     {"Size property 1", "Middle method 3"},
     {"Size Let 1+2 @1", "Size Get 5+2 @5", "Size Set 7+2 @7"}},
    {"OneLineProcedures",
     {"Sub A(): End Sub", "Sub B()", "End Sub", "Sub C(): x = 1: End Sub", "Sub D()", "End Sub"},
     {"A method 1", "B method 2", "C method 4", "D method 5"},
     {"A Proc 1+1 @1", "B Proc 2+2 @2", "C Proc 4+1 @4", "D Proc 5+2 @5"}},
    {"DeclareEventConstEnumAndType",
     {"Option Explicit", "Private Declare Function GetTickCount Lib \"kernel32\" () As Long",
      "Public Declare PtrSafe Sub Sleep Lib \"kernel32\" (ByVal ms As Long)",
      "Public Event Changed(ByVal value As Long)", "Private Const A = 1, B = \"x, y\"",
      "Const C As Long = 3", "Public Enum Colors", "  Red = 1", "  Green", "End Enum",
      "Private Type Point", "  X As Long", "  Y As Long", "End Type", "Dim first As Long, second",
      "Sub Run()", "End Sub"},
     {"GetTickCount method 2", "Sleep method 3", "Changed event 4", "A constant 5", "B constant 5",
      "C constant 6", "first variable 15", "second variable 15", "Run method 16"},
     {"GetTickCount Proc missing", "Changed Proc missing", "Run Proc 16+2 @16"}},
    {"VariableListsWithEventsAndArrays",
     {"Dim a As Collection, b", "Private WithEvents btn As CommandButton",
      "Public arr(10) As Long, grid(1 To 3, 1 To 4) As String", "Global g%",
      "Private s$, t As String * 10", "Public WithEvents w1 As Timer, WithEvents w2 As Timer"},
     {"a variable 1", "b variable 1", "btn variable 2", "arr variable 3", "grid variable 3",
      "g variable 4", "s variable 5", "t variable 5", "w1 variable 6", "w2 variable 6"},
     {}},
    {"LastProcedureOwnsTheLinesAfterIt",
     {"Sub A()", "End Sub", "", "Sub B()", "End Sub", "", "", "' the end"},
     {"A method 1", "B method 4"},
     {"A Proc 1+2 @1", "B Proc 3+6 @4"}},
    {"EmptyModule", {}, {}, {"A Proc missing"}},
    {"StringsHoldingSubAreNotDeclarations",
     {"Private Const Msg = \"Sub Fake()\"", "Sub Real()", "  s = \"End Sub\"",
      "  t = \"x ' Sub\": u = 1", "End Sub"},
     {"Msg constant 1", "Real method 2"},
     {"Real Proc 2+4 @2", "Fake Proc missing"}},
    {"DeclarationsInsideProceduresAreNotMembers",
     {"Sub A()", "  Dim x As Long", "  Static y", "  Const K = 1", "End Sub"},
     {"A method 1"},
     {"A Proc 1+5 @1"}},
    {"ModifiersAndTypeCharacters",
     {"Friend Function F1() As Long", "End Function", "Public Static Sub S1()", "End Sub",
      "Private Property Set P1(o As Object)", "End Property", "Function Name$()", "End Function"},
     {"F1 method 1", "S1 method 3", "P1 property 5", "Name method 7"},
     {"F1 Proc 1+2 @1", "S1 Proc 3+2 @3", "P1 Set 5+2 @5", "Name Proc 7+2 @7"}},
    {"ContinuedCommentHidesTheNextLine",
     {"' a note _", "Sub Hidden()", "Sub Shown()", "End Sub"},
     {"Shown method 3"},
     {"Shown Proc 1+4 @3", "Hidden Proc missing"}},
    {"RemCommentsAreNotDeclarations",
     {"Rem Sub Fake()", "Sub Real(): Rem End Sub", "End Sub"},
     {"Real method 2"},
     {"Real Proc 1+3 @2", "Fake Proc missing"}},
    {"KeywordsInAnyCase",
     {"private const LIMIT = 3", "public sub lower()", "end sub"},
     {"LIMIT constant 1", "lower method 2"},
     {"LOWER Proc 2+2 @2"}},
    {"StatementsSplitAtColons",
     {"Dim p: Dim q As Long", "Private Const K1 = \"a:b\": Const K2 = 2"},
     {"p variable 1", "q variable 1", "K1 constant 2", "K2 constant 2"},
     {}},
    {"OptionImplementsAndDefaultsAreNoMembers",
     {"Option Explicit", "Option Compare Text", "Implements IThing", "DefInt A-Z",
      "#Const Debugging = 1"},
     {},
     {}},
    {"FirstProcedureStartsAfterTheLastDeclaration",
     {"Option Explicit", "Dim x", "", "' about A", "Sub A()", "End Sub"},
     {"x variable 2", "A method 5"},
     {"A Proc 3+4 @5"}},
    {"ContinuedDeclarationEndsTheDeclarationsSection",
     {"Dim a As Long, _", "    b As Long", "", "Sub Run()", "End Sub"},
     {"a variable 1", "b variable 1", "Run method 4"},
     {"Run Proc 3+3 @4"}},
    {"CodeBetweenProceduresBelongsToTheNextRange",
     {"Sub A()", "End Sub", "Dim stray", "Sub B()", "End Sub"},
     {"A method 1", "B method 4"},
     {"A Proc 1+2 @1", "B Proc 3+3 @4"}},
    {"MissingEndLineEndsAtTheNextDeclaration",
     {"Sub A()", "  x = 1", "Sub B()", "End Sub", "Sub C()", "  y = 2"},
     {"A method 1", "B method 3", "C method 5"},
     {"A Proc 1+2 @1", "B Proc 3+2 @3", "C Proc 5+2 @5"}},
    {"EndLinesWithCommentsAndLabels",
     {"Sub A()", "done: End Sub ' bye", "Sub B()", "10 End Sub"},
     {"A method 1", "B method 3"},
     {"A Proc 1+2 @1", "B Proc 3+2 @3"}},
    {"EndAloneExitAndIndentedEndLine",
     {"Option Explicit",
      "Implements IShape",
      "Public Event Moved(ByVal x As Long)",
      "Dim col As New Collection",
      "#If Win32 Then",
      "Private Declare Function Ticks Lib \"kernel32\" Alias \"GetTickCount\" () As Long",
      "#Else",
      "Private Declare Function Ticks Lib \"libc.so\" () As Long",
      "#End If",
      "",
      "' Attribute Counter.VB_Description = \"not an attribute\"",
      "Static Sub Counter()",
      "    Static n As Long",
      "again:",
      "    If n > 10 Then End",
      "    If n = 5 Then Exit Sub",
      "    End",
      "    s = \"End Sub\": GoTo again",
      "  End Sub ' done",
      "Friend Function Area() As Double",
      "End Function",
      "Public Property Get Items() As String()",
      "End Property"},
     {"Moved event 3", "col variable 4", "Ticks method 6", "Counter method 12", "Area method 20",
      "Items property 22"},
     {"Counter Proc 10+10 @12", "Area Proc 20+2 @20", "Items Get 22+2 @22", "Ticks Proc missing"}},
    {"LabelsAndLineNumbers",
     {"Sub A()", "10  x = 1", "20: y = 2", "Sub1:", "30 End Sub", "Function B()", "EndPoint: B = 1",
      "End Function"},
     {"A method 1", "B method 6"},
     {"A Proc 1+5 @1", "B Proc 6+3 @6"}},
    {"TypeFieldsNamedLikeKeywords",
     {"Private Type TRec", "    Name As String", "    EndDate As Date", "    Subtotal As Currency",
      "    Property As Long", "    End As Long", "End Type", "Private Sub Class_Initialize()",
      "End Sub"},
     {"Class_Initialize method 8"},
     {"Class_Initialize Proc 8+2 @8"}},
    {"EndIfAndEndWithDoNotCloseAProcedure",
     {"Sub A()", "  If x Then", "  End If", "  With y", "  End With", "End Sub"},
     {"A method 1"},
     {"A Proc 1+6 @1"}},
};

INSTANTIATE_TEST_SUITE_P(Code, MemoryStructureTest, ::testing::ValuesIn(kStructureCases),
                         test::RowName());

TEST(MemoryMembersTest, ItemByNameIgnoresCaseAndRefusesUnknownNames) {
  TestModule module({"Dim Counter As Long", "Sub Run()", "End Sub"});
  Members& members = module.code().Members();
  EXPECT_EQ(members.Item("counter").Name(), "Counter");
  EXPECT_EQ(members.Item("RUN").Type(), MemberType::kMethod);
  EXPECT_THROW(members.Item("Walk"), HostError);
  EXPECT_THROW(members.Item(3), HostError);
  EXPECT_THROW(members.Item(0), HostError);
}

TEST(MemoryMembersTest, MembersFollowEditsAndVanishedOnesFail) {
  TestModule module({"Sub A()", "End Sub", "Sub B()", "End Sub"});
  MemoryCodeModule& code = module.code();
  Member& b = code.Members().Item("B");
  EXPECT_EQ(b.CodeLocation(), 3);

  code.InsertLines(1, "Dim x\r\n");
  EXPECT_EQ(b.CodeLocation(), 5);
  EXPECT_EQ(MembersOf(code),
            (std::vector<std::string>{"x variable 1", "A method 3", "B method 5"}));

  code.ReplaceLine(5, "Function B2() As Long");
  code.ReplaceLine(6, "End Function");
  EXPECT_THROW(b.CodeLocation(), HostError);
  EXPECT_THROW(b.Name(), HostError);
  EXPECT_EQ(code.Members().Item("B2").CodeLocation(), 5);

  code.DeleteLines(5, 2);
  EXPECT_EQ(code.Members().Count(), 2);
  code.InsertLines(5, "Sub B()\r\nEnd Sub");
  EXPECT_EQ(&code.Members().Item("b"), &b);  // the same object once declared again
  EXPECT_EQ(b.CodeLocation(), 5);
}

TEST(MemoryMembersTest, ReadsTheStructureOnlyWhenAskedAfterAChange) {
  TestModule module({"Dim x", "Sub A()", "End Sub"});
  MemoryCodeModule& code = module.code();
  EXPECT_EQ(code.ScanCount(), 0u);
  for (int i = 0; i < 50; ++i) code.InsertLines(1, "Dim v" + std::to_string(i));
  EXPECT_EQ(code.ScanCount(), 0u);
  EXPECT_EQ(code.Members().Count(), 52);
  EXPECT_EQ(code.ProcStartLine("A", ProcKind::kProc), 52);
  EXPECT_EQ(code.ScanCount(), 1u);
}

}  // namespace
}  // namespace marquill::host
