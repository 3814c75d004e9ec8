#include "docs/member_attributes.h"

#include <gtest/gtest.h>

#include "host/support/test_project.h"

namespace marquill::docs {
namespace {

TEST(MemberLookupTest, NamesThatAreNotThereAreHostFailures) {
  auto project = host::test::MakeProject(
      {{"modA", host::ComponentType::kStdModule, {"Public Total As Long", "Sub A()", "End Sub"}},
       {"Res", host::ComponentType::kResFile, {}}});
  host::Component& module = ComponentNamed(*project, "modA");
  EXPECT_EQ(MemberNamed(module, "A").Type(), host::MemberType::kMethod);
  EXPECT_EQ(ListMembers(*module.CodeModule()),
            (std::vector<MemberEntry>{{"Total", host::MemberType::kVariable},
                                      {"A", host::MemberType::kMethod}}));
  EXPECT_THROW(ComponentNamed(*project, "modB"), host::HostError);
  EXPECT_THROW(MemberNamed(module, "B"), host::HostError);
  EXPECT_THROW(MemberNamed(ComponentNamed(*project, "Res"), "A"), host::HostError);
}

}  // namespace
}  // namespace marquill::docs
