#include "docs/header_comments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/support/named_rows.h"
#include "host/support/test_project.h"

namespace marquill::docs {
namespace {

using host::MemberType;
using host::test::LinesOf;
using host::test::TestModule;

CommentSettings Standard() {
  CommentSettings settings;
  settings.standard_comments = true;
  return settings;
}

CommentSettings Framed(std::string delim, std::string count) {
  CommentSettings settings = Standard();
  settings.delimiters = true;
  settings.delim = std::move(delim);
  settings.delim_count = std::move(count);
  return settings;
}

CommentSettings WithAlso(CommentSettings settings, std::string line) {
  settings.also = true;
  settings.member_line = std::move(line);
  return settings;
}

CommentSettings ModuleOnly(std::string module_template) {
  CommentSettings settings;
  settings.module_comments = true;
  settings.module_template = std::move(module_template);
  return settings;
}

// One press of "Insert" on a module: its code before, the ticked members, the settings, and the
// whole module afterwards.
struct InsertRow {
  const char* name;
  std::vector<std::string> code;
  std::vector<HeaderMember> members;
  CommentSettings settings;
  std::vector<std::string> expected;
  friend void PrintTo(const InsertRow& row, std::ostream* os) { *os << row.name; }
};

const InsertRow kInsertRows[] = {
    {"WorkedExample",
     {"Public Function Total(ByVal a As Long, Optional b As Integer = 2) As Long",
      "    Total = a + b", "End Function"},
     {{"Total", MemberType::kMethod}},
     WithAlso(Framed("-", "10"), "' Revised:"),
     {"Public Function Total(ByVal a As Long, Optional b As Integer = 2) As Long", "' ----------",
      "' Total (Function) description:", "'", "' Parameters: ", "'    [in] a", "'    [out] b", "'",
      "' Return: ", "'", "' Revised:", "' ----------", "    Total = a + b", "End Function"}},
    {"SubWithoutParametersGetsTwoLines",
     {"Public Sub Main()", "End Sub"},
     {{"Main", MemberType::kMethod}},
     Standard(),
     {"Public Sub Main()", "' Main (Sub) description:", "'", "End Sub"}},
    {"DeclarationOverThreeLinesGetsItsHeaderBelowTheThird",
     {"Private Sub Fill(ByVal a As Long, _", "                 b As String, _",
      "                 ByRef c As Variant)", "End Sub"},
     {{"Fill", MemberType::kMethod}},
     Standard(),
     {"Private Sub Fill(ByVal a As Long, _", "                 b As String, _",
      "                 ByRef c As Variant)", "' Fill (Sub) description:", "'",
      "' Parameters: ", "'    [in] a", "'    [out] b", "'    [out] c", "End Sub"}},
    {"CommentsMentioningSubAboveTheDeclarationArePassedOver",
     {"Option Explicit", "", "' Sub Helper is called from Main", "    ' Function of the module ",
      "", "Public Sub Helper(x)", "End Sub"},
     {{"Helper", MemberType::kMethod}},
     Standard(),
     {"Option Explicit", "", "' Sub Helper is called from Main", "    ' Function of the module ",
      "", "Public Sub Helper(x)", "' Helper (Sub) description:", "'",
      "' Parameters: ", "'    [out] x", "End Sub"}},
    {"ParameterNamesHoldingKeywordLettersStayWhole",
     {"Sub Book(sAsset As String, Optional ByVal x As Long = 5, ByValue, ParamArray args() As "
      "Variant)",
      "End Sub"},
     {{"Book", MemberType::kMethod}},
     Standard(),
     {"Sub Book(sAsset As String, Optional ByVal x As Long = 5, ByValue, ParamArray args() As "
      "Variant)",
      "' Book (Sub) description:", "'", "' Parameters: ", "'    [out] sAsset", "'    [in] x",
      "'    [out] ByValue", "'    [out] args()", "End Sub"}},
    {"DefaultHoldingACommaIsOneParameter",
     {"Sub Pick(Optional s As String = \"a,b\", Optional t As String = \"(x,y)\")", "End Sub"},
     {{"Pick", MemberType::kMethod}},
     Standard(),
     {"Sub Pick(Optional s As String = \"a,b\", Optional t As String = \"(x,y)\")",
      "' Pick (Sub) description:", "'", "' Parameters: ", "'    [out] s", "'    [out] t",
      "End Sub"}},
    {"FunctionReturningAnArrayListsItsOwnParameter",
     {"Public Function Rows(a) As Long()", "End Function"},
     {{"Rows", MemberType::kMethod}},
     Standard(),
     {"Public Function Rows(a) As Long()", "' Rows (Function) description:", "'",
      "' Parameters: ", "'    [out] a", "'", "' Return: ", "'", "End Function"}},
    {"SubWithAParameterNamedLikeAFunctionIsASub",
     {"Public Sub Run(ByVal myFunction As Long) ' a Function Property", "End Sub"},
     {{"Run", MemberType::kMethod}},
     Standard(),
     {"Public Sub Run(ByVal myFunction As Long) ' a Function Property",
      "' Run (Sub) description:", "'", "' Parameters: ", "'    [in] myFunction", "End Sub"}},
    {"GetAndSetWithoutLetGetOneHeaderEachAndOnlyGetReturns",
     {"Public Property Get Owner() As Object", "End Property", "",
      "Public Property Set Owner(ByVal NewOwner As Object)", "End Property"},
     {{"Owner", MemberType::kProperty}},
     Standard(),
     {"Public Property Get Owner() As Object", "' Owner (Property) description:", "'", "'",
      "' Return: ", "'", "End Property", "", "Public Property Set Owner(ByVal NewOwner As Object)",
      "' Owner (Property) description:", "'", "' Parameters: ", "'    [in] NewOwner",
      "End Property"}},
    {"PropertyLetTakesNoReturnBlock",
     {"Property Let Size(n As Long)", "End Property"},
     {{"Size", MemberType::kProperty}},
     Standard(),
     {"Property Let Size(n As Long)", "' Size (Property) description:", "'",
      "' Parameters: ", "'    [out] n", "End Property"}},
    {"DelimitersWithCountZeroAreBareMarks",
     {"Sub A()", "End Sub"},
     {{"A", MemberType::kMethod}},
     Framed("*", "0"),
     {"Sub A()", "' ", "' A (Sub) description:", "'", "' ", "End Sub"}},
    {"NegativeCountCountsAsZero",
     {"Sub A()", "End Sub"},
     {{"A", MemberType::kMethod}},
     Framed("=", "-4"),
     {"Sub A()", "' ", "' A (Sub) description:", "'", "' ", "End Sub"}},
    {"OnlyTheDelimitersFirstCharacterRepeats",
     {"Sub A()", "End Sub"},
     {{"A", MemberType::kMethod}},
     Framed("=~", "3"),
     {"Sub A()", "' ===", "' A (Sub) description:", "'", "' ===", "End Sub"}},
    {"DelimitersNeedBothFields",
     {"Sub A()", "End Sub"},
     {{"A", MemberType::kMethod}},
     Framed("", "3"),
     {"Sub A()", "' A (Sub) description:", "'", "End Sub"}},
    {"AlsoWithAnEmptyLineAddsNothing",
     {"Sub A()", "End Sub"},
     {{"A", MemberType::kMethod}},
     WithAlso(Standard(), ""),
     {"Sub A()", "' A (Sub) description:", "'", "End Sub"}},
    {"AlsoLineSpanningTwoLinesIsInsertedAsTyped",
     {"Sub A()", "End Sub"},
     {{"A", MemberType::kMethod}},
     WithAlso(Standard(), "' Revised:\r\n' By:"),
     {"Sub A()", "' A (Sub) description:", "'", "' Revised:", "' By:", "End Sub"}},
    {"EventGetsNoHeader",
     {"Public Event Changed(ByVal x As Long)", "", "Sub A()", "End Sub"},
     {{"Changed", MemberType::kEvent}},
     Standard(),
     {"Public Event Changed(ByVal x As Long)", "", "Sub A()", "End Sub"}},
    {"ModuleCommentsOnlyInsertsOnlyTheModuleHeader",
     {"Option Explicit", "Sub A()", "End Sub"},
     {{"A", MemberType::kMethod}},
     ModuleOnly("' Module: A\r\n' Author: me"),
     {"' Module: A", "' Author: me", "Option Explicit", "Sub A()", "End Sub"}},
    {"ModuleHeaderIsFramedLikeMemberHeaders",
     {"Sub A()", "End Sub"},
     {},
     [] {
       CommentSettings settings = ModuleOnly("' Module: A");
       settings.delimiters = true;
       settings.delim = "-";
       settings.delim_count = "4";
       return settings;
     }(),
     {"' ----", "' Module: A", "' ----", "Sub A()", "End Sub"}},
    {"LaterHeadersFindTheirProceduresAfterEarlierInsertions",
     {"Option Explicit", "Sub A(x)", "End Sub", "Function B() As Long", "End Function"},
     {{"A", MemberType::kMethod}, {"B", MemberType::kMethod}},
     [] {
       CommentSettings settings = Standard();
       settings.module_comments = true;
       settings.module_template = "' Top";
       return settings;
     }(),
     {"' Top", "Option Explicit", "Sub A(x)", "' A (Sub) description:", "'",
      "' Parameters: ", "'    [out] x", "End Sub", "Function B() As Long",
      "' B (Function) description:", "'", "'", "' Return: ", "'", "End Function"}},
    {"MissingProcedureIsSkippedAndTheRestInserted",
     {"Sub A()", "End Sub"},
     {{"Gone", MemberType::kMethod}, {"A", MemberType::kMethod}},
     Standard(),
     {"Sub A()", "' A (Sub) description:", "'", "End Sub"}},
};

class InsertHeadersTest : public testing::TestWithParam<InsertRow> {};

TEST_P(InsertHeadersTest, ModuleReadsAsExpected) {
  const InsertRow& row = GetParam();
  TestModule module(row.code);
  InsertHeaders(module.code(), row.members, row.settings);
  EXPECT_EQ(LinesOf(module.code()), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, InsertHeadersTest, testing::ValuesIn(kInsertRows),
                         host::test::RowName());

// One parameter as written, and the line it gets.
struct ParameterRow {
  const char* name;
  const char* parameter;
  const char* line;
  friend void PrintTo(const ParameterRow& row, std::ostream* os) { *os << row.name; }
};

const ParameterRow kParameterRows[] = {
    {"ByRefIsOut", "ByRef a As Long", "'    [out] a"},
    {"OptionalByValWithDefault", "Optional ByVal x As Long = 5", "'    [in] x"},
    {"ByValInsideANameIsNoModifier", "ByValue As Long", "'    [out] ByValue"},
    {"DefaultWithoutType", "Optional n = 3", "'    [out] n"},
    {"DefaultTextHoldingAs", "Optional s = \"Save As\"", "'    [out] s"},
    {"FixedLengthType", "ByVal s As String * 10", "'    [in] s"},
};

class ParameterLineTest : public testing::TestWithParam<ParameterRow> {};

TEST_P(ParameterLineTest, NameAndMark) {
  EXPECT_EQ(ParameterLine(GetParam().parameter), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Rows, ParameterLineTest, testing::ValuesIn(kParameterRows),
                         host::test::RowName());

// A declaration as joined from its lines, and what a header reads from it.
struct DeclarationRow {
  const char* name;
  const char* declaration;
  Flavour flavour;
  bool returns_value;
  std::vector<std::string> parameters;
  friend void PrintTo(const DeclarationRow& row, std::ostream* os) { *os << row.name; }
};

const DeclarationRow kDeclarationRows[] = {
    {"StaticFunction", "Private Static Function F() As Long", Flavour::kFunction, true, {}},
    {"FriendPropertyGet",
     "Friend Property Get P(ByVal i As Long) As String",
     Flavour::kProperty,
     true,
     {"ByVal i As Long"}},
    {"PropertySet",
     "Property Set P(ByVal o As Object)",
     Flavour::kProperty,
     false,
     {"ByVal o As Object"}},
    {"BlankListGivesNoParameter", "Sub S( )", Flavour::kSub, false, {}},
    {"NestedParenthesesAndTrailingComment",
     "Function F(a() As Long) As Long() ' (x, y)",
     Flavour::kFunction,
     true,
     {"a() As Long"}},
    {"CommaInsideNestedParentheses",
     "Sub S(Optional v = Array(1, 2), b)",
     Flavour::kSub,
     false,
     {"Optional v = Array(1, 2)", "b"}},
    {"EmptyPieceBetweenCommasStays", "Sub S(a, , b)", Flavour::kSub, false, {"a", "", "b"}},
};

class ParseDeclarationTest : public testing::TestWithParam<DeclarationRow> {};

TEST_P(ParseDeclarationTest, ReadsFlavourAndParameters) {
  const DeclarationRow& row = GetParam();
  const Declaration parsed = ParseDeclaration(row.declaration);
  EXPECT_EQ(parsed.flavour, row.flavour);
  EXPECT_EQ(parsed.returns_value, row.returns_value);
  EXPECT_EQ(parsed.parameters, row.parameters);
}

INSTANTIATE_TEST_SUITE_P(Rows, ParseDeclarationTest, testing::ValuesIn(kDeclarationRows),
                         host::test::RowName());

TEST(HeaderCandidatesTest, ListsMethodsPropertiesAndEventsButNoVariablesOrConstants) {
  TestModule module(
      {"Option Explicit", "Private mCount As Long", "Const kMax = 3", "Public Event Changed()",
       "Public Property Get Count() As Long", "End Property",
       "Public Property Let Count(ByVal n As Long)", "End Property", "Sub Reset()", "End Sub"},
      host::ComponentType::kClassModule);
  const std::vector<HeaderMember> expected = {{"Changed", MemberType::kEvent},
                                              {"Count", MemberType::kProperty},
                                              {"Reset", MemberType::kMethod}};
  EXPECT_EQ(HeaderCandidates(module.code()), expected);
}

TEST(HeaderCandidatesTest, OnlyVariablesAndConstantsGiveNothing) {
  TestModule module({"Private mCount As Long", "Const kMax = 3"});
  EXPECT_TRUE(HeaderCandidates(module.code()).empty());
}

TEST(InsertHeadersTest, PressingTwiceInsertsEveryHeaderTwice) {
  TestModule module({"Sub A()", "End Sub"});
  const std::vector<HeaderMember> members = {{"A", MemberType::kMethod}};
  EXPECT_EQ(InsertHeaders(module.code(), members, Standard()), 1);
  EXPECT_EQ(InsertHeaders(module.code(), members, Standard()), 1);
  const std::vector<std::string> expected = {
      "Sub A()", "' A (Sub) description:", "'", "' A (Sub) description:", "'", "End Sub"};
  EXPECT_EQ(LinesOf(module.code()), expected);
}

}  // namespace
}  // namespace marquill::docs
