#include "designer_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace marquill::studio {
namespace {

constexpr double kTwipsPerPixel = 15;
constexpr int kTitleHeight = 22;
constexpr int kMargin = 8;

int Pixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// "VB.CommandButton" -> "CommandButton".
std::string ShortClass(const std::string& class_name) {
  auto dot = class_name.rfind('.');
  return dot == std::string::npos ? class_name : class_name.substr(dot + 1);
}

void DrawControl(QPainter& painter, host::Control& control, QPoint origin, int& drawn) {
  host::Properties& properties = control.Properties();
  QRect rect(origin.x() + Pixels(NumberProperty(properties, "Left", 0)),
             origin.y() + Pixels(NumberProperty(properties, "Top", 0)),
             std::max(Pixels(NumberProperty(properties, "Width", 1200)), 4),
             std::max(Pixels(NumberProperty(properties, "Height", 360)), 4));
  std::string kind = ShortClass(control.ClassName());
  QString caption = Latin1(TextProperty(properties, "Caption"));
  if (caption.isEmpty()) caption = Latin1(TextProperty(properties, "Text"));
  QString shown = QString(caption).remove('&');
  ++drawn;
  painter.save();
  if (kind == "Label") {
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, shown);
  } else if (kind == "Frame") {
    painter.drawRect(rect.adjusted(0, 6, -1, -1));
    QRect text = painter.fontMetrics().boundingRect(shown).translated(rect.left() + 8, rect.top());
    text.moveTop(rect.top());
    painter.fillRect(text.adjusted(-2, 0, 2, 0), QColor(0xf0, 0xf0, 0xf0));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, shown);
  } else if (kind == "CheckBox" || kind == "OptionButton") {
    QRect box(rect.left(), rect.center().y() - 6, 12, 12);
    painter.setBrush(Qt::white);
    if (kind == "CheckBox") {
      painter.drawRect(box);
    } else {
      painter.drawEllipse(box);
    }
    painter.drawText(rect.adjusted(16, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, shown);
  } else if (kind == "CommandButton") {
    painter.setBrush(QColor(0xe1, 0xe1, 0xe1));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.drawText(rect, Qt::AlignCenter, shown);
  } else {
    // Text boxes, lists, pictures and controls of other libraries: a white field with its text
    // or, failing that, the control's name.
    painter.setBrush(Qt::white);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    if (shown.isEmpty()) shown = Latin1(TextProperty(properties, "Name"));
    painter.drawText(rect.adjusted(3, 1, -3, -1), Qt::AlignLeft | Qt::AlignTop, shown);
  }
  painter.restore();
  // Contained controls are placed relative to their container.
  for (host::Control& child : control.ContainedControls()) {
    DrawControl(painter, child, rect.topLeft(), drawn);
  }
}

}  // namespace

double NumberProperty(host::Properties& properties, std::string_view name, double fallback) {
  try {
    host::PropertyValue value = properties.Item(name).Value();
    if (auto* number = std::get_if<std::int32_t>(&value)) return *number;
    if (auto* real = std::get_if<double>(&value)) return *real;
  } catch (const host::HostError&) {
  }
  return fallback;
}

std::string TextProperty(host::Properties& properties, std::string_view name) {
  try {
    host::PropertyValue value = properties.Item(name).Value();
    if (auto* text = std::get_if<std::string>(&value)) return *text;
  } catch (const host::HostError&) {
  }
  return {};
}

DesignerView::DesignerView(host::Component& component, QWidget* parent)
    : QWidget(parent), component_(component) {
  host::Properties& form = component_.Properties();
  setMinimumSize(Pixels(NumberProperty(form, "ClientWidth", 4800)) + 2 * kMargin,
                 Pixels(NumberProperty(form, "ClientHeight", 3600)) + kTitleHeight + 2 * kMargin);
}

void DesignerView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(0x80, 0x80, 0x80));
  host::FormDesigner* designer = component_.Designer();
  if (designer == nullptr) return;
  host::Properties& form = component_.Properties();
  QRect client(kMargin, kMargin + kTitleHeight, Pixels(NumberProperty(form, "ClientWidth", 4800)),
               Pixels(NumberProperty(form, "ClientHeight", 3600)));
  QRect title(client.left(), kMargin, client.width(), kTitleHeight);
  painter.fillRect(title, QColor(0x00, 0x00, 0x80));
  painter.setPen(Qt::white);
  painter.drawText(title.adjusted(6, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   Latin1(TextProperty(form, "Caption")));
  painter.fillRect(client, QColor(0xf0, 0xf0, 0xf0));
  painter.setPen(Qt::black);
  painter.setClipRect(client);
  drawn_ = 0;
  for (host::Control& control : designer->Controls()) {
    DrawControl(painter, control, client.topLeft(), drawn_);
  }
}

}  // namespace marquill::studio
