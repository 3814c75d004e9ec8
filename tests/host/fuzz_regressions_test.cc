// Inputs the fuzz targets found faults with, kept as ordinary cases.
#include <string>
#include <vector>

#include "host/memory/memory_host.h"
#include "host/support/named_rows.h"
#include "host/vbfiles/component_file.h"
#include "host/vbfiles/load_error.h"
#include "vbfiles_test_support.h"

namespace marquill::host::vbfiles {
namespace {

using ::marquill::host::vbfiles::testing::Crlf;

struct MalformedBegin {
  const char* name;
  std::string bytes;
  int line;  // the Begin line the error names
};

class DesignerBeginTest : public ::testing::TestWithParam<MalformedBegin> {};

// A Begin line without a class and a name used to load as a nameless control of no class.
TEST_P(DesignerBeginTest, IsRefusedAtItsLine) {
  const MalformedBegin& row = GetParam();
  try {
    ParseComponentFile(row.bytes, "f.frm");
    FAIL() << "loaded";
  } catch (const LoadError& error) {
    EXPECT_EQ(error.line(), row.line);
    EXPECT_EQ(error.message(), "Begin needs a control class and a name (Begin VB.TextBox Text1)");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fuzz, DesignerBeginTest,
    ::testing::Values(
        // The fuzzer's input, lines ending in a lone CR and in LF.
        MalformedBegin{"NestedBareBegin", "Begin M\rBegin\nEnd\rEnd", 1},
        MalformedBegin{
            "NestedWithoutName",
            Crlf({"VERSION 5.00", "Begin VB.Form Form1", "   Begin VB.TextBox", "   End", "End"}),
            3},
        MalformedBegin{"NestedBeginWithTrailingBlanks",
                       Crlf({"Begin VB.Form Form1", "   Begin \t ", "   End", "End"}), 2},
        MalformedBegin{"FormWithoutName", Crlf({"VERSION 5.00", "Begin VB.Form", "End"}), 2}),
    test::RowName());

TEST(DesignerBegin, TabsMaySeparateClassAndName) {
  const ParsedComponentFile parsed =
      ParseComponentFile(Crlf({"Begin\tVB.Form\tForm1", "   Begin VB.Label\tlblA", "   End", "End",
                               "Attribute VB_Name = \"Form1\""}),
                         "f.frm");
  ASSERT_NE(parsed.designer, nullptr);
  ASSERT_EQ(parsed.designer->AllBlocks().size(), 1u);
  EXPECT_EQ(parsed.designer->AllBlocks()[0]->ClassName(), "VB.Label");
  EXPECT_EQ(parsed.designer->AllBlocks()[0]->Name(), "lblA");
}

// "Attribute .=" used to load as an attribute with no name and render as "Attribute  = ", which
// reads back as code: a line naming nothing is code from the start, kept as written.
TEST(AttributeLine, WithoutANameIsCode) {
  for (const char* text : {"Attribute .=", "Attribute M. = 1", "Attribute  = 1",
                           "Attribute ..=", "Attribute .B = 1"}) {
    EXPECT_FALSE(ParseAttributeLine({text, Eol::kNone}).has_value()) << text;
  }
  const ParsedComponentFile parsed = ParseComponentFile("Attribute .=", "m.bas");
  ASSERT_EQ(parsed.code.size(), 1u);
  EXPECT_EQ(parsed.code[0].text, "Attribute .=");
  EXPECT_TRUE(parsed.component_attributes.empty());
}

// Renders a module file loaded into a fresh component.
std::string LoadAndRender(const std::string& bytes) {
  MemoryProject project("P");
  MemoryComponent& component = project.AddComponent("m", ComponentType::kStdModule);
  const ComponentImage image = Install(ParseComponentFile(bytes, "m.bas"), "m.bas", component);
  return RenderComponent(image, component);
}

// An attribute of a member the code never declares used to be dropped on a rewrite; the fuzzer's
// input then left "Begin u" as the file's first line, which the next load took for a designer.
TEST(StrayMemberAttribute, IsKeptAndTheRewriteLoadsAgain) {
  for (const std::string& input : {std::string("Attribute e.B=\rBegin u"),
                                   Crlf({"Attribute VB_Name = \"m\"", "Sub A()",
                                         "Attribute Gone.VB_Description = \"x\"", "End Sub"})}) {
    const std::string once = LoadAndRender(input);
    EXPECT_NE(once.find(input.starts_with("Attribute e") ? "Attribute e.B = " : "Gone.VB_"),
              std::string::npos)
        << once;
    EXPECT_EQ(LoadAndRender(once), once) << "a second load and rewrite changes nothing";
  }
}

// An attribute written elsewhere used to leave a lone-CR line next to an empty LF line, which read
// back as one CR LF line: the rewrite lost a line. Every line of code must survive the rewrite.
TEST(AttributeBetweenCrAndLf, KeepsEveryCodeLine) {
  struct Row {
    const char* name;
    std::string bytes;
  };
  const std::vector<Row> rows = {
      {"fuzzer input", "x\rAttribute Q.VB_Description = \"d\"\n\n"},
      {"component attribute after code", "Sub A()\rAttribute VB_Exposed = False\n\nEnd Sub\n"},
      {"stray attribute, empty CR line", "\rAttribute Z.B = 1\n\nx\r\n"},
      {"empty last line without a break", "a\rAttribute Q.B = 1\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ParsedComponentFile original = ParseComponentFile(row.bytes, "m.bas");
    const std::string once = LoadAndRender(row.bytes);
    const ParsedComponentFile reread = ParseComponentFile(once, "m.bas");
    ASSERT_EQ(reread.code.size(), original.code.size()) << once;
    for (std::size_t i = 0; i < original.code.size(); ++i)
      EXPECT_EQ(reread.code[i].text, original.code[i].text) << i;
    EXPECT_EQ(LoadAndRender(once), once) << "a second rewrite changes nothing";
  }
}

}  // namespace
}  // namespace marquill::host::vbfiles
