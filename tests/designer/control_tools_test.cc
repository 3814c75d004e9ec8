#include "designer/control_tools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "form_files.h"
#include "host/support/named_rows.h"
#include "host/support/test_project.h"
#include "support/errors.h"

namespace marquill::designer {
namespace {

using host::test::LinesOf;
using host::test::RowName;
using ::testing::ElementsAre;
using testing_util::FormFile;
using testing_util::FormProject;
using Lines = std::vector<std::string>;

// ---- Recognising event procedures

struct LineCase {
  const char* name;
  const char* line;
  bool starts_text1;  // StartsEventProcedure(line, "Text1")
  bool ends_sub;
};

const LineCase kLineCases[] = {
    {"declaration", "Private Sub Text1_Change()", true, false},
    {"indented_declaration", "  Private Sub Text1_Click()", true, false},
    {"longer_name", "Private Sub Text10_Change()", false, false},
    {"public_helper", "Public Sub Text1_Helper()", false, false},
    {"no_underscore", "Private Sub Text1()", false, false},
    {"in_a_comment", "' Private Sub Text1_Change() was here", false, false},
    {"end_sub", "End Sub", false, true},
    {"indented_end_sub_with_comment", "    End Sub ' done", false, true},
    {"end_sub_after_colon", "Private Sub Text1_Click(): Beep: End Sub", true, true},
    {"end_sub_in_comment", "    x = 1 ' End Sub comes later", false, false},
    {"end_sub_in_string", "    MsgBox \"End Sub\"", false, false},
    {"end_sub_as_suffix", "    Call SendEnd Sub", false, false},
};

class EventLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(EventLineTest, RecognisesDeclarationsAndEnds) {
  EXPECT_EQ(StartsEventProcedure(GetParam().line, "Text1"), GetParam().starts_text1);
  EXPECT_EQ(EndsSub(GetParam().line), GetParam().ends_sub);
}

INSTANTIATE_TEST_SUITE_P(Lines, EventLineTest, ::testing::ValuesIn(kLineCases), RowName());

// ---- Deleting event procedures

struct DeleteCase {
  const char* name;
  Lines before;
  Lines after;
  int removed;
};

const DeleteCase kDeleteCases[] = {
    {"longer_name_kept",
     {"Private Sub Text1_Change()", "x = 1", "End Sub", "Private Sub Text10_Change()", "End Sub"},
     {"Private Sub Text10_Change()", "End Sub"},
     1},
    {"two_adjacent_procedures",
     {"Option Explicit", "Private Sub Text1_Change()", "End Sub", "Private Sub Text1_Click()",
      "y = 2", "End Sub", "Sub Other()", "End Sub"},
     {"Option Explicit", "Sub Other()", "End Sub"},
     2},
    {"public_helper_kept",
     {"Public Sub Text1_Helper()", "End Sub", "Private Sub Text1_GotFocus()", "End Sub"},
     {"Public Sub Text1_Helper()", "End Sub"},
     1},
    {"end_sub_in_comment_and_string_does_not_end_it",
     {"Private Sub Text1_Change()", "' End Sub is near", "MsgBox \"End Sub\"", "z = 3", "End Sub",
      "Sub Keep()", "End Sub"},
     {"Sub Keep()", "End Sub"},
     1},
    {"array_event_with_index",
     {"Private Sub Text1_Change(Index As Integer)", "Debug.Print Index", "End Sub"},
     {},
     1},
    {"missing_end_sub_keeps_the_rest",
     {"Sub Keep()", "End Sub", "Private Sub Text1_Change()", "x = 1"},
     {"Sub Keep()", "End Sub", "Private Sub Text1_Change()", "x = 1"},
     0},
    {"one_line_procedure",
     {"Private Sub Text1_Click(): Beep: End Sub", "Sub Keep()", "End Sub"},
     {"Sub Keep()", "End Sub"},
     1},
};

class DeleteEventsTest : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteEventsTest, RemovesWholeProceduresOnly) {
  host::test::TestModule module(GetParam().before);
  EXPECT_EQ(DeleteEventProcedures(module.code(), "Text1"), GetParam().removed);
  EXPECT_EQ(LinesOf(module.code()), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Modules, DeleteEventsTest, ::testing::ValuesIn(kDeleteCases), RowName());

// ---- Renaming in code

struct RenameLineCase {
  const char* name;
  const char* line;
  const char* expected;
};

const RenameLineCase kRenameLineCases[] = {
    {"whole_identifier", "Text1.Text = Text10.Text", "txtName.Text = Text10.Text"},
    {"string_literal_kept", "Controls(\"Text1\").Text = Text1",
     "Controls(\"Text1\").Text = txtName"},
    {"doubled_quotes_inside_string", "s = \"a \"\"Text1\"\" b\" & Text1",
     "s = \"a \"\"Text1\"\" b\" & txtName"},
    {"event_procedure_name", "Private Sub Text1_Change()", "Private Sub txtName_Change()"},
    {"call_of_event_procedure", "Call Text1_Change", "Call txtName_Change"},
    {"other_procedure_kept", "Call Text1_Helper", "Call Text1_Helper"},
    {"comment_follows", "x = 1 ' see Text1's value", "x = 1 ' see txtName's value"},
    {"quote_in_comment_is_no_string", "' it's \"Text1", "' it's \"txtName"},
    {"rem_comment", "Rem \"Text1 is read", "Rem \"txtName is read"},
    {"rem_after_colon", "x = 1: Rem \"Text1\" Text1", "x = 1: Rem \"txtName\" txtName"},
    {"rem_without_blank_is_no_comment", "Rem\"Text1\" Text1", "Rem\"Text1\" txtName"},
    {"member_of_me", "Me.Text1.SetFocus", "Me.txtName.SetFocus"},
    {"prefix_and_suffix_kept", "xText1 = Text1x", "xText1 = Text1x"},
    {"number_and_hex_kept", "a = 1Text1 + &HText1", "a = 1Text1 + &HText1"},
    {"after_an_ampersand", "s = \"a\" &Text1", "s = \"a\" &txtName"},
    {"several_on_one_line", "Text1 = Text1 & Text1", "txtName = txtName & txtName"},
};

class RenameLineTest : public ::testing::TestWithParam<RenameLineCase> {};

TEST_P(RenameLineTest, RewritesWholeIdentifiersOutsideStrings) {
  EXPECT_EQ(RenameInLine(GetParam().line, "Text1", "txtName", {"Text1_Change"}),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Lines, RenameLineTest, ::testing::ValuesIn(kRenameLineCases), RowName());

TEST(RenameInCodeTest, EventProceduresFollowTheNewNameButPublicOnesDoNot) {
  host::test::TestModule module({"Private Sub Text1_Change()", "    Text1_Helper", "End Sub",
                                 "Public Sub Text1_Helper()", "    Text1.Text = \"\"", "End Sub"});
  EXPECT_EQ(RenameInCode(module.code(), "Text1", "txtName"), 2);
  EXPECT_THAT(LinesOf(module.code()),
              ElementsAre("Private Sub txtName_Change()", "    Text1_Helper", "End Sub",
                          "Public Sub Text1_Helper()", "    txtName.Text = \"\"", "End Sub"));
}

// ---- Checking a new name

const std::string kFormWithControls =
    FormFile("frmNames", {"   Begin VB.TextBox Text1 ", "      TabIndex        =   1", "   End",
                          "   Begin VB.TextBox Text10 ", "   End"});

struct NameCase {
  const char* name;
  std::string new_name;
  const char* refusal;  // a part of the reason, "" when the name is taken
};

const NameCase kNameCases[] = {
    {"plain", "txtName", ""},
    {"case_change_of_itself", "TEXT1", ""},
    {"forty_characters", std::string(40, 'a'), ""},
    {"empty", "", "empty"},
    {"forty_one_characters", std::string(41, 'a'), "at most 40"},
    {"leading_digit", "1Text", "not a valid name"},
    {"blank_inside", "txt Name", "not a valid name"},
    {"leading_underscore", "_x", "not a valid name"},
    {"reserved_word", "Dim", "reserved"},
    {"other_control", "text10", "already exists"},
    {"form_name", "frmNames", "the form itself"},
};

class NewNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(NewNameTest, SaysWhyANameIsRefused) {
  FormProject files({{"frmNames", kFormWithControls}});
  const std::string reason =
      CheckNewControlName(files.designer("frmNames"), "frmNames", "Text1", GetParam().new_name);
  if (std::string(GetParam().refusal).empty()) {
    EXPECT_EQ(reason, "");
  } else {
    EXPECT_THAT(reason, ::testing::HasSubstr(GetParam().refusal));
  }
}

INSTANTIATE_TEST_SUITE_P(Names, NewNameTest, ::testing::ValuesIn(kNameCases), RowName());

// ---- Whole commands on a form file

const std::string kNestedForm = FormFile(
    "frmMain",
    {"   Begin VB.Frame fraBox ", "      Caption         =   \"Box\"",
     "      TabIndex        =   0", "      Begin VB.TextBox Text1 ",
     "         TabIndex        =   1", "      End", "   End", "   Begin VB.TextBox Text10 ",
     "      TabIndex        =   2", "   End", "   Begin VB.OptionButton optPick ",
     "      Index           =   1", "      TabIndex        =   4", "   End",
     "   Begin VB.OptionButton optPick ", "      TabIndex        =   3",
     "      Index           =   0", "   End"},
    {"Option Explicit", "", "Private Sub Text1_Change()", "    Text10.Text = Text1.Text", "End Sub",
     "", "Private Sub optPick_Click(Index As Integer)", "    Text1.Text = \"Text1\"", "End Sub"});

class ControlCommandTest : public ::testing::Test {
 protected:
  FormProject files_{{{"frmMain", kNestedForm}}};
  host::Component& form() { return files_.form("frmMain"); }
  Lines Code() { return LinesOf(*form().CodeModule()); }
  Lines Names() { return ControlNames(*form().Designer()); }
};

TEST_F(ControlCommandTest, ListsNestedControlsAndEveryArrayElement) {
  EXPECT_THAT(Names(), ElementsAre("fraBox", "Text1", "Text10", "optPick", "optPick"));
}

TEST_F(ControlCommandTest, DeletesANestedControlFromCodeAndDesigner) {
  DeleteControl(form(), "Text1");
  EXPECT_THAT(Names(), ElementsAre("fraBox", "Text10", "optPick", "optPick"));
  EXPECT_THAT(Code(), ElementsAre("Option Explicit", "", "",
                                  "Private Sub optPick_Click(Index As "
                                  "Integer)",
                                  "    Text1.Text = \"Text1\"", "End Sub"));
  EXPECT_EQ(files_.Saved("frmMain.frm").find("Begin VB.TextBox Text1 \r\n"), std::string::npos);
}

TEST_F(ControlCommandTest, DeletesEveryElementOfAnArray) {
  DeleteControl(form(), "optPick");
  EXPECT_THAT(Names(), ElementsAre("fraBox", "Text1", "Text10"));
  EXPECT_EQ(Code().size(), 6u);
}

TEST_F(ControlCommandTest, RenamesANestedControlInCodeAndDesigner) {
  RenameControl(form(), "Text1", "txtName");
  EXPECT_THAT(Names(), ElementsAre("fraBox", "txtName", "Text10", "optPick", "optPick"));
  EXPECT_THAT(Code(), ElementsAre("Option Explicit", "", "Private Sub txtName_Change()",
                                  "    Text10.Text = txtName.Text", "End Sub", "",
                                  "Private Sub optPick_Click(Index As Integer)",
                                  "    txtName.Text = \"Text1\"", "End Sub"));
  files_.files().Save();
  files_.Reload();
  EXPECT_THAT(ControlNames(*files_.form("frmMain").Designer()),
              ElementsAre("fraBox", "txtName", "Text10", "optPick", "optPick"));
}

TEST_F(ControlCommandTest, RenamesEveryElementOfAnArray) {
  RenameControl(form(), "optPick", "optChoice");
  EXPECT_THAT(Names(), ElementsAre("fraBox", "Text1", "Text10", "optChoice", "optChoice"));
  EXPECT_EQ(Code()[6], "Private Sub optChoice_Click(Index As Integer)");
}

struct RefusedCase {
  const char* name;
  bool rename;
  const char* control;
  const char* new_name;
  const char* message;
};

const RefusedCase kRefusedCases[] = {
    {"delete_unknown", false, "Text2", "", "frmMain has no control named Text2"},
    {"rename_unknown", true, "Text2", "txtNew", "frmMain has no control named Text2"},
    {"rename_to_taken", true, "Text1", "Text10",
     "a control named Text10 already exists on frmMain"},
    {"rename_too_long", true, "Text1", "a23456789012345678901234567890123456789012",
     "\"a23456789012345678901234567890123456789012\" is too long: a control name has at most 40 "
     "characters"},
    {"rename_not_identifier", true, "Text1", "txt-1",
     "\"txt-1\" is not a valid name: it must start with a letter and hold only letters, digits "
     "and underscores"},
};

class RefusedControlTest : public ControlCommandTest,
                           public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedControlTest, ChangesNothing) {
  const std::string before = files_.Saved("frmMain.frm");
  EXPECT_EQ(test::MessageOf<ControlError>([&] {
              if (GetParam().rename) {
                RenameControl(form(), GetParam().control, GetParam().new_name);
              } else {
                DeleteControl(form(), GetParam().control);
              }
            }),
            GetParam().message);
  EXPECT_EQ(files_.Saved("frmMain.frm"), before);
  EXPECT_TRUE(files_.files().SaveToMemory().empty());
}

INSTANTIATE_TEST_SUITE_P(Inputs, RefusedControlTest, ::testing::ValuesIn(kRefusedCases), RowName());

}  // namespace
}  // namespace marquill::designer
