#include "docs/member_attributes.h"

#include <gtest/gtest.h>

#include <optional>

#include "host/support/named_rows.h"
#include "host/support/test_project.h"
#include "host/text/vb_text.h"

namespace marquill::docs {
namespace {

struct IdCase {
  const char* name;
  const char* text;
  std::optional<std::int32_t> id;  // nothing: the text is no Long
};

class HelpContextIdTest : public ::testing::TestWithParam<IdCase> {};

TEST_P(HelpContextIdTest, ReadsTheWholeText) {
  const IdCase& c = GetParam();
  if (c.id) {
    EXPECT_EQ(HelpContextIdOf(c.text), *c.id);
    EXPECT_EQ(HelpContextIdOf(HelpContextIdText(*c.id)), *c.id) << "the shown text reads back";
  } else {
    EXPECT_THROW(HelpContextIdOf(c.text), host::ConversionError);
  }
}

const IdCase kIdCases[] = {
    {"Whole", "1010", 1010},
    {"Negative", "-1", -1},
    {"BlanksAround", "  12 ", 12},
    {"HalfDownToEven", "2.5", 2},
    {"HalfUpToEven", "3.5", 4},
    {"LargestLong", "2147483647", 2147483647},
    {"SmallestLong", "-2147483648", -2147483647 - 1},
    {"Empty", "", std::nullopt},
    {"TrailingLetter", "12a", std::nullopt},
    {"PastTheLargestLong", "2147483648", std::nullopt},
    {"NotANumber", "help", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Texts, HelpContextIdTest, ::testing::ValuesIn(kIdCases),
                         host::test::RowName());

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
