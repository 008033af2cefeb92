#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace zentora {

class CBuildWorker;

// "下载资源": sends resource files compiled earlier, from any folder, through
// the build-and-download worker without compiling anything. Closing only
// hides it; a download that was started goes on.
class CDownloadDlg : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int {
    IDC_RESOURCE_PATH = 1001,
    IDC_BROWSE = 1004,
    IDC_START_DOWNLOAD = 1012,
  };

  // worker: the main window's; without one "开始下载" does nothing.
  CDownloadDlg(CBuildWorker* worker, QWidget* parent);

  // The folder to download from.
  QString resourcePath;

  // Fields to controls (false) or controls to fields (true).
  void DoDataExchange(bool saveAndValidate);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BindControls();
  void OnBrowse();
  void OnStartDownload();

  CBuildWorker* worker_;
  QLineEdit* pathEdit_;
  QPushButton* browseButton_;
  QPushButton* startButton_;
};

}  // namespace zentora
