#include "designer/form_properties.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "form_files.h"
#include "host/support/named_rows.h"
#include "host/vbfiles/side_files.h"
#include "support/errors.h"

namespace marquill::designer {
namespace {

using host::test::RowName;
using ::testing::HasSubstr;
using testing_util::FormFile;
using testing_util::FormProject;
using testing_util::ReadBytes;
using testing_util::WriteBytes;

// An icon file: the directory header, one 16-byte entry and `image_size` bytes of image.
std::string Icon(std::uint32_t image_size = 8, std::uint16_t type = 1) {
  std::string bytes = {0, 0, static_cast<char>(type), 0, 1, 0};
  bytes += std::string{16, 16, 0, 0, 1, 0, 32, 0};
  for (std::uint32_t value : {image_size, std::uint32_t{22}})
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes + std::string(image_size, '\x5A');
}

struct IconCase {
  const char* name;
  std::string bytes;
  bool icon;
};

const IconCase kIconCases[] = {
    {"one_image", Icon(), true},
    {"empty", "", false},
    {"cursor_type", Icon(8, 2), false},
    {"image_past_the_end", Icon(8).substr(0, 25), false},
    {"bitmap", "BM\x36\x03\0\0\0\0\0\0\x36\0\0\0", false},
    {"header_only", std::string("\0\0\1\0\1\0", 6), false},
};

class IconImageTest : public ::testing::TestWithParam<IconCase> {};

TEST_P(IconImageTest, TellsIconsFromOtherFiles) {
  EXPECT_EQ(IsIconImage(GetParam().bytes), GetParam().icon);
}

INSTANTIATE_TEST_SUITE_P(Files, IconImageTest, ::testing::ValuesIn(kIconCases), RowName());

const std::string kPlainForm = FormFile("frmA", {"   Caption         =   \"A\""});

TEST(LoadIconTest, RefusesMissingWrongAndOversizedFiles) {
  FormProject files({{"frmA", kPlainForm}});
  const std::string folder = files.folder().string();
  WriteBytes(files.folder() / "app.ico", Icon());
  WriteBytes(files.folder() / "notes.ico", "just text");
  EXPECT_EQ(LoadIcon(folder + "/app.ico").bytes, Icon());
  EXPECT_EQ(LoadIcon(""), host::Picture{}) << "no file name: the empty picture";
  const auto refusal = [](const std::string& file, std::uintmax_t limit = kMaxIconBytes) {
    return test::MessageOf<IconError>([&] { LoadIcon(file, limit); });
  };
  EXPECT_THAT(refusal(folder + "/none.ico"), HasSubstr("none.ico: no such icon file"));
  EXPECT_THAT(refusal(folder), HasSubstr(": not a file"));
  EXPECT_THAT(refusal(folder + "/notes.ico"), HasSubstr("notes.ico: not an icon file"));
  EXPECT_THAT(refusal(folder + "/app.ico", 10),
              HasSubstr("app.ico: 30 bytes is more than a form's side file can hold (10)"));
}

TEST(LoadIconTest, ASparseFileOverTheSideFileLimitIsRefusedUnread) {
  FormProject files({{"frmA", kPlainForm}});
  const auto huge = files.folder() / "huge.ico";
  WriteBytes(huge, Icon());
  std::error_code sparse_unsupported;
  std::filesystem::resize_file(huge, std::uintmax_t{1} << 32, sparse_unsupported);
  if (sparse_unsupported) GTEST_SKIP() << "no sparse files here";
  EXPECT_THROW(LoadIcon(huge.string()), IconError);
}

// ---- The batch

const std::string kMdi = FormFile("mdiMain", {"   Caption         =   \"Main\""}, {}, "VB.MDIForm");

struct BatchCase {
  const char* name;
  const char* property;
  host::PropertyValue value;
  const char* line;  // the line frmA holds afterwards, "" when none
};

const BatchCase kBatchCases[] = {
    {"scale_mode_centimeter", "ScaleMode", std::int32_t{7},
     "   ScaleMode       =   7  'Centimeter"},
    {"start_up_windows_default", "StartUpPosition", std::int32_t{3},
     "   StartUpPosition =   3  'Windows Default"},
    {"border_sizable_toolwindow", "BorderStyle", std::int32_t{5},
     "   BorderStyle     =   5  'Sizable ToolWindow"},
    {"window_state_maximized", "WindowState", std::int32_t{2},
     "   WindowState     =   2  'Maximized"},
    {"back_color", "BackColor", host::Color{0x00FF8000}, "   BackColor       =   &H00FF8000&"},
    {"back_color_default_is_unwritten", "BackColor", host::Color{0x8000000F}, ""},
    {"taskbar_off", "ShowInTaskbar", false, "   ShowInTaskbar   =   0   'False"},
    {"whats_this_button_on", "WhatsThisButton", true, "   WhatsThisButton =   -1  'True"},
    {"whats_this_help_on", "WhatsThisHelp", true, "   WhatsThisHelp   =   -1  'True"},
};

class BatchTest : public ::testing::TestWithParam<BatchCase> {};

TEST_P(BatchTest, WritesTheLineTheIdeWrites) {
  FormProject files({{"frmA", kPlainForm}, {"mdiMain", kMdi}});
  const std::vector<FormOutcome> outcomes = ApplyFormProperty(
      files.project(), {"frmA", "mdiMain"}, GetParam().property, GetParam().value);
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_TRUE(outcomes[0].written) << outcomes[0].reason;
  const std::string saved = files.Saved("frmA.frm");
  const std::string property = std::string("   ") + GetParam().property;
  if (std::string(GetParam().line).empty()) {
    EXPECT_EQ(saved, kPlainForm);
  } else {
    EXPECT_THAT(saved, HasSubstr(std::string(GetParam().line) + "\r\n"));
  }
  // Whatever the MDI form lacks is skipped with the reason; the rest is written there too.
  if (!outcomes[1].written) {
    EXPECT_THAT(outcomes[1].reason, HasSubstr(GetParam().property));
    EXPECT_EQ(files.Saved("mdiMain.frm"), kMdi);
  }
  files.files().Save();
  files.Reload();
  EXPECT_EQ(ReadBytes(files.folder() / "frmA.frm"), saved) << "reloads and saves the same";
  EXPECT_TRUE(files.files().SaveToMemory().empty());
}

INSTANTIATE_TEST_SUITE_P(Properties, BatchTest, ::testing::ValuesIn(kBatchCases), RowName());

TEST(BatchSkipTest, FormsLackingThePropertyAreSkippedAndTheOthersServed) {
  FormProject files({{"frmA", kPlainForm},
                     {"mdiMain", kMdi},
                     {"frmC", FormFile("frmC", {"   Caption         =   \"C\""})}});
  const auto outcomes = ApplyFormProperty(files.project(), {"frmA", "mdiMain", "frmGone", "frmC"},
                                          "BorderStyle", std::int32_t{3});
  ASSERT_EQ(outcomes.size(), 4u);
  EXPECT_TRUE(outcomes[0].written);
  EXPECT_FALSE(outcomes[1].written);
  EXPECT_EQ(outcomes[1].reason, "mdiMain has no property BorderStyle");
  EXPECT_FALSE(outcomes[2].written);
  EXPECT_TRUE(outcomes[3].written);
  EXPECT_THAT(files.Saved("frmC.frm"), HasSubstr("BorderStyle     =   3  'Fixed Dialog"));
  EXPECT_EQ(MissingFormProperty(files.project(), "mdiMain", "ShowInTaskbar"),
            "mdiMain has no property ShowInTaskbar");
  EXPECT_EQ(MissingFormProperty(files.project(), "frmA", "ShowInTaskbar"), "");
}

TEST(BatchIconTest, TheIconGoesIntoTheSideFileAndTheEmptyPictureRemovesIt) {
  FormProject files({{"frmA", kPlainForm}});
  ApplyFormProperty(files.project(), {"frmA"}, "Icon", host::Picture{Icon()});
  EXPECT_THAT(files.Saved("frmA.frm"), HasSubstr("   Icon            =   \"frmA.frx\":0000\r\n"));
  EXPECT_EQ(files.Saved("frmA.frx"), host::vbfiles::SideFiles::PictureRecord(Icon()));
  files.files().Save();
  files.Reload();
  EXPECT_EQ(files.form("frmA").Properties().Item("Icon").Value(),
            host::PropertyValue(host::Picture{Icon()}));

  ApplyFormProperty(files.project(), {"frmA"}, "Icon", host::Picture{});
  EXPECT_EQ(files.Saved("frmA.frm"), kPlainForm);
}

}  // namespace
}  // namespace marquill::designer
