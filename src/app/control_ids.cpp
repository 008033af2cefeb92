#include "app/control_ids.h"

#include <QObject>
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

}  // namespace zentora
