#include "host/support/named_rows.h"
#include "host/vbfiles/designer.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/side_files.h"
#include "host/vbfiles/text_file.h"
#include "support/errors.h"
#include "vbfiles_test_support.h"

namespace marquill::host::vbfiles {
namespace {

using ::marquill::host::vbfiles::testing::Crlf;
using ::marquill::host::vbfiles::testing::ScratchDir;
using ::marquill::host::vbfiles::testing::WriteBytes;

const std::string kForm = Crlf({
    "Begin VB.Form frmTest ",
    "   BackColor       =   &H00FFFFFF&",
    "   Caption         =   \"Say \"\"hi\"\"\"",
    "   ClientHeight    =   3195",
    "   ScaleMode       =   3  'Bildpunkt",
    "   ShowInTaskbar   =   0   'False",
    "   Begin VB.Frame fraOuter ",
    "      Caption         =   \"Outer\"",
    "      Begin VB.PictureBox picMid ",
    "         Begin VB.CheckBox chkDeep ",
    "            Caption         =   \"Deep\"",
    "            TabIndex        =   3",
    "         End",
    "      End",
    "   End",
    "   Begin VB.TextBox txtItem ",
    "      Index           =   1",
    "      TabIndex        =   2",
    "      TabStop         =   0   'False",
    "   End",
    "   Begin VB.TextBox txtItem ",
    "      Index           =   0",
    "      TabIndex        =   1",
    "   End",
    "   Begin VB.Label lblName ",
    "      Caption         =   \"Name:\"",
    "      BeginProperty Font ",
    "         Name            =   \"Tahoma\"",
    "         Size            =   8.25",
    "      EndProperty",
    "      Height          =   255",
    "   End",
    "   Begin VB.Line linRule ",
    "      X1              =   0",
    "   End",
    "   Begin MSComctlLib.ListView lvwList ",
    "      TabIndex        =   4",
    "      _Version        =   393217",
    "   End",
    "   Begin MSComctlLib.ProgressBar prgBusy ",
    "      Height          =   255",
    "   End",
    "End",
});

std::unique_ptr<DesignerTree> ParseTree(std::string_view text) {
  const TextImage image = SplitText(text, "f.frm");
  std::size_t index = 0;
  auto tree = DesignerTree::Parse(image.lines, &index, "f.frm");
  EXPECT_EQ(index, image.lines.size());
  return tree;
}

std::string Render(const DesignerTree& tree) {
  std::string out;
  LineWriter writer(out, Eol::kCrLf);
  tree.Render(writer);
  return out;
}

// The form's text with `from` replaced by `to` (each must occur once).
std::string Edited(std::string text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

std::vector<std::string> Names(Controls& controls) {
  std::vector<std::string> names;
  for (Control& control : controls)
    names.push_back(std::get<std::string>(control.Properties().Item("Name").Value()));
  return names;
}

class DesignerTest : public ::testing::Test {
 protected:
  std::unique_ptr<DesignerTree> tree_ = ParseTree(kForm);
  Control& Find(std::string_view name) { return tree_->AllControls().Item(name); }
  PropertyValue Get(std::string_view control, std::string_view property) {
    Properties& properties = control.empty() ? tree_->FormProperties() : Find(control).Properties();
    return properties.Item(property).Value();
  }
  void Set(std::string_view control, std::string_view property, const PropertyValue& value) {
    Properties& properties = control.empty() ? tree_->FormProperties() : Find(control).Properties();
    properties.Item(property).SetValue(value);
  }
};

TEST_F(DesignerTest, ReadsTheTreeAndRendersItBack) {
  EXPECT_EQ(Render(*tree_), kForm);
  EXPECT_EQ(tree_->Root().ClassName(), "VB.Form");
  EXPECT_EQ(Names(tree_->Controls()),
            (std::vector<std::string>{"fraOuter", "txtItem", "txtItem", "lblName", "linRule",
                                      "lvwList", "prgBusy"}));
  EXPECT_EQ(Names(tree_->AllControls()),
            (std::vector<std::string>{"fraOuter", "picMid", "chkDeep", "txtItem", "txtItem",
                                      "lblName", "linRule", "lvwList", "prgBusy"}));
  EXPECT_EQ(Names(Find("fraOuter").ContainedControls()), std::vector<std::string>{"picMid"});
  EXPECT_EQ(Find("picMid").ContainedControls().Item(1).ClassName(), "VB.CheckBox");
  EXPECT_EQ(Find("lvwList").ClassName(), "MSComctlLib.ListView");
}

TEST_F(DesignerTest, ControlArrayElementsShareANameAndItemGivesTheFirst) {
  Control& first = tree_->Controls().Item("TXTITEM");
  EXPECT_EQ(first.Properties().Item("Index").Value(), PropertyValue(std::int32_t{1}));
  EXPECT_EQ(tree_->Controls().Item(3).Properties().Item("Index").Value(),
            PropertyValue(std::int32_t{0}));
  EXPECT_THROW(tree_->Controls().Item("chkDeep"), HostError) << "nested, not on the form itself";
  EXPECT_THROW(Find("fraOuter").Properties().Item("Index"), HostError) << "not an array element";
}

struct ValueCase {
  const char* name;
  const char* control;  // "" for the form
  const char* property;
  PropertyValue expected;
};

class DesignerValueTest : public DesignerTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(DesignerValueTest, ReadsTypedValues) {
  EXPECT_EQ(Get(GetParam().control, GetParam().property), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DesignerValueTest,
    ::testing::Values(
        ValueCase{"StringWithDoubledQuotes", "", "Caption", std::string("Say \"hi\"")},
        ValueCase{"Number", "", "ClientHeight", std::int32_t{3195}},
        ValueCase{"EnumWithLocalisedComment", "", "ScaleMode", std::int32_t{3}},
        ValueCase{"BooleanFalse", "", "ShowInTaskbar", false},
        ValueCase{"Colour", "", "BackColor", Color{0x00FFFFFF}},
        ValueCase{"UnwrittenEnumIsItsDefault", "", "BorderStyle", std::int32_t{2}},
        ValueCase{"UnwrittenBooleanIsItsDefault", "", "WhatsThisButton", false},
        ValueCase{"UnwrittenIconIsEmpty", "", "Icon", Picture{}},
        ValueCase{"FormName", "", "Name", std::string("frmTest")},
        ValueCase{"WrittenTabStopFalse", "txtItem", "TabStop", false},
        ValueCase{"UnwrittenTabStopOfATextBoxIsTrue", "chkDeep", "TabStop", true},
        ValueCase{"UnwrittenTabIndexIsZero", "fraOuter", "TabIndex", std::int32_t{0}},
        ValueCase{"LabelHasATabIndex", "lblName", "TabIndex", std::int32_t{0}},
        ValueCase{"WrittenTabIndexOfAnActiveXControl", "lvwList", "TabIndex", std::int32_t{4}},
        ValueCase{"PropertyGroup", "lblName", "Font", std::monostate{}},
        ValueCase{"AfterAGroup", "lblName", "Height", std::int32_t{255}}),
    test::RowName());

TEST_F(DesignerTest, PropertiesAControlDoesNotHaveAreRefused) {
  EXPECT_THROW(Find("linRule").Properties().Item("TabIndex"), HostError);
  EXPECT_THROW(Find("lblName").Properties().Item("TabStop"), HostError);
  EXPECT_THROW(Find("fraOuter").Properties().Item("TabStop"), HostError);
  EXPECT_THROW(Find("prgBusy").Properties().Item("TabIndex"), HostError)
      << "ActiveX: only what is written";
  EXPECT_THROW(tree_->FormProperties().Item("NoSuchProperty"), HostError);
}

TEST_F(DesignerTest, MdiFormHasNoBorderStyle) {
  auto mdi =
      ParseTree(Crlf({"Begin VB.MDIForm mdiMain ", "   Caption         =   \"Main\"", "End"}));
  EXPECT_THROW(mdi->FormProperties().Item("BorderStyle"), HostError);
  EXPECT_THROW(mdi->FormProperties().Item("ScaleMode"), HostError);
  EXPECT_EQ(mdi->FormProperties().Item("WindowState").Value(), PropertyValue(std::int32_t{0}));
}

struct EditCase {
  const char* name;
  const char* control;
  const char* property;
  PropertyValue value;
  const char* from;                        // the text of kForm that changes ...
  const char* to;                          // ... into this
  PropertyValue reads = std::monostate{};  // what the property reads afterwards, when not `value`
};

class DesignerEditTest : public DesignerTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(DesignerEditTest, RewritesOnlyTheLineItChanges) {
  const EditCase& c = GetParam();
  const std::uint64_t before = tree_->Revision();
  Property& property =
      (*c.control ? Find(c.control).Properties() : tree_->FormProperties()).Item(c.property);
  property.SetValue(c.value);
  EXPECT_EQ(Render(*tree_), Edited(kForm, c.from, c.to));
  EXPECT_GT(tree_->Revision(), before);
  EXPECT_EQ(property.Value(), std::holds_alternative<std::monostate>(c.reads) ? c.value : c.reads);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, DesignerEditTest,
    ::testing::Values(
        EditCase{"EnumGetsTheValueName", "", "ScaleMode", std::int32_t{6}, "3  'Bildpunkt",
                 "6  'Millimeter"},
        EditCase{"DefaultValueRemovesTheLine", "", "ScaleMode", std::int32_t{1},
                 "   ScaleMode       =   3  'Bildpunkt\r\n", ""},
        EditCase{"BooleanTrueIsTheDefault", "", "ShowInTaskbar", true,
                 "   ShowInTaskbar   =   0   'False\r\n", ""},
        EditCase{"Colour", "", "BackColor", Color{0x8000000C}, "&H00FFFFFF&", "&H8000000C&"},
        EditCase{"StringIsQuoted", "", "Caption", std::string("It's \"new\""), "\"Say \"\"hi\"\"\"",
                 "\"It's \"\"new\"\"\""},
        EditCase{"InsertedInAlphabeticalOrder", "", "BorderStyle", std::int32_t{3},
                 "&H00FFFFFF&\r\n", "&H00FFFFFF&\r\n   BorderStyle     =   3  'Fixed Dialog\r\n"},
        EditCase{"InsertedBeforeTheControls", "", "WindowState", std::int32_t{2},
                 "   Begin VB.Frame fraOuter ",
                 "   WindowState     =   2  'Maximized\r\n   Begin VB.Frame fraOuter "},
        EditCase{"BooleanInsertedWithItsComment", "", "WhatsThisButton", true,
                 "   Begin VB.Frame fraOuter ",
                 "   WhatsThisButton =   -1  'True\r\n   Begin VB.Frame fraOuter "},
        EditCase{"TabIndexZeroIsNotWritten", "chkDeep", "TabIndex", std::int32_t{0},
                 "            TabIndex        =   3\r\n", ""},
        EditCase{"TabStopTrueIsNotWritten", "txtItem", "TabStop", true,
                 "      TabStop         =   0   'False\r\n", ""},
        EditCase{"InsertedAfterAGroupInANestedBlock", "lblName", "TabIndex", std::int32_t{5},
                 "EndProperty\r\n      Height          =   255\r\n",
                 "EndProperty\r\n      Height          =   255\r\n      TabIndex        =   5\r\n"},
        EditCase{
            "IntegerTurnsBooleanForABooleanProperty", "chkDeep", "TabStop", std::int32_t{0},
            "            TabIndex        =   3\r\n",
            "            TabIndex        =   3\r\n            TabStop         =   0   'False\r\n",
            false},
        EditCase{"ActiveXPropertyThatIsWritten", "lvwList", "_Version", std::int32_t{393218},
                 "393217", "393218"},
        EditCase{"RenameKeepsTheBeginLinesTrailingSpace", "fraOuter", "Name",
                 std::string("fraBorder"), "Begin VB.Frame fraOuter ",
                 "Begin VB.Frame fraBorder "}),
    test::RowName());

TEST_F(DesignerTest, SettingTheValueAlreadyThereKeepsTheLocalisedComment) {
  const std::uint64_t before = tree_->Revision();
  Set("", "ScaleMode", std::int32_t{3});
  Set("", "BorderStyle", std::int32_t{2});  // the default, not written
  EXPECT_EQ(Render(*tree_), kForm);
  EXPECT_EQ(tree_->Revision(), before);
}

TEST_F(DesignerTest, ValuesOfTheWrongKindOrNameAreRefused) {
  EXPECT_THROW(Set("", "ScaleMode", std::string("Pixel")), HostError);
  EXPECT_THROW(Set("", "Caption", std::int32_t{1}), HostError);
  EXPECT_THROW(Set("", "Name", std::string("frmOther")), HostError)
      << "the form's name is the component's";
  EXPECT_THROW(Set("fraOuter", "Name", std::string("lblName")), HostError) << "taken";
  EXPECT_THROW(Set("fraOuter", "Name", std::string("1st")), HostError);
  EXPECT_THROW(Set("lblName", "Font", std::int32_t{1}), HostError);
  EXPECT_THROW(Set("", "Caption", std::string("two\r\nlines")), HostError);
  EXPECT_THROW(Set("lvwList", "_Version", std::string("a\nb")), HostError);
  EXPECT_EQ(Render(*tree_), kForm);
}

// Elements of control arrays, each written with its Index.
const std::string kArrays = Crlf({
    "Begin VB.Form frmArrays ",
    "   Begin VB.TextBox txtA ",
    "      Index           =   0",
    "   End",
    "   Begin VB.TextBox txtA ",
    "      Index           =   1",
    "   End",
    "   Begin VB.TextBox txtB ",
    "      Index           =   1",
    "   End",
    "   Begin VB.CheckBox chkA ",
    "      Index           =   2",
    "   End",
    "End",
});

TEST(DesignerRename, TheElementsOfAnArrayAreRenamedOneAtATime) {
  auto tree = ParseTree(kArrays);
  for (Control& control : tree->Controls()) {
    Property& name = control.Properties().Item("Name");
    if (name.Value() == PropertyValue(std::string("txtA"))) name.SetValue(std::string("txtNew"));
  }
  std::string expected = kArrays;
  for (std::size_t at; (at = expected.find("txtA ")) != std::string::npos;)
    expected.replace(at, 5, "txtNew ");
  EXPECT_EQ(Render(*tree), expected);
  EXPECT_EQ(Names(tree->Controls()),
            (std::vector<std::string>{"txtNew", "txtNew", "txtB", "chkA"}));
}

TEST(DesignerRename, AnElementJoinsAnotherArrayOnlyOfItsClassAtAFreeIndex) {
  auto tree = ParseTree(kArrays);
  Controls& controls = tree->Controls();
  const auto rename = [&](int item, std::string name) {
    controls.Item(item).Properties().Item("Name").SetValue(std::move(name));
  };
  EXPECT_THROW(rename(2, "txtB"), HostError) << "txtB(1) exists";
  EXPECT_THROW(rename(1, "chkA"), HostError) << "chkA is an array of check boxes";
  EXPECT_THROW(rename(4, "txtA"), HostError) << "a check box cannot join text boxes";
  EXPECT_EQ(Render(*tree), kArrays);
  rename(1, "txtB");
  EXPECT_EQ(Render(*tree), Edited(kArrays, "txtA \r\n      Index           =   0",
                                  "txtB \r\n      Index           =   0"));
}

TEST_F(DesignerTest, RemovingANestedControlRemovesItsBlock) {
  Control& deep = Find("chkDeep");
  EXPECT_THROW(tree_->Controls().Remove(deep), HostError) << "not placed on the form directly";
  tree_->AllControls().Remove(deep);
  EXPECT_EQ(Render(*tree_), Edited(kForm,
                                   Crlf({"         Begin VB.CheckBox chkDeep ",
                                         "            Caption         =   \"Deep\"",
                                         "            TabIndex        =   3", "         End"}),
                                   ""));
  EXPECT_EQ(Find("picMid").ContainedControls().Count(), 0);
  EXPECT_EQ(tree_->AllControls().Count(), 8);
  EXPECT_THROW(Find("chkDeep"), HostError);
}

TEST_F(DesignerTest, RemovingAContainerTakesWhatItHolds) {
  tree_->Controls().Remove(tree_->Controls().Item("fraOuter"));
  EXPECT_EQ(
      Names(tree_->AllControls()),
      (std::vector<std::string>{"txtItem", "txtItem", "lblName", "linRule", "lvwList", "prgBusy"}));
}

TEST(DesignerParse, BlocksThatNeverCloseNameTheirLine) {
  const auto error_of = [](std::string_view text) {
    return ::marquill::test::MessageOf<LoadError>([&] { ParseTree(text); });
  };
  EXPECT_EQ(error_of(Crlf(
                {"Begin VB.Form frmBroken ", "   Begin VB.Frame fraA ", "      Caption = \"A\""})),
            "f.frm:2: Begin VB.Frame fraA never closes (no End)");
  EXPECT_EQ(error_of(Crlf({"Begin VB.Form frmBroken ", "   Caption = \"A\"",
                           "   Begin VB.Frame fraA ", "   End"})),
            "f.frm:1: Begin VB.Form frmBroken never closes (no End)");
  EXPECT_EQ(error_of(Crlf({"Begin VB.Form frmBroken ", "   Caption = \"A\"",
                           "   BeginProperty Font ", "      Name = \"Arial\"", "End"})),
            "f.frm:3: BeginProperty Font never closes (no EndProperty)");
}

class DesignerPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(dir_ / "frmPic.frx", SideFiles::PictureRecord("ICON-ONE"));
    tree_ = ParseTree(Crlf({"Begin VB.Form frmPic ", "   Caption         =   \"Pic\"",
                            "   Icon            =   \"frmPic.frx\":0000", "End"}));
    tree_->AttachSideFiles(&side_files_, dir_ / "frmPic.frm");
  }
  ScratchDir dir_;
  SideFiles side_files_;
  std::unique_ptr<DesignerTree> tree_;
};

TEST_F(DesignerPictureTest, IconReadsThePictureFromTheSideFile) {
  EXPECT_EQ(tree_->FormProperties().Item("Icon").Value(), PropertyValue(Picture{"ICON-ONE"}));
  EXPECT_TRUE(side_files_.ChangedFiles().empty());
}

TEST_F(DesignerPictureTest, SettingAPictureAppendsARecordAndPointsAtIt) {
  tree_->FormProperties().Item("Icon").SetObject(Picture{"ICON-TWO"});
  EXPECT_EQ(Render(*tree_), Crlf({"Begin VB.Form frmPic ", "   Caption         =   \"Pic\"",
                                  "   Icon            =   \"frmPic.frx\":0014", "End"}));
  EXPECT_EQ(tree_->FormProperties().Item("Icon").Value(), PropertyValue(Picture{"ICON-TWO"}));
  ASSERT_EQ(side_files_.ChangedFiles(), std::vector<std::filesystem::path>{dir_ / "frmPic.frx"});
  EXPECT_EQ(side_files_.Contents(dir_ / "frmPic.frx"),
            SideFiles::PictureRecord("ICON-ONE") + SideFiles::PictureRecord("ICON-TWO"));
}

TEST_F(DesignerPictureTest, AnEmptyPictureClearsTheIcon) {
  tree_->FormProperties().Item("Icon").SetObject(Picture{});
  EXPECT_EQ(Render(*tree_),
            Crlf({"Begin VB.Form frmPic ", "   Caption         =   \"Pic\"", "End"}));
  EXPECT_TRUE(side_files_.ChangedFiles().empty());
}

TEST(DesignerPicture, AFormWithoutSideFileGetsOneNamedAfterIt) {
  ScratchDir dir;
  SideFiles side_files;
  auto tree = ParseTree(Crlf({"Begin VB.Form frmNew ", "   Caption         =   \"New\"", "End"}));
  tree->AttachSideFiles(&side_files, dir / "frmNew.frm");
  tree->FormProperties().Item("Icon").SetObject(Picture{"ICO"});
  EXPECT_EQ(Render(*tree), Crlf({"Begin VB.Form frmNew ", "   Caption         =   \"New\"",
                                 "   Icon            =   \"frmNew.frx\":0000", "End"}));
  EXPECT_EQ(side_files.Contents(dir / "frmNew.frx"), SideFiles::PictureRecord("ICO"));
  EXPECT_THROW(tree->FormProperties().Item("Caption").SetObject(Picture{"ICO"}), HostError);
}

}  // namespace
}  // namespace marquill::host::vbfiles
