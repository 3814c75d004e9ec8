// The procedure ranges a module keeps up to date through edits must equal what a fresh read of
// the same lines gives, and edits that leave the structure alone must not read the module again.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "support/test_project.h"

namespace marquill::host {
namespace {

using test::TestModule;

// Everything the structure answers: members with their places, every range of every name.
std::string Dump(MemoryCodeModule& module) {
  std::ostringstream dump;
  for (Member& member : module.Members()) {
    dump << member.Name() << ' ' << static_cast<int>(member.Type()) << ' ' << member.CodeLocation()
         << '\n';
    for (ProcKind kind : {ProcKind::kProc, ProcKind::kGet, ProcKind::kLet, ProcKind::kSet}) {
      try {
        dump << "  " << static_cast<int>(kind) << ": " << module.ProcStartLine(member.Name(), kind)
             << '+' << module.ProcCountLines(member.Name(), kind) << " @"
             << module.ProcBodyLine(member.Name(), kind) << '\n';
      } catch (const HostError&) {
      }
    }
  }
  return dump.str();
}

std::string FreshDump(const MemoryCodeModule& module) {
  std::vector<std::string> lines;
  for (const SourceLine& line : module.AllLines()) lines.push_back(line.text);
  TestModule fresh(lines);
  return Dump(fresh.code());
}

std::vector<std::string> StartingModule() {
  std::vector<std::string> lines = {"Option Explicit", "Dim shared As Long", ""};
  for (int i = 0; i < 6; ++i) {
    const std::string n = std::to_string(i);
    lines.insert(lines.end(), {"' about P" + n, "Public Sub P" + n + "(a As Long, _",
                               "    b As Long)", "  x = " + n, "  ' Sub inside", "End Sub", ""});
  }
  lines.insert(lines.end(), {"Property Get V()", "End Property", "Property Let V(x)", "  y = x",
                             "End Property", "Sub One(): End Sub", "", "' tail"});
  return lines;
}

// Mostly lines that leave the structure alone, some that change it. New procedures go between
// procedures; a lone declaration or End line leaves a procedure open, which keeps every later
// edit on the full-read path, so those come only late in a run.
struct Piece {
  std::string text;
  bool between_procedures = false;
};

Piece RandomPiece(std::mt19937& random, int& serial, bool late) {
  static const char* const kPlain[] = {"",
                                       "' note",
                                       "' Sub Fake()",
                                       "  x = 1",
                                       "  s = \"End Sub\"",
                                       "Rem Function",
                                       "  If a Then",
                                       "  End If",
                                       "  Dim local As Long"};
  switch (random() % 24) {
    case 0:
      return {"Sub S" + std::to_string(serial++) + "()\r\nEnd Sub", true};
    case 1:
      return {"Function T" + std::to_string(serial++) + "(): End Function", true};
    case 2:
      return {"  a = 1 + _\r\n    2"};
    case 3:
      return {"Dim d" + std::to_string(serial++)};
    case 4:
      if (late) return {"End Sub"};
      [[fallthrough]];
    case 5:
      if (late) return {"Sub U" + std::to_string(serial++) + "()"};
      [[fallthrough]];
    default:
      return {kPlain[random() % std::size(kPlain)]};
  }
}

bool ShapesStructure(std::string_view line) {
  for (const char* start : {"Sub ", "Public Sub ", "Function ", "Property ", "End Sub",
                            "End Function", "End Property"}) {
    if (line.starts_with(start)) return true;
  }
  return line.ends_with(" _");
}

// A line just below a procedure's End line, or the end of the module.
int RandomBoundary(const CodeModule& code, std::mt19937& random) {
  std::vector<int> boundaries = {code.CountOfLines() + 1};
  for (int i = 2; i <= code.CountOfLines(); ++i) {
    const std::string above = code.Line(i - 1);
    for (const char* end : {"End Sub", "End Function", "End Property"}) {
      if (above.ends_with(end)) boundaries.push_back(i);
    }
  }
  return boundaries[random() % boundaries.size()];
}

TEST(MemoryIncrementalTest, RangesKeptThroughEditsEqualAFreshRead) {
  std::uint64_t edits = 0;
  std::uint64_t scans = 0;
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 random(seed);
    int serial = 0;
    TestModule module(StartingModule());
    MemoryCodeModule& code = module.code();
    for (int step = 0; step < 120; ++step) {
      const bool late = step >= 110;
      const int count = code.CountOfLines();
      int line = 1 + static_cast<int>(random() % static_cast<unsigned>(count + 1));
      // Deleting or replacing a declaration or End line is kept rare for the same reason.
      if (line <= count && !late &&
          (ShapesStructure(code.Line(line)) ||
           (line > 1 && ShapesStructure(code.Line(line - 1))))) {
        continue;
      }
      const Piece piece = RandomPiece(random, serial, late);
      std::ostringstream edit;
      const unsigned action = piece.between_procedures ? 0 : random() % 3;
      if (action == 0) {
        if (piece.between_procedures) line = RandomBoundary(code, random);
        edit << "insert at " << line << ": " << piece.text;
        code.InsertLines(line, piece.text);
      } else if (line > count) {
        continue;
      } else if (action == 1) {
        const int lines = line < count && (late || !ShapesStructure(code.Line(line + 1))) ? 2 : 1;
        edit << "delete " << lines << " at " << line << ": " << code.Line(line);
        code.DeleteLines(line, lines);
      } else {
        edit << "replace " << line << ": " << code.Line(line) << " by " << piece.text;
        code.ReplaceLine(line, piece.text);
      }
      ASSERT_EQ(Dump(code), FreshDump(code))
          << "seed " << seed << " step " << step << ", " << edit.str();
      ++edits;
    }
    scans += code.ScanCount();
  }
  // Most edits here leave the structure alone: the check above must have run mostly on ranges
  // moved by edits, not read afresh.
  EXPECT_LT(scans * 2, edits) << edits << " edits, " << scans << " full reads";
}

TEST(MemoryIncrementalTest, BodyEditsBetweenQuestionsDoNotReadTheModuleAgain) {
  TestModule module(StartingModule());
  MemoryCodeModule& code = module.code();
  const std::string before = Dump(code);
  const std::uint64_t scans = code.ScanCount();
  for (int i = 0; i < 6; ++i) {
    const std::string name = "P" + std::to_string(i);
    const int body = code.ProcBodyLine(name, ProcKind::kProc);
    code.InsertLines(code.DeclarationEnd(body) + 1, "On Error GoTo err_label");
    const int last =
        code.ProcStartLine(name, ProcKind::kProc) + code.ProcCountLines(name, ProcKind::kProc) - 1;
    code.InsertLines(last, "Exit Sub\r\nerr_label:\r\n    Resume Next");
    code.InsertLines(code.ProcStartLine(name, ProcKind::kProc), "' header");
  }
  EXPECT_EQ(code.ScanCount(), scans);
  EXPECT_NE(Dump(code), before);
  EXPECT_EQ(Dump(code), FreshDump(code));
}

TEST(MemoryIncrementalTest, EditsThatChangeTheStructureAreReadAgain) {
  TestModule module(StartingModule());
  MemoryCodeModule& code = module.code();
  (void)code.Members().Count();
  const std::uint64_t scans = code.ScanCount();
  const int body = code.ProcBodyLine("P2", ProcKind::kProc);
  code.InsertLines(body + 2, "End Sub\r\nSub Split()");
  EXPECT_EQ(code.ProcBodyLine("Split", ProcKind::kProc), body + 3);
  EXPECT_EQ(code.ScanCount(), scans + 1);
}

}  // namespace
}  // namespace marquill::host
