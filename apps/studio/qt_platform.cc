#include "qt_platform.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace marquill::studio {
namespace {

QString ToQ(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString QtFilter(std::string_view filter) {
  QStringList parts = ToQ(filter).split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString label = parts[i];
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    // Qt reads the patterns from the parentheses of the label.
    entries.push_back(label.contains('(') ? label : label + " (" + patterns + ")");
  }
  return entries.join(";;");
}

shell::MsgBoxResult QtPlatform::MsgBox(const shell::MessageBox& box) {
  QString title = ToQ(box.title.empty() ? shell::kAppTitle : std::string_view(box.title));
  if (box.buttons == shell::MsgBoxButtons::kYesNo) {
    auto answer = QMessageBox::question(parent_, title, ToQ(box.text),
                                        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return answer == QMessageBox::Yes ? shell::MsgBoxResult::kYes : shell::MsgBoxResult::kNo;
  }
  if (box.title == shell::kErrorTitle) {
    QMessageBox::warning(parent_, title, ToQ(box.text));
  } else {
    QMessageBox::information(parent_, title, ToQ(box.text));
  }
  return shell::MsgBoxResult::kOk;
}

std::optional<std::string> QtPlatform::InputBox(std::string_view prompt, std::string_view title,
                                                std::string_view default_text) {
  bool ok = false;
  QString text = QInputDialog::getText(parent_, ToQ(title.empty() ? shell::kAppTitle : title),
                                       ToQ(prompt), QLineEdit::Normal, ToQ(default_text), &ok);
  if (!ok) return std::nullopt;
  return text.toStdString();
}

std::optional<std::string> QtPlatform::OpenFileDialog(const shell::FileDialog& dialog) {
  QString path =
      QFileDialog::getOpenFileName(parent_, ToQ(dialog.title), QString(), QtFilter(dialog.filter));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<host::Color> QtPlatform::ColorDialog(host::Color initial) {
  // An OLE colour is 0x00BBGGRR; system colours (high bit set) start the dialog at white.
  QColor start = (initial.value & 0x80000000u) != 0
                     ? QColor(Qt::white)
                     : QColor(static_cast<int>(initial.value & 0xff),
                              static_cast<int>((initial.value >> 8) & 0xff),
                              static_cast<int>((initial.value >> 16) & 0xff));
  QColor chosen = QColorDialog::getColor(start, parent_);
  if (!chosen.isValid()) return std::nullopt;
  return host::Color{static_cast<std::uint32_t>(chosen.red()) |
                     (static_cast<std::uint32_t>(chosen.green()) << 8) |
                     (static_cast<std::uint32_t>(chosen.blue()) << 16)};
}

std::optional<std::string> QtPlatform::BrowseForFolder(std::string_view title) {
  QString folder = QFileDialog::getExistingDirectory(parent_, ToQ(title));
  if (folder.isEmpty()) return std::nullopt;
  std::string path = folder.toStdString();
  if (path.back() != shell::kPathSeparator) path += shell::kPathSeparator;
  return path;
}

bool QtPlatform::ShellOpen(std::string_view path) {
  QString target = ToQ(path);
  QUrl url = target.contains("://") ? QUrl(target) : QUrl::fromLocalFile(target);
  return QDesktopServices::openUrl(url);
}

bool QtPlatform::StartProgram(std::string_view command_line) {
  return console_.StartProgram(command_line);
}

std::string QtPlatform::SystemFolder() { return console_.SystemFolder(); }

std::string QtPlatform::Environment(std::string_view name) { return console_.Environment(name); }

}  // namespace marquill::studio
