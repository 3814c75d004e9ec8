#include "designer/tab_order.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "form_files.h"
#include "host/support/named_rows.h"
#include "support/errors.h"

namespace marquill::designer {
namespace {

using host::test::RowName;
using testing_util::FormFile;
using testing_util::FormProject;
using Entries = std::vector<TabEntry>;

// A label at tab index 0, two text boxes, a line, an image, a check box without a tab stop and a
// two-element option array, listed out of tab order.
const std::string kForm = FormFile("frmTabs", {"   Begin VB.TextBox txtSecond ",
                                               "      TabIndex        =   2",
                                               "   End",
                                               "   Begin VB.Label lblName ",
                                               "      Caption         =   \"Name:\"",
                                               "   End",
                                               "   Begin VB.Line linRule ",
                                               "      X1              =   0",
                                               "   End",
                                               "   Begin VB.TextBox txtFirst ",
                                               "      TabIndex        =   1",
                                               "   End",
                                               "   Begin VB.Image imgLogo ",
                                               "   End",
                                               "   Begin VB.CheckBox chkQuiet ",
                                               "      TabIndex        =   3",
                                               "      TabStop         =   0   'False",
                                               "   End",
                                               "   Begin VB.OptionButton optPick ",
                                               "      Index           =   1",
                                               "      TabIndex        =   5",
                                               "   End",
                                               "   Begin VB.OptionButton optPick ",
                                               "      Index           =   0",
                                               "      TabIndex        =   4",
                                               "   End"});

class TabOrderTest : public ::testing::Test {
 protected:
  FormProject files_{{{"frmTabs", kForm}}};
  host::FormDesigner& designer() { return files_.designer("frmTabs"); }
  host::PropertyValue Get(const std::string& control, const std::string& property, int nth = 1) {
    int seen = 0;
    for (host::Control& each : designer().AllControls()) {
      if (std::get<std::string>(each.Properties().Item("Name").Value()) == control && ++seen == nth)
        return each.Properties().Item(property).Value();
    }
    ADD_FAILURE() << "no control " << control;
    return {};
  }
};

TEST_F(TabOrderTest, ReadsTheOrderByTabIndexAndTheStopsByDesignerOrder) {
  const TabOrder lists = ReadTabOrder(designer());
  EXPECT_EQ(
      lists.order,
      (Entries{
          {"lblName", -1}, {"txtFirst", -1}, {"txtSecond", -1}, {"optPick", 0}, {"optPick", 1}}))
      << "the label at its index 0; the line and the image in neither list";
  EXPECT_EQ(lists.no_stop, (Entries{{"chkQuiet", -1}}));
}

TEST_F(TabOrderTest, WritesIndexesInListOrderAndSwitchesStopsOff) {
  WriteTabOrder(designer(),
                {{{"optPick", 1}, {"txtSecond", -1}, {"lblName", -1}}, {{"txtFirst", -1}}});
  EXPECT_EQ(Get("optPick", "TabIndex"), host::PropertyValue(std::int32_t{0}));
  EXPECT_EQ(Get("txtSecond", "TabIndex"), host::PropertyValue(std::int32_t{1}));
  EXPECT_EQ(Get("lblName", "TabIndex"), host::PropertyValue(std::int32_t{2}));
  EXPECT_EQ(Get("txtFirst", "TabStop"), host::PropertyValue(false));
  EXPECT_EQ(Get("txtFirst", "TabIndex"), host::PropertyValue(std::int32_t{1}))
      << "a switched-off tab stop keeps its index";
  EXPECT_EQ(Get("optPick", "TabIndex", 2), host::PropertyValue(std::int32_t{4}))
      << "element 0, not listed, keeps its index";
}

TEST_F(TabOrderTest, WritingWhatWasReadClosesGapsAndThenChangesNothing) {
  WriteTabOrder(designer(), ReadTabOrder(designer()));
  EXPECT_EQ(Get("optPick", "TabIndex", 2), host::PropertyValue(std::int32_t{3}))
      << "element 0 moves up into the place of the switched-off check box";
  EXPECT_EQ(Get("optPick", "TabIndex", 1), host::PropertyValue(std::int32_t{4}));
  files_.files().Save();
  WriteTabOrder(designer(), ReadTabOrder(designer()));
  EXPECT_TRUE(files_.files().SaveToMemory().empty());
}

TEST_F(TabOrderTest, SwitchingAStopBackOnWritesTheDefault) {
  WriteTabOrder(designer(), {{{"chkQuiet", -1}}, {}});
  const std::string saved = files_.Saved("frmTabs.frm");
  EXPECT_EQ(saved.find("TabStop"), std::string::npos) << "True is the default, left unwritten";
  EXPECT_EQ(Get("chkQuiet", "TabIndex"), host::PropertyValue(std::int32_t{0}));
}

struct BadListCase {
  const char* name;
  TabOrder lists;
  const char* message;
};

const BadListCase kBadLists[] = {
    {"unknown_control", {{{"txtThird", -1}}, {}}, "the form has no control txtThird"},
    {"unknown_element", {{{"optPick", 7}}, {}}, "the form has no control optPick(7)"},
    {"bare_array_name",
     {{{"optPick", -1}}, {}},
     "optPick is a control array: name an element, such as optPick(0)"},
    {"twice_in_order", {{{"txtFirst", -1}, {"txtFirst", -1}}, {}}, "txtFirst is named twice"},
    {"in_both_lists", {{{"txtFirst", -1}}, {{"TXTFIRST", -1}}}, "txtFirst is named twice"},
};

class BadTabListTest : public TabOrderTest, public ::testing::WithParamInterface<BadListCase> {};

TEST_P(BadTabListTest, IsRefusedWithNothingWritten) {
  EXPECT_THROW(CheckTabOrder(designer(), GetParam().lists), TabOrderError);
  EXPECT_EQ(test::MessageOf<TabOrderError>([&] { WriteTabOrder(designer(), GetParam().lists); }),
            GetParam().message);
  EXPECT_TRUE(files_.files().SaveToMemory().empty());
}

INSTANTIATE_TEST_SUITE_P(Lists, BadTabListTest, ::testing::ValuesIn(kBadLists), RowName());

struct EntryTextCase {
  const char* name;
  const char* text;
  TabEntry entry;
  bool valid;
};

const EntryTextCase kEntryTexts[] = {
    {"lone", "txtName", {"txtName", -1}, true},
    {"element", "optPick(12)", {"optPick", 12}, true},
    {"empty", "", {}, false},
    {"no_name", "(1)", {}, false},
    {"not_a_number", "optPick(x)", {}, false},
    {"unclosed", "optPick(1", {}, false},
    {"negative", "optPick(-1)", {}, false},
};

class EntryTextTest : public ::testing::TestWithParam<EntryTextCase> {};

TEST_P(EntryTextTest, ReadsNamesAndElements) {
  if (!GetParam().valid) {
    EXPECT_THROW(ParseEntryText(GetParam().text), std::invalid_argument);
    return;
  }
  EXPECT_EQ(ParseEntryText(GetParam().text), GetParam().entry);
  EXPECT_EQ(EntryText(GetParam().entry), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Texts, EntryTextTest, ::testing::ValuesIn(kEntryTexts), RowName());

}  // namespace
}  // namespace marquill::designer
