#include "utility_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace marquill::studio {
namespace {

using shell::Control;
using shell::ControlKind;
using shell::ControlState;

constexpr double kTwipsPerPixel = 15;
constexpr int kRowWidgets = 5;  // buttons and small fields side by side, at most

QString ToQ(const std::string& text) { return QString::fromStdString(text); }

// The window's captions use "&&" for a literal "&", as Qt does.
QString CaptionText(const std::string& caption) { return ToQ(caption); }

bool IsWide(const Control& control) {
  switch (control.Kind()) {
    case ControlKind::kListBox:
      return true;
    case ControlKind::kTextBox:
      return static_cast<const shell::TextBox&>(control).MultiLine();
    case ControlKind::kLabel:
      return control.Caption().size() > 60;
    default:
      return false;
  }
}

bool IsRowPiece(const Control& control) {
  switch (control.Kind()) {
    case ControlKind::kCommandButton:
    case ControlKind::kCheckBox:
    case ControlKind::kOptionButton:
    case ControlKind::kPictureBox:
      return true;
    case ControlKind::kTextBox:
      return !IsWide(control);
    default:
      return false;
  }
}

QString StyleOfColor(host::Color color) {
  if ((color.value & 0x80000000u) != 0) return {};
  return QString("background-color: #%1%2%3;")
      .arg(color.value & 0xff, 2, 16, QChar('0'))
      .arg((color.value >> 8) & 0xff, 2, 16, QChar('0'))
      .arg((color.value >> 16) & 0xff, 2, 16, QChar('0'));
}

void ShowPicture(QToolButton* button, const shell::PictureBox& box) {
  QPixmap pixmap;
  const std::string& bytes = box.Picture().bytes;
  if (!bytes.empty()) {
    pixmap.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                        static_cast<uint>(bytes.size()));
  }
  button->setIcon(QIcon(pixmap));
  button->setStyleSheet(StyleOfColor(box.BackColor()));
}

void FillList(QComboBox* combo, const shell::ComboBox& model) {
  QSignalBlocker block(combo);
  combo->clear();
  for (int i = 0; i < model.ListCount(); ++i) combo->addItem(ToQ(model.List(i)));
  combo->setCurrentIndex(model.ListIndex());
}

void FillList(QListWidget* list, const shell::ListBox& model) {
  QSignalBlocker block(list);
  list->clear();
  for (int i = 0; i < model.ListCount(); ++i) {
    auto* item = new QListWidgetItem(ToQ(model.List(i)), list);
    if (model.CheckBoxes()) {
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(model.Selected(i) ? Qt::Checked : Qt::Unchecked);
    }
  }
  list->setCurrentRow(model.ListIndex());
}

// A check box value (0 unticked, 1 ticked, 2 greyed) as Qt's state, and back.
Qt::CheckState StateOf(int value) {
  return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

}  // namespace

QString ButtonText(const std::string& caption, const std::string& font) {
  if (font == "Marlett") {
    if (caption == "5") return QString::fromUtf8("\u25B2");
    if (caption == "6") return QString::fromUtf8("\u25BC");
    if (caption == "3") return QString::fromUtf8("\u25C0");
    if (caption == "4") return QString::fromUtf8("\u25B6");
  }
  return CaptionText(caption);
}

UtilityDialog::UtilityDialog(shell::frmUtility& model, ActionWrapper around_action,
                             std::function<void()> on_close, QWidget* parent)
    : QDialog(parent),
      model_(model),
      around_action_(std::move(around_action)),
      on_close_(std::move(on_close)) {
  setObjectName("frmUtility");
  setWindowTitle(ToQ(model.Caption()));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("SSTab1");
  for (int page = 0; page < model.SSTab1.Tabs(); ++page) {
    tabs_->addTab(BuildPage(page), CaptionText(model.SSTab1.TabCaption(page)));
  }
  tabs_->setCurrentIndex(model.SSTab1.Tab());
  layout->addWidget(tabs_);
  connect(tabs_, &QTabWidget::currentChanged, this,
          [this](int tab) { Run([this, tab] { model_.SSTab1.SetTab(tab); }); });
  model.SSTab1.Subscribe([this](Control&, ControlState state) {
    if (state != ControlState::kTab) return;
    QSignalBlocker block(tabs_);
    tabs_->setCurrentIndex(model_.SSTab1.Tab());
  });
  resize(700, 540);
  move(static_cast<int>(std::lround(model.Left() / kTwipsPerPixel)),
       static_cast<int>(std::lround(model.Top() / kTwipsPerPixel)));
}

QWidget* UtilityDialog::WidgetOf(std::string_view name, int index) const {
  auto found = widgets_.find({std::string(name), index});
  return found == widgets_.end() ? nullptr : found->second;
}

void UtilityDialog::closeEvent(QCloseEvent* event) {
  event->accept();
  if (on_close_) on_close_();
}

void UtilityDialog::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  model_.Move(pos().y() * kTwipsPerPixel, pos().x() * kTwipsPerPixel);
}

QWidget* UtilityDialog::BuildPage(int page) {
  std::vector<Control*> controls;
  for (Control* control : model_.AllControls()) {
    if (control->Page() == page && control != &model_.SSTab1) controls.push_back(control);
  }
  auto* content = new QWidget();
  auto* grid = new QGridLayout(content);
  int row = 0;
  QHBoxLayout* run = nullptr;
  int run_count = 0;
  auto end_run = [&] {
    run = nullptr;
    run_count = 0;
  };
  for (std::size_t i = 0; i < controls.size(); ++i) {
    Control& control = *controls[i];
    if (control.Kind() == ControlKind::kFrame) {
      // The frame holds the control array that follows it.
      end_run();
      auto* box = new QGroupBox(CaptionText(control.Caption()));
      widgets_[{control.Name(), control.Index()}] = box;
      auto* inside = new QHBoxLayout(box);
      std::string array = i + 1 < controls.size() ? controls[i + 1]->Name() : "";
      while (i + 1 < controls.size() && controls[i + 1]->Name() == array &&
             controls[i + 1]->Index() >= 0) {
        inside->addWidget(MakeWidget(*controls[++i]));
      }
      grid->addWidget(box, row++, 0, 1, 2);
      continue;
    }
    if (control.Kind() == ControlKind::kLabel && !IsWide(control)) {
      end_run();
      grid->addWidget(MakeWidget(control), row, 0);
      if (i + 1 < controls.size() && controls[i + 1]->Kind() != ControlKind::kLabel &&
          controls[i + 1]->Kind() != ControlKind::kFrame && !IsWide(*controls[i + 1])) {
        grid->addWidget(MakeWidget(*controls[++i]), row, 1);
      }
      ++row;
      continue;
    }
    if (IsRowPiece(control)) {
      if (run == nullptr || run_count == kRowWidgets) {
        run = new QHBoxLayout();
        run_count = 0;
        grid->addLayout(run, row++, 0, 1, 2);
      }
      run->addWidget(MakeWidget(control));
      ++run_count;
      continue;
    }
    end_run();
    grid->addWidget(MakeWidget(control), row++, 0, 1, 2);
  }
  grid->setRowStretch(row, 1);
  grid->setColumnStretch(1, 1);
  auto* scroll = new QScrollArea();
  scroll->setWidget(content);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  return scroll;
}

QWidget* UtilityDialog::MakeWidget(Control& control) {
  QWidget* widget = nullptr;
  switch (control.Kind()) {
    case ControlKind::kLabel:
    case ControlKind::kFrame:
    case ControlKind::kTabStrip: {
      auto* label = new QLabel(QString(CaptionText(control.Caption())).replace("&&", "&"));
      label->setWordWrap(true);
      control.Subscribe([label](Control& c, ControlState state) {
        if (state == ControlState::kCaption) label->setText(ToQ(c.Caption()).replace("&&", "&"));
      });
      widget = label;
      break;
    }
    case ControlKind::kTextBox: {
      auto& box = static_cast<shell::TextBox&>(control);
      if (box.MultiLine()) {
        auto* edit = new QPlainTextEdit(ToQ(box.Text()));
        edit->setReadOnly(box.Locked());
        if (!box.HorizontalScrollBar()) edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        else edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        connect(edit, &QPlainTextEdit::textChanged, edit, [this, edit, &box] {
          std::string text = edit->toPlainText().toStdString();
          if (text != box.Text()) Run([&box, text] { box.SetText(text); });
        });
        box.Subscribe([edit](Control& c, ControlState state) {
          if (state != ControlState::kText) return;
          QString text = ToQ(static_cast<shell::TextBox&>(c).Text());
          if (edit->toPlainText() == text) return;
          QSignalBlocker block(edit);
          edit->setPlainText(text);
        });
        widget = edit;
      } else {
        auto* edit = new QLineEdit(ToQ(box.Text()));
        edit->setReadOnly(box.Locked());
        connect(edit, &QLineEdit::textEdited, edit, [this, &box](const QString& text) {
          Run([&box, value = text.toStdString()] { box.SetText(value); });
        });
        connect(edit, &QLineEdit::editingFinished, edit,
                [this, &box] { Run([&box] { box.LoseFocus(); }); });
        box.Subscribe([edit](Control& c, ControlState state) {
          if (state != ControlState::kText) return;
          QString text = ToQ(static_cast<shell::TextBox&>(c).Text());
          if (edit->text() != text) edit->setText(text);
        });
        widget = edit;
      }
      if (!box.FontName().empty()) widget->setFont(QFont(ToQ(box.FontName())));
      break;
    }
    case ControlKind::kCheckBox: {
      auto& box = static_cast<shell::CheckBox&>(control);
      auto* check = new QCheckBox(CaptionText(box.Caption()));
      check->setTristate(box.Value() == 2);
      check->setCheckState(StateOf(box.Value()));
      connect(check, &QCheckBox::clicked, check, [this, check, &box] {
        int value = check->checkState() == Qt::Checked ? 1 : 0;
        Run([&box, value] { box.SetValue(value); });
      });
      box.Subscribe([check](Control& c, ControlState state) {
        if (state != ControlState::kValue) return;
        QSignalBlocker block(check);
        check->setCheckState(StateOf(static_cast<shell::CheckBox&>(c).Value()));
      });
      widget = check;
      break;
    }
    case ControlKind::kOptionButton: {
      auto& option = static_cast<shell::OptionButton&>(control);
      auto* radio = new QRadioButton(CaptionText(option.Caption()));
      radio->setAutoExclusive(false);  // the model's group decides
      radio->setChecked(option.Value());
      connect(radio, &QRadioButton::clicked, radio, [this, radio, &option] {
        {
          QSignalBlocker block(radio);
          radio->setChecked(option.Value());
        }
        Run([&option] { option.Click(); });
      });
      option.Subscribe([radio](Control& c, ControlState state) {
        if (state != ControlState::kValue) return;
        QSignalBlocker block(radio);
        radio->setChecked(static_cast<shell::OptionButton&>(c).Value());
      });
      widget = radio;
      break;
    }
    case ControlKind::kCommandButton: {
      auto& button_model = static_cast<shell::CommandButton&>(control);
      auto* button = new QPushButton(ButtonText(button_model.Caption(), button_model.FontName()));
      connect(button, &QPushButton::clicked, button,
              [this, &button_model] { Run([&button_model] { button_model.Click(); }); });
      button_model.Subscribe([button](Control& c, ControlState state) {
        if (state == ControlState::kCaption) button->setText(ButtonText(c.Caption(), c.FontName()));
      });
      widget = button;
      break;
    }
    case ControlKind::kComboBox: {
      auto& combo_model = static_cast<shell::ComboBox&>(control);
      auto* combo = new QComboBox();
      FillList(combo, combo_model);
      connect(combo, &QComboBox::activated, combo,
              [this, &combo_model](int index) { Run([&combo_model, index] {
                combo_model.Choose(index); }); });
      combo_model.Subscribe([combo](Control& c, ControlState state) {
        if (state == ControlState::kEntries || state == ControlState::kListIndex) {
          FillList(combo, static_cast<shell::ComboBox&>(c));
        }
      });
      widget = combo;
      break;
    }
    case ControlKind::kListBox: {
      auto& list_model = static_cast<shell::ListBox&>(control);
      auto* list = new QListWidget();
      FillList(list, list_model);
      connect(list, &QListWidget::currentRowChanged, list, [this, &list_model](int row) {
        if (row >= 0 && row != list_model.ListIndex()) {
          Run([&list_model, row] { list_model.Choose(row); });
        }
      });
      connect(list, &QListWidget::itemChanged, list, [this, list, &list_model](QListWidgetItem* item) {
        int row = list->row(item);
        bool ticked = item->checkState() == Qt::Checked;
        if (row >= 0 && list_model.CheckBoxes() && ticked != list_model.Selected(row)) {
          Run([&list_model, row, ticked] { list_model.SetSelected(row, ticked); });
        }
      });
      list_model.Subscribe([list](Control& c, ControlState state) {
        if (state == ControlState::kEntries || state == ControlState::kListIndex ||
            state == ControlState::kTicks) {
          FillList(list, static_cast<shell::ListBox&>(c));
        }
      });
      list->setMinimumHeight(90);
      widget = list;
      break;
    }
    case ControlKind::kPictureBox: {
      auto& picture = static_cast<shell::PictureBox&>(control);
      auto* button = new QToolButton();
      button->setMinimumSize(28, 24);
      ShowPicture(button, picture);
      connect(button, &QToolButton::clicked, button,
              [this, &picture] { Run([&picture] { picture.Click(); }); });
      picture.Subscribe([button](Control& c, ControlState state) {
        if (state == ControlState::kPicture || state == ControlState::kBackColor) {
          ShowPicture(button, static_cast<shell::PictureBox&>(c));
        }
      });
      widget = button;
      break;
    }
  }
  widget->setObjectName(ToQ(control.DisplayName()));
  widget->setEnabled(control.Enabled());
  if (!control.ToolTip().empty()) widget->setToolTip(ToQ(control.ToolTip()));
  control.Subscribe([widget](Control& c, ControlState state) {
    if (state == ControlState::kEnabled) widget->setEnabled(c.Enabled());
  });
  widgets_[{control.Name(), control.Index()}] = widget;
  return widget;
}

}  // namespace marquill::studio
