#include "studio_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

namespace marquill::studio {
namespace {

constexpr int kComponentRole = Qt::UserRole + 1;

}  // namespace

QString FolderOf(host::ComponentType type) {
  switch (type) {
    case host::ComponentType::kStdModule:
      return "Modules";
    case host::ComponentType::kClassModule:
      return "Class Modules";
    case host::ComponentType::kVBForm:
    case host::ComponentType::kMDIForm:
    case host::ComponentType::kMSForm:
      return "Forms";
    case host::ComponentType::kUserControl:
      return "User Controls";
    case host::ComponentType::kPropPage:
      return "Property Pages";
    case host::ComponentType::kDocObject:
      return "User Documents";
    case host::ComponentType::kActiveXDesigner:
      return "Designers";
    default:
      return "Related Documents";
  }
}

StudioMainWindow::StudioMainWindow(StudioServices services) : services_(std::move(services)) {
  setObjectName("studio");
  area_ = new QMdiArea(this);
  area_->setObjectName("mdiArea");
  area_->setViewMode(QMdiArea::SubWindowView);
  setCentralWidget(area_);

  auto* explorer_dock = new QDockWidget("Project", this);
  explorer_dock->setObjectName("projectDock");
  explorer_ = new QTreeWidget(explorer_dock);
  explorer_->setObjectName("projectExplorer");
  explorer_->setHeaderHidden(true);
  explorer_dock->setWidget(explorer_);
  addDockWidget(Qt::LeftDockWidgetArea, explorer_dock);
  connect(explorer_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) {
    QString name = item->data(0, kComponentRole).toString();
    if (!name.isEmpty()) ShowComponent(name.toStdString(), false);
  });

  auto* immediate_dock = new QDockWidget("Immediate", this);
  immediate_dock->setObjectName("immediateDock");
  immediate_ = new QPlainTextEdit(immediate_dock);
  immediate_->setObjectName("immediate");
  immediate_dock->setWidget(immediate_);
  addDockWidget(Qt::BottomDockWidgetArea, immediate_dock);

  vbe_ = std::make_unique<StudioVbe>(*area_, *immediate_);
  BuildMenus();
  bars_ = std::make_unique<QtCommandBars>(
      *this, [this](const std::function<void()>& click) { RunAction(click); });
  bars_->AddMenu(addins_menu_);
  ask_ = [this](const QString& question) {
    auto answer = QMessageBox::question(
        this, "Marquill Studio", question,
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) return SaveAnswer::kSave;
    if (answer == QMessageBox::Discard) return SaveAnswer::kDiscard;
    return SaveAnswer::kCancel;
  };

  addin_ = std::make_unique<shell::Connect>(shell::AddinServices{
      services_.platform, services_.settings, services_.time_log, services_.addin_folder});
  RunAction([this] {
    addin_->OnConnection(*vbe_, *bars_);
    addin_->OnStartupComplete();
  });
  connected_ = true;
  UpdateTitle();
  resize(1100, 760);
}

StudioMainWindow::~StudioMainWindow() {
  if (connected_) {
    addin_->OnDisconnection();
    connected_ = false;
  }
  CloseDialog();
  vbe_->CloseAll();
  project_.reset();
}

void StudioMainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  file->addAction("&Open Project...", QKeySequence::Open, this, [this] { ChooseAndOpen(); });
  file->addAction("&Save Project", QKeySequence::Save, this, [this] { SaveProject(); });
  file->addSeparator();
  file->addAction("E&xit", this, [this] { close(); });
  QMenu* view = menuBar()->addMenu("&View");
  view->addAction("&Code", QKeySequence(Qt::Key_F7), this, [this] { ShowSelected(false); });
  view->addAction("O&bject", QKeySequence(Qt::SHIFT | Qt::Key_F7), this,
                  [this] { ShowSelected(true); });
  addins_menu_ = menuBar()->addMenu("&Add-Ins");
  addins_menu_->setObjectName("Add-Ins");
  QMenu* window = menuBar()->addMenu("&Window");
  window->addAction("&Tile", area_, &QMdiArea::tileSubWindows);
  window->addAction("&Cascade", area_, &QMdiArea::cascadeSubWindows);
}

void StudioMainWindow::RunAction(const std::function<void()>& action) {
  vbe_->FlushEdits();
  try {
    action();
  } catch (const std::exception& error) {
    // A command that fails keeps what it did so far; the user learns why.
    services_.platform.Message(error.what(), shell::kErrorTitle);
  }
  vbe_->Refresh();
  SyncDialog();
  UpdateTitle();
}

void StudioMainWindow::SyncDialog() {
  shell::frmUtility* model = addin_ ? addin_->MainWindow() : nullptr;
  if (dialog_ != nullptr && (model == nullptr || &dialog_->Model() != model || !model->Visible())) {
    CloseDialog();
  }
  if (model == nullptr || !model->Visible()) return;
  if (dialog_ == nullptr) {
    dialog_ = new UtilityDialog(
        *model, [this](const std::function<void()>& action) { RunAction(action); },
        [this] {
          // The user closed the window: the add-in unloads it, then the widgets go.
          RunAction([this] { addin_->UnloadMainWindow(); });
        },
        this);
    dialog_->setAttribute(Qt::WA_DeleteOnClose, false);
  }
  dialog_->show();
  dialog_->raise();
  dialog_->activateWindow();
}

void StudioMainWindow::CloseDialog() {
  if (dialog_ == nullptr) return;
  UtilityDialog* dialog = dialog_;
  dialog_ = nullptr;
  dialog->hide();
  dialog->deleteLater();
}

void StudioMainWindow::UpdateTitle() {
  QString title = "Marquill Studio";
  if (project_) {
    title = QString::fromStdString(project_->Project().Name()) + " - " + title;
  }
  setWindowTitle(title);
}

bool StudioMainWindow::OpenProject(const std::filesystem::path& vbp_path) {
  if (!ConfirmDiscard()) return false;
  std::unique_ptr<host::vbfiles::VbProject> loaded;
  try {
    loaded = host::vbfiles::VbProject::Load(vbp_path);
  } catch (const std::exception& error) {
    services_.platform.Message(error.what(), shell::kErrorTitle);
    return false;
  }
  RunAction([this] { addin_->UnloadMainWindow(); });
  vbe_->CloseAll();
  project_.reset();
  vbe_->ResetMemory();
  project_ = std::move(loaded);
  project_->AttachTo(vbe_->Memory());
  for (const std::string& notice : project_->Notices()) services_.platform.Message(notice);
  FillExplorer();
  UpdateTitle();
  return true;
}

void StudioMainWindow::FillExplorer() {
  explorer_->clear();
  if (!project_) return;
  host::MemoryProject& project = project_->Project();
  auto* root = new QTreeWidgetItem(explorer_);
  root->setText(0, QString::fromStdString(project.Name() + " (" +
                                          project_->Path().filename().string() + ")"));
  std::map<QString, QTreeWidgetItem*> folders;
  for (host::MemoryComponent* component : project.AllComponents()) {
    QString folder = FolderOf(component->Type());
    QTreeWidgetItem*& parent = folders[folder];
    if (parent == nullptr) {
      parent = new QTreeWidgetItem(root);
      parent->setText(0, folder);
    }
    auto* item = new QTreeWidgetItem(parent);
    std::string file = std::filesystem::path(component->FileNames(1)).filename().string();
    item->setText(0, QString::fromStdString(component->Name() + " (" + file + ")"));
    item->setData(0, kComponentRole, QString::fromStdString(component->Name()));
  }
  explorer_->expandAll();
}

void StudioMainWindow::ShowComponent(const std::string& name, bool designer) {
  if (!project_) return;
  RunAction([&] {
    host::MemoryComponent& component = project_->Project().ComponentNamed(name);
    bool has_code = component.CodeModule() != nullptr;
    if (designer || !has_code) {
      vbe_->ShowDesigner(component);
    } else {
      vbe_->ShowCode(component);
    }
  });
}

void StudioMainWindow::ShowSelected(bool designer) {
  QTreeWidgetItem* item = explorer_->currentItem();
  if (item == nullptr) return;
  QString name = item->data(0, kComponentRole).toString();
  if (!name.isEmpty()) ShowComponent(name.toStdString(), designer);
}

void StudioMainWindow::ChooseAndOpen() {
  QString path = QFileDialog::getOpenFileName(this, "Open Project", QString(),
                                              "Visual Basic projects (*.vbp);;All files (*)");
  if (!path.isEmpty()) OpenProject(path.toStdString());
}

bool StudioMainWindow::HasUnsavedChanges() {
  if (!project_) return false;
  vbe_->FlushEdits();
  return !project_->SaveToMemory().empty();
}

bool StudioMainWindow::SaveProject() {
  if (!project_) return true;
  vbe_->FlushEdits();
  try {
    auto written = project_->Save();
    statusBar()->showMessage(QString("Saved %1 file(s)").arg(written.size()), 5000);
    return true;
  } catch (const std::exception& error) {
    // Nothing was replaced and the changes stay in the studio: the user can save elsewhere
    // after fixing the cause.
    services_.platform.Message(std::string("The project was not saved: ") + error.what(),
                               shell::kErrorTitle);
    return false;
  }
}

bool StudioMainWindow::ConfirmDiscard() {
  if (!HasUnsavedChanges()) return true;
  QString question = QString("Save changes to the project %1?")
                         .arg(QString::fromStdString(project_->Project().Name()));
  switch (ask_(question)) {
    case SaveAnswer::kSave:
      return SaveProject();
    case SaveAnswer::kDiscard:
      return true;
    case SaveAnswer::kCancel:
      return false;
  }
  return false;
}

void StudioMainWindow::closeEvent(QCloseEvent* event) {
  if (!ConfirmDiscard()) {
    event->ignore();
    return;
  }
  if (connected_) {
    RunAction([this] { addin_->OnDisconnection(); });
    connected_ = false;
  }
  event->accept();
}

}  // namespace marquill::studio
