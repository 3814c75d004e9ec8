// Projects, components, references, windows and code panes of the in-memory IDE.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/test_project.h"

namespace marquill::host {
namespace {

using test::ActiveMemoryProject;
using test::MakeVbe;
using ::testing::ElementsAre;

std::vector<std::string> ComponentNames(Project& project) {
  std::vector<std::string> names;
  for (Component& component : project.Components()) names.push_back(component.Name());
  return names;
}

std::vector<std::string> WindowCaptions(Vbe& vbe) {
  std::vector<std::string> captions;
  for (Window& window : vbe.Windows()) captions.push_back(window.Caption());
  return captions;
}

TEST(MemoryProjectTest, ComponentsKeepInsertionOrderAndMatchNamesInAnyCase) {
  auto vbe = MakeVbe({{"modMain", ComponentType::kStdModule, {}},
                      {"Form1", ComponentType::kVBForm, {}},
                      {"clsThing", ComponentType::kClassModule, {}}});
  Project& project = *vbe->ActiveProject();
  EXPECT_THAT(ComponentNames(project), ElementsAre("modMain", "Form1", "clsThing"));
  EXPECT_EQ(project.Components().Item("FORM1").Type(), ComponentType::kVBForm);
  EXPECT_EQ(project.Components().Item(3).Name(), "clsThing");
  EXPECT_THROW(project.Components().Item("Form2"), HostError);
  EXPECT_THROW(project.Components().Item(4), HostError);
  EXPECT_EQ(project.FileName(), "");
}

TEST(MemoryProjectTest, RefusesDuplicateNamesAndRemovesByName) {
  auto vbe = MakeVbe({{"modA", ComponentType::kStdModule, {"Sub A()", "End Sub"}},
                      {"modB", ComponentType::kStdModule, {}}});
  MemoryProject& project = ActiveMemoryProject(*vbe);
  EXPECT_THROW(project.AddComponent("MODA", ComponentType::kClassModule), HostError);

  CodePane& pane = vbe->ShowCode(*project.ComponentNamed("modA").CodeModule());
  project.RemoveComponent("moda");
  EXPECT_THAT(ComponentNames(project), ElementsAre("modB"));
  EXPECT_THROW(project.RemoveComponent("modA"), HostError);
  EXPECT_THROW(project.ComponentNamed("modA"), HostError);
  EXPECT_EQ(pane.CodeModule().CountOfLines(), 2);  // the pane's module outlives the removal
}

TEST(MemoryComponentTest, CodeModulesExistForCodeBearingTypesOnly) {
  MemoryProject project("P");
  EXPECT_NE(project.AddComponent("m", ComponentType::kStdModule).CodeModule(), nullptr);
  EXPECT_NE(project.AddComponent("f", ComponentType::kVBForm).CodeModule(), nullptr);
  EXPECT_EQ(project.AddComponent("r", ComponentType::kResFile).CodeModule(), nullptr);
  EXPECT_EQ(project.AddComponent("d", ComponentType::kRelatedDocument).CodeModule(), nullptr);
  MemoryComponent& module = project.ComponentNamed("m");
  EXPECT_EQ(&module.CodeModule()->Parent(), &module);
}

TEST(MemoryComponentTest, SetCodeKeepsTheModuleObject) {
  MemoryProject project("P");
  MemoryComponent& component = project.AddComponent("m", ComponentType::kStdModule);
  CodeModule* before = component.CodeModule();
  component.SetCodeText("Sub A()\r\nEnd Sub\r\n");
  EXPECT_EQ(component.CodeModule(), before);
  EXPECT_EQ(before->CountOfLines(), 2);
  EXPECT_EQ(before->Members().Item(1).Name(), "A");
}

TEST(MemoryComponentTest, FileNamesHasOneEntry) {
  MemoryProject project("P");
  MemoryComponent& component = project.AddComponent("Form1", ComponentType::kVBForm);
  EXPECT_EQ(component.FileNames(1), "");
  component.SetFileName("Form1.frm");
  EXPECT_EQ(component.FileNames(1), "Form1.frm");
  EXPECT_THROW((void)component.FileNames(0), HostError);
  EXPECT_THROW((void)component.FileNames(2), HostError);
}

class NoProperties final : public Properties {
 public:
  int Count() const override { return 0; }
  Property& Item(int) override { throw HostError("none"); }
  Property& Item(std::string_view) override { throw HostError("none"); }
};

class NoControls final : public DesignerControls {
 public:
  int Count() const override { return 0; }
  Control& Item(int) override { throw HostError("none"); }
  Control& Item(std::string_view) override { throw HostError("none"); }
  void Remove(Control&) override {}
};

class EmptyDesigner final : public DesignerModel {
 public:
  DesignerControls& Controls() override { return controls_; }
  DesignerControls& AllControls() override { return controls_; }
  Properties& FormProperties() override { return properties_; }
  std::uint64_t Revision() const override { return 0; }

 private:
  NoControls controls_;
  NoProperties properties_;
};

TEST(MemoryComponentTest, PropertiesNeedADesigner) {
  MemoryProject project("P");
  MemoryComponent& form = project.AddComponent("Form1", ComponentType::kVBForm);
  EXPECT_EQ(form.Designer(), nullptr);
  EXPECT_THROW(form.Properties(), HostError);

  auto designer = std::make_unique<EmptyDesigner>();
  Properties* properties = &designer->FormProperties();
  form.SetDesigner(std::move(designer));
  EXPECT_EQ(&form.Properties(), properties);
  EXPECT_EQ(form.Designer(), form.DesignerModelOrNull());
  EXPECT_NE(form.Designer(), nullptr);
}

TEST(MemoryProjectTest, ReferencesEnumerateAndMatchByName) {
  MemoryProject project("P", "P.vbp");
  project.AddReference({"stdole", "OLE Automation", 2, 0, "C:\\Windows\\System32\\stdole2.tlb"});
  project.AddReference(
      {"ADODB", "Microsoft ActiveX Data Objects 2.8 Library", 2, 8, "msado15.dll"});
  ASSERT_EQ(project.References().Count(), 2);
  Reference& ado = project.References().Item("adodb");
  EXPECT_EQ(ado.Major(), 2);
  EXPECT_EQ(ado.Minor(), 8);
  EXPECT_EQ(ado.FullPath(), "msado15.dll");
  EXPECT_EQ(project.References().Item(1).Description(), "OLE Automation");
  EXPECT_EQ(project.FileName(), "P.vbp");
}

TEST(MemoryVbeTest, NoProjectNoPaneNoWindowGiveNothing) {
  MemoryVbe vbe;
  EXPECT_EQ(vbe.ActiveProject(), nullptr);
  EXPECT_EQ(vbe.ActiveCodePane(), nullptr);
  EXPECT_EQ(vbe.ActiveWindow(), nullptr);
  EXPECT_EQ(vbe.Windows().Count(), 0);
}

TEST(MemoryVbeTest, FirstProjectAddedIsActive) {
  MemoryVbe vbe;
  MemoryProject& first = vbe.AddProject(std::make_unique<MemoryProject>("One"));
  MemoryProject& second = vbe.AddProject(std::make_unique<MemoryProject>("Two"));
  EXPECT_EQ(vbe.ActiveProject(), &first);
  vbe.SetActiveProject(&second);
  EXPECT_EQ(vbe.ActiveProject(), &second);
}

TEST(MemoryVbeTest, ShowCodeOpensOnceAndMakesThePaneActive) {
  auto vbe = MakeVbe({{"modA", ComponentType::kStdModule, {"a", "b", "c"}},
                      {"modB", ComponentType::kStdModule, {"x"}}});
  MemoryProject& project = ActiveMemoryProject(*vbe);
  CodeModule& a = *project.ComponentNamed("modA").CodeModule();
  CodeModule& b = *project.ComponentNamed("modB").CodeModule();

  CodePane& pane_a = vbe->ShowCode(a, {2, 5, 3, 1});
  CodePane& pane_b = vbe->ShowCode(b);
  EXPECT_EQ(vbe->ActiveCodePane(), &pane_b);
  EXPECT_EQ(&vbe->ShowCode(a, {1, 1, 1, 1}), &pane_a);
  EXPECT_EQ(vbe->ActiveCodePane(), &pane_a);
  EXPECT_EQ(pane_a.GetSelection(), (Selection{1, 1, 1, 1}));
  EXPECT_EQ(&pane_a.CodeModule(), &a);
  EXPECT_THAT(WindowCaptions(*vbe),
              ElementsAre("Project1 - modA (Code)", "Project1 - modB (Code)"));
  EXPECT_EQ(vbe->ActiveWindow()->Type(), WindowType::kCodeWindow);
  EXPECT_EQ(vbe->ActiveWindow()->Caption(), "Project1 - modA (Code)");

  pane_a.SetSelection({10, 5, 12, 1});
  EXPECT_EQ(pane_a.GetSelection(), (Selection{10, 5, 12, 1}));
  EXPECT_THROW(pane_a.SetSelection({3, 1, 2, 1}), HostError);
  EXPECT_THROW(vbe->ShowCode(b, {0, 1, 1, 1}), HostError);
  EXPECT_EQ(vbe->ActiveCodePane(), &pane_a);
}

TEST(MemoryVbeTest, CloseRemovesTheWindowAndItsActivePane) {
  auto vbe =
      MakeVbe({{"modA", ComponentType::kStdModule, {"a"}}, {"Form1", ComponentType::kVBForm, {}}});
  MemoryProject& project = ActiveMemoryProject(*vbe);
  Window& immediate = vbe->AddToolWindow("Immediate", WindowType::kImmediate);
  vbe->ShowCode(*project.ComponentNamed("modA").CodeModule());
  Window& designer = vbe->ShowDesigner(project.ComponentNamed("Form1"));
  EXPECT_EQ(designer.Caption(), "Project1 - Form1 (Form)");
  EXPECT_EQ(vbe->ActiveWindow(), &designer);
  ASSERT_NE(vbe->ActiveCodePane(), nullptr);  // a designer leaves the code pane as it was

  Window& code_window = vbe->Windows().Item("project1 - moda (code)");
  code_window.Close();
  EXPECT_EQ(vbe->ActiveCodePane(), nullptr);
  EXPECT_FALSE(code_window.Visible());
  EXPECT_THROW(code_window.Close(), HostError);
  EXPECT_THROW(code_window.SetFocus(), HostError);
  designer.Close();
  EXPECT_EQ(vbe->ActiveWindow(), nullptr);
  EXPECT_THAT(WindowCaptions(*vbe), ElementsAre("Immediate"));
  EXPECT_TRUE(immediate.Visible());
}

TEST(MemoryVbeTest, SetFocusMovesTheActiveWindowAndPane) {
  auto vbe = MakeVbe(
      {{"modA", ComponentType::kStdModule, {"a"}}, {"modB", ComponentType::kStdModule, {"b"}}});
  MemoryProject& project = ActiveMemoryProject(*vbe);
  CodePane& pane_a = vbe->ShowCode(*project.ComponentNamed("modA").CodeModule());
  vbe->ShowCode(*project.ComponentNamed("modB").CodeModule());
  Window& immediate = vbe->AddToolWindow("Immediate", WindowType::kImmediate);
  EXPECT_NE(vbe->ActiveWindow(), &immediate);  // adding a tool window does not focus it

  immediate.SetFocus();
  EXPECT_EQ(vbe->ActiveWindow(), &immediate);
  vbe->Windows().Item(1).SetFocus();
  EXPECT_EQ(vbe->ActiveCodePane(), &pane_a);
  vbe->ClearActiveCodePane();
  EXPECT_EQ(vbe->ActiveCodePane(), nullptr);
  EXPECT_THROW(vbe->AddToolWindow("Code", WindowType::kCodeWindow), HostError);
}

TEST(MemoryVbeTest, ImmediateTextNeedsAnImmediateWindow) {
  MemoryVbe vbe;
  EXPECT_THROW((void)vbe.ImmediateText(), HostError);
  EXPECT_THROW(vbe.SetImmediateText("x"), HostError);
  Window& immediate = vbe.AddToolWindow("Immediate", WindowType::kImmediate);
  EXPECT_EQ(vbe.ImmediateText(), "");
  vbe.SetImmediateText("? 1 + 1\r\n 2 ");
  EXPECT_EQ(vbe.ImmediateText(), "? 1 + 1\r\n 2 ");
  immediate.Close();
  EXPECT_THROW((void)vbe.ImmediateText(), HostError);
}

}  // namespace
}  // namespace marquill::host
