#include "shell/external_tools_tab.h"

#include <gtest/gtest.h>

#include <fstream>

#include "addin_fixture.h"
#include "host/support/named_rows.h"

namespace marquill::shell {
namespace {

using testing_util::AddinFixture;
using testing_util::TempFolder;

class ExternalToolsTest : public AddinFixture {
 protected:
  ExternalToolsTest() {
    std::ofstream(server_) << "MZ";
    platform_.SetSystemFolder("/wine/drive_c/windows/system32/");
    platform_.SetEnvironment("WINDIR", "/wine/drive_c/windows");
  }
  std::vector<std::string> Calls(std::string_view service) {
    std::vector<std::string> calls;
    for (const PlatformCall& call : platform_.CallsOf(service)) calls.push_back(call.detail);
    return calls;
  }
  void Pick(const std::string& file) {
    platform_.Queue({Answer::Kind::kText, file, "test"});
    addin_->MainWindow()->cmdRegSrvSel.Click();
  }

  TempFolder servers_{"servers"};
  std::string server_ = servers_.Folder() + "Big Grid.ocx";
  const std::string addin_list_ = "/wine/drive_c/windows/vbaddin.ini";
};

TEST_F(ExternalToolsTest, RegisterAndUnregisterStartRegsvr32WithTheFileQuoted) {
  frmUtility& window = OpenWindow();
  EXPECT_FALSE(window.cmdRegSrv(0).Enabled());
  EXPECT_FALSE(window.cmdRegSrv(1).Enabled());
  Pick(server_);
  EXPECT_EQ(Calls("OpenFileDialog"),
            std::vector<std::string>{"Select control or component: Custom controls (OCX)|*.ocx|"
                                     "ActiveX Dll|*.dll|ActiveX Exe|*.exe|All files|*.*"});
  EXPECT_EQ(window.txtRegSrv.Text(), server_);
  window.cmdRegSrv(0).Click();
  window.cmdRegSrv(1).Click();
  EXPECT_EQ(Calls("StartProgram"),
            (std::vector<std::string>{
                "/wine/drive_c/windows/system32/regsvr32.exe \"" + server_ + "\"",
                "/wine/drive_c/windows/system32/regsvr32.exe /u \"" + server_ + "\""}));
  EXPECT_TRUE(Calls("MsgBox").empty());
}

TEST_F(ExternalToolsTest, OnlyThePickerEnablesTheButtonsAndEmptyingTheFieldDisablesThem) {
  frmUtility& window = OpenWindow();
  window.txtRegSrv.SetText(server_);
  EXPECT_FALSE(window.cmdRegSrv(0).Enabled());  // typing does not enable them
  platform_.Queue({Answer::Kind::kCancel, "", "test"});
  window.cmdRegSrvSel.Click();  // a cancelled dialog still enables them, with its old file name
  EXPECT_EQ(window.txtRegSrv.Text(), "");
  EXPECT_TRUE(window.cmdRegSrv(0).Enabled());
  EXPECT_TRUE(window.cmdRegSrv(1).Enabled());
  Pick(server_);
  window.txtRegSrv.SetText("");
  EXPECT_FALSE(window.cmdRegSrv(0).Enabled());
  EXPECT_FALSE(window.cmdRegSrv(1).Enabled());
  platform_.Queue({Answer::Kind::kCancel, "", "test"});
  window.cmdRegSrvSel.Click();
  EXPECT_EQ(window.txtRegSrv.Text(), server_);  // the dialog's previous choice
}

struct RegistrationRefusal {
  const char* name;
  std::string file;  // "<server>" for the existing server file
  bool wine;
  std::string message;
};

class RegistrationRefusalTest : public ExternalToolsTest,
                                public testing::WithParamInterface<RegistrationRefusal> {};

TEST_P(RegistrationRefusalTest, SaysWhyAndStartsNothing) {
  const RegistrationRefusal& row = GetParam();
  if (!row.wine) platform_.SetSystemFolder("");
  OpenWindow();
  Pick(row.file == "<server>" ? server_ : row.file);
  addin_->MainWindow()->cmdRegSrv(0).Click();
  EXPECT_TRUE(Calls("StartProgram").empty());
  EXPECT_EQ(Calls("MsgBox"), std::vector<std::string>{"Error: " + row.message});
}

const RegistrationRefusal kRegistrationRefusals[] = {
    {"MissingFile", "/nowhere/Grid.ocx", true, "The server file /nowhere/Grid.ocx does not exist."},
    {"QuoteInThePath", "/x/a\" & calc & \".ocx", true,
     "The server file name /x/a\" & calc & \".ocx holds a double quote; regsvr32 would read it as "
     "two arguments."},
    {"NoWine", "<server>", false,
     "regsvr32 is not available: there is no Windows system folder (install Wine, or set "
     "WINEPREFIX to a Wine prefix)."},
};

INSTANTIATE_TEST_SUITE_P(Refusals, RegistrationRefusalTest,
                         testing::ValuesIn(kRegistrationRefusals), host::test::RowName());

TEST_F(ExternalToolsTest, LoadThenSaveWritesTheListBackWithOneMoreEmptyLine) {
  time_log_.Replace(addin_list_, "[Add-Ins32]\r\nMarquill.Connect=0\n");
  frmUtility& window = OpenWindow();
  EXPECT_FALSE(window.cmdVBAddin(1).Enabled());
  EXPECT_FALSE(window.cmdVBAddin(2).Enabled());
  window.cmdVBAddin(0).Click();
  EXPECT_EQ(window.txtVBAddin.Text(), "[Add-Ins32]\r\nMarquill.Connect=0\r\n");
  EXPECT_TRUE(window.cmdVBAddin(1).Enabled());
  EXPECT_TRUE(window.cmdVBAddin(2).Enabled());
  window.cmdVBAddin(1).Click();
  EXPECT_EQ(time_log_.Read(addin_list_), "[Add-Ins32]\r\nMarquill.Connect=0\r\n\r\n");
  EXPECT_EQ(window.txtVBAddin.Text(), "");
  EXPECT_FALSE(window.cmdVBAddin(1).Enabled());  // emptied by the command: Save stays disabled
  EXPECT_FALSE(window.cmdVBAddin(2).Enabled());
}

TEST_F(ExternalToolsTest, CloseEmptiesTheEditorAndTypingEnablesSave) {
  time_log_.Replace(addin_list_, "[Add-Ins32]\r\n");
  frmUtility& window = OpenWindow();
  window.cmdVBAddin(0).Click();
  window.cmdVBAddin(2).Click();
  EXPECT_EQ(window.txtVBAddin.Text(), "");
  EXPECT_FALSE(window.cmdVBAddin(1).Enabled());
  EXPECT_EQ(time_log_.Read(addin_list_), "[Add-Ins32]\r\n");
  window.txtVBAddin.SetText("x");
  EXPECT_TRUE(window.cmdVBAddin(1).Enabled());
}

struct ListRefusal {
  const char* name;
  bool windir;
  bool exists;
  bool lock;
  int button;
  std::string message;
};

class AddinListRefusalTest : public ExternalToolsTest,
                             public testing::WithParamInterface<ListRefusal> {};

TEST_P(AddinListRefusalTest, SaysWhyAndKeepsTheFileAndTheText) {
  const ListRefusal& row = GetParam();
  if (!row.windir) platform_.SetEnvironment("WINDIR", "");
  if (row.exists) time_log_.Replace(addin_list_, "[Add-Ins32]\r\n");
  if (row.lock) time_log_.Lock(addin_list_);
  frmUtility& window = OpenWindow();
  window.txtVBAddin.SetText("typed");
  window.cmdVBAddin(row.button).Click();
  EXPECT_EQ(Calls("MsgBox"), std::vector<std::string>{"Error: " + row.message});
  EXPECT_EQ(window.txtVBAddin.Text(), "typed");
  if (row.exists && !row.lock) {
    EXPECT_EQ(time_log_.Read(addin_list_), "[Add-Ins32]\r\n");
  }
}

const ListRefusal kListRefusals[] = {
    {"NoWindowsFolder", false, false, false, 0,
     "There is no Windows folder holding vbaddin.ini: WINDIR is not set and there is no Wine "
     "prefix (WINEPREFIX or ~/.wine)."},
    {"LoadOfAMissingFile", true, false, false, 0,
     "Cannot read /wine/drive_c/windows/vbaddin.ini: it does not exist."},
    {"LoadOfALockedFile", true, true, true, 0,
     "Cannot read /wine/drive_c/windows/vbaddin.ini: Permission denied."},
    {"SaveOfALockedFile", true, true, true, 1,
     "Cannot write /wine/drive_c/windows/vbaddin.ini: Permission denied."},
};

INSTANTIATE_TEST_SUITE_P(Refusals, AddinListRefusalTest, testing::ValuesIn(kListRefusals),
                         host::test::RowName());

}  // namespace
}  // namespace marquill::shell
