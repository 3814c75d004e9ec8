#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/memory/memory_host.h"
#include "host/scope/command_scope.h"
#include "host/support/named_rows.h"

namespace marquill::host {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Visit {
  std::string component;
  int first = 0;
  int last = 0;
  int number = -1;
  friend bool operator==(const Visit&, const Visit&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Visit& v) {
    return os << v.component << " " << v.first << ".." << v.last << " #" << v.number;
  }
};

std::vector<SourceLine> NumberedLines(int count) {
  std::vector<SourceLine> lines;
  for (int i = 1; i <= count; ++i) lines.push_back({"line " + std::to_string(i), Eol::kCrLf});
  return lines;
}

class ScopeTest : public ::testing::Test {
 protected:
  ScopeTest() {
    project_ = &vbe_.AddProject(std::make_unique<MemoryProject>("Project1"));
    vbe_.SetActiveProject(project_);
  }

  MemoryCodeModule& Add(const std::string& name, ComponentType type, int lines) {
    return project_->AddComponent(name, type).SetCode(NumberedLines(lines));
  }

  LineProcedure Recorder() {
    return [this](CodeModule& module, int first, int last) {
      visits_.push_back({module.Parent().Name(), first, last});
    };
  }

  NumberedLineProcedure NumberRecorder() {
    return [this](CodeModule& module, int first, int last, int number) {
      visits_.push_back({module.Parent().Name(), first, last, number});
    };
  }

  MemoryVbe vbe_;
  MemoryProject* project_ = nullptr;
  std::vector<Visit> visits_;
};

TEST_F(ScopeTest, AllProjectVisitsOnlyCodeComponentTypesInProjectOrder) {
  for (int type = 1; type <= 11; ++type) {
    Add("C" + std::to_string(type), static_cast<ComponentType>(type), type);
  }
  RunLineProcedure(vbe_, Scope::kAllProject, Recorder());
  EXPECT_THAT(visits_, ElementsAre(Visit{"C1", 1, 1}, Visit{"C2", 1, 2}, Visit{"C5", 1, 5},
                                   Visit{"C6", 1, 6}, Visit{"C8", 1, 8}));
}

TEST_F(ScopeTest, AllProjectReadsEachLineCountWhenItsTurnComes) {
  Add("A", ComponentType::kStdModule, 3);
  MemoryCodeModule& b = Add("B", ComponentType::kClassModule, 2);
  RunLineProcedure(vbe_, Scope::kAllProject, [&](CodeModule& module, int first, int last) {
    visits_.push_back({module.Parent().Name(), first, last});
    if (&module != &b) b.InsertLines(1, "new");
  });
  EXPECT_THAT(visits_, ElementsAre(Visit{"A", 1, 3}, Visit{"B", 1, 3}));
}

TEST_F(ScopeTest, EmptyModuleGetsAnEmptyRange) {
  Add("Empty", ComponentType::kStdModule, 0);
  RunLineProcedure(vbe_, Scope::kAllProject, Recorder());
  EXPECT_THAT(visits_, ElementsAre(Visit{"Empty", 1, 0}));
}

TEST_F(ScopeTest, WithoutAnActiveProjectNothingHappens) {
  Add("A", ComponentType::kStdModule, 3);
  vbe_.SetActiveProject(nullptr);
  RunLineProcedure(vbe_, Scope::kAllProject, Recorder());
  EXPECT_THAT(visits_, IsEmpty());
}

TEST_F(ScopeTest, CurrentModuleIsTheActivePanesWholeModule) {
  Add("A", ComponentType::kStdModule, 3);
  vbe_.ShowCode(Add("B", ComponentType::kStdModule, 7), {2, 1, 4, 1});
  RunLineProcedure(vbe_, Scope::kCurrentModule, Recorder());
  EXPECT_THAT(visits_, ElementsAre(Visit{"B", 1, 7}));
}

TEST_F(ScopeTest, SelectedTextTakesWholeLinesWhateverTheColumns) {
  vbe_.ShowCode(Add("A", ComponentType::kStdModule, 20), {10, 5, 12, 1});
  RunLineProcedure(vbe_, Scope::kSelectedText, Recorder());
  EXPECT_THAT(visits_, ElementsAre(Visit{"A", 10, 12}));
}

TEST_F(ScopeTest, PaneScopesWithoutACodePaneDoNothing) {
  vbe_.ShowCode(Add("A", ComponentType::kStdModule, 3));
  vbe_.ClearActiveCodePane();
  RunLineProcedure(vbe_, Scope::kCurrentModule, Recorder());
  RunLineProcedure(vbe_, Scope::kSelectedText, Recorder());
  EXPECT_THAT(visits_, IsEmpty());
}

// A failing procedure keeps what it changed, and the walk goes on with the next module.
TEST_F(ScopeTest, AFailureEndsOnlyThatProcedure) {
  MemoryCodeModule& a = Add("A", ComponentType::kStdModule, 2);
  MemoryCodeModule& b = Add("B", ComponentType::kStdModule, 2);
  MemoryCodeModule& c = Add("C", ComponentType::kStdModule, 2);
  RunLineProcedure(vbe_, Scope::kAllProject, [](CodeModule& module, int first, int last) {
    for (int i = first; i <= last + 1; ++i) module.ReplaceLine(i, "done");  // fails past the end
  });
  for (MemoryCodeModule* module : {&a, &b, &c}) {
    EXPECT_EQ(module->Lines(1, 2), "done\r\ndone");
  }
}

TEST_F(ScopeTest, NumberIsRoundedHalvesToEvenAndReadForEachModule) {
  Add("A", ComponentType::kStdModule, 1);
  Add("B", ComponentType::kStdModule, 1);
  Add("C", ComponentType::kStdModule, 1);
  const std::vector<std::string> texts = {"2.5", "3.5", "0.4"};
  size_t reads = 0;
  RunLineProcedure(
      vbe_, Scope::kAllProject, [&] { return texts.at(reads++); }, NumberRecorder());
  EXPECT_THAT(visits_, ElementsAre(Visit{"A", 1, 1, 2}, Visit{"B", 1, 1, 4}, Visit{"C", 1, 1, 0}));
}

TEST_F(ScopeTest, NumberThatDoesNotConvertSkipsTheModule) {
  Add("A", ComponentType::kStdModule, 1);
  Add("B", ComponentType::kStdModule, 1);
  const std::vector<std::string> texts = {"1E+12", "6"};
  size_t reads = 0;
  RunLineProcedure(
      vbe_, Scope::kAllProject, [&] { return texts.at(reads++); }, NumberRecorder());
  EXPECT_THAT(visits_, ElementsAre(Visit{"B", 1, 1, 6}));
}

struct EntryCase {
  const char* name;
  const char* text;
  bool passes;
};

class EntryTestTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(EntryTestTest, ReadsTheFieldAsARealNumber) {
  EXPECT_EQ(NumberFieldPasses(GetParam().text), GetParam().passes);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EntryTestTest,
    ::testing::Values(EntryCase{"Zero", "0", false}, EntryCase{"BelowOneHalf", "0.4", true},
                      EntryCase{"Default", "80", true}, EntryCase{"Negative", "-1", false},
                      EntryCase{"Empty", "", false}, EntryCase{"NotANumber", "abc", false}),
    host::test::RowName());

}  // namespace
}  // namespace marquill::host
