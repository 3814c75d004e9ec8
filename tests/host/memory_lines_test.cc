// Line semantics of the in-memory code module: reading, inserting, deleting and replacing lines,
// line breaks and line endings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "host/memory/line_store.h"
#include "support/named_rows.h"
#include "support/test_project.h"

namespace marquill::host {
namespace {

using test::CrLf;
using test::LinesOf;
using test::TestModule;
using ::testing::ElementsAre;

TEST(MemoryLinesTest, LinesJoinsWithCrLfAndCountZeroGivesEmpty) {
  TestModule module({"a", "b", "c"});
  EXPECT_EQ(module.code().Lines(2, 2), "b\r\nc");
  EXPECT_EQ(module.code().Lines(1, 3), CrLf({"a", "b", "c"}));
  EXPECT_EQ(module.code().Lines(2, 0), "");
  EXPECT_EQ(module.code().Lines(4, 0), "");
  EXPECT_EQ(module.code().Line(3), "c");
}

struct BadCall {
  const char* name;
  void (*call)(CodeModule&);
};

class MemoryLinesRangeTest : public ::testing::TestWithParam<BadCall> {};

TEST_P(MemoryLinesRangeTest, RefusesLinesOutsideTheModule) {
  TestModule module({"a", "b", "c"});
  EXPECT_THROW(GetParam().call(module.code()), HostError);
  EXPECT_THAT(LinesOf(module.code()), ElementsAre("a", "b", "c"));
}

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, MemoryLinesRangeTest,
    ::testing::Values(BadCall{"ReadPastEnd", [](CodeModule& m) { (void)m.Lines(3, 2); }},
                      BadCall{"ReadLineZero", [](CodeModule& m) { (void)m.Lines(0, 1); }},
                      BadCall{"ReadAfterLast", [](CodeModule& m) { (void)m.Lines(4, 1); }},
                      BadCall{"ReadNegativeCount", [](CodeModule& m) { (void)m.Lines(1, -1); }},
                      BadCall{"InsertTwoPastEnd", [](CodeModule& m) { m.InsertLines(5, "x"); }},
                      BadCall{"InsertAtZero", [](CodeModule& m) { m.InsertLines(0, "x"); }},
                      BadCall{"DeletePastEnd", [](CodeModule& m) { m.DeleteLines(3, 2); }},
                      BadCall{"DeleteAfterLast", [](CodeModule& m) { m.DeleteLines(4, 1); }},
                      BadCall{"DeleteLineZero", [](CodeModule& m) { m.DeleteLines(0, 1); }},
                      BadCall{"DeleteNegativeCount", [](CodeModule& m) { m.DeleteLines(1, -2); }},
                      BadCall{"ReplaceAfterLast", [](CodeModule& m) { m.ReplaceLine(4, "x"); }},
                      BadCall{"ReplaceLineZero", [](CodeModule& m) { m.ReplaceLine(0, "x"); }},
                      BadCall{"DeclarationEndAfterLast",
                              [](CodeModule& m) {
                                (void)static_cast<MemoryCodeModule&>(m).DeclarationEnd(4);
                              }}),
    test::RowName());

TEST(MemoryLinesTest, HugeCountsAreRefusedWithTheRangeAsked) {
  TestModule module({"a", "b", "c"});
  constexpr int kHuge = std::numeric_limits<int>::max();
  for (auto call : {+[](CodeModule& m) { (void)m.Lines(2, kHuge); },
                    +[](CodeModule& m) { m.DeleteLines(2, kHuge); }}) {
    try {
      call(module.code());
      ADD_FAILURE() << "a count of " << kHuge << " was taken";
    } catch (const HostError& error) {
      EXPECT_THAT(error.what(), ::testing::HasSubstr("lines 2 to 2147483648 are outside"));
    }
  }
  EXPECT_THAT(LinesOf(module.code()), ElementsAre("a", "b", "c"));
}

struct EditCase {
  const char* name;
  void (*edit)(CodeModule&);
  std::vector<std::string> expected;
};

class MemoryLinesEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(MemoryLinesEditTest, GivesTheExpectedLines) {
  TestModule module({"one", "two", "three"});
  GetParam().edit(module.code());
  EXPECT_EQ(LinesOf(module.code()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, MemoryLinesEditTest,
    ::testing::Values(
        EditCase{"InsertBeforeFirst",
                 [](CodeModule& m) { m.InsertLines(1, "zero"); },
                 {"zero", "one", "two", "three"}},
        EditCase{"InsertAppends",
                 [](CodeModule& m) { m.InsertLines(4, "four"); },
                 {"one", "two", "three", "four"}},
        EditCase{"InsertSplitsAtCrLf",
                 [](CodeModule& m) { m.InsertLines(2, "a\r\nb"); },
                 {"one", "a", "b", "two", "three"}},
        EditCase{"InsertSplitsAtLoneLfAndCr",
                 [](CodeModule& m) { m.InsertLines(2, "a\nb\rc"); },
                 {"one", "a", "b", "c", "two", "three"}},
        EditCase{"InsertTrailingBreakAddsEmptyLine",
                 [](CodeModule& m) { m.InsertLines(2, "a\r\n"); },
                 {"one", "a", "", "two", "three"}},
        EditCase{"InsertEmptyTextAddsEmptyLine",
                 [](CodeModule& m) { m.InsertLines(2, ""); },
                 {"one", "", "two", "three"}},
        EditCase{"DeleteMiddle", [](CodeModule& m) { m.DeleteLines(2); }, {"one", "three"}},
        EditCase{"DeleteToEnd", [](CodeModule& m) { m.DeleteLines(2, 2); }, {"one"}},
        EditCase{"DeleteAll", [](CodeModule& m) { m.DeleteLines(1, 3); }, {}},
        EditCase{
            "DeleteNothing", [](CodeModule& m) { m.DeleteLines(2, 0); }, {"one", "two", "three"}},
        EditCase{
            "ReplaceOne", [](CodeModule& m) { m.ReplaceLine(2, "TWO"); }, {"one", "TWO", "three"}},
        EditCase{"ReplaceWithSeveral",
                 [](CodeModule& m) { m.ReplaceLine(2, "2a\r\n2b\n2c"); },
                 {"one", "2a", "2b", "2c", "three"}},
        EditCase{
            "ReplaceWithEmpty", [](CodeModule& m) { m.ReplaceLine(3, ""); }, {"one", "two", ""}},
        EditCase{"LaterLinesShiftAtOnce",
                 [](CodeModule& m) {
                   m.InsertLines(1, "x\r\ny");
                   m.ReplaceLine(5, m.Line(5) + "!");
                   m.DeleteLines(1);
                 },
                 {"y", "one", "two", "three!"}}),
    test::RowName());

TEST(MemoryLinesTest, EmptyModuleTakesAnInsertAtLineOne) {
  TestModule module({});
  EXPECT_EQ(module.code().CountOfLines(), 0);
  EXPECT_EQ(module.code().Lines(1, 0), "");
  module.code().DeleteLines(1, 0);
  EXPECT_THROW(module.code().ReplaceLine(1, "x"), HostError);
  module.code().InsertLines(1, "x");
  EXPECT_THAT(LinesOf(module.code()), ElementsAre("x"));
}

std::vector<Eol> EolsOf(const MemoryCodeModule& module) {
  std::vector<Eol> eols;
  for (const SourceLine& line : module.AllLines()) eols.push_back(line.eol);
  return eols;
}

TEST(MemoryLinesTest, NewLinesTakeTheModulesEndingAndReplacedLinesKeepTheirOwn) {
  TestModule module({});
  MemoryComponent& component = module.component();
  MemoryCodeModule& code = component.SetCode({{"a", Eol::kCrLf}, {"b", Eol::kCr}}, Eol::kLf);
  EXPECT_EQ(code.NewLineEol(), Eol::kLf);
  code.ReplaceLine(2, "b1\r\nb2");
  code.InsertLines(1, "z");
  EXPECT_THAT(LinesOf(code), ElementsAre("z", "a", "b1", "b2"));
  EXPECT_THAT(EolsOf(code), ElementsAre(Eol::kLf, Eol::kCrLf, Eol::kCr, Eol::kLf));
}

TEST(MemoryLinesTest, OnlyTheLastLineLacksABreakThroughEditsAtTheEnd) {
  TestModule module({});
  MemoryCodeModule& code = module.component().SetCodeText("a\r\nb");
  ASSERT_THAT(EolsOf(code), ElementsAre(Eol::kCrLf, Eol::kNone));

  code.InsertLines(3, "c");
  EXPECT_THAT(EolsOf(code), ElementsAre(Eol::kCrLf, Eol::kCrLf, Eol::kNone));

  code.ReplaceLine(3, "c1\r\nc2");
  EXPECT_THAT(EolsOf(code), ElementsAre(Eol::kCrLf, Eol::kCrLf, Eol::kCrLf, Eol::kNone));

  code.DeleteLines(3, 2);
  EXPECT_THAT(LinesOf(code), ElementsAre("a", "b"));
  EXPECT_THAT(EolsOf(code), ElementsAre(Eol::kCrLf, Eol::kNone));
}

TEST(MemoryLinesTest, RevisionCountsRealEditsOnly) {
  TestModule module({"a", "b"});
  MemoryCodeModule& code = module.code();
  const std::uint64_t start = code.Revision();
  code.ReplaceLine(1, "a");
  code.DeleteLines(1, 0);
  EXPECT_EQ(code.Revision(), start);
  code.ReplaceLine(1, "A");
  code.InsertLines(1, "x\r\ny");
  code.DeleteLines(1, 2);
  EXPECT_EQ(code.Revision(), start + 3);
}

TEST(MemoryLinesTest, DeclarationEndFollowsContinuations) {
  TestModule module(
      {"Sub A(x As Long, _", "      y As Long, _", "      z As Long)", "End Sub", "' trailing _"});
  EXPECT_EQ(module.code().DeclarationEnd(1), 3);
  EXPECT_EQ(module.code().DeclarationEnd(2), 3);
  EXPECT_EQ(module.code().DeclarationEnd(4), 4);
  EXPECT_EQ(module.code().DeclarationEnd(5), 5);  // a mark on the last line continues nowhere
}

TEST(MemoryLinesTest, LineAtGivesTheEndingAndChecksTheRange) {
  TestModule module({});
  MemoryCodeModule& code = module.component().SetCodeText("a\nb\r\n");
  EXPECT_EQ(code.LineAt(1), (SourceLine{"a", Eol::kLf}));
  EXPECT_EQ(code.LineAt(2), (SourceLine{"b", Eol::kCrLf}));
  EXPECT_THROW(code.LineAt(3), HostError);
  EXPECT_EQ(code.NewLineEol(), Eol::kLf);
}

TEST(SplitSourceTextTest, KeepsEachBreakAndAddsNoEmptyLastLine) {
  EXPECT_THAT(SplitSourceText("a\r\nb\nc\rd"),
              ElementsAre(SourceLine{"a", Eol::kCrLf}, SourceLine{"b", Eol::kLf},
                          SourceLine{"c", Eol::kCr}, SourceLine{"d", Eol::kNone}));
  EXPECT_THAT(SplitSourceText("a\r\n\r\n"),
              ElementsAre(SourceLine{"a", Eol::kCrLf}, SourceLine{"", Eol::kCrLf}));
  EXPECT_TRUE(SplitSourceText("").empty());
}

// The gap buffer against a plain vector, through random edits at random places.
TEST(LineStoreTest, MatchesAVectorThroughRandomEdits) {
  std::mt19937 random(7);
  LineStore store;
  std::vector<SourceLine> model;
  int next = 0;
  for (int step = 0; step < 3000; ++step) {
    const std::size_t at = random() % (model.size() + 1);
    if (random() % 3 != 0 || model.empty()) {
      std::vector<SourceLine> added;
      for (unsigned k = random() % 4; k > 0; --k) added.push_back({std::to_string(next++)});
      model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
      store.Insert(at, added);
    } else {
      const std::size_t index = at == model.size() ? at - 1 : at;
      const std::size_t count = std::min<std::size_t>(1 + random() % 3, model.size() - index);
      model.erase(model.begin() + static_cast<std::ptrdiff_t>(index),
                  model.begin() + static_cast<std::ptrdiff_t>(index + count));
      store.Erase(index, count);
    }
    ASSERT_EQ(store.size(), model.size());
    const std::size_t probe = model.empty() ? 0 : random() % model.size();
    if (!model.empty()) {
      ASSERT_EQ(store[probe], model[probe]) << "step " << step;
    }
  }
  EXPECT_EQ(store.ToVector(), model);
}

}  // namespace
}  // namespace marquill::host
