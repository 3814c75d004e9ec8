#include "shell/window/member_pickers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "addin_fixture.h"
#include "host/support/named_rows.h"
#include "shell/window/frm_utility.h"

namespace marquill::shell {
namespace {

using host::ComponentType;
using host::MemberType;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;

const std::vector<std::string> kClass = {"Option Explicit",
                                         "Public Event Changed()",
                                         "Public Total As Long",
                                         "Private Const Limit = 10",
                                         "Public Property Get Count() As Long",
                                         "End Property",
                                         "Public Property Let Count(ByVal v As Long)",
                                         "End Property",
                                         "Public Sub Reset()",
                                         "End Sub"};

class MemberPickersTest : public testing_util::AddinFixture {
 protected:
  MemberPickersTest()
      : AddinFixture({{"modA", ComponentType::kStdModule, {"Sub A()", "End Sub"}},
                      {"pagP", ComponentType::kPropPage, {}},
                      {"clsB", ComponentType::kClassModule, kClass},
                      {"desD", ComponentType::kActiveXDesigner, {}},
                      {"frmC", ComponentType::kVBForm, {}}}) {}

  host::MemoryComponent& Component(const std::string& name) {
    return Project().ComponentNamed(name);
  }
  host::Member& Member(const std::string& name) {
    return Component("clsB").Code()->Members().Item(name);
  }
  void PickComponent(frmUtility& window, const std::string& name) {
    window.cmbComponents.Choose(window.cmbComponents.Find(name));
  }
  void PickMember(frmUtility& window, const std::string& name) {
    window.cmbMembers.Choose(window.cmbMembers.Find(name));
  }
  std::vector<std::pair<std::string, int>> Entries(const ListControl& list) {
    std::vector<std::pair<std::string, int>> entries;
    for (int i = 0; i < list.ListCount(); ++i) entries.emplace_back(list.List(i), list.ItemData(i));
    return entries;
  }
};

TEST_F(MemberPickersTest, ListsCodeComponentsAndEveryMemberWithItsType) {
  frmUtility& window = OpenWindow();
  EXPECT_THAT(Entries(window.cmbComponents),
              ElementsAre(Pair("modA", 1), Pair("clsB", 2), Pair("frmC", 5)));
  EXPECT_FALSE(window.cmdExportHTML.Enabled());
  PickComponent(window, "clsB");
  EXPECT_THAT(Entries(window.cmbMembers),
              ElementsAre(Pair("Changed", 4), Pair("Total", 3), Pair("Limit", 5), Pair("Count", 2),
                          Pair("Reset", 1)));
  EXPECT_EQ(window.cmbMembers.ListIndex(), -1);
  EXPECT_EQ(window.txtDesc.Text(), "");
  EXPECT_EQ(window.txtHelpCtxID.Text(), "0");
  EXPECT_TRUE(window.cmdExportHTML.Enabled());
  // Picking another component starts its member list afresh.
  PickComponent(window, "modA");
  EXPECT_THAT(Entries(window.cmbMembers), ElementsAre(Pair("A", 1)));
}

TEST_F(MemberPickersTest, PicksShowTheHostsValuesAndWriteNothingBack) {
  Component("clsB").SetDescription("Counts");
  Component("clsB").SetHelpContextID(7);
  Member("Count").SetDescription("The count");
  Member("Count").SetHelpContextID(-1);
  const std::uint64_t component_revision = Component("clsB").Revision();
  const std::uint64_t code_revision = Component("clsB").Code()->Revision();
  frmUtility& window = OpenWindow();
  PickComponent(window, "clsB");
  EXPECT_EQ(window.txtDesc.Text(), "Counts");
  EXPECT_EQ(window.txtHelpCtxID.Text(), "7");
  PickMember(window, "Count");
  EXPECT_EQ(window.txtDesc.Text(), "The count");
  EXPECT_EQ(window.txtHelpCtxID.Text(), "-1");
  EXPECT_EQ(Component("clsB").Revision(), component_revision);
  EXPECT_EQ(Component("clsB").Code()->Revision(), code_revision);
}

// Typing into the two fields, after picking the component and possibly a member.
struct EditCase {
  const char* name;
  const char* member;  // "" for the component
  std::vector<std::string> descriptions;
  std::vector<std::string> help_ids;
  std::string description;  // what the host holds afterwards
  std::int32_t help_id;
};

class AttributeEditTest : public MemberPickersTest,
                          public ::testing::WithParamInterface<EditCase> {};

TEST_P(AttributeEditTest, ReachesTheHost) {
  const EditCase& c = GetParam();
  frmUtility& window = OpenWindow();
  PickComponent(window, "clsB");
  if (*c.member != '\0') PickMember(window, c.member);
  for (const std::string& text : c.descriptions) window.txtDesc.SetText(text);
  for (const std::string& text : c.help_ids) window.txtHelpCtxID.SetText(text);

  const bool on_member = *c.member != '\0';
  const host::Component& component = Component("clsB");
  EXPECT_EQ(on_member ? Member(c.member).Description() : component.Description(), c.description);
  EXPECT_EQ(on_member ? Member(c.member).HelpContextID() : component.HelpContextID(), c.help_id);
  if (on_member) {
    EXPECT_EQ(component.Description(), "");
    EXPECT_EQ(component.HelpContextID(), 0);
  }
  // The field keeps what was typed, even when it is no number.
  if (!c.help_ids.empty()) {
    EXPECT_EQ(window.txtHelpCtxID.Text(), c.help_ids.back());
  }
  EXPECT_THAT(platform_.Calls(), IsEmpty());
}

const EditCase kEditCases[] = {
    {"DescriptionReachesTheComponent", "", {"C", "Co"}, {}, "Co", 0},
    {"AfterAMemberPickEditsReachTheMember", "Count", {"The count"}, {"12"}, "The count", 12},
    {"VariableMemberTakesAttributes", "Total", {"Sum"}, {"3"}, "Sum", 3},
    {"LetterAfterNumberKeepsTheNumber", "", {}, {"1", "12", "12a"}, "", 12},
    {"ClearedFieldKeepsTheNumber", "Reset", {}, {"5", ""}, "", 5},
    {"HalfRoundsDownToEven", "", {}, {"2.5"}, "", 2},
    {"HalfRoundsUpToEven", "", {}, {"3.5"}, "", 4},
    {"BlanksAroundANumberAreAllowed", "", {}, {" 42 "}, "", 42},
    {"LargerThanALongKeepsTheLastNumber", "", {}, {"2147483647", "2147483648"}, "", 2147483647},
    {"EmptyDescriptionClearsIt", "Count", {"x", ""}, {}, "", 0},
    {"LineBreakIsRefusedByTheHost", "", {"one", "one\r\ntwo"}, {}, "one", 0},
};
INSTANTIATE_TEST_SUITE_P(Edits, AttributeEditTest, ::testing::ValuesIn(kEditCases),
                         host::test::RowName());

// A host failure while picking shows in a box titled "Error" and ends the pick there.
TEST_F(MemberPickersTest, PickFailuresShowInAnErrorBox) {
  frmUtility& window = OpenWindow();
  PickComponent(window, "clsB");
  // The member's declaration is gone from the code: it can no longer be read.
  host::CodeModule& code = *Component("clsB").Code();
  code.DeleteLines(9, 2);
  PickMember(window, "Reset");
  Project().RemoveComponent("modA");
  PickComponent(window, "modA");
  EXPECT_THAT(MsgBoxes(),
              ElementsAre(::testing::StartsWith("Error: "), ::testing::StartsWith("Error: ")));
  EXPECT_EQ(window.cmbMembers.ListCount(), 0);
}

}  // namespace
}  // namespace marquill::shell
