// Inputs the fuzz targets found faults with in the line procedures, kept as ordinary cases.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/memory/memory_host.h"
#include "host/support/named_rows.h"
#include "host/vbfiles/component_file.h"
#include "host/vbfiles/load_error.h"
#include "transform/line_cleanup.h"

namespace marquill::transform {
namespace {

using host::vbfiles::ParseComponentFile;

std::vector<std::string> CodeOf(const host::vbfiles::ParsedComponentFile& parsed) {
  std::vector<std::string> lines;
  for (const host::SourceLine& line : parsed.code) lines.push_back(line.text);
  return lines;
}

struct WrittenFile {
  const char* name;
  friend void PrintTo(const WrittenFile& row, std::ostream* os) { *os << row.name; }
  std::string file_name;
  std::string bytes;
  std::vector<std::string> code_after;  // the code once its comments are gone
};

class DeletedCommentsReloadTest : public ::testing::TestWithParam<WrittenFile> {};

// Without attributes before the code, "End ' note" lost its comment and became "End ", which the
// next load took for a designer's End ("End without Begin"); "BEGIN ' note" opened a block that
// never closed. The file written must load back to the same code.
TEST_P(DeletedCommentsReloadTest, LoadsBackToTheSameCode) {
  const WrittenFile& row = GetParam();
  host::MemoryProject project("P");
  host::MemoryComponent& component =
      project.AddComponent("Class1", host::ComponentType::kClassModule);
  const host::vbfiles::ComponentImage image = host::vbfiles::Install(
      ParseComponentFile(row.bytes, row.file_name), row.file_name, component);
  host::CodeModule& module = *component.CodeModule();
  DelComments(module, 1, module.CountOfLines());

  const std::string written = host::vbfiles::RenderComponent(image, component);
  try {
    const host::vbfiles::ParsedComponentFile reloaded = ParseComponentFile(written, row.file_name);
    EXPECT_EQ(CodeOf(reloaded), row.code_after);
    EXPECT_EQ(reloaded.vb_name, "Class1");
  } catch (const host::vbfiles::LoadError& error) {
    ADD_FAILURE() << "the written file does not load: " << error.what() << "\n" << written;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fuzz, DeletedCommentsReloadTest,
    ::testing::Values(
        WrittenFile{
            "EndAfterAClassHeader",
            "c.cls",
            "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1\r\nEND\r\nEnd ' stop\r\nx = 1\r\n",
            {"End ", "x = 1"}},
        WrittenFile{"EndAfterAFormDesignerLf",
                    "f.frm",
                    "VERSION 5.00\nBegin VB.Form Form1\nEnd\nEnd 'x\n",
                    {"End "}},
        WrittenFile{"BeginInAModuleWithoutHeader",
                    "m.bas",
                    "BEGIN ' x\r\nSub A()\r\nEnd Sub\r\n",
                    {"BEGIN ", "Sub A()", "End Sub"}},
        WrittenFile{"LoneCrAndACommentRightAfterEnd", "m.frm", "VERSION 5.00\rEnd'\n", {"End"}}),
    host::test::RowName());

}  // namespace
}  // namespace marquill::transform
