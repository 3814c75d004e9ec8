// The studio on the offscreen platform: the sample project opened in it, the add-in's menu,
// toolbar and main window used through their widgets, and the checks a user relies on
// (unsaved changes asked about, failed loads and saves reported).
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>
#include <filesystem>
#include <fstream>
#include <memory>

#include "designer_view.h"
#include "host/store/connection.h"
#include "host/store/database.h"
#include "qt_platform.h"
#include "shell/platform/scripted_platform.h"
#include "shell/settings/settings_store.h"
#include "shell/time_log.h"
#include "studio_window.h"

namespace fs = std::filesystem;
using namespace marquill;
using studio::SaveAnswer;
using studio::StudioMainWindow;

namespace {

QAction* ActionNamed(const QList<QAction*>& actions, const QString& text) {
  for (QAction* action : actions) {
    if (action->text() == text) return action;
  }
  return nullptr;
}

QStringList Texts(const QList<QAction*>& actions) {
  QStringList texts;
  for (QAction* action : actions) {
    if (!action->isSeparator()) texts << action->text();
  }
  return texts;
}

void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace

class StudioTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<shell::ScriptedPlatform> platform_;
  std::unique_ptr<shell::MemorySettingsStore> settings_;
  std::unique_ptr<shell::MemoryTimeLog> log_;
  std::unique_ptr<StudioMainWindow> studio_;
  QStringList questions_;
  SaveAnswer answer_ = SaveAnswer::kCancel;

  fs::path Dir() const { return dir_->path().toStdString(); }
  fs::path Project() const { return Dir() / "Marquill.vbp"; }
  std::string AddinFolder() const { return dir_->path().toStdString() + "/addin/"; }

  void SeedShortcut(const std::string& name, const std::string& body) {
    fs::create_directories(AddinFolder());
    host::Connection connection;
    connection.Open(AddinFolder() + "Marquill.mdb");
    connection.EnsureTables();
    connection.Execute(host::InsertShortcutSql(name));
    connection.Execute(host::UpdateShortcutSql(name, body));
    connection.Close();
  }

  void StartStudio() {
    studio_ = std::make_unique<StudioMainWindow>(
        studio::StudioServices{*platform_, *settings_, *log_, AddinFolder()});
    studio_->SetSaveQuestion([this](const QString& question) {
      questions_ << question;
      return answer_;
    });
    studio_->show();
    QVERIFY(studio_->OpenProject(Project()));
  }

  QPlainTextEdit* OpenCode(const std::string& component) {
    studio_->ShowComponent(component, false);
    auto& memory = studio_->Project()->Project().ComponentNamed(component);
    return studio_->Vbe().CodeEditor(memory);
  }

  QToolBar* Toolbar() { return studio_->Bars().Toolbar("VB Hobrook"); }

  studio::UtilityDialog* OpenMainWindow() {
    QAction* open = ActionNamed(Toolbar()->actions(), "VB Marquill");
    if (open == nullptr) return nullptr;
    open->trigger();
    return studio_->MainDialog();
  }

  int LineOf(QPlainTextEdit* editor, const QString& text) {
    for (QTextBlock block = editor->document()->begin(); block.isValid(); block = block.next()) {
      if (block.text() == text) return block.blockNumber() + 1;
    }
    return 0;
  }

  QString EditorLine(QPlainTextEdit* editor, int line) {
    return editor->document()->findBlockByNumber(line - 1).text();
  }

  void ReplaceEditorLine(QPlainTextEdit* editor, int line, const QString& text) {
    QTextCursor cursor(editor->document()->findBlockByNumber(line - 1));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
  }

  int OpenSubWindows() {
    DeleteClosedWindows();
    return static_cast<int>(studio_->Area().subWindowList().size());
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    for (const auto& entry : fs::directory_iterator(MARQUILL_SAMPLES_DIR)) {
      fs::copy(entry.path(), Dir() / entry.path().filename());
    }
    platform_ = std::make_unique<shell::ScriptedPlatform>();
    settings_ = std::make_unique<shell::MemorySettingsStore>();
    log_ = std::make_unique<shell::MemoryTimeLog>();
    questions_.clear();
    answer_ = SaveAnswer::kCancel;
  }

  void cleanup() {
    answer_ = SaveAnswer::kDiscard;
    studio_.reset();
    DeleteClosedWindows();
    dir_.reset();
  }

  void explorerGroupsComponentsByType() {
    StartStudio();
    QTreeWidget& tree = studio_->Explorer();
    QCOMPARE(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree.topLevelItem(0);
    QCOMPARE(root->text(0), QString("Marquill (Marquill.vbp)"));
    QMap<QString, QStringList> folders;
    for (int i = 0; i < root->childCount(); ++i) {
      for (int j = 0; j < root->child(i)->childCount(); ++j) {
        folders[root->child(i)->text(0)] << root->child(i)->child(j)->text(0);
      }
    }
    QCOMPARE(folders["Forms"], QStringList({"frmMain (frmMain.frm)", "mdiMain (mdiMain.frm)"}));
    QCOMPARE(folders["Modules"], QStringList({"modMain (modMain.bas)"}));
    QCOMPARE(folders["Class Modules"], QStringList({"clsCounter (clsCounter.cls)"}));
    QCOMPARE(folders["User Controls"], QStringList({"ctlGauge (ctlGauge.ctl)"}));
  }

  void addinBuildsItsMenuAndToolbarAndRemovesThemAtExit() {
    SeedShortcut("Header", "' header");
    StartStudio();
    QAction* popup = ActionNamed(studio_->AddInsMenu().actions(), "Marquill");
    QVERIFY(popup != nullptr && popup->menu() != nullptr);
    QCOMPARE(
        Texts(popup->menu()->actions()),
        QStringList({"Open...", "Time counting", "Close all windows", "Clear Immediate window"}));
    QVERIFY(Toolbar() != nullptr);
    QStringList buttons;
    for (QAction* action : Toolbar()->actions()) {
      if (action->isSeparator() || action->text() == "Shortcuts...") continue;
      buttons << action->text();
      QVERIFY2(!action->icon().isNull(), qPrintable(action->text() + " has no face"));
    }
    QCOMPARE(buttons, QStringList({"VB Marquill", "Time counting", "Close all windows",
                                   "Clear Immediate window"}));
    auto* combo = Toolbar()->findChild<QComboBox*>("commandBarCombo");
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->count(), 1);
    QCOMPARE(combo->itemText(0), QString("Header"));

    QPointer<QToolBar> toolbar = Toolbar();
    studio_->close();
    DeleteClosedWindows();
    QVERIFY(studio_->AddInsMenu().actions().isEmpty());
    QVERIFY(toolbar.isNull());
  }

  void toolbarOpensTheMainWindowBoundBothWays() {
    StartStudio();
    studio::UtilityDialog* dialog = OpenMainWindow();
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    QCOMPARE(dialog->Tabs().count(), 8);
    QCOMPARE(dialog->Tabs().tabText(2), QString("C&ode && Shortcuts"));
    QCOMPARE(dialog->Tabs().tabText(4), QString("&Err handling&&Export"));
    // Every control of the model has a widget.
    for (shell::Control* control : dialog->Model().AllControls()) {
      if (control == &dialog->Model().SSTab1) continue;
      QVERIFY2(dialog->WidgetOf(control->Name(), control->Index()) != nullptr,
               control->DisplayName().c_str());
    }
    // Model to widget.
    auto* indent = qobject_cast<QLineEdit*>(dialog->WidgetOf("txtIndent"));
    QVERIFY(indent != nullptr);
    dialog->Model().txtIndent.SetText("2");
    QCOMPARE(indent->text(), QString("2"));
    // Widget to model.
    indent->selectAll();
    QTest::keyClicks(indent, "3");
    QCOMPARE(dialog->Model().txtIndent.Text(), std::string("3"));
    dialog->Tabs().setCurrentIndex(4);
    QCOMPARE(dialog->Model().SSTab1.Tab(), 4);
    dialog->Model().SSTab1.SetTab(2);
    QCOMPARE(dialog->Tabs().currentIndex(), 2);
    // Check boxes: the model's 1 is ticked, and a click reaches the model.
    auto* all = qobject_cast<QCheckBox*>(dialog->WidgetOf("chkDelLines"));
    QVERIFY(all != nullptr);
    QCOMPARE(all->checkState(), Qt::Checked);
    all->click();
    QCOMPARE(dialog->Model().chkDelLines.Value(), 0);
    dialog->Model().chkDelLines.SetValue(1);
    QCOMPARE(all->checkState(), Qt::Checked);
    // The Marlett arrows are arrows.
    auto* up = qobject_cast<QPushButton*>(dialog->WidgetOf("cmdTabUpDown", 0));
    QVERIFY(up != nullptr);
    QCOMPARE(up->text(), QString::fromUtf8("\u25B2"));

    // Closing remembers the tab and unloads the model.
    dialog->move(300, 150);
    dialog->close();
    QVERIFY(studio_->MainDialog() == nullptr);
    QVERIFY(studio_->Addin().MainWindow() == nullptr);
    QCOMPARE(settings_->GetRegString(shell::kSettingsKey, "Tab"), std::string("2"));
    QVERIFY(!settings_->GetRegString(shell::kSettingsKey, "Left").empty());
    dialog = OpenMainWindow();
    QVERIFY(dialog != nullptr);
    QCOMPARE(dialog->Tabs().currentIndex(), 2);
  }

  void indentOnTheCurrentModuleChangesItsCodeWindow() {
    StartStudio();
    QPlainTextEdit* editor = OpenCode("modMain");
    QVERIFY(editor != nullptr);
    int line = LineOf(editor, "        JoinTexts = Second");
    QVERIFY(line > 0);
    // The user's own edit, in the editor only: the line loses its indentation.
    ReplaceEditorLine(editor, line, "JoinTexts = Second");
    studio::UtilityDialog* dialog = OpenMainWindow();
    QVERIFY(dialog != nullptr);
    qobject_cast<QRadioButton*>(dialog->WidgetOf("optWhere", 1))->click();
    QVERIFY(dialog->Model().optWhere(1).Value());
    platform_->Queue({shell::Answer::Kind::kYes, "", "test"});  // "remove line splitting?"
    qobject_cast<QPushButton*>(dialog->WidgetOf("cmdIndent"))->click();
    QCOMPARE(platform_->PendingAnswers(), std::size_t{0});
    // One level inside the If block, at the indent width of the main window.
    QVERIFY(LineOf(editor, "    JoinTexts = Second") > 0);
    QCOMPARE(LineOf(editor, "JoinTexts = Second"), 0);
    // The window shows exactly what the module now holds.
    host::CodeModule& module =
        *studio_->Project()->Project().ComponentNamed("modMain").CodeModule();
    QString held = QString::fromLatin1(module.Lines(1, module.CountOfLines()));
    QCOMPARE(editor->toPlainText(), held.replace("\r\n", "\n"));
  }

  void shortcutPastesAboveTheSelection() {
    SeedShortcut("Note", "' pasted note");
    StartStudio();
    QPlainTextEdit* editor = OpenCode("modMain");
    int line = LineOf(editor, "Option Explicit");
    QVERIFY(line > 0);
    QString below = EditorLine(editor, line + 1);
    studio_->Vbe().ActiveCodePane()->SetSelection({line, 1, line, 1});
    QCOMPARE(editor->textCursor().blockNumber() + 1, line);
    auto* combo = Toolbar()->findChild<QComboBox*>("commandBarCombo");
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    QCOMPARE(EditorLine(editor, line), QString("' pasted note"));
    QCOMPARE(EditorLine(editor, line + 1), QString("Option Explicit"));
    QCOMPARE(EditorLine(editor, line + 2), below);
    QVERIFY(studio_->HasUnsavedChanges());
  }

  void closeAllWindowsClosesCodeAndDesignerWindows() {
    StartStudio();
    OpenCode("modMain");
    OpenCode("clsCounter");
    studio_->ShowComponent("frmMain", true);
    QCOMPARE(OpenSubWindows(), 3);
    QCOMPARE(studio_->Vbe().Windows().Count(), 4);  // with the Immediate window
    QAction* popup = ActionNamed(studio_->AddInsMenu().actions(), "Marquill");
    ActionNamed(popup->menu()->actions(), "Close all windows")->trigger();
    QCOMPARE(OpenSubWindows(), 0);
    QCOMPARE(studio_->Vbe().Windows().Count(), 1);
    QCOMPARE(studio_->Vbe().Windows().Item(1).Caption(), std::string("Immediate"));
    QVERIFY(studio_->Vbe().ActiveCodePane() == nullptr);
  }

  void userClosingAWindowTakesItOutOfTheList() {
    StartStudio();
    OpenCode("modMain");
    QCOMPARE(studio_->Vbe().Windows().Count(), 2);
    studio_->Area().subWindowList().first()->close();
    DeleteClosedWindows();
    QCOMPARE(studio_->Vbe().Windows().Count(), 1);
    QVERIFY(studio_->Vbe().ActiveCodePane() == nullptr);
  }

  void designerDrawsEveryControl() {
    StartStudio();
    auto& form = studio_->Project()->Project().ComponentNamed("frmMain");
    auto* view = static_cast<studio::DesignerView*>(studio_->Vbe().ShowDesigner(form));
    QVERIFY(view != nullptr);
    view->grab();
    QCOMPARE(view->DrawnControls(), form.Designer()->AllControls().Count());
    QVERIFY(view->DrawnControls() > 0);
  }

  void clearImmediateWindowEmptiesTheDock() {
    StartStudio();
    studio_->Immediate().setPlainText("? 1 + 1\n 2");
    ActionNamed(Toolbar()->actions(), "Clear Immediate window")->trigger();
    QCOMPARE(studio_->Immediate().toPlainText(), QString());
  }

  void unsavedChangesAreAskedAbout_data() {
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("cancel keeps the studio open")
        << true << int(SaveAnswer::kCancel) << false << false;
    QTest::newRow("discard closes without saving")
        << true << int(SaveAnswer::kDiscard) << true << false;
    QTest::newRow("save writes the file and closes")
        << true << int(SaveAnswer::kSave) << true << true;
    QTest::newRow("nothing changed, nothing asked")
        << false << int(SaveAnswer::kCancel) << true << false;
  }

  void unsavedChangesAreAskedAbout() {
    QFETCH(bool, edited);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, saved);
    StartStudio();
    QPlainTextEdit* editor = OpenCode("modMain");
    if (edited)
      ReplaceEditorLine(editor, LineOf(editor, "Option Explicit"), "Option Explicit ' typed");
    answer_ = static_cast<SaveAnswer>(answer);
    QCOMPARE(studio_->close(), closed);
    QCOMPARE(questions_.size(), edited ? 1 : 0);
    if (edited) QVERIFY(questions_[0].contains("Marquill"));
    std::ifstream file(Dir() / "modMain.bas", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), {});
    QCOMPARE(bytes.find("Option Explicit ' typed") != std::string::npos, saved);
  }

  void projectThatDoesNotLoadIsReportedAndTheStudioStaysUsable() {
    StartStudio();
    fs::path broken = Dir() / "Broken.vbp";
    std::ofstream(broken) << "Type=Exe\r\nModule=modGone; modGone.bas\r\nName=\"Broken\"\r\n";
    QVERIFY(!studio_->OpenProject(broken));
    auto calls = platform_->CallsOf("MsgBox");
    QVERIFY(!calls.empty());
    QVERIFY2(calls.back().detail.find("Broken.vbp:2:") != std::string::npos,
             calls.back().detail.c_str());
    QCOMPARE(studio_->Project()->Project().Name(), std::string("Marquill"));
    QVERIFY(OpenCode("modMain") != nullptr);
  }

  void failedSaveSaysWhyAndKeepsTheChanges() {
    StartStudio();
    QPlainTextEdit* editor = OpenCode("modMain");
    ReplaceEditorLine(editor, LineOf(editor, "Option Explicit"), "Option Explicit ' kept");
    // A folder where the module's file was: nothing can be renamed over it.
    fs::path module = Dir() / "modMain.bas";
    fs::remove(module);
    fs::create_directories(module / "blocker");
    QVERIFY(!studio_->SaveProject());
    auto calls = platform_->CallsOf("MsgBox");
    QVERIFY(!calls.empty());
    QVERIFY2(calls.back().detail.find("not saved") != std::string::npos,
             calls.back().detail.c_str());
    QVERIFY(studio_->HasUnsavedChanges());
    QVERIFY(LineOf(editor, "Option Explicit ' kept") > 0);
  }

  void platformHelpers_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one pair") << "Icon file (*.ico)|*.ico"
                              << "Icon file (*.ico)";
    QTest::newRow("label without patterns") << "Icons|*.ico;*.cur|All|*.*"
                                            << "Icons (*.ico *.cur);;All (*.*)";
    QTest::newRow("odd tail ignored") << "Text (*.txt)|*.txt|dangling"
                                      << "Text (*.txt)";
  }

  void platformHelpers() {
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(studio::QtFilter(filter.toStdString()), expected);
  }
};

QTEST_MAIN(StudioTest)
#include "studio_test.moc"
