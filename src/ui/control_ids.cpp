#include "ui/control_ids.h"

#include <QObject>
#include <QPushButton>
#include <QVariant>

namespace zentora {

namespace {
constexpr char kControlIdProperty[] = "controlId";
}

void SetControlId(QObject* object, int id) {
  object->setProperty(kControlIdProperty, id);
}

int ControlIdOf(const QObject* object) {
  const QVariant id = object->property(kControlIdProperty);
  return id.isValid() ? id.toInt() : 0;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, int id, const QRect& rect) {
  auto* button = new QPushButton(caption, parent);
  SetControlId(button, id);
  button->setAutoDefault(false);
  button->setGeometry(rect);
  return button;
}

}  // namespace zentora
