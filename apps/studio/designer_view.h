// A form's designer window: draws the controls of the form at their design positions with their
// captions (read-only), the way the form looks in the IDE's designer.
#pragma once

#include <QWidget>

#include "host/code_model.h"

namespace marquill::studio {

class DesignerView final : public QWidget {
 public:
  DesignerView(host::Component& component, QWidget* parent = nullptr);

  // How many controls the last paint drew (nested ones included).
  int DrawnControls() const { return drawn_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  host::Component& component_;
  int drawn_ = 0;
};

// A design-time number property of a control or form in twips (or any number); `fallback` when
// the property is missing or not a number.
double NumberProperty(host::Properties& properties, std::string_view name, double fallback);
// A text property; "" when it is missing.
std::string TextProperty(host::Properties& properties, std::string_view name);

}  // namespace marquill::studio
