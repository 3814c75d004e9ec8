// Descriptions and help context IDs of components and members, kept as attribute lines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/named_rows.h"
#include "support/test_project.h"

namespace marquill::host {
namespace {

using test::TestModule;
using ::testing::ElementsAre;

struct QuoteCase {
  const char* name;
  std::string text;
  std::string quoted;
};

class AttributeQuotingTest : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(AttributeQuotingTest, QuotesAsTheIdeDoesAndReadsBack) {
  EXPECT_EQ(QuoteAttributeText(GetParam().text), GetParam().quoted);
  EXPECT_EQ(UnquoteAttributeText(GetParam().quoted), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AttributeQuotingTest,
    ::testing::Values(QuoteCase{"Plain", "Returns the total", "\"Returns the total\""},
                      QuoteCase{"Empty", "", "\"\""},
                      QuoteCase{"InnerQuotes", "a \"b\" c", "\"a \"\"b\"\" c\""},
                      QuoteCase{"OnlyAQuote", "\"", "\"\"\"\""}),
    test::RowName());

TEST(AttributeQuotingTest, UnquoteStopsAtTheClosingQuoteAndKeepsUnquotedValues) {
  EXPECT_EQ(UnquoteAttributeText("\"SavedWithClassBuilder6\" ,\"Yes\""), "SavedWithClassBuilder6");
  EXPECT_EQ(UnquoteAttributeText("-1"), "-1");
  EXPECT_EQ(UnquoteAttributeText("\"open"), "open");
}

std::vector<std::string> NamesOf(const AttributeSet& set) {
  std::vector<std::string> names;
  for (const AttributeLine& line : set.lines()) {
    names.push_back(line.member.empty() ? line.name : line.member + "." + line.name);
  }
  return names;
}

TEST(AttributeSetTest, AddsMissingMemberLinesInTheIdesOrder) {
  AttributeSet set;
  set.lines() = {{"Total", "VB_ProcData.VB_Invoke_Property", "\";Misc\"", ProcKind::kGet},
                 {"Total", "VB_MemberFlags", "\"40\"", ProcKind::kGet},
                 {"Other", "VB_UserMemId", "0", ProcKind::kProc}};
  set.Set("Total", "VB_UserMemId", "0", ProcKind::kGet);
  set.SetDescription("Total", "Sum", ProcKind::kGet);
  set.SetHelpContextID("Total", 12, ProcKind::kGet);
  set.SetDescription("Other", "x", ProcKind::kProc);
  set.SetDescription("Fresh", "y", ProcKind::kLet);
  // Under the accessor that holds the member's lines, not the one the caller names.
  set.SetHelpContextID("Fresh", 3, ProcKind::kGet);
  EXPECT_THAT(
      NamesOf(set),
      ElementsAre("Total.VB_Description", "Total.VB_HelpID", "Total.VB_ProcData.VB_Invoke_Property",
                  "Total.VB_UserMemId", "Total.VB_MemberFlags", "Other.VB_Description",
                  "Other.VB_UserMemId", "Fresh.VB_Description", "Fresh.VB_HelpID"));
  EXPECT_EQ(set.Find("fresh", "vb_description")->anchor, ProcKind::kLet);
  EXPECT_EQ(set.Find("fresh", "vb_helpid")->anchor, ProcKind::kLet);
  EXPECT_EQ(set.Find("Total", "VB_Description")->value, "\"Sum\"");
  EXPECT_EQ(set.Find("Total", "VB_HelpID")->value, "12");
}

TEST(AttributeSetTest, AddsComponentLinesAfterTheStandardOnes) {
  AttributeSet set;
  set.lines() = {{"", "VB_Name", "\"Class1\""},
                 {"", "VB_Exposed", "False"},
                 {"", "VB_Ext_KEY", "\"SavedWithClassBuilder6\" ,\"Yes\""}};
  set.SetHelpContextID("", 7, ProcKind::kProc);
  set.SetDescription("", "A class", ProcKind::kProc);
  EXPECT_THAT(NamesOf(set),
              ElementsAre("VB_Name", "VB_Exposed", "VB_Description", "VB_HelpID", "VB_Ext_KEY"));
}

TEST(AttributeSetTest, CountsRealChangesAndDropsEmptyValues) {
  AttributeSet set;
  set.SetDescription("M", "", ProcKind::kProc);
  set.SetHelpContextID("M", 0, ProcKind::kProc);
  EXPECT_EQ(set.Revision(), 0u);
  EXPECT_TRUE(set.lines().empty());

  set.SetDescription("M", "text", ProcKind::kProc);
  set.SetDescription("M", "text", ProcKind::kProc);
  EXPECT_EQ(set.Revision(), 1u);
  set.SetDescription("M", "", ProcKind::kProc);
  EXPECT_EQ(set.Find("M", "VB_Description"), nullptr);
  EXPECT_EQ(set.Revision(), 2u);
}

TEST(AttributeSetTest, RefusesLineBreaksAndReadsBadNumbersAsZero) {
  AttributeSet set;
  EXPECT_THROW(set.SetDescription("M", "two\r\nlines", ProcKind::kProc), HostError);
  EXPECT_TRUE(set.lines().empty());
  set.lines().push_back({"M", "VB_HelpID", "12a"});
  set.lines().push_back({"N", "VB_HelpID", "-1"});
  EXPECT_EQ(set.HelpContextID("M"), 0);
  EXPECT_EQ(set.HelpContextID("N"), -1);
}

TEST(AttributeSetTest, RemoveMemberDropsOnlyThatMember) {
  AttributeSet set;
  set.SetDescription("A", "a", ProcKind::kProc);
  set.SetDescription("B", "b", ProcKind::kProc);
  set.SetHelpContextID("a", 3, ProcKind::kProc);
  set.RemoveMember("A");
  EXPECT_THAT(NamesOf(set), ElementsAre("B.VB_Description"));
}

TEST(ComponentAttributesTest, DescriptionAndHelpIdRoundTripWithQuotes) {
  TestModule module({});
  MemoryComponent& component = module.component();
  EXPECT_EQ(component.Description(), "");
  EXPECT_EQ(component.HelpContextID(), 0);
  const std::uint64_t start = component.Revision();

  component.SetDescription("Says \"hi\"");
  component.SetHelpContextID(2147483647);
  EXPECT_EQ(component.Description(), "Says \"hi\"");
  EXPECT_EQ(component.HelpContextID(), 2147483647);
  EXPECT_EQ(component.Attributes().Find("", "VB_Description")->value, "\"Says \"\"hi\"\"\"");
  EXPECT_EQ(component.Revision(), start + 2);
  EXPECT_EQ(module.code().Attributes().lines().size(), 0u);  // members' set untouched
}

const std::vector<std::string> kClassCode = {"Private mTotal As Long",
                                             "Public WithEvents Source As Timer",
                                             "Public Event Changed()",
                                             "",
                                             "Public Property Let Total(ByVal v As Long)",
                                             "  mTotal = v",
                                             "End Property",
                                             "",
                                             "Public Property Get Total() As Long",
                                             "  Total = mTotal",
                                             "End Property",
                                             "",
                                             "Public Function Sum(a As Long, _",
                                             "                    b As Long) As Long",
                                             "End Function"};

TEST(MemberAttributesTest, GoThroughTheModulesSetAnchoredToTheFirstAccessor) {
  TestModule module(kClassCode, ComponentType::kClassModule);
  MemoryCodeModule& code = module.code();
  const std::uint64_t start = code.Revision();
  Member& total = code.Members().Item("Total");
  total.SetDescription("The \"total\"");
  total.SetHelpContextID(40);
  EXPECT_EQ(total.Description(), "The \"total\"");
  EXPECT_EQ(total.HelpContextID(), 40);
  const AttributeLine* line = code.Attributes().Find("Total", "VB_Description");
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->anchor, ProcKind::kLet);
  EXPECT_EQ(code.Revision(), start + 2);

  code.Members().Item("Source").SetHelpContextID(-1);
  code.Members().Item("Changed").SetDescription("Raised after a change");
  EXPECT_NE(code.Attributes().Find("Source", "VB_VarHelpID"), nullptr);
  EXPECT_EQ(code.Attributes().Find("Source", "VB_HelpID"), nullptr);
  EXPECT_EQ(code.Members().Item("Changed").Description(), "Raised after a change");
  EXPECT_EQ(module.component().Description(), "");
}

TEST(MemberAttributesTest, PlacementFollowsDeclarationsAndSkipsVanishedMembers) {
  TestModule module(kClassCode, ComponentType::kClassModule);
  MemoryCodeModule& code = module.code();
  code.Attributes().lines() = {{"Sum", "VB_Description", "\"adds\"", ProcKind::kProc},
                               {"Total", "VB_UserMemId", "0", ProcKind::kGet},
                               {"Total", "VB_Description", "\"t\"", ProcKind::kLet},
                               {"Source", "VB_VarHelpID", "-1", ProcKind::kProc},
                               {"Gone", "VB_Description", "\"old\"", ProcKind::kProc},
                               {"Total", "VB_HelpID", "3", ProcKind::kSet}};
  std::vector<std::string> placed;
  for (const auto& entry : code.AttributePlacement()) {
    placed.push_back(std::to_string(entry.after_line) + " " + entry.attribute->member + "." +
                     entry.attribute->name);
  }
  // Total has no Set: its help ID goes under its first accessor, the Let.
  EXPECT_THAT(placed,
              ElementsAre("2 Source.VB_VarHelpID", "5 Total.VB_Description", "5 Total.VB_HelpID",
                          "9 Total.VB_UserMemId", "14 Sum.VB_Description"));

  code.DeleteLines(13, 3);  // Sum goes; its line stays but is no longer placed
  EXPECT_EQ(code.AttributePlacement().size(), 4u);
  EXPECT_NE(code.Attributes().Find("Sum", "VB_Description"), nullptr);
}

TEST(MemberAttributesTest, AVanishedMemberRefusesItsAttributes) {
  TestModule module({"Sub A()", "End Sub"});
  Member& a = module.code().Members().Item("A");
  module.code().DeleteLines(1, 2);
  EXPECT_THROW(a.SetDescription("x"), HostError);
  EXPECT_THROW((void)a.HelpContextID(), HostError);
  EXPECT_TRUE(module.code().Attributes().lines().empty());
}

}  // namespace
}  // namespace marquill::host
