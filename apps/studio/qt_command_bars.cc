#include "qt_command_bars.h"

#include <QComboBox>
#include <QIcon>
#include <QPixmap>
#include <QWidgetAction>
#include <algorithm>
#include <list>

#include "shell/resources/resources.h"

namespace marquill::studio {
namespace {

using host::HostError;
using shell::CommandBarControl;
using shell::CommandBarControls;
using shell::CommandBarControlType;

QString ToQ(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The menu text of a caption: the IDE's "&" accelerators are kept as Qt reads them.
QIcon FaceIcon(int face) {
  std::string_view bytes = shell::FaceBitmap(face);
  QPixmap pixmap;
  if (bytes.empty() || !pixmap.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                                            static_cast<uint>(bytes.size()), "BMP")) {
    return {};
  }
  return QIcon(pixmap);
}

}  // namespace

class QtControl;

// The controls of a bar or a popup, shown in `target` (a QMenu or a QToolBar).
class QtControls final : public CommandBarControls {
 public:
  QtControls(QtCommandBars& bars, QWidget* target) : bars_(bars), target_(target) {}
  CommandBarControl& Add(CommandBarControlType type) override;
  int Count() const override { return static_cast<int>(live_.size()); }
  CommandBarControl& Item(int index) override;

  QWidget* Target() const { return target_; }
  QtCommandBars& Bars() { return bars_; }
  void Forget(QtControl* control) { std::erase(live_, control); }
  void DeleteAll();

 private:
  QtCommandBars& bars_;
  QWidget* target_;
  std::vector<std::unique_ptr<QtControl>> owned_;
  std::vector<QtControl*> live_;
};

class QtControl final : public CommandBarControl {
 public:
  QtControl(QtControls& parent, CommandBarControlType type) : parent_(&parent), type_(type) {
    QWidget* target = parent.Target();
    switch (type) {
      case CommandBarControlType::kButton:
        action_ = new QAction(target);
        QObject::connect(action_, &QAction::triggered, [this] { Fire(); });
        break;
      case CommandBarControlType::kPopup: {
        menu_ = new QMenu(target);
        action_ = menu_->menuAction();
        popup_ = std::make_unique<QtControls>(parent.Bars(), menu_);
        break;
      }
      case CommandBarControlType::kComboBox: {
        auto* widget_action = new QWidgetAction(target);
        combo_ = new QComboBox();
        combo_->setObjectName("commandBarCombo");
        widget_action->setDefaultWidget(combo_);
        QObject::connect(combo_, &QComboBox::activated, [this](int) { Fire(); });
        action_ = widget_action;
        break;
      }
    }
    target->addAction(action_);
  }

  CommandBarControlType Type() const override { return Live().type_; }
  std::string Caption() const override { return Live().caption_; }
  void SetCaption(std::string_view caption) override {
    Live();
    caption_ = std::string(caption);
    action_->setText(ToQ(caption));
    action_->setToolTip(QString(ToQ(caption)).remove('&'));
    if (combo_ != nullptr) {
      combo_->setPlaceholderText(ToQ(caption));
      combo_->setToolTip(ToQ(caption));
    }
  }
  bool BeginGroup() const override { return Live().separator_ != nullptr; }
  void SetBeginGroup(bool begin_group) override {
    Live();
    if (begin_group == (separator_ != nullptr)) return;
    QWidget* target = parent_->Target();
    if (begin_group) {
      separator_ = new QAction(target);
      separator_->setSeparator(true);
      target->insertAction(action_, separator_);
    } else {
      target->removeAction(separator_);
      delete separator_;
      separator_ = nullptr;
    }
  }
  int Width() const override { return Live().width_; }
  void SetWidth(int width) override {
    Live();
    width_ = width;
    if (combo_ != nullptr) combo_->setFixedWidth(width);
  }
  void Delete() override {
    Live();
    if (popup_) popup_->DeleteAll();
    QWidget* target = parent_->Target();
    if (separator_ != nullptr) target->removeAction(separator_);
    target->removeAction(action_);
    // Deleted later: Delete may run inside this very action's Click.
    if (separator_ != nullptr) separator_->deleteLater();
    if (menu_ != nullptr) {
      menu_->deleteLater();
    } else {
      action_->deleteLater();
    }
    parent_->Forget(this);
    parent_ = nullptr;
    action_ = nullptr;
    combo_ = nullptr;
    menu_ = nullptr;
    separator_ = nullptr;
  }
  int Face() const override {
    CheckType(CommandBarControlType::kButton, "a face");
    return face_;
  }
  void SetFace(int face) override {
    CheckType(CommandBarControlType::kButton, "a face");
    face_ = face;
    action_->setIcon(FaceIcon(face));
  }
  CommandBarControls& Controls() override {
    CheckType(CommandBarControlType::kPopup, "controls");
    return *popup_;
  }
  void AddItem(std::string_view text) override {
    Combo().addItem(ToQ(text));
  }
  void RemoveItem(int index) override {
    CheckEntry(index);
    combo_->removeItem(index - 1);
  }
  int ListCount() const override { return Combo().count(); }
  std::string List(int index) const override {
    CheckEntry(index);
    return combo_->itemText(index - 1).toStdString();
  }
  int ListIndex() const override { return Combo().currentIndex() + 1; }
  void SetListIndex(int index) override {
    if (index != 0) CheckEntry(index);
    combo_->setCurrentIndex(index - 1);
  }

  QAction* Action() const { return action_; }
  QComboBox* ComboWidget() const { return combo_; }
  bool Deleted() const { return parent_ == nullptr; }

  void AddHook(std::function<void()>* hook) { hooks_.push_back(hook); }
  void RemoveHook(std::function<void()>* hook) { std::erase(hooks_, hook); }

 private:
  const QtControl& Live() const {
    if (parent_ == nullptr) throw HostError("the command bar control was deleted");
    return *this;
  }
  void CheckType(CommandBarControlType type, const char* what) const {
    if (Live().type_ != type) throw HostError(std::string("this control has no ") + what);
  }
  QComboBox& Combo() const {
    CheckType(CommandBarControlType::kComboBox, "entries");
    return *combo_;
  }
  void CheckEntry(int index) const {
    if (index < 1 || index > Combo().count()) {
      throw HostError("no entry " + std::to_string(index) + " in the combo box");
    }
  }
  void Fire() {
    // A hook may delete the control (and with it this list): run a copy.
    std::vector<std::function<void()>> hooks;
    for (auto* hook : hooks_) hooks.push_back(*hook);
    QtCommandBars& bars = parent_->Bars();
    for (auto& hook : hooks) bars.RunClick(hook);
  }

  QtControls* parent_;
  CommandBarControlType type_;
  std::string caption_;
  int width_ = 0;
  int face_ = 0;
  QAction* action_ = nullptr;
  QAction* separator_ = nullptr;
  QMenu* menu_ = nullptr;
  QComboBox* combo_ = nullptr;
  std::unique_ptr<QtControls> popup_;
  std::vector<std::function<void()>*> hooks_;
};

CommandBarControl& QtControls::Add(CommandBarControlType type) {
  owned_.push_back(std::make_unique<QtControl>(*this, type));
  live_.push_back(owned_.back().get());
  return *owned_.back();
}

CommandBarControl& QtControls::Item(int index) {
  if (index < 1 || index > Count()) {
    throw HostError("no control " + std::to_string(index) + " on the bar");
  }
  return *live_[static_cast<std::size_t>(index - 1)];
}

void QtControls::DeleteAll() {
  std::vector<QtControl*> live = live_;
  for (QtControl* control : live) control->Delete();
}

class QtCommandBars::Bar final : public shell::CommandBar {
 public:
  Bar(QtCommandBars& bars, std::string name, QWidget* widget, bool toolbar)
      : name_(std::move(name)), widget_(widget), toolbar_(toolbar), controls_(bars, widget) {}
  std::string Name() const override { return Live().name_; }
  bool Visible() const override { return Live().visible_; }
  void SetVisible(bool visible) override {
    Live();
    visible_ = visible;
    if (toolbar_) widget_->setVisible(visible);
  }
  CommandBarControls& Controls() override {
    Live();
    return controls_;
  }
  void Delete() override {
    Live();
    if (!toolbar_) throw HostError("the menu " + name_ + " belongs to the studio");
    controls_.DeleteAll();
    deleted_ = true;
    widget_->hide();
    widget_->deleteLater();
  }
  bool Deleted() const { return deleted_; }
  bool IsToolbar() const { return toolbar_; }
  QWidget* Widget() const { return widget_; }

 private:
  const Bar& Live() const {
    if (deleted_) throw HostError("the command bar was deleted");
    return *this;
  }
  std::string name_;
  QWidget* widget_;
  bool toolbar_;
  bool visible_ = true;
  bool deleted_ = false;
  QtControls controls_;
};

QtCommandBars::QtCommandBars(QMainWindow& window, ClickWrapper around_click)
    : window_(window), around_click_(std::move(around_click)) {}

QtCommandBars::~QtCommandBars() = default;

void QtCommandBars::AddMenu(QMenu* menu) {
  bars_.push_back(
      std::make_unique<Bar>(*this, menu->title().remove('&').toStdString(), menu, false));
}

shell::CommandBar& QtCommandBars::Item(std::string_view name) {
  for (auto& bar : bars_) {
    if (!bar->Deleted() && bar->Name() == name) return *bar;
  }
  throw HostError("there is no command bar " + std::string(name));
}

shell::CommandBar& QtCommandBars::Add(std::string_view name, int /*position*/) {
  auto* toolbar = new QToolBar(ToQ(name), &window_);
  toolbar->setObjectName(ToQ(name));
  window_.addToolBar(Qt::TopToolBarArea, toolbar);
  bars_.push_back(std::make_unique<Bar>(*this, std::string(name), toolbar, true));
  return *bars_.back();
}

QToolBar* QtCommandBars::Toolbar(std::string_view name) const {
  for (const auto& bar : bars_) {
    if (!bar->Deleted() && bar->IsToolbar() && bar->Name() == name) {
      return static_cast<QToolBar*>(bar->Widget());
    }
  }
  return nullptr;
}

namespace {

class QtClickHook final : public shell::ClickHook {
 public:
  QtClickHook(QtControl& control, std::function<void()> on_click)
      : control_(control), on_click_(std::move(on_click)) {
    control_.AddHook(&on_click_);
  }
  ~QtClickHook() override { control_.RemoveHook(&on_click_); }

 private:
  QtControl& control_;
  std::function<void()> on_click_;
};

}  // namespace

std::unique_ptr<shell::ClickHook> QtCommandBars::HookClick(shell::CommandBarControl& control,
                                                           std::function<void()> on_click) {
  auto* qt_control = dynamic_cast<QtControl*>(&control);
  if (qt_control == nullptr || qt_control->Deleted()) {
    throw HostError("not a live control of these bars");
  }
  return std::make_unique<QtClickHook>(*qt_control, std::move(on_click));
}

}  // namespace marquill::studio
