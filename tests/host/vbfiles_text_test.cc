#include <sys/stat.h>

#include "host/support/named_rows.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/text_file.h"
#include "vbfiles_test_support.h"

namespace marquill::host::vbfiles {
namespace {

using namespace std::string_literals;

using ::marquill::host::vbfiles::testing::ReadBytes;
using ::marquill::host::vbfiles::testing::ScratchDir;
using ::marquill::host::vbfiles::testing::WriteBytes;

struct SplitCase {
  const char* name;
  std::string bytes;
  std::vector<SourceLine> lines;
  std::size_t nul_tail;
};

class SplitTextTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextTest, SplitsAndRendersBack) {
  const SplitCase& c = GetParam();
  const TextImage image = SplitText(c.bytes, "x.bas");
  EXPECT_EQ(image.lines, c.lines);
  EXPECT_EQ(image.nul_tail, c.nul_tail);
  std::string rendered;
  LineWriter writer(rendered, Eol::kCrLf);
  for (const SourceLine& line : image.lines) writer.Write(line);
  rendered.append(image.nul_tail, '\0');
  EXPECT_EQ(rendered, c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, SplitTextTest,
    ::testing::Values(
        SplitCase{"Empty", "", {}, 0},
        SplitCase{"CrLf", "a\r\nb\r\n", {{"a", Eol::kCrLf}, {"b", Eol::kCrLf}}, 0},
        SplitCase{"LfOnly", "a\nb\n", {{"a", Eol::kLf}, {"b", Eol::kLf}}, 0},
        SplitCase{"LoneCr", "a\rb\r\n", {{"a", Eol::kCr}, {"b", Eol::kCrLf}}, 0},
        SplitCase{"Mixed",
                  "a\r\n\nc\n\r\n",
                  {{"a", Eol::kCrLf}, {"", Eol::kLf}, {"c", Eol::kLf}, {"", Eol::kCrLf}},
                  0},
        SplitCase{"NoFinalBreak", "a\r\nb", {{"a", Eol::kCrLf}, {"b", Eol::kNone}}, 0},
        SplitCase{"LoneCrAtTheEnd", "a\r", {{"a", Eol::kCr}}, 0},
        SplitCase{"CrBeforeCrLf", "a\r\r\n", {{"a", Eol::kCr}, {"", Eol::kCrLf}}, 0},
        SplitCase{"NulTail", "a\r\n\0\0\0"s, {{"a", Eol::kCrLf}}, 3},
        SplitCase{"NulTailWithoutBreak", "a\0\0"s, {{"a", Eol::kNone}}, 2},
        SplitCase{"NulPaddingThenMoreLines",
                  "a\r\n\0\0\0\r\nb\r\n"s,
                  {{"a", Eol::kCrLf}, {"\0\0\0"s, Eol::kCrLf}, {"b", Eol::kCrLf}},
                  0},
        SplitCase{"NulPaddingEndsALine",
                  "a\0\0\nb\0\rc\0"s,
                  {{"a\0\0"s, Eol::kLf}, {"b\0"s, Eol::kCr}, {"c", Eol::kNone}},
                  1},
        SplitCase{
            "AnsiBytesKept", "caf\xE9 \x93q\x94\r\n", {{"caf\xE9 \x93q\x94", Eol::kCrLf}}, 0}),
    test::RowName());

// Only NULs with more text of their line after them make a binary file.
TEST(SplitText, NulInsideALineIsABinaryFileAtItsLine) {
  const std::vector<std::pair<std::string, int>> binaries = {
      {"one\r\ntwo\r\nt\0ree\r\nfour\r\n"s, 3},
      {"\0\0\0x\r\n"s, 1},
      {"a\r\n\0\0\r\nb\0c\r\n"s, 3},
      {"MZ\x90\0\x03\0\0\0\x04\0\0\0\xFF\xFF\0\0"s, 1},
  };
  for (const auto& [bytes, line] : binaries) {
    try {
      SplitText(bytes, "pic.frm");
      ADD_FAILURE() << "no error: " << line;
    } catch (const LoadError& error) {
      EXPECT_EQ(error.what(),
                "pic.frm:" + std::to_string(line) + ": binary file: NUL bytes inside the text");
    }
  }
}

TEST(SplitText, VeryLongLineLoadsWhole) {
  const std::string line(1 << 20, 'x');
  const TextImage image = SplitText(line + "\r\n", "long.bas");
  ASSERT_EQ(image.lines.size(), 1u);
  EXPECT_EQ(image.lines[0].text.size(), line.size());
}

TEST(LineWriter, LineWithoutBreakGetsTheFillWhenMoreFollows) {
  std::string out;
  LineWriter writer(out, Eol::kLf);
  writer.Write("last", Eol::kNone);
  writer.Write("added", Eol::kNone);
  EXPECT_EQ(out, "last\nadded");
}

TEST(DominantEol, CountsTheEndingsMostLinesUse) {
  EXPECT_EQ(DominantEol({{"a", Eol::kLf}, {"b", Eol::kLf}, {"c", Eol::kCrLf}}), Eol::kLf);
  EXPECT_EQ(DominantEol({{"a", Eol::kLf}, {"b", Eol::kCrLf}}), Eol::kCrLf);
  EXPECT_EQ(DominantEol({{"a", Eol::kNone}}), Eol::kCrLf);
}

TEST(ResolveListedPath, FollowsBackslashesAndWindowsLetterCase) {
  ScratchDir dir;
  WriteBytes(dir / "Forms/frmMain.frm", "x");
  WriteBytes(dir / "modA.bas", "x");
  EXPECT_EQ(ResolveListedPath(dir.path(), "Forms\\frmMain.frm"), dir / "Forms/frmMain.frm");
  EXPECT_EQ(ResolveListedPath(dir.path(), "FORMS\\FRMMAIN.FRM"), dir / "Forms/frmMain.frm");
  EXPECT_EQ(ResolveListedPath(dir / "Forms", "..\\MODA.bas"), dir / "Forms/../modA.bas");
  EXPECT_EQ(ResolveListedPath(dir.path(), "missing.bas"), std::filesystem::path());
  EXPECT_EQ(ResolveListedPath(dir.path(), "C:\\Windows\\modA.bas"), std::filesystem::path());
}

}  // namespace
}  // namespace marquill::host::vbfiles
