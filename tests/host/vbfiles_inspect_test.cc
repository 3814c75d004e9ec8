#include <cstdlib>

#include "host/vbfiles/inspect.h"
#include "vbfiles_test_support.h"

namespace marquill::host::vbfiles {
namespace {

namespace fs = std::filesystem;
using ::marquill::host::vbfiles::testing::Crlf;
using ::marquill::host::vbfiles::testing::ReadBytes;
using ::marquill::host::vbfiles::testing::ScratchDir;
using ::marquill::host::vbfiles::testing::SourceDir;
using ::marquill::host::vbfiles::testing::WriteBytes;

// Compares with a golden file; MARQUILL_UPDATE_GOLDEN=1 rewrites it for review instead.
void ExpectGolden(const std::string& actual, const fs::path& golden) {
  if (std::getenv("MARQUILL_UPDATE_GOLDEN") != nullptr) {
    WriteBytes(golden, actual);
    return;
  }
  EXPECT_EQ(actual, ReadBytes(golden))
      << "rerun with MARQUILL_UPDATE_GOLDEN=1 to update " << golden;
}

TEST(DescribeProject, SampleProject) {
  const fs::path vbp = SourceDir() / "samples" / "Marquill.vbp";
  auto project = VbProject::Load(vbp);
  std::string text = DescribeProject(*project);
  text.replace(text.find(vbp.string()), vbp.string().size(), "samples/Marquill.vbp");
  ExpectGolden(text, SourceDir() / "tests" / "host" / "data" / "sample_info.txt");
}

TEST(CheckRoundTrip, ReportsWhereASaveWouldDifferFirst) {
  ScratchDir dir;
  WriteBytes(dir / "P.vbp",
             Crlf({"Type=Exe", "Module=modA; modA.bas", "Module=modOdd; modOdd.bas"}));
  WriteBytes(dir / "modA.bas", Crlf({"Attribute VB_Name = \"modA\"", "Sub A()", "End Sub"}));
  // Written by hand: the IDE puts spaces around the attribute's "=".
  WriteBytes(dir / "modOdd.bas", Crlf({"Attribute VB_Name = \"modOdd\"", "Sub B()",
                                       "Attribute B.VB_Description=\"b\"", "End Sub"}));
  auto project = VbProject::Load(dir / "P.vbp");
  const RoundTrip result = CheckRoundTrip(*project);
  EXPECT_FALSE(result.identical);
  EXPECT_EQ(result.report,
            (dir / "modOdd.bas").string() +
                ":3: a save would change the file from byte 65 on (82 bytes instead of 80)");
}

TEST(CheckRoundTrip, CountsTheFilesThatRoundTrip) {
  ScratchDir dir;
  WriteBytes(dir / "P.vbp", Crlf({"Type=Exe", "Module=modA; modA.bas"}));
  WriteBytes(dir / "modA.bas", Crlf({"Attribute VB_Name = \"modA\"", "Sub A()", "End Sub"}));
  auto project = VbProject::Load(dir / "P.vbp");
  const RoundTrip result = CheckRoundTrip(*project);
  EXPECT_TRUE(result.identical);
  EXPECT_EQ(result.report, (dir / "P.vbp").string() + ": 2 files round-trip byte for byte");
}

}  // namespace
}  // namespace marquill::host::vbfiles
