// The exported page: golden files for whole modules with and without colours, and the code that
// member scopes collect.
#include "export/html_export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/support/named_rows.h"
#include "host/support/test_project.h"
#include "support/files.h"

namespace marquill::exporter {
namespace {

namespace fs = std::filesystem;
using host::MemberType;
using host::test::RowName;
using host::test::TestModule;

const fs::path kGolden = fs::path(MARQUILL_SOURCE_DIR) / "tests" / "export" / "golden";

// Compares with a golden file; MARQUILL_UPDATE_GOLDEN=1 rewrites it for review instead.
void ExpectGolden(const std::string& actual, const std::string& name) {
  const fs::path golden = kGolden / name;
  if (std::getenv("MARQUILL_UPDATE_GOLDEN") != nullptr) {
    test::WriteBytes(golden, actual);
    return;
  }
  EXPECT_EQ(actual, test::ReadBytes(golden))
      << "rerun with MARQUILL_UPDATE_GOLDEN=1 to update " << golden;
}

const std::vector<std::string> kEdgeModule = {"Option Explicit",
                                              "' Module comment",
                                              "' second line of it",
                                              "Private Sub X(ByVal a As Long)",
                                              "    Dim x As New Y",
                                              "    If a Then",
                                              "        x = 1 ' Do it",
                                              "    End If",
                                              "' under End If",
                                              "    s = \"it's\" ' c",
                                              "    s = \"<b>bold</b> & more\"",
                                              "    If a < b And c > d Then Debug.Print \"a Or b\"",
                                              "End Sub"};

TEST(HtmlPage, WholeModuleColoured) {
  ExpectGolden(HtmlPage(test::Crlf(kEdgeModule), true, BuildKeywordTables()), "edge_colors.htm");
}

TEST(HtmlPage, WholeModulePlain) {
  ExpectGolden(HtmlPage(test::Crlf(kEdgeModule), false, BuildKeywordTables()), "edge_plain.htm");
}

TEST(HtmlPage, ColouredPreStartsWithAnEmptyLine) {
  const std::string page = HtmlPage("x = 1\r\n", true, BuildKeywordTables());
  EXPECT_NE(page.find("<pre>\r\nx = 1\r\n\r\n</pre>\r\n</BODY>"), std::string::npos) << page;
}

const std::vector<std::string> kMembers = {"Option Explicit",
                                           "Private m As Long",
                                           "",
                                           "Public Sub Go()",
                                           "    m = 1",
                                           "End Sub",
                                           "",
                                           "Property Let V(x As Long)",
                                           "    m = x",
                                           "End Property",
                                           "Property Get V() As Long",
                                           "    V = m",
                                           "End Property",
                                           "Property Set O(x As Object)",
                                           "End Property",
                                           "Property Set V(x As Object)",
                                           "End Property",
                                           "Function F() As Long",
                                           "End Function"};

struct ScopeRow {
  const char* name;
  std::string member;
  MemberType type;
  std::vector<std::string> expected;
};

class CollectCodeCases : public ::testing::TestWithParam<ScopeRow> {};

TEST_P(CollectCodeCases, CollectsTheScopesLines) {
  TestModule module(kMembers);
  const ExportScope scope{GetParam().member, GetParam().type};
  EXPECT_EQ(CollectCode(module.code(), scope), test::Crlf(GetParam().expected));
}

const ScopeRow kScopeRows[] = {
    ScopeRow{"WholeModule", "", MemberType::kMethod, kMembers},
    ScopeRow{"Method", "Go", MemberType::kMethod, {"", "Public Sub Go()", "    m = 1", "End Sub"}},
    ScopeRow{
        "PropertyInGetLetSetOrder",
        "V",
        MemberType::kProperty,
        {"Property Get V() As Long", "    V = m", "End Property", "", "Property Let V(x As Long)",
         "    m = x", "End Property", "Property Set V(x As Object)", "End Property"}},
    ScopeRow{"PropertyWithSetOnly",
             "O",
             MemberType::kProperty,
             {"Property Set O(x As Object)", "End Property"}},
    ScopeRow{"MemberNotFound", "Missing", MemberType::kMethod, {}},
    ScopeRow{"VariableGivesNoCode", "m", MemberType::kVariable, {}}};

INSTANTIATE_TEST_SUITE_P(Scopes, CollectCodeCases, ::testing::ValuesIn(kScopeRows), RowName());

TEST(CollectCode, EmptyModuleGivesNothing) {
  TestModule module({});
  EXPECT_EQ(CollectCode(module.code(), {}), "");
}

}  // namespace
}  // namespace marquill::exporter
