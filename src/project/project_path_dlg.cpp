#include "project/project_path_dlg.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "base/path_text.h"
#include "base/system_error_text.h"
#include "ui/control_ids.h"
#include "ui/dialog_units.h"
#include "ui/message_box.h"
#include "ui/shell_dialogs.h"

namespace zentora {

CProjectPathDlg::CProjectPathDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("保存工程"));
  // A desktop may name a documents folder that was never made; a project
  // saved there would fail, as its folder is made one level deep.
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty() || !QDir(documents).exists()) {
    documents = QDir::homePath();
  }
  projectLocation = QDir::toNativeSeparators(documents);
  const CDialogUnits du = CDialogUnits::ForWidget(this);
  setFixedSize(du.X(230), du.Y(76));

  (new QLabel(tr("工程名称："), this))->setGeometry(du.Rect(10, 12, 44, 10));
  nameEdit_ = new QLineEdit(this);
  SetControlId(nameEdit_, IDC_PROJECT_NAME);
  nameEdit_->setGeometry(du.Rect(56, 10, 164, 13));
  (new QLabel(tr("工程位置："), this))->setGeometry(du.Rect(10, 32, 44, 10));
  locationEdit_ = new QLineEdit(this);
  SetControlId(locationEdit_, IDC_PROJECT_LOCATION);
  locationEdit_->setGeometry(du.Rect(56, 30, 120, 13));
  browseButton_ = MakeButton(this, tr("浏览..."), IDC_BROWSE, du.Rect(180, 29, 40, 15));
  okButton_ = MakeButton(this, tr("确定"), 1, du.Rect(116, 54, 50, 15));
  cancelButton_ = MakeButton(this, tr("取消"), 2, du.Rect(170, 54, 50, 15));
  okButton_->setDefault(true);
  BindControls();
  DoDataExchange(false);
}

void CProjectPathDlg::BindControls() {
  connect(browseButton_, &QPushButton::clicked, this, &CProjectPathDlg::OnBrowse);
  connect(okButton_, &QPushButton::clicked, this, &CProjectPathDlg::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &CProjectPathDlg::reject);
}

void CProjectPathDlg::DoDataExchange(bool saveAndValidate) {
  if (saveAndValidate) {
    projectName = nameEdit_->text();
    projectLocation = locationEdit_->text();
  } else {
    nameEdit_->setText(projectName);
    locationEdit_->setText(projectLocation);
  }
}

void CProjectPathDlg::showEvent(QShowEvent* event) {
  DoDataExchange(false);
  QDialog::showEvent(event);
}

void CProjectPathDlg::accept() {
  DoDataExchange(true);
  // A location typed but not made yet is made, with its parents; one that
  // cannot be made keeps the dialog open, saying why.
  const std::filesystem::path location = PathFromText(QDir::fromNativeSeparators(projectLocation));
  std::error_code error;
  std::filesystem::create_directories(location, error);
  if (std::error_code ignored; !std::filesystem::is_directory(location, ignored)) {
    ShowAppMessage(this, tr("无法创建文件夹：%1")
                             .arg(QString::fromStdString(
                                 SystemErrorText(error ? error.value() : ENOTDIR, location))));
    return;
  }
  QDialog::accept();
}

void CProjectPathDlg::OnBrowse() {
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::Folder;
  request.directory = locationEdit_->text();
  const QStringList chosen = AskFileDialog(this, request);
  if (!chosen.isEmpty()) {
    // Only the location is taken: a name typed but never accepted must not
    // outlive a cancelled dialog.
    projectLocation = QDir::toNativeSeparators(chosen.first());
    locationEdit_->setText(projectLocation);
  }
}

}  // namespace zentora
