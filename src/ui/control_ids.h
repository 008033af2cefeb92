#pragma once

#include <QObject>
#include <QRect>
#include <QString>

class QPushButton;
class QWidget;

namespace zentora {

// Control and command ids of the main window. A menu item and the button
// that does the same thing share one id and one action.
enum ControlId : int {
  IDOK_ = 1,
  IDCANCEL_ = 2,
  IDC_EXPORT_IMAGES = 1004,
  IDC_COLOR_DEPTH = 1005,
  IDC_PROGRESS = 1017,
  IDC_ADD_PICTURES = 1018,
  IDC_ADD_SOUNDS = 1020,
  IDC_COMPILE_DOWNLOAD = 1022,
  IDC_OUTPUT_LIST = 1023,
  IDC_TABS = 1025,
  IDC_MSB_FIRST = 1027,
  IDC_ROW_RIGHT_TO_LEFT = 1028,
  IDC_COLUMN_BOTTOM_TO_TOP = 1029,
  IDC_COLUMN_FIRST = 1030,
  IDC_DITHER = 1031,

  ID_DELETE_SELECTED_PICTURE = 32781,
  ID_DELETE_ALL_PICTURES = 32782,
  ID_PREVIEW_IMAGE = 32783,
  ID_EDIT_IMAGE = 32784,
  ID_ADJUST_IMAGES = 32785,
  ID_OPEN_PROJECT = 32795,
  ID_SAVE_PROJECT = 32796,
  ID_DELETE_ALL_SOUNDS = 32801,
  ID_OPEN_WORKING_FOLDER = 32804,
  ID_DOWNLOAD_RESOURCES = 32806,
  ID_MAKER_WEB_PAGE = 32808,
  ID_DELETE_SELECTED_SOUND = 32809,
  ID_GLYPH_MODELLING = 32814,
  ID_FONT_LIBRARY_VIEWER = 32816,
  ID_INSPECT_RESOURCES = 32818,
  ID_MODULE_PREVIEW = 32830,
  ID_NEW_PROJECT = 57600,
  ID_SAVE_PROJECT_AS = 57604,
  ID_APP_ABOUT = 57664,
  ID_APP_EXIT = 57665,
};

// Controls and actions carry their id as the property "controlId", so that
// tests and other windows find them by the id the program documents.
void SetControlId(QObject* object, int id);
int ControlIdOf(const QObject* object);

// A push button of a window template at its place, with its id. Enter
// presses only the button that has the focus, so no button is a default one:
// Enter never closes a window or starts work by accident.
QPushButton* MakeButton(QWidget* parent, const QString& caption, int id, const QRect& rect);

// The descendant of type T with that id (a button and its action share one).
template <typename T>
T* FindControl(const QObject* root, int id) {
  for (T* object : root->findChildren<T*>()) {
    if (ControlIdOf(object) == id) {
      return object;
    }
  }
  return nullptr;
}

}  // namespace zentora
