#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zentora {

// "调整大小": the target size and method of the picture adjustment. A new
// dialog is made for every command, so it always opens with the defaults.
class CAdjustImageDlg : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int {
    IDC_WIDTH = 1006,
    IDC_HEIGHT = 1007,
    IDC_CROP = 1019,
    IDC_SCALE = 1020,
    IDC_KEEP_ASPECT_RATIO = 1021,
    IDC_CONVERT_ALL = 1022,
  };

  explicit CAdjustImageDlg(QWidget* parent = nullptr);

  int method = 0;  // 0 crop, 1 scale
  int width = 640;
  int height = 480;
  bool keepAspectRatio = true;
  bool convertAll = false;

  // Fields to controls (false), or controls to fields with validation
  // (true): false when a field was refused; the user has then been told and
  // the offending edit has the focus.
  bool DoDataExchange(bool saveAndValidate);

 private:
  void BindControls();
  void OnOK();

  QRadioButton* crop_;
  QRadioButton* scale_;
  QLineEdit* widthEdit_;
  QLineEdit* heightEdit_;
  QCheckBox* keepAspectRatio_;
  QCheckBox* convertAll_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
};

}  // namespace zentora
