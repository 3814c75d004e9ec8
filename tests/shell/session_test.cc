#include "shell/session.h"

#include <gtest/gtest.h>

#include <sstream>

#include "host/paths/paths.h"
#include "host/vbfiles/load_error.h"
#include "shell/platform/scripted_platform.h"
#include "host/files/file_io.h"
#include "shell_test_util.h"

namespace marquill::shell {
namespace {

namespace fs = std::filesystem;
using testing_util::TempFolder;

class SessionTest : public testing::Test {
 protected:
  SessionTest() {
    fs::copy(fs::path(MARQUILL_SOURCE_DIR) / "samples", project_folder_.path(),
             fs::copy_options::recursive);
    options_.project = project_folder_.path() / "Marquill.vbp";
    options_.platform = &platform_;
    options_.settings = &settings_;
    options_.addin_folder = addin_folder_.Folder();
    options_.time_log = &time_log_;
    options_.diff_out = &diff_;
    module_path_ = (project_folder_.path() / "modMain.bas").string();
    original_ = host::ReadWholeFile(module_path_).value_or("<missing>");
  }

  // Puts a comment on top of modMain's code.
  static void EditModule(Session& session) {
    host::Component& module = session.Vbe().ActiveProject()->Components().Item("modMain");
    module.CodeModule()->InsertLines(1, "' touched");
  }

  std::string Module() const { return host::ReadWholeFile(module_path_).value_or("<missing>"); }

  TempFolder project_folder_{"session"};
  TempFolder addin_folder_{"session-addin"};
  ScriptedPlatform platform_;
  MemorySettingsStore settings_;
  FileTimeLog time_log_;
  std::ostringstream diff_;
  SessionOptions options_;
  std::string module_path_;
  std::string original_;
};

TEST_F(SessionTest, OpensTheProjectWithTheAddinConnectedAndItsWindowShown) {
  Session session(options_);
  EXPECT_EQ(session.Vbe().ActiveProject()->Name(), "Marquill");
  EXPECT_TRUE(session.Window().Visible());
  EXPECT_GT(session.Window().cmbComponents.ListCount(), 0);
  EXPECT_NE(session.Bars().Find("VB Hobrook"), nullptr);
}

TEST_F(SessionTest, FinishClosesTheWindowDisconnectsAndSavesWhatChanged) {
  std::vector<fs::path> changed = RunSession(options_, [](Session& session) {
    session.Window().SSTab1.SetTab(3);
    EditModule(session);
  });
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(changed[0].filename(), "modMain.bas");
  EXPECT_NE(Module(), original_);
  EXPECT_NE(Module().find("' touched\r\n"), std::string::npos);
  EXPECT_EQ(settings_.GetRegString(kSettingsKey, "Tab"), "3");  // the window was unloaded
  EXPECT_TRUE(diff_.str().empty());
}

TEST_F(SessionTest, ADryRunPrintsTheDiffAndWritesNothing) {
  options_.dry_run = true;
  std::vector<fs::path> changed = RunSession(options_, EditModule);
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(Module(), original_);
  std::string diff = diff_.str();
  // Named as `git apply` wants them, relative to the current folder when inside it.
  const std::string label = host::DisplayPath(module_path_);
  EXPECT_EQ(diff.rfind("--- a/" + label + "\n+++ b/" + label + "\n@@ -1,", 0), 0u)
      << diff;
  EXPECT_NE(diff.find("\n+' touched\r\n"), std::string::npos) << diff;
}

TEST_F(SessionTest, StepsThatFailSaveNothing) {
  EXPECT_THROW(RunSession(options_,
                          [](Session& session) {
                            EditModule(session);
                            throw std::runtime_error("a step failed");
                          }),
               std::runtime_error);
  EXPECT_EQ(Module(), original_);
}

TEST_F(SessionTest, AProjectThatCannotBeLoadedIsReportedBeforeAnythingRuns) {
  options_.project = project_folder_.path() / "Missing.vbp";
  bool ran = false;
  EXPECT_THROW(RunSession(options_, [&](Session&) { ran = true; }), host::vbfiles::LoadError);
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace marquill::shell
