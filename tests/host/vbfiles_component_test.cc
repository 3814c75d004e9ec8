#include "host/support/named_rows.h"
#include "host/vbfiles/component_file.h"
#include "host/vbfiles/load_error.h"
#include "support/errors.h"
#include "vbfiles_test_support.h"

namespace marquill::host::vbfiles {
namespace {

using namespace std::string_literals;
using ::marquill::host::vbfiles::testing::Crlf;

const std::string kClass = Crlf({
    "VERSION 1.0 CLASS",
    "BEGIN",
    "  MultiUse = -1  'True",
    "END",
    "Attribute VB_Name = \"clsThing\"",
    "Attribute VB_Exposed = False",
    "Attribute VB_Description = \"A thing.\"",
    "Option Explicit",
    "",
    "Public WithEvents Box As VB.TextBox",
    "Attribute Box.VB_VarHelpID = -1",
    "",
    "Public Property Get Size() As Long",
    "    Size = 1",
    "End Property",
    "",
    "Public Property Let Size(ByVal _",
    "                        Value As Long)",
    "Attribute Size.VB_Description = \"How big, \"\"roughly\"\".\"",
    "Attribute Size.VB_HelpID = 42",
    "End Property",
    "",
    "Public Function Grow(ByVal A As Long, _",
    "                     ByVal B As Long) As Long",
    "Attribute Grow.VB_UserMemId = 0",
    "    Grow = A + B",
    "End Function",
});

// An Event and a procedure may share a name; each keeps the attribute lines written under it.
const std::string kEventAndProcedure = Crlf({
    "VERSION 1.0 CLASS",
    "BEGIN",
    "  MultiUse = -1  'True",
    "END",
    "Attribute VB_Name = \"cMenu\"",
    "Option Explicit",
    "Public Event Pick(ByVal Index As Long)",
    "Attribute Pick.VB_Description = \"Raised on a pick.\"",
    "Public Event Paint(ByVal hDC As Long)",
    "",
    "Public Sub Show()",
    "End Sub",
    "",
    "Private Function Paint(ByVal wParam As Long, _",
    "                       ByVal lParam As Long) As Long",
    "Attribute Paint.VB_Description = \"Draws one item.\"",
    "    Paint = 0",
    "End Function",
});

struct Loaded {
  std::unique_ptr<MemoryProject> project;
  MemoryComponent* component = nullptr;
  ComponentImage image;

  std::string Render() { return RenderComponent(image, *component); }
  MemoryCodeModule& Code() { return *component->Code(); }
};

Loaded Load(std::string_view bytes, ComponentType type = ComponentType::kClassModule) {
  Loaded loaded;
  loaded.project = std::make_unique<MemoryProject>("P");
  ParsedComponentFile parsed = ParseComponentFile(bytes, "c.cls");
  loaded.component = &loaded.project->AddComponent(parsed.vb_name, type);
  loaded.image = Install(std::move(parsed), "c.cls", *loaded.component);
  return loaded;
}

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

TEST(ComponentFile, CodeWindowShowsNeitherHeaderNorAttributes) {
  Loaded loaded = Load(kClass);
  EXPECT_EQ(loaded.component->Name(), "clsThing");
  EXPECT_EQ(loaded.Code().CountOfLines(), 16);
  EXPECT_EQ(loaded.Code().Line(1), "Option Explicit");
  EXPECT_EQ(loaded.Code().Line(4), "");
  EXPECT_EQ(loaded.Code().Line(5), "Public Property Get Size() As Long");
  EXPECT_EQ(loaded.Code().Lines(1, 16).find("Attribute"), std::string::npos);
  EXPECT_EQ(loaded.component->Description(), "A thing.");
  Member& size = loaded.Code().Members().Item("Size");
  EXPECT_EQ(size.Description(), "How big, \"roughly\".");
  EXPECT_EQ(size.HelpContextID(), 42);
  EXPECT_EQ(loaded.Render(), kClass);
  EXPECT_FALSE(HasChanged(loaded.image, *loaded.component));
}

struct RoundTripCase {
  const char* name;
  std::string bytes;
};

class ComponentRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(ComponentRoundTripTest, RendersTheBytesItRead) {
  EXPECT_EQ(Load(GetParam().bytes).Render(), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ComponentRoundTripTest,
    ::testing::Values(
        RoundTripCase{"ClassWithMemberAttributes", kClass},
        RoundTripCase{"LfOnly", "Attribute VB_Name = \"m\"\nOption Explicit\n\nSub A()\nEnd Sub\n"},
        RoundTripCase{"NoFinalBreak", "Attribute VB_Name = \"m\"\r\nSub A()\r\nEnd Sub"},
        RoundTripCase{"OnlyAnAttributeWithoutBreak", "Attribute VB_Name = \"m\""},
        RoundTripCase{"NulPadding", "Attribute VB_Name = \"m\"\r\nSub A()\r\nEnd Sub\r\n\0\0\0\0"s},
        RoundTripCase{"MixedEndings", "Attribute VB_Name = \"m\"\r\nSub A()\nEnd Sub\r\n\n"},
        RoundTripCase{"Windows1252", "Attribute VB_Name = \"m\"\r\n' caf\xE9 \x93quoted\x94\r\n"},
        RoundTripCase{"AttributeAfterAnEvent",
                      Crlf({"Attribute VB_Name = \"c\"", "Public Event Done(ByVal A As Long, _",
                            "    ByVal B As Long)", "Attribute Done.VB_Description = \"Over.\""})},
        RoundTripCase{"EventAndProcedureOfOneNameEachWithItsOwnLines", kEventAndProcedure},
        RoundTripCase{"AttributeUnderAProcedureNamedLikeAnEvent",
                      Crlf({"Attribute VB_Name = \"c\"", "Public Event Draw()", "",
                            "Private Function Draw(ByVal A As Long) As Long",
                            "Attribute Draw.VB_Description = \"Paints.\"", "End Function"})},
        RoundTripCase{"AttributeUnderAPropertyNamedLikeAnEvent",
                      Crlf({"Attribute VB_Name = \"c\"", "Public Event Size()",
                            "Public Property Get Size() As Long", "End Property",
                            "Public Property Let Size(ByVal V As Long)",
                            "Attribute Size.VB_HelpID = 7", "End Property"})},
        RoundTripCase{
            "FormWithDesignerAndObjectLine",
            Crlf({"VERSION 5.00",
                  "Object = \"{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0\"; \"MSCOMCTL.OCX\"",
                  "Begin VB.Form frmA ", "   Caption         =   \"A\"",
                  "   Begin VB.CommandButton cmdOK ", "      Caption         =   \"OK\"", "   End",
                  "End", "Attribute VB_Name = \"frmA\"", "Private Sub cmdOK_Click()", "End Sub"})}),
    test::RowName());

TEST(ComponentFile, MemberAttributesFollowTheirDeclarationThroughEdits) {
  Loaded loaded = Load(kClass);
  loaded.Code().InsertLines(2, "' a new comment");
  loaded.Code().DeleteLines(9);  // the blank line between Size's accessors
  EXPECT_TRUE(HasChanged(loaded.image, *loaded.component));
  std::string expected =
      Replaced(kClass, "Option Explicit\r\n", "Option Explicit\r\n' a new comment\r\n");
  expected = Replaced(expected, "End Property\r\n\r\nPublic Property Let",
                      "End Property\r\nPublic Property Let");
  EXPECT_EQ(loaded.Render(), expected);
}

TEST(ComponentFile, NewDescriptionGoesUnderAContinuedDeclarationQuotedAsTheIdeQuotes) {
  Loaded loaded = Load(kClass);
  loaded.Code().Members().Item("Grow").SetDescription("Adds \"both\".");
  EXPECT_EQ(loaded.Render(), Replaced(kClass, "Attribute Grow.VB_UserMemId = 0\r\n",
                                      "Attribute Grow.VB_Description = \"Adds \"\"both\"\".\"\r\n"
                                      "Attribute Grow.VB_UserMemId = 0\r\n"));
}

TEST(ComponentFile, LinesUnderAProcedureNamedLikeAnEventStayThereThroughEdits) {
  Loaded loaded = Load(kEventAndProcedure);
  loaded.Code().InsertLines(7, "' drawing");
  loaded.Code().Members().Item("Paint").SetHelpContextID(9);
  std::string expected =
      Replaced(kEventAndProcedure, "End Sub\r\n\r\n", "End Sub\r\n' drawing\r\n\r\n");
  expected = Replaced(expected, "\"Draws one item.\"\r\n",
                      "\"Draws one item.\"\r\nAttribute Paint.VB_HelpID = 9\r\n");
  EXPECT_EQ(loaded.Render(), expected);
}

TEST(ComponentFile, ComponentHelpContextIdIsAComponentAttribute) {
  Loaded loaded = Load(kClass);
  loaded.component->SetHelpContextID(7);
  EXPECT_TRUE(HasChanged(loaded.image, *loaded.component));
  const std::string rendered = loaded.Render();
  EXPECT_NE(rendered.find("Attribute VB_HelpID = 7\r\nOption Explicit\r\n"), std::string::npos)
      << rendered;
  MarkSaved(loaded.image, *loaded.component);
  EXPECT_FALSE(HasChanged(loaded.image, *loaded.component));
}

TEST(ComponentFile, DeletedProcedureTakesItsAttributesAlong) {
  Loaded loaded = Load(kClass);
  loaded.Code().DeleteLines(13, 4);  // Grow, from its declaration to End Function
  const std::string rendered = loaded.Render();
  EXPECT_EQ(rendered.find("Grow"), std::string::npos) << rendered;
  EXPECT_TRUE(rendered.ends_with("End Property\r\n\r\n")) << rendered;
}

TEST(ComponentFile, LinesAddedAfterAnUnterminatedLastLineKeepTheFileUnterminated) {
  Loaded loaded = Load("Attribute VB_Name = \"m\"\nSub A()\nEnd Sub");
  loaded.Code().InsertLines(3, "Sub B()\r\nEnd Sub");
  EXPECT_EQ(loaded.Render(), "Attribute VB_Name = \"m\"\nSub A()\nEnd Sub\nSub B()\nEnd Sub");
}

TEST(ComponentFile, BlocksThatNeverCloseNameTheirLine) {
  const auto error_of = [](std::string_view text) {
    return ::marquill::test::MessageOf<LoadError>([&] { ParseComponentFile(text, "c.cls"); });
  };
  EXPECT_EQ(error_of(Crlf({"VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True",
                           "Attribute VB_Name = \"c\""})),
            "c.cls:2: BEGIN never closes (no END)");
  EXPECT_EQ(
      error_of(Crlf({"VERSION 5.00", "Begin VB.Form frmA ", "End", "Begin VB.Form frmB ", "End"})),
      "c.cls:4: a second designer block");
  EXPECT_EQ(error_of(Crlf({"VERSION 5.00", "Begin VB.Form frmA ", "   Caption = \"x\"",
                           "Attribute VB_Name = \"a\""})),
            "c.cls:2: Begin VB.Form frmA never closes (no End)");
}

}  // namespace
}  // namespace marquill::host::vbfiles
