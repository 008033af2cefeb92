// Built only by the CoreRefusesWidgetHeaders test, with the include path of
// the window-free core: the build must stop at the first widget header.
#include <QWidget>
