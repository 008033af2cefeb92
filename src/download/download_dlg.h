#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace zentora {

class CBuildWorker;
class CCycleWatch;

// "下载资源": sends resource files compiled earlier, from any folder, through
// the build-and-download worker without compiling anything. Closing only
// hides it; while its download runs, closing first asks whether to wait for
// the end.
class CDownloadDlg : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int {
    IDC_RESOURCE_PATH = 1001,
    IDC_BROWSE = 1004,
    IDC_START_DOWNLOAD = 1012,
  };

  // worker: the main window's; without one "开始下载" does nothing. watch:
  // the main window's watch of that worker, which "开始下载" follows.
  CDownloadDlg(CBuildWorker* worker, CCycleWatch* watch, QWidget* parent);

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
  void OnCycleStarted();
  void OnCycleEnded();

  CBuildWorker* worker_;
  CCycleWatch* watch_;
  QLineEdit* pathEdit_;
  QPushButton* browseButton_;
  QPushButton* startButton_;
};

}  // namespace zentora
