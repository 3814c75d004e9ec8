// Projects as people have them: files listed in the writer's code page, documents that stayed on
// another machine, files merged in twice, padded modules, links, and things that are no files.
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "host/support/named_rows.h"
#include "host/vbfiles/code_page.h"
#include "host/vbfiles/inspect.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/vb_project.h"
#include "support/errors.h"
#include "vbfiles_test_support.h"

namespace marquill::host::vbfiles {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using ::marquill::host::vbfiles::testing::Crlf;
using ::marquill::host::vbfiles::testing::ReadBytes;
using ::marquill::host::vbfiles::testing::ScratchDir;
using ::marquill::host::vbfiles::testing::WriteBytes;

std::string Module(const std::string& name) {
  return Crlf({"Attribute VB_Name = \"" + name + "\"", "Sub " + name + "Go()", "End Sub"});
}
std::string Form(const std::string& name) {
  return Crlf(
      {"VERSION 5.00", "Begin VB.Form " + name, "End", "Attribute VB_Name = \"" + name + "\""});
}

// "日本" in Shift-JIS and "中文" in GBK, as a Windows of that language writes them, and the
// same names in UTF-8, as a checkout on Linux holds them.
const std::string kJapaneseSjis = "\x93\xfa\x96\x7b";
const std::string kJapaneseUtf8 = "\xe6\x97\xa5\xe6\x9c\xac";
const std::string kChineseGbk = "\xd6\xd0\xce\xc4";
const std::string kChineseUtf8 = "\xe4\xb8\xad\xe6\x96\x87";
// "表" in Shift-JIS ends in the byte of a backslash.
const std::string kTableSjis = "\x95\x5c";
const std::string kTableUtf8 = "\xe8\xa1\xa8";

struct LoadCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // written into a fresh folder
  std::vector<std::string> components;                     // names, in the project's order
  std::vector<std::string> warnings;                       // "LINE: message"
  int code_page = 0;
};

class RealProjectTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(RealProjectTest, LoadsAndRendersEveryFileAsItWas) {
  const LoadCase& row = GetParam();
  ScratchDir scratch;
  for (const auto& [name, bytes] : row.files) WriteBytes(scratch / name, bytes);
  std::vector<std::string> warnings;
  LoadOptions options;
  options.code_page = row.code_page;
  options.warn = [&](const LoadWarning& warning) {
    EXPECT_EQ(warning.file, (scratch / "P.vbp").string());
    warnings.push_back(std::to_string(warning.line) + ": " + warning.message);
  };
  auto project = VbProject::Load(scratch / "P.vbp", options);
  std::vector<std::string> names;
  for (const VbProject::Entry& entry : project->Entries()) names.push_back(entry.component->Name());
  EXPECT_EQ(names, row.components);
  EXPECT_EQ(warnings, row.warnings);
  const RoundTrip round_trip = CheckRoundTrip(*project);
  EXPECT_TRUE(round_trip.identical) << round_trip.report;
  EXPECT_TRUE(project->SaveToMemory().empty());
  // Every file written back, the project file's lines included, is the file as it was.
  for (const auto& file : project->SaveToMemory(VbProject::SaveMode::kAll))
    EXPECT_EQ(file.bytes, ReadBytes(file.path)) << file.path;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RealProjectTest,
    ::testing::Values(
        LoadCase{"MissingDocumentsAndResources",
                 {{"P.vbp", Crlf({"Type=Exe", "Module=modA; modA.bas", "RelatedDoc=..\\docs\\a.doc",
                                  "ResFile32=\"P.RES\"", "RelatedDoc=readme.txt"})},
                  {"modA.bas", Module("modA")}},
                 {"modA", "a.doc", "P.RES", "readme.txt"},
                 {}},
        LoadCase{"TwoDocumentsOfOneFileName",
                 {{"P.vbp", Crlf({"RelatedDoc=a\\notes.txt", "RelatedDoc=b\\notes.txt"})},
                  {"a/notes.txt", "x"}},
                 {"notes.txt", "b\\notes.txt"},
                 {}},
        LoadCase{"JapaneseNames",
                 {{"P.vbp", Crlf({"Type=Exe", "Form=" + kJapaneseSjis + ".frm",
                                  "Module=mod1; " + kTableSjis + "\\" + kJapaneseSjis + ".bas",
                                  "Title=\"" + kJapaneseSjis + "\""})},
                  {kJapaneseUtf8 + ".frm", Form("frmMain")},
                  {kTableUtf8 + "/" + kJapaneseUtf8 + ".bas", Module("mod1")}},
                 {"frmMain", "mod1"},
                 {}},
        LoadCase{"ChineseNames",
                 {{"P.vbp", Crlf({"Type=Exe", "Class=cls1; " + kChineseGbk + ".cls"})},
                  {kChineseUtf8 + ".cls", Module("cls1")}},
                 {"cls1"},
                 {}},
        LoadCase{"WesternNames",
                 {{"P.vbp", Crlf({"Type=Exe", "Module=modCafe; Caf\xe9.bas"})},
                  {"Caf\xc3\xa9.bas", Module("modCafe")}},
                 {"modCafe"},
                 {}},
        LoadCase{"ForcedCodePage",
                 {{"P.vbp", Crlf({"Type=Exe", "Module=m; " + kChineseGbk + ".bas"})},
                  {kChineseUtf8 + ".bas", Module("m")}},
                 {"m"},
                 {},
                 936},
        LoadCase{"NamesAsWrittenComeFirst",
                 {{"P.vbp", Crlf({"Type=Exe", "Module=m; Caf\xe9.bas"})},
                  {"Caf\xe9.bas", Module("m")},
                  {"Caf\xc3\xa9.bas", Module("other")}},
                 {"m"},
                 {}},
        LoadCase{"SameFileListedTwice",
                 {{"P.vbp", Crlf({"Type=Exe", "Module=modA; modA.bas", "Form=frmA.frm",
                                  "Module=MODA; .\\MODA.BAS", "Form=frmA.frm",
                                  "RelatedDoc=gone.txt", "RelatedDoc=gone.txt"})},
                  {"modA.bas", Module("modA")},
                  {"frmA.frm", Form("frmA")}},
                 {"modA", "frmA", "gone.txt"},
                 {"4: .\\MODA.BAS is listed a second time (the first is on line 2): loaded once",
                  "5: frmA.frm is listed a second time (the first is on line 3): loaded once",
                  "7: gone.txt is listed a second time (the first is on line 6): loaded once"}},
        LoadCase{"NulPaddingFollowedByMoreLines",
                 {{"P.vbp", "Type=Exe\r\nModule=modA; modA.bas\r\n\0\0\0\0\r\nName=\"P\"\r\n"s},
                  {"modA.bas", "Attribute VB_Name = \"modA\"\r\nSub A()\r\nEnd Sub\r\n" +
                                   std::string(512, '\0') + "\r\n\r\nSub B()\r\nEnd Sub\0\0"s}},
                 {"modA"},
                 {}}),
    test::RowName());

TEST(RealProjectTest, ForcedCodePageIsTheOnlyOneTried) {
  ScratchDir scratch;
  WriteBytes(scratch / "P.vbp", Crlf({"Type=Exe", "Module=m; " + kChineseGbk + ".bas"}));
  WriteBytes(scratch / (kChineseUtf8 + ".bas"), Module("m"));
  LoadOptions options;
  options.code_page = 932;
  EXPECT_THROW(VbProject::Load(scratch / "P.vbp", options), LoadError);
}

// `info` says which listed documents are not there.
TEST(RealProjectTest, InfoListsMissingFiles) {
  ScratchDir scratch;
  WriteBytes(scratch / "P.vbp",
             Crlf({"Module=modA; modA.bas", "RelatedDoc=gone.txt", "RelatedDoc=here.txt"}));
  WriteBytes(scratch / "modA.bas", Module("modA"));
  WriteBytes(scratch / "here.txt", "x");
  const std::string info = DescribeProject(*VbProject::Load(scratch / "P.vbp"));
  EXPECT_NE(info.find("  gone.txt [RelatedDocument] gone.txt (missing)\n"), std::string::npos)
      << info;
  EXPECT_NE(info.find("  here.txt [RelatedDocument] here.txt\n"), std::string::npos) << info;
}

// A link is read through; the link stays what it is.
TEST(RealProjectTest, FilesReachedThroughLinksLoad) {
  ScratchDir scratch;
  WriteBytes(scratch / "real/P.vbp", Crlf({"Module=modA; modA.bas", "Form=frmA.frm"}));
  WriteBytes(scratch / "shared/modA.bas", Module("modA"));
  WriteBytes(scratch / "real/frmA.frm", Form("frmA"));
  fs::create_symlink("../shared/modA.bas", scratch / "real/modA.bas");
  fs::create_symlink("real/P.vbp", scratch / "P.vbp");
  auto project = VbProject::Load(scratch / "real/P.vbp");
  EXPECT_EQ(project->Entries().size(), 2u);
  EXPECT_TRUE(CheckRoundTrip(*project).identical);
  EXPECT_TRUE(fs::is_symlink(scratch / "real/modA.bas"));
}

// Things that are not regular files never block a load nor fill memory: each is a load error at
// the line that names it.
TEST(RealProjectTest, FilesThatAreNotRegularFilesAreRefused) {
  ScratchDir scratch;
  ASSERT_EQ(::mkfifo((scratch / "pipe.bas").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", scratch / "zero.frm");
  struct Case {
    const char* name;
    std::string vbp;  // the project file's path
    std::string listing;
    std::string message;
  };
  const std::string vbp = (scratch / "P.vbp").string();
  const std::vector<Case> cases = {
      {"listed FIFO", vbp, "Module=m; pipe.bas",
       vbp + ":1: cannot read pipe.bas: not a regular file (a FIFO)"},
      {"listed device", vbp, "Form=zero.frm",
       vbp + ":1: cannot read zero.frm: not a regular file (a character device)"},
      {"project FIFO", (scratch / "pipe.bas").string(), "",
       (scratch / "pipe.bas").string() + ": not a regular file (a FIFO)"},
      {"project device", "/dev/zero", "", "/dev/zero: not a regular file (a character device)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(scratch / "P.vbp", c.listing + "\r\n");
    EXPECT_EQ(::marquill::test::MessageOf<LoadError>([&] { VbProject::Load(c.vbp); }), c.message);
  }
}

// A project is most often read on the machine that wrote it: that machine's page goes first
// whenever the project's text is valid in it.
TEST(CodePageTest, TheMachinesPageIsTriedFirstWhenTheTextFitsIt) {
  struct Row {
    const char* name;
    std::string text;
    int machine;
    int first;
  };
  const std::vector<Row> rows = {
      {"ascii text, Cyrillic machine", "Form1.frm", 1251, 1251},
      {"Western name, Western machine", "Caf\xe9.bas", 1252, 1252},
      {"Western name, no machine page", "Caf\xe9.bas", 0, 1250},
      {"Japanese name, Cyrillic machine", "\x98\x9f.bas", 1251, 932},  // 0x98: none in 1251
      {"machine page outside the common list", "Form1.frm", 437, 437},
  };
  for (const Row& row : rows) {
    const std::vector<int> pages = CodePagesToTry(row.text, 0, row.machine);
    EXPECT_EQ(pages.front(), row.first) << row.name;
    // Every common page stays on the list, each once.
    for (int page : CommonCodePages())
      EXPECT_EQ(std::count(pages.begin(), pages.end(), page), 1) << row.name << " " << page;
  }
  EXPECT_EQ(CodePagesToTry("Form1.frm", 950, 1252), std::vector<int>{950}) << "forced wins";
}

TEST(CodePageTest, DecodesTheCommonPagesAndRefusesWhatIsNotText) {
  struct Row {
    int code_page;
    std::string bytes;
    std::optional<std::string> decoded;
  };
  const std::vector<Row> rows = {
      {932, kJapaneseSjis, kJapaneseUtf8},
      {932, kTableSjis, kTableUtf8},
      {936, kChineseGbk, kChineseUtf8},
      {949, "\xc7\xd1", "\xed\x95\x9c"},
      {950, "\xa4\xa4", "\xe4\xb8\xad"},
      {1251, "\xcf", "\xd0\x9f"},
      {1252, "Caf\xe9", "Caf\xc3\xa9"},
      {932, "\x82", std::nullopt},    // a lead byte without its second byte
      {1252, "a\0b"s, std::nullopt},  // no name holds a NUL
      {12345, "abc", std::nullopt},   // no such code page
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DecodeCodePage(row.bytes, row.code_page), row.decoded) << row.code_page;
  }
  EXPECT_EQ(CodePagesToTry("Title=\"" + kJapaneseSjis + "\"", 0).front(), 932);
  EXPECT_EQ(CodePagesToTry("ascii", 0, 0), CommonCodePages());
  EXPECT_EQ(MachineCodePage(), 0);  // Linux names are UTF-8: no machine page
  EXPECT_EQ(DisplayName(kJapaneseSjis + "\x1b", {932}), kJapaneseUtf8 + "\\x1B");
  EXPECT_EQ(DisplayName("\xff\xfe", {932}), "\\xFF\\xFE");
  EXPECT_EQ(DisplayName(kJapaneseUtf8, {1252}), kJapaneseUtf8);
}

}  // namespace
}  // namespace marquill::host::vbfiles
