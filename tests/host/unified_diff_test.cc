#include "host/text/unified_diff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "host/support/named_rows.h"

namespace marquill::host {
namespace {

struct DiffCase {
  const char* name;
  const char* before;
  const char* after;
  const char* expected;  // with labels "a" and "b"
};

class UnifiedDiffTest : public testing::TestWithParam<DiffCase> {};

TEST_P(UnifiedDiffTest, PrintsHunks) {
  EXPECT_EQ(UnifiedDiff(GetParam().before, GetParam().after, "a", "b"), GetParam().expected);
}

// Expected texts agree with GNU `diff -u` on the same inputs.
const DiffCase kDiffCases[] = {
    {"EqualTextsGiveNothing", "x\ny\n", "x\ny\n", ""},
    {"OneLineChanged", "1\n2\n3\n4\n5\n6\n7\n8\n9\n", "1\n2\n3\n4\nfive\n6\n7\n8\n9\n",
     "--- a\n+++ b\n@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n"},
    {"InsertAtStart", "a\nb\n", "new\na\nb\n", "--- a\n+++ b\n@@ -1,2 +1,3 @@\n+new\n a\n b\n"},
    {"AppendAtEnd", "a\nb\n", "a\nb\nc\n", "--- a\n+++ b\n@@ -1,2 +1,3 @@\n a\n b\n+c\n"},
    {"FromEmpty", "", "a\nb\n", "--- a\n+++ b\n@@ -0,0 +1,2 @@\n+a\n+b\n"},
    {"ToEmpty", "a\nb\n", "", "--- a\n+++ b\n@@ -1,2 +0,0 @@\n-a\n-b\n"},
    {"SingleLineRange", "a\n", "b\n", "--- a\n+++ b\n@@ -1 +1 @@\n-a\n+b\n"},
    {"MissingFinalBreakMarked", "a\nb", "a\nc",
     "--- a\n+++ b\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+c\n"
     "\\ No newline at end of file\n"},
    {"AddingFinalBreakIsAChange", "a\nb", "a\nb\n",
     "--- a\n+++ b\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+b\n"},
    {"LineEndingChangeIsAChange", "a\r\nb\r\n", "a\r\nb\n",
     "--- a\n+++ b\n@@ -1,2 +1,2 @@\n a\r\n-b\r\n+b\n"},
    {"FarChangesMakeTwoHunks", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n",
     "X\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\nY\n",
     "--- a\n+++ b\n@@ -1,4 +1,4 @@\n-1\n+X\n 2\n 3\n 4\n@@ -9,4 +9,4 @@\n 9\n 10\n 11\n-12\n+Y\n"},
    {"NearChangesShareAHunk", "1\n2\n3\n4\n5\n6\n7\n8\n", "X\n2\n3\n4\n5\n6\n7\nY\n",
     "--- a\n+++ b\n@@ -1,8 +1,8 @@\n-1\n+X\n 2\n 3\n 4\n 5\n 6\n 7\n-8\n+Y\n"},
    {"PureDeletionInMiddle", "1\n2\n3\n4\n5\n6\n7\n8\n9\n", "1\n2\n3\n4\n6\n7\n8\n9\n",
     "--- a\n+++ b\n@@ -2,7 +2,6 @@\n 2\n 3\n 4\n-5\n 6\n 7\n 8\n"},
};
INSTANTIATE_TEST_SUITE_P(Rows, UnifiedDiffTest, testing::ValuesIn(kDiffCases),
                         host::test::RowName());

TEST(UnifiedDiffTest, ZeroContextNamesTheLineBeforeAnInsertion) {
  EXPECT_EQ(UnifiedDiff("a\nb\nc\n", "a\nb\nnew\nc\n", "x", "y", 0),
            "--- x\n+++ y\n@@ -2,0 +3 @@\n+new\n");
}

TEST(SplitLinesTest, KeepsBreaksAndALastLineWithoutOne) {
  EXPECT_EQ(SplitLines("a\r\nb\n\nc"), (std::vector<std::string_view>{"a\r\n", "b\n", "\n", "c"}));
  EXPECT_TRUE(SplitLines("").empty());
}

// Applies `script` to `before`, checking it consumes both sides exactly; returns the result.
std::vector<std::string_view> Apply(const std::vector<DiffOp>& script,
                                    const std::vector<std::string_view>& before,
                                    const std::vector<std::string_view>& after) {
  std::vector<std::string_view> out;
  std::size_t i = 0, j = 0;
  for (const DiffOp op : script) {
    if (op == DiffOp::kKeep) {
      EXPECT_LT(i, before.size());
      EXPECT_LT(j, after.size());
      if (i >= before.size() || j >= after.size()) return out;
      EXPECT_EQ(before[i], after[j]) << "kept lines differ at " << i << "/" << j;
      out.push_back(before[i++]);
      ++j;
    } else if (op == DiffOp::kDelete) {
      ++i;
    } else {
      if (j >= after.size()) return out;
      out.push_back(after[j++]);
    }
  }
  EXPECT_EQ(i, before.size());
  return out;
}

std::size_t LongestCommon(const std::vector<std::string_view>& a,
                          const std::vector<std::string_view>& b) {
  std::vector<std::vector<std::size_t>> table(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = a.size(); i-- > 0;) {
    for (std::size_t j = b.size(); j-- > 0;) {
      table[i][j] =
          a[i] == b[j] ? table[i + 1][j + 1] + 1 : std::max(table[i + 1][j], table[i][j + 1]);
    }
  }
  return table[0][0];
}

TEST(DiffLinesTest, RandomScriptsAreValidAndShortest) {
  static const std::string_view kAlphabet[] = {"a\n", "b\n", "c\n", "d\n", "e"};
  std::mt19937 random(20240611);
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::string_view> before, after;
    const int alphabet = 2 + round % 4;  // few symbols: many repeats, the hard case
    for (int n = static_cast<int>(random() % 14); n > 0; --n) {
      before.push_back(kAlphabet[random() % alphabet]);
    }
    for (int n = static_cast<int>(random() % 14); n > 0; --n) {
      after.push_back(kAlphabet[random() % alphabet]);
    }
    const auto script = DiffLines(before, after);
    ASSERT_EQ(Apply(script, before, after), after) << "round " << round;
    std::size_t keeps = 0;
    for (const DiffOp op : script) keeps += op == DiffOp::kKeep;
    ASSERT_EQ(keeps, LongestCommon(before, after)) << "round " << round;
  }
}

TEST(DiffLinesTest, LargeFileWithFewChangesGivesSmallHunks) {
  std::string before, after;
  for (int i = 0; i < 200000; ++i) {
    const std::string line = "    x = x + " + std::to_string(i % 1000) + "\r\n";
    before += line;
    after += (i == 1000 || i == 150000) ? "    ' changed\r\n" : line;
  }
  after += "End Sub\r\n";
  const std::string diff = UnifiedDiff(before, after, "a", "b");
  EXPECT_EQ(std::count(diff.begin(), diff.end(), '\n'), 2 + 2 * (1 + 8) + (1 + 4));
  EXPECT_NE(diff.find("@@ -998,7 +998,7 @@\n"), std::string::npos) << diff;
  EXPECT_NE(diff.find("@@ -199998,3 +199998,4 @@\n"), std::string::npos) << diff;
}

TEST(DiffLinesTest, LargeFilesWithNothingInCommonAreQuick) {
  std::vector<std::string> a_lines, b_lines;
  for (int i = 0; i < 100000; ++i) {
    a_lines.push_back(std::string("a").append(std::to_string(i)).append("\n"));
    b_lines.push_back(std::string("b").append(std::to_string(i)).append("\n"));
  }
  const std::vector<std::string_view> a(a_lines.begin(), a_lines.end());
  const std::vector<std::string_view> b(b_lines.begin(), b_lines.end());
  const auto script = DiffLines(a, b);
  ASSERT_EQ(script.size(), a.size() + b.size());
  EXPECT_EQ(script.front(), DiffOp::kDelete);
  EXPECT_EQ(script.back(), DiffOp::kInsert);
}

}  // namespace
}  // namespace marquill::host
