#include "host/support/named_rows.h"
#include "host/vbfiles/inspect.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/vb_project.h"
#include "support/errors.h"
#include "vbfiles_test_support.h"

namespace marquill::host::vbfiles {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using ::marquill::host::vbfiles::testing::CopyTree;
using ::marquill::host::vbfiles::testing::Crlf;
using ::marquill::host::vbfiles::testing::ReadBytes;
using ::marquill::host::vbfiles::testing::ScratchDir;
using ::marquill::host::vbfiles::testing::SourceDir;
using ::marquill::host::vbfiles::testing::WriteBytes;

const fs::path kSample = SourceDir() / "samples" / "Marquill.vbp";
const fs::path kTricky = SourceDir() / "tests" / "host" / "data" / "tricky" / "Tricky.vbp";

// Every file below `folder` with its bytes.
std::map<fs::path, std::string> Snapshot(const fs::path& folder) {
  std::map<fs::path, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files[entry.path()] = ReadBytes(entry.path());
  }
  return files;
}

std::vector<std::string> ControlNames(FormDesigner& designer) {
  std::vector<std::string> names;
  for (Control& control : designer.AllControls()) {
    names.push_back(std::get<std::string>(control.Properties().Item("Name").Value()));
  }
  return names;
}

class ProjectRoundTripTest : public ::testing::TestWithParam<fs::path> {};

TEST_P(ProjectRoundTripTest, LoadedAndSavedUnchangedEveryFileIsTheSame) {
  ScratchDir scratch;
  const fs::path copy = CopyTree(GetParam().parent_path(), scratch, "project");
  const auto before = Snapshot(copy);
  auto project = VbProject::Load(copy / GetParam().filename());

  int rendered = 0;
  project->ForEachRendered([&](const fs::path& path, const std::string& bytes) {
    ++rendered;
    EXPECT_EQ(bytes, ReadBytes(path)) << path;
  });
  EXPECT_EQ(rendered, 1 + std::count_if(project->Entries().begin(), project->Entries().end(),
                                        [](const auto& entry) { return entry.image != nullptr; }));
  EXPECT_TRUE(project->SaveToMemory().empty());
  for (const auto& file : project->SaveToMemory(VbProject::SaveMode::kAll)) {
    EXPECT_EQ(file.bytes, before.at(file.path)) << file.path;
  }
  EXPECT_TRUE(project->Save().empty());
  EXPECT_EQ(project->Save(VbProject::SaveMode::kAll).size(), static_cast<std::size_t>(rendered));
  EXPECT_EQ(Snapshot(copy), before) << "byte for byte, and no temporary left behind";
  EXPECT_TRUE(CheckRoundTrip(*project).identical);
}

INSTANTIATE_TEST_SUITE_P(Projects, ProjectRoundTripTest, ::testing::Values(kSample, kTricky),
                         [](const auto& row) { return row.param.stem().string(); });

TEST(VbProject, SampleLoadsIntoTheHostModel) {
  auto project = VbProject::Load(kSample);
  MemoryProject& memory = project->Project();
  EXPECT_EQ(memory.Name(), "Marquill");
  EXPECT_EQ(memory.FileName(), kSample.string());
  std::vector<std::pair<std::string, ComponentType>> components;
  for (Component& component : memory.Components())
    components.emplace_back(component.Name(), component.Type());
  EXPECT_EQ(components, (std::vector<std::pair<std::string, ComponentType>>{
                            {"frmMain", ComponentType::kVBForm},
                            {"mdiMain", ComponentType::kMDIForm},
                            {"ctlGauge", ComponentType::kUserControl},
                            {"clsCounter", ComponentType::kClassModule},
                            {"modMain", ComponentType::kStdModule}}));
  EXPECT_EQ(memory.Components().Item("modMain").FileNames(1),
            (kSample.parent_path() / "modMain.bas").string());

  Reference& stdole = memory.References().Item(1);
  EXPECT_EQ(stdole.Name(), "stdole");
  EXPECT_EQ(stdole.Description(), "OLE Automation");
  EXPECT_EQ(stdole.Major(), 2);
  EXPECT_EQ(stdole.Minor(), 0);
  EXPECT_EQ(stdole.FullPath(), "..\\..\\..\\..\\Windows\\System32\\stdole2.tlb");

  Component& form = memory.Components().Item("frmMain");
  EXPECT_EQ(
      ControlNames(*form.Designer()),
      (std::vector<std::string>{"ctlGauge1", "fraOptions", "picHolder", "chkVerbose", "cmdOK",
                                "txtField", "txtField", "txtField", "lblTitle", "linSeparator"}));
  EXPECT_EQ(form.Properties().Item("StartUpPosition").Value(), PropertyValue(std::int32_t{2}));
  EXPECT_EQ(form.CodeModule()->Line(1), "Option Explicit");

  Component& counter = memory.Components().Item("clsCounter");
  EXPECT_EQ(counter.Description(), "Counts things and tells its listeners.");
  EXPECT_EQ(counter.CodeModule()->Members().Item("Name").Description(),
            "A label for the counter, such as \"Visitors\".");
  EXPECT_EQ(counter.CodeModule()->Members().Item("Count").HelpContextID(), 1010);
}

TEST(VbProject, TrickyFilesAreFoundAndKeptAsTheyAre) {
  auto project = VbProject::Load(kTricky);
  MemoryProject& memory = project->Project();
  EXPECT_EQ(memory.References().Item(3).Major(), 10) << "hexadecimal version a.1";
  EXPECT_EQ(memory.References().Item(3).Description(), "Widget Library #2");
  Component& ansi = memory.Components().Item("modAnsi");
  EXPECT_EQ(fs::path(ansi.FileNames(1)).filename(), "modAnsi.bas") << "listed as MODANSI.BAS";
  EXPECT_EQ(ansi.CodeModule()->Line(3),
            "' R\xE9sum\xE9 of the caf\xE9's menu, in Windows-1252: \x93smart quotes\x94 and the "
            "\x80 sign.");
  EXPECT_EQ(memory.Components().Item("readme.txt").Type(), ComponentType::kRelatedDocument);
  EXPECT_EQ(memory.Components().Item("Tricky.res").CodeModule(), nullptr);
  FormDesigner& nested = *memory.Components().Item("frmNested").Designer();
  EXPECT_EQ(nested.AllControls().Item("cmdDeep").ClassName(), "VB.CommandButton");
  EXPECT_EQ(nested.Controls()
                .Item("fraOuter")
                .ContainedControls()
                .Item(1)
                .ContainedControls()
                .Item(1)
                .ContainedControls()
                .Count(),
            3)
      << "picDeep holds cmdDeep and two optPick";
}

TEST(VbProject, EditedDescriptionAndHelpIdAreSavedInTheirFileAlone) {
  ScratchDir scratch;
  const fs::path folder = CopyTree(kSample.parent_path(), scratch, "sample");
  const auto before = Snapshot(folder);
  {
    auto project = VbProject::Load(folder / "Marquill.vbp");
    CodeModule& code = *project->Project().Components().Item("clsCounter").CodeModule();
    code.Members().Item("Owner").SetDescription("Who holds it, \"if anyone\".");
    code.Members().Item("Owner").SetHelpContextID(77);
    project->Project().Components().Item("clsCounter").SetHelpContextID(12);
    EXPECT_EQ(project->Save(), std::vector<fs::path>{folder / "clsCounter.cls"});
    EXPECT_TRUE(project->Save().empty()) << "saved: nothing changed since";
  }
  const std::string saved = ReadBytes(folder / "clsCounter.cls");
  EXPECT_NE(
      saved.find(Crlf({"Public Property Get Owner() As Object",
                       "Attribute Owner.VB_Description = \"Who holds it, \"\"if anyone\"\".\"",
                       "Attribute Owner.VB_HelpID = 77", "    Set Owner = m_Owner"})),
      std::string::npos)
      << saved;
  for (const auto& [path, bytes] : Snapshot(folder)) {
    if (path.filename() != "clsCounter.cls") {
      EXPECT_EQ(bytes, before.at(path)) << path;
    }
  }
  auto reloaded = VbProject::Load(folder / "Marquill.vbp");
  Component& counter = reloaded->Project().Components().Item("clsCounter");
  EXPECT_EQ(counter.CodeModule()->Members().Item("Owner").Description(),
            "Who holds it, \"if anyone\".");
  EXPECT_EQ(counter.CodeModule()->Members().Item("Owner").HelpContextID(), 77);
  EXPECT_EQ(counter.HelpContextID(), 12);
  EXPECT_TRUE(CheckRoundTrip(*reloaded).identical);
}

TEST(VbProject, RemovedNestedControlIsGoneAfterReloading) {
  ScratchDir scratch;
  const fs::path folder = CopyTree(kTricky.parent_path(), scratch, "tricky");
  const std::string form_before = ReadBytes(folder / "forms" / "frmNested.frm");
  {
    auto project = VbProject::Load(folder / "Tricky.vbp");
    DesignerControls& all =
        project->Project().Components().Item("frmNested").Designer()->AllControls();
    all.Remove(all.Item("cmdDeep"));
    EXPECT_EQ(project->Save(), std::vector<fs::path>{folder / "forms" / "frmNested.frm"});
  }
  const std::string block = Crlf(
      {"            Begin VB.CommandButton cmdDeep ", "               Caption         =   \"Deep\"",
       "               Height          =   375", "               Left            =   120",
       "               TabIndex        =   3", "               Top             =   120",
       "               Width           =   1215", "            End"});
  std::string expected = form_before;
  ASSERT_NE(expected.find(block), std::string::npos);
  expected.erase(expected.find(block), block.size());
  EXPECT_EQ(ReadBytes(folder / "forms" / "frmNested.frm"), expected);
  auto reloaded = VbProject::Load(folder / "Tricky.vbp");
  FormDesigner& designer = *reloaded->Project().Components().Item("frmNested").Designer();
  EXPECT_THROW(designer.AllControls().Item("cmdDeep"), HostError);
  EXPECT_EQ(designer.AllControls().Item("picDeep").ContainedControls().Count(), 2);
}

TEST(VbProject, IconSetOnAFormIsStoredInItsSideFile) {
  ScratchDir scratch;
  const fs::path folder = CopyTree(kSample.parent_path(), scratch, "sample");
  const std::string frx_before = ReadBytes(folder / "frmMain.frx");
  {
    auto project = VbProject::Load(folder / "Marquill.vbp");
    Properties& form = project->Project().Components().Item("frmMain").Properties();
    EXPECT_EQ(std::get<Picture>(form.Item("Icon").Value()).bytes.substr(0, 4), "\0\0\1\0"s)
        << "an .ico";
    form.Item("Icon").SetObject(Picture{"new icon bytes"});
    const auto written = project->Save();
    EXPECT_EQ(written, (std::vector<fs::path>{folder / "frmMain.frm", folder / "frmMain.frx"}));
  }
  EXPECT_EQ(ReadBytes(folder / "frmMain.frx"),
            frx_before + SideFiles::PictureRecord("new icon bytes"));
  auto reloaded = VbProject::Load(folder / "Marquill.vbp");
  EXPECT_EQ(reloaded->Project().Components().Item("frmMain").Properties().Item("Icon").Value(),
            PropertyValue(Picture{"new icon bytes"}));
}

TEST(VbProject, ProjectAttachedToAnIdeIsItsActiveProject) {
  MemoryVbe vbe;
  auto project = VbProject::Load(kSample);
  MemoryProject& attached = project->AttachTo(vbe);
  EXPECT_EQ(vbe.ActiveProject(), &attached);
  EXPECT_EQ(&project->Project(), &attached);
  EXPECT_TRUE(project->SaveToMemory().empty());
}

TEST(VbProject, FailedSaveReplacesNoFile) {
  ScratchDir scratch;
  const fs::path folder = CopyTree(kTricky.parent_path(), scratch, "tricky");
  auto project = VbProject::Load(folder / "Tricky.vbp");
  project->Project().Components().Item("frmNested").CodeModule()->InsertLines(1, "' edited");
  project->Project().Components().Item("modLf").CodeModule()->InsertLines(1, "' edited");
  fs::remove(folder / "modLf.bas");
  fs::create_directory(folder / "modLf.bas");  // cannot be replaced by a file
  const auto before = Snapshot(folder);
  EXPECT_THROW(project->Save(), SaveError);
  EXPECT_EQ(Snapshot(folder), before);
}

struct LoadErrorCase {
  const char* name;
  std::vector<std::pair<const char*, std::string>> files;  // written into a fresh folder
  const char* message;                                     // with FOLDER/ in front
};

class VbProjectLoadErrorTest : public ::testing::TestWithParam<LoadErrorCase> {};

TEST_P(VbProjectLoadErrorTest, NamesTheFileAndLine) {
  ScratchDir scratch;
  for (const auto& [name, bytes] : GetParam().files) WriteBytes(scratch / name, bytes);
  EXPECT_EQ(::marquill::test::MessageOf<LoadError>([&] { VbProject::Load(scratch / "P.vbp"); }),
            scratch.path().string() + "/" + GetParam().message);
}

const std::string kModule = Crlf({"Attribute VB_Name = \"modA\"", "Sub A()", "End Sub"});

INSTANTIATE_TEST_SUITE_P(
    Files, VbProjectLoadErrorTest,
    ::testing::Values(
        LoadErrorCase{
            "MissingListedFile",
            {{"P.vbp", Crlf({"Type=Exe", "Module=modA; modA.bas", "Form=Forms\\frmGone.frm"})},
             {"modA.bas", kModule}},
            "P.vbp:3: listed file not found: Forms\\frmGone.frm"},
        LoadErrorCase{
            "DesignerBlockNeverCloses",
            {{"P.vbp", Crlf({"Type=Exe", "Form=frmA.frm"})},
             {"frmA.frm", Crlf({"VERSION 5.00", "Begin VB.Form frmA ", "   Begin VB.Frame fraA ",
                                "   End", "Attribute VB_Name = \"frmA\""})}},
            "frmA.frm:2: Begin VB.Form frmA never closes (no End)"},
        LoadErrorCase{"UnreadableProjectLine",
                      {{"P.vbp", Crlf({"Type=Exe", "Module modA.bas"})}},
                      "P.vbp:2: expected KEY=VALUE, found \"Module modA.bas\""},
        LoadErrorCase{"BinaryComponentFile",
                      {{"P.vbp", Crlf({"Type=Exe", "Form=frmA.frm"})},
                       {"frmA.frm", "VERSION 5.00\r\n\x01\0\x02\r\n"s}},
                      "frmA.frm:2: binary file: NUL bytes inside the text"},
        LoadErrorCase{"TwoComponentsOfOneName",
                      {{"P.vbp", Crlf({"Module=modA; modA.bas", "Module=modB; modB.bas"})},
                       {"modA.bas", kModule},
                       {"modB.bas", kModule}},
                      "P.vbp:2: a second component named modA (the first is on line 1)"},
        // Without a name of its own the file would give two components saving over each other.
        LoadErrorCase{"OneFileListedTwiceUnderTwoNames",
                      {{"P.vbp", Crlf({"Module=modA; a.bas", "Module=modB; .\\A.BAS"})},
                       {"a.bas", Crlf({"Sub A()", "End Sub"})}},
                      "P.vbp:2: .\\A.BAS is listed a second time under another name (the first "
                      "is on line 1)"},
        LoadErrorCase{"ProjectListsItself",
                      {{"P.vbp", Crlf({"Type=Exe", "Module=modA; modA.bas", "Module=P; .\\p.VBP"})},
                       {"modA.bas", kModule}},
                      "P.vbp:3: the project file lists itself"},
        LoadErrorCase{"MissingCodeFileNamedInAnotherCodePage",
                      {{"P.vbp", Crlf({"Type=Exe", "Form=\x93\xfa\x96\x7b\x1b.frm"})}},
                      "P.vbp:2: listed file not found: \xE6\x97\xA5\xE6\x9C\xAC\\x1B.frm"},
        LoadErrorCase{"ControlsNestedTooDeep",
                      {{"P.vbp", Crlf({"Type=Exe", "Form=frmA.frm"})},
                       {"frmA.frm",
                        [] {
                          std::string form = "VERSION 5.00\r\nBegin VB.Form frmA\r\n";
                          for (int i = 0; i < 30000; ++i) form += "Begin VB.Frame f\r\n";
                          for (int i = 0; i < 30000; ++i) form += "End\r\n";
                          return form + "End\r\n";
                        }()}},
                      "frmA.frm:203: controls nested more than 200 deep"},
        LoadErrorCase{
            "FolderListedAsAFile",
            {{"P.vbp", Crlf({"Type=Exe", "Module=modA; sub"})}, {"sub/modA.bas", kModule}},
            "P.vbp:2: cannot read sub: not a regular file (a folder)"},
        LoadErrorCase{"EndWithoutBegin",
                      {{"P.vbp", Crlf({"Type=Exe", "Form=frmA.frm"})},
                       {"frmA.frm", Crlf({"VERSION 5.00", "End", "Attribute VB_Name = \"frmA\""})}},
                      "frmA.frm:2: End without Begin"},
        LoadErrorCase{"EndAfterTheDesignerCloses",
                      {{"P.vbp", Crlf({"Type=Exe", "Form=frmA.frm"})},
                       {"frmA.frm", Crlf({"VERSION 5.00", "Begin VB.Form frmA ", "End", "End",
                                          "Attribute VB_Name = \"frmA\""})}},
                      "frmA.frm:4: End without Begin"},
        LoadErrorCase{"FormWithoutDesigner",
                      {{"P.vbp", Crlf({"Type=Exe", "Form=frmA.frm"})},
                       {"frmA.frm", Crlf({"VERSION 5.00", "Attribute VB_Name = \"frmA\""})}},
                      "frmA.frm:1: no designer block: a form file starts with its Begin VB.Form "
                      "... End block"},
        LoadErrorCase{"EmptyFormFile",
                      {{"P.vbp", Crlf({"Type=Exe", "Form=frmA.frm"})}, {"frmA.frm", ""}},
                      "frmA.frm:1: no designer block: a form file starts with its Begin VB.Form "
                      "... End block"}),
    host::test::RowName());

}  // namespace
}  // namespace marquill::host::vbfiles
