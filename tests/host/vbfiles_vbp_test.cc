#include "host/support/named_rows.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/vbp_file.h"
#include "support/errors.h"
#include "vbfiles_test_support.h"

namespace marquill::host::vbfiles {
namespace {

using namespace std::string_literals;

using ::marquill::host::vbfiles::testing::Crlf;

struct ReferenceCase {
  const char* name;
  const char* value;
  const char* ref_name;
  const char* description;
  int major;
  int minor;
  const char* path;
};

class ParseReferenceTest : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(ParseReferenceTest, ReadsTheFields) {
  const ReferenceCase& c = GetParam();
  const MemoryReference reference = ParseReference(c.value);
  EXPECT_EQ(reference.name, c.ref_name);
  EXPECT_EQ(reference.description, c.description);
  EXPECT_EQ(reference.major, c.major);
  EXPECT_EQ(reference.minor, c.minor);
  EXPECT_EQ(reference.full_path, c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseReferenceTest,
    ::testing::Values(
        ReferenceCase{
            "KnownLibraryGetsItsName",
            "*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#..\\stdole2.tlb#OLE Automation",
            "stdole", "OLE Automation", 2, 0, "..\\stdole2.tlb"},
        ReferenceCase{"HexadecimalVersions",
                      "*\\G{6B263850-900B-11D0-9484-00A0C91110ED}#a.1f#0#C:\\w.dll#W", "w", "W", 10,
                      31, "C:\\w.dll"},
        ReferenceCase{"HashInsideTheDescription",
                      "*\\G{6B263850-900B-11D0-9484-00A0C91110ED}#1.0#9#C:\\w.dll#Lib #2", "w",
                      "Lib #2", 1, 0, "C:\\w.dll"},
        ReferenceCase{"NoDescription",
                      "*\\G{6B263850-900B-11D0-9484-00A0C91110ED}#1.0#0#C:\\Lib\\w.ocx", "w", "", 1,
                      0, "C:\\Lib\\w.ocx"},
        ReferenceCase{"OtherProject", "*\\A..\\Shared\\Shared.vbp", "Shared", "", 0, 0,
                      "..\\Shared\\Shared.vbp"}),
    test::RowName());

TEST(ParseReference, RefusesWhatItCannotRead) {
  EXPECT_THROW(ParseReference("{00020430-0000-0000-C000-000000000046}#2.0#0#x#y"), HostError);
  EXPECT_THROW(ParseReference("*\\G{00020430-0000-0000-C000-000000000046}#2.0"), HostError);
  EXPECT_THROW(ParseReference("*\\G{00020430-0000-0000-C000-000000000046}#2#0#x#y"), HostError);
  EXPECT_THROW(ParseReference("*\\G{00020430-0000-0000-C000-000000000046}#z.0#0#x#y"), HostError);
}

TEST(VbpFile, ListsFilesInOrderAndKeepsEveryLine) {
  const std::string bytes = Crlf({
      "Type=Exe",
      "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#stdole2.tlb#OLE Automation",
      "Form=Forms\\frmMain.frm",
      "Object={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; MSCOMCTL.OCX",
      "Module=modMain; modMain.bas",
      "Class=clsThing;clsThing.cls",
      "UserControl=ctlGauge.ctl",
      "ResFile32=\"Project1.RES\"",
      "Name=\"Sample\"",
      "",
      "[MS Transaction Server]",
      "Module=NotAComponent",
      "AutoRefresh=1",
  });
  const VbpFile vbp = VbpFile::Parse(bytes, "p.vbp");
  EXPECT_EQ(vbp.project_name, "Sample");
  ASSERT_EQ(vbp.files.size(), 5u) << "nothing is read from foreign sections";
  EXPECT_EQ(vbp.files[0].kind, ListedKind::kForm);
  EXPECT_EQ(vbp.files[0].path, "Forms\\frmMain.frm");
  EXPECT_EQ(vbp.files[0].line, 3);
  EXPECT_EQ(vbp.files[1].name, "modMain");
  EXPECT_EQ(vbp.files[1].path, "modMain.bas");
  EXPECT_EQ(vbp.files[2].name, "clsThing");
  EXPECT_EQ(vbp.files[2].path, "clsThing.cls");
  EXPECT_EQ(vbp.files[4].kind, ListedKind::kResFile);
  EXPECT_EQ(vbp.files[4].path, "Project1.RES");
  ASSERT_EQ(vbp.references.size(), 1u);
  EXPECT_EQ(vbp.references[0].line, 2);
  EXPECT_EQ(vbp.Render(), bytes);
}

TEST(VbpFile, RendersMixedEndingsAndAMissingFinalBreakAsFound) {
  const std::string bytes = "Type=Exe\nModule=m; m.bas\r\n\r\nName=\"x\"";
  EXPECT_EQ(VbpFile::Parse(bytes, "p.vbp").Render(), bytes);
}

struct VbpErrorCase {
  const char* name;
  std::string bytes;
  std::string message;
};

class VbpErrorTest : public ::testing::TestWithParam<VbpErrorCase> {};

TEST_P(VbpErrorTest, NamesTheFileAndLine) {
  EXPECT_EQ(
      ::marquill::test::MessageOf<LoadError>([] { VbpFile::Parse(GetParam().bytes, "dir/p.vbp"); }),
      GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, VbpErrorTest,
    ::testing::Values(
        VbpErrorCase{"NoEquals", Crlf({"Type=Exe", "", "Form frmMain.frm"}),
                     "dir/p.vbp:3: expected KEY=VALUE, found \"Form frmMain.frm\""},
        VbpErrorCase{"ModuleWithoutName", Crlf({"Type=Exe", "Module=modMain.bas"}),
                     "dir/p.vbp:2: Module= needs \"Name; file\""},
        VbpErrorCase{"EmptyFile", Crlf({"Form="}), "dir/p.vbp:1: Form= names no file"},
        VbpErrorCase{
            "BadReference", Crlf({"Type=Exe", "Reference=*\\G{0}#x.0#0#a#b"}),
            "dir/p.vbp:2: cannot read the Reference line: the major version \"x\" is not a "
            "hexadecimal number"},
        VbpErrorCase{"Binary", "Type=Exe\r\nName=\"a\0b\"\r\n"s,
                     "dir/p.vbp:2: binary file: NUL bytes inside the text"},
        VbpErrorCase{
            "LongLineQuotedShort", "Type=Exe\r\n" + std::string(100, 'x') + "\x1b[2J\r\n",
            "dir/p.vbp:2: expected KEY=VALUE, found \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
            "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\""},
        VbpErrorCase{"ControlBytesEscaped", "Type=Exe\r\nbad\x1b[31m\x7f\r\n",
                     "dir/p.vbp:2: expected KEY=VALUE, found \"bad\\x1B[31m\\x7F\""},
        VbpErrorCase{"BadVersionQuotedShort",
                     "Reference=*\\G{0}#" + std::string(200, '\x01') + ".0#0#a#b\r\n",
                     "dir/p.vbp:1: cannot read the Reference line: the major version \"" +
                         [] {
                           std::string s;
                           for (int i = 0; i < 80; ++i) s += "\\x01";
                           return s;
                         }() +
                         "...\" is not a hexadecimal number"}),
    test::RowName());

}  // namespace
}  // namespace marquill::host::vbfiles
