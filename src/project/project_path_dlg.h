#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace zentora {

// "保存工程": the name and location of a project saved for the first time.
// One instance lives with the main window, so the values last accepted show
// again at its next use.
class CProjectPathDlg : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int {
    IDC_PROJECT_NAME = 1000,
    IDC_PROJECT_LOCATION = 1001,
    IDC_BROWSE = 1004,
  };

  explicit CProjectPathDlg(QWidget* parent = nullptr);

  QString projectName = QStringLiteral("Project");
  QString projectLocation;

  // Fields to controls (false) or controls to fields (true).
  void DoDataExchange(bool saveAndValidate);

  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BindControls();
  void OnBrowse();

  QLineEdit* nameEdit_;
  QLineEdit* locationEdit_;
  QPushButton* browseButton_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
};

}  // namespace zentora
