#include "shell/resources/resources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host/files/file_io.h"

namespace marquill::shell {
namespace {

std::uint32_t Le32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::uint16_t Le16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::string SourceFile(const std::string& relative) {
  return host::ReadWholeFile(std::string(MARQUILL_SOURCE_DIR) + "/" + relative).value_or("<missing>");
}

class FaceTest : public testing::TestWithParam<int> {};

TEST_P(FaceTest, IsA16By16BitmapOf24BitsCompiledFromItsFile) {
  std::string_view face = FaceBitmap(GetParam());
  ASSERT_GE(face.size(), 54u);
  EXPECT_EQ(face.substr(0, 2), "BM");
  EXPECT_EQ(Le32(face, 2), face.size());
  EXPECT_EQ(Le32(face, 18), 16u);  // width
  EXPECT_EQ(Le32(face, 22), 16u);  // height
  EXPECT_EQ(Le16(face, 28), 24);   // bits per pixel
  EXPECT_EQ(Le32(face, 30), 0u);   // not compressed
  EXPECT_EQ(face.size(), Le32(face, 10) + 16u * 16u * 3u);
  EXPECT_EQ(std::string(face), SourceFile("resources/face_" + std::to_string(GetParam()) + ".bmp"));
}

INSTANTIATE_TEST_SUITE_P(Faces, FaceTest, testing::Values(101, 102, 103, 104, 105));

TEST(ResourcesTest, FacesDifferAndUnknownIdsHaveNone) {
  EXPECT_NE(FaceBitmap(102), FaceBitmap(105));  // the running clock is told apart
  EXPECT_TRUE(FaceBitmap(100).empty());
  EXPECT_TRUE(FaceBitmap(106).empty());
}

TEST(ResourcesTest, TheHelpPageIsTheShippedOne) {
  EXPECT_EQ(std::string(HelpPage()), SourceFile("help/index.htm"));
  EXPECT_NE(HelpPage().find("VB Marquill v1.01"), std::string_view::npos);
}

}  // namespace
}  // namespace marquill::shell
