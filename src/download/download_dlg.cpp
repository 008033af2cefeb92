#include "download/download_dlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <system_error>

#include "base/path_text.h"
#include "download/build_worker.h"
#include "download/cycle_watch.h"
#include "ui/control_ids.h"
#include "ui/dialog_units.h"
#include "ui/message_box.h"
#include "ui/shell_dialogs.h"

namespace zentora {

CDownloadDlg::CDownloadDlg(CBuildWorker* worker, CCycleWatch* watch, QWidget* parent)
    : QDialog(parent), worker_(worker), watch_(watch) {
  setWindowTitle(tr("下载资源"));
  const CDialogUnits du = CDialogUnits::ForWidget(this);
  setFixedSize(du.X(258), du.Y(63));

  (new QLabel(tr("资源路径："), this))->setGeometry(du.Rect(10, 14, 40, 10));
  pathEdit_ = new QLineEdit(this);
  SetControlId(pathEdit_, IDC_RESOURCE_PATH);
  pathEdit_->setGeometry(du.Rect(52, 12, 148, 14));
  browseButton_ = MakeButton(this, tr("浏览..."), IDC_BROWSE, du.Rect(204, 11, 45, 16));
  startButton_ = MakeButton(this, tr("开始下载"), IDC_START_DOWNLOAD, du.Rect(94, 37, 70, 18));
  // Made while a compile runs: the download would be ignored.
  startButton_->setEnabled(watch_ == nullptr || !watch_->CycleRuns());
  BindControls();
  DoDataExchange(false);
}

void CDownloadDlg::BindControls() {
  connect(browseButton_, &QPushButton::clicked, this, &CDownloadDlg::OnBrowse);
  connect(startButton_, &QPushButton::clicked, this, &CDownloadDlg::OnStartDownload);
  if (watch_ != nullptr) {
    connect(watch_, &CCycleWatch::CycleStarted, this, &CDownloadDlg::OnCycleStarted);
    connect(watch_, &CCycleWatch::CycleEnded, this, &CDownloadDlg::OnCycleEnded);
  }
}

void CDownloadDlg::DoDataExchange(bool saveAndValidate) {
  if (saveAndValidate) {
    resourcePath = pathEdit_->text();
  } else {
    pathEdit_->setText(resourcePath);
  }
}

void CDownloadDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // A focused button takes Enter, and in the folder field Enter starts the
    // download as its button does; anywhere else Enter closes the window,
    // which only hides it.
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->animateClick();
    } else if (focusWidget() == pathEdit_) {
      startButton_->click();
    } else {
      reject();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void CDownloadDlg::OnBrowse() {
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::Folder;
  const QStringList chosen = AskFileDialog(this, request);
  if (!chosen.isEmpty() && !chosen.first().isEmpty()) {
    resourcePath = chosen.first();
    DoDataExchange(false);
  }
}

void CDownloadDlg::OnStartDownload() {
  DoDataExchange(true);
  if (worker_ == nullptr) {
    return;
  }
  const std::filesystem::path path = PathFromText(resourcePath);
  std::error_code error;
  // A file passes as well as a folder; its transfers then fail one by one
  // and the worker reports each.
  if (path.empty() || !std::filesystem::exists(path, error)) {
    ShowAppMessage(this, tr("目录不存在！"));
    return;
  }
  // While a cycle runs the request is ignored, as "编译下载" ignores a click
  // then: the running cycle's folder must not change under it.
  if (worker_->TriggerDownload(path) && watch_ != nullptr) {
    watch_->Watch();
  }
}

void CDownloadDlg::OnCycleStarted() {
  startButton_->setEnabled(false);
}

void CDownloadDlg::OnCycleEnded() {
  startButton_->setEnabled(true);
}

}  // namespace zentora
