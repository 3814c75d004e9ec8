// Properties of "Split line at most" over many generated modules and the sample project: a second
// run changes nothing, joining the pieces gives back the tokens, and no piece is junk.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "host/memory/memory_host.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/vb_project.h"
#include "transform/code_text.h"
#include "transform/split_join.h"
#include "transform/line_test_util.h"

namespace marquill::transform {
namespace {

using testing::Lines;

// Code that a split may cut anywhere it likes: names, numbers with decimal points, member
// access, calls, literals holding spaces, points, parentheses, quotes and apostrophes, operators
// of both kinds, comments, runs of blanks, and statements already continued.
class ModuleGenerator {
 public:
  explicit ModuleGenerator(unsigned seed) : random_(seed) {}

  Lines Module() {
    Lines lines;
    const int statements = Pick(1, 8);
    for (int s = 0; s < statements; ++s) {
      const std::string indent(static_cast<std::size_t>(Pick(0, 3) * 4), ' ');
      const int pieces = Chance(20) ? Pick(2, 4) : 1;
      for (int p = 0; p < pieces; ++p) {
        std::string line = indent + Expression(Chance(5) ? Pick(20, 45) : Pick(1, 9));
        if (p + 1 < pieces) {
          line += Chance(50) ? " & _" : " _";
        } else if (Chance(30)) {
          line += Blanks() + "' " + Comment();
        }
        lines.push_back(line);
      }
    }
    return lines;
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool Chance(int percent) { return Pick(1, 100) <= percent; }
  template <class T>
  const T& OneOf(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Pick(0, static_cast<int>(items.size()) - 1))];
  }

  std::string Blanks() { return std::string(static_cast<std::size_t>(Chance(80) ? 1 : Pick(2, 4)), ' '); }

  std::string Word() {
    static const std::vector<std::string> words = {
        "Total", "x", "obj.Item(1)", "Me.Caption", "rs!Name", "a1", "Len(s)", "1.0625", ".5",
        "12.", "3", "Format$(n, \"0.00\")", "Nothing", "i", "Call", "Fee", "Array(1, 2)"};
    return OneOf(words);
  }

  std::string Literal() {
    static const std::vector<std::string> parts = {"aaaa", "v1.5", "(x)", "it's", "\"\"", " ",
                                                   "  ", "end.", "b c d", "'"};
    std::string text = "\"";
    const int n = Pick(0, 6);
    for (int i = 0; i < n; ++i) text += OneOf(parts);
    return text + "\"";
  }

  std::string Operand() { return Chance(30) ? Literal() : Word(); }

  std::string Expression(int operands) {
    static const std::vector<std::string> operators = {"&", "+", "-", "*", "=", "<>", ",",
                                                       "And", "Or", "Mod"};
    std::string text = Word() + " = " + Operand();
    for (int i = 1; i < operands; ++i) text += Blanks() + OneOf(operators) + Blanks() + Operand();
    return text;
  }

  std::string Comment() {
    static const std::vector<std::string> words = {"note", "see", "obj.Item", "(1)", "it's",
                                                   "\"q\"", "a.b.c", "x"};
    std::string text;
    const int n = Pick(1, 10);
    for (int i = 0; i < n; ++i) text += (i ? Blanks() : "") + OneOf(words);
    return text;
  }

  std::mt19937 random_;
};

// What the compiler reads, without the layout: code tokens (names and numbers as words, every
// other character alone, literals whole, with literals joined by & merged into one), then the
// non-blank characters of comments. Line breaks, blanks and continuation marks do not count, nor
// does the apostrophe that opens a comment line.
std::vector<std::string> Tokens(const Lines& lines) {
  std::vector<std::string> tokens;
  auto push_literal = [&tokens](std::string text) {
    const std::size_t n = tokens.size();
    if (n >= 2 && tokens[n - 1] == "&" && tokens[n - 2].starts_with('"')) {
      tokens.pop_back();
      tokens.back() += text;
    } else {
      tokens.push_back("\"" + text);
    }
  };
  for (const std::string& full : lines) {
    std::string_view line = full;
    if (host::EndsWithContinuation(line)) line.remove_suffix(2);
    for (std::size_t i = 0; i < line.size();) {
      const char c = line[i];
      if (c == ' ' || c == '\t') {
        ++i;
      } else if (c == '\'') {
        for (++i; i < line.size(); ++i) {
          if (line[i] != ' ' && line[i] != '\'') tokens.push_back(std::string(1, line[i]));
        }
      } else if (c == '"') {
        std::string text;
        for (++i; i < line.size(); ++i) {
          if (line[i] != '"') {
            text += line[i];
          } else if (i + 1 < line.size() && line[i + 1] == '"') {
            text += "\"\"";
            ++i;
          } else {
            ++i;
            break;
          }
        }
        push_literal(text);
      } else if (IsWordChar(c)) {
        std::size_t end = i;
        while (end < line.size() && IsWordChar(line[end])) ++end;
        tokens.emplace_back(line.substr(i, end - i));
        i = end;
      } else {
        tokens.emplace_back(1, c);
        ++i;
      }
    }
  }
  return tokens;
}

// A piece of nothing but a mark, an operator and a mark, or an empty literal and a mark.
bool IsJunkPiece(std::string_view line) {
  const std::string_view t = host::TrimSpaces(line);
  if (t == "_" || t == "\"\" & _") return true;
  if (!t.ends_with(" _")) return false;
  const std::string_view before = host::TrimSpaces(t.substr(0, t.size() - 1));
  for (std::string_view op : {"&", "+", "-", "*", "=", "<>", ",", "And", "Or", "Mod"}) {
    if (before == op) return true;
  }
  return false;
}

bool IsBlankLine(const std::string& line) { return host::TrimSpaces(line).empty(); }

Lines SplitModule(const Lines& input, int width) {
  host::MemoryProject project("Project1");
  host::MemoryCodeModule& module = testing::MakeModule(project, input, host::Eol::kCrLf);
  SplitLines(module, 1, module.CountOfLines(), width);
  return testing::TextsOf(module);
}

Lines JoinModule(const Lines& input) {
  host::MemoryProject project("Project1");
  host::MemoryCodeModule& module = testing::MakeModule(project, input, host::Eol::kCrLf);
  try {
    JoinLines(module, 1, module.CountOfLines());
  } catch (const host::HostError&) {
    // the walk runs on to the end line fixed before the joins shortened the module
  }
  return testing::TextsOf(module);
}

int ContinuationsInARow(const Lines& lines) {
  int most = 0;
  int run = 0;
  for (const std::string& line : lines) {
    run = host::EndsWithContinuation(line) ? run + 1 : 0;
    most = std::max(most, run);
  }
  return most;
}

// Checks every property on one module at one width; returns false after the first failure.
bool HoldsFor(const Lines& input, int width) {
  const Lines once = SplitModule(input, width);
  const Lines twice = SplitModule(once, width);
  EXPECT_EQ(twice, once) << "a second split changed the result";
  EXPECT_EQ(Tokens(JoinModule(once)), Tokens(input)) << "split and join changed the tokens";
  for (const std::string& line : once) EXPECT_FALSE(IsJunkPiece(line)) << "junk piece: " << line;
  EXPECT_EQ(std::count_if(once.begin(), once.end(), IsBlankLine),
            std::count_if(input.begin(), input.end(), IsBlankLine))
      << "a piece is blank";
  EXPECT_LE(ContinuationsInARow(once), std::max(kMaxContinuations, ContinuationsInARow(input)));
  if (::testing::Test::HasFailure()) {
    std::string shown;
    for (const std::string& line : once) shown += "  |" + line + "|\n";
    ADD_FAILURE() << "split:\n" << shown;
  }
  return !::testing::Test::HasFailure();
}

std::string Shown(const Lines& lines, int width) {
  std::string text = "width " + std::to_string(width) + ":\n";
  for (const std::string& line : lines) text += "  |" + line + "|\n";
  return text;
}

TEST(SplitPropertiesTest, GeneratedModules) {
  constexpr int kModules = 3000;
  ModuleGenerator generator(20261207);
  std::mt19937 widths(7);
  for (int m = 0; m < kModules; ++m) {
    const Lines module = generator.Module();
    const int width = std::uniform_int_distribution<int>(4, 90)(widths);
    if (!HoldsFor(module, width)) {
      ADD_FAILURE() << "module " << m << " at " << Shown(module, width);
      return;
    }
  }
}

TEST(SplitPropertiesTest, SampleProject) {
  const std::filesystem::path vbp =
      std::filesystem::path(MARQUILL_SOURCE_DIR) / "samples" / "Marquill.vbp";
  const std::unique_ptr<host::vbfiles::VbProject> project = host::vbfiles::VbProject::Load(vbp);
  int modules = 0;
  for (const host::vbfiles::VbProject::Entry& entry : project->Entries()) {
    if (entry.component == nullptr || entry.component->Code() == nullptr) continue;
    const Lines lines = testing::TextsOf(*entry.component->Code());
    ++modules;
    for (int width = 8; width <= 100; width += 4) {
      if (!HoldsFor(lines, width)) {
        ADD_FAILURE() << entry.component->Name() << " at width " << width;
        return;
      }
    }
  }
  EXPECT_GE(modules, 4);
}

// The properties must be able to fail: a split that leaves a piece of only a mark, or drops a
// token, is caught.
TEST(SplitPropertiesTest, CheckersCatchFaults) {
  EXPECT_TRUE(IsJunkPiece("    _"));
  EXPECT_TRUE(IsJunkPiece("  & _"));
  EXPECT_TRUE(IsJunkPiece("\"\" & _"));
  EXPECT_FALSE(IsJunkPiece("x & _"));
  EXPECT_NE(Tokens({"x = a + b"}), Tokens({"x = a +  _", "c"}));
  EXPECT_EQ(Tokens({"x = \"ab cd\" ' n.b"}), Tokens({"x = \"ab \" & _", "\"cd\" ' n.", "'b"}));
  EXPECT_NE(Tokens({"x = \"ab\""}), Tokens({"x = \"a\" + \"b\""}));
}

}  // namespace
}  // namespace marquill::transform
