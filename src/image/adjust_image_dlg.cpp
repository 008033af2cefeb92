#include "image/adjust_image_dlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <optional>

#include "image/picture_adjust.h"
#include "ui/control_ids.h"
#include "ui/dialog_units.h"
#include "ui/message_box.h"
#include "ui/window_font.h"

namespace zentora {

namespace {

// Reads an edit as the platform's integer exchange does: blanks around the
// number are allowed, anything else is not a number.
std::optional<int> IntegerIn(const QLineEdit& edit) {
  bool ok = false;
  const int value = edit.text().trimmed().toInt(&ok);
  return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

CAdjustImageDlg::CAdjustImageDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("调整大小"));
  setFont(WindowFont());
  const CDialogUnits du = CDialogUnits::ForWidget(this);
  setFixedSize(du.X(186), du.Y(118));

  (new QGroupBox(tr("重新调整大小"), this))->setGeometry(du.Rect(7, 7, 172, 84));
  auto* methodLabel = new QLabel(tr("方式(&T):"), this);
  methodLabel->setGeometry(du.Rect(16, 22, 38, 9));
  crop_ = new QRadioButton(tr("裁剪"), this);
  SetControlId(crop_, IDC_CROP);
  crop_->setGeometry(du.Rect(58, 21, 40, 10));
  scale_ = new QRadioButton(tr("伸缩"), this);
  SetControlId(scale_, IDC_SCALE);
  scale_->setGeometry(du.Rect(102, 21, 40, 10));
  methodLabel->setBuddy(crop_);

  auto* widthLabel = new QLabel(tr("水平(&H):"), this);
  widthLabel->setGeometry(du.Rect(16, 39, 38, 9));
  widthEdit_ = new QLineEdit(this);
  SetControlId(widthEdit_, IDC_WIDTH);
  widthEdit_->setGeometry(du.Rect(58, 37, 50, 13));
  widthLabel->setBuddy(widthEdit_);
  auto* heightLabel = new QLabel(tr("垂直(&V):"), this);
  heightLabel->setGeometry(du.Rect(16, 56, 38, 9));
  heightEdit_ = new QLineEdit(this);
  SetControlId(heightEdit_, IDC_HEIGHT);
  heightEdit_->setGeometry(du.Rect(58, 54, 50, 13));
  heightLabel->setBuddy(heightEdit_);

  keepAspectRatio_ = new QCheckBox(tr("保持纵横比(&M)"), this);
  SetControlId(keepAspectRatio_, IDC_KEEP_ASPECT_RATIO);
  keepAspectRatio_->setGeometry(du.Rect(16, 73, 74, 10));
  convertAll_ = new QCheckBox(tr("转换所有图片(&A)"), this);
  SetControlId(convertAll_, IDC_CONVERT_ALL);
  convertAll_->setGeometry(du.Rect(94, 73, 80, 10));

  okButton_ = new QPushButton(tr("确定"), this);
  SetControlId(okButton_, IDOK_);
  okButton_->setGeometry(du.Rect(75, 97, 50, 14));
  okButton_->setDefault(true);
  cancelButton_ = new QPushButton(tr("取消"), this);
  SetControlId(cancelButton_, IDCANCEL_);
  cancelButton_->setGeometry(du.Rect(129, 97, 50, 14));

  BindControls();
  DoDataExchange(false);
}

void CAdjustImageDlg::BindControls() {
  connect(okButton_, &QPushButton::clicked, this, &CAdjustImageDlg::OnOK);
  connect(cancelButton_, &QPushButton::clicked, this, &CAdjustImageDlg::reject);
}

bool CAdjustImageDlg::DoDataExchange(bool saveAndValidate) {
  if (!saveAndValidate) {
    crop_->setChecked(method == 0);
    scale_->setChecked(method == 1);
    widthEdit_->setText(QString::number(width));
    heightEdit_->setText(QString::number(height));
    keepAspectRatio_->setChecked(keepAspectRatio);
    convertAll_->setChecked(convertAll);
    return true;
  }
  // Each edit is checked in turn; the first refused one keeps the focus and
  // nothing after it is read.
  for (QLineEdit* edit : {widthEdit_, heightEdit_}) {
    const std::optional<int> value = IntegerIn(*edit);
    QString refusal;
    if (!value) {
      refusal = QStringLiteral("Enter an integer.");
    } else if (*value < kMinAdjustSide || *value > kMaxAdjustSide) {
      refusal = QStringLiteral("Enter an integer between %1 and %2.")
                    .arg(kMinAdjustSide)
                    .arg(kMaxAdjustSide);
    }
    if (!refusal.isEmpty()) {
      ShowAppMessage(this, refusal);
      edit->setFocus();
      edit->selectAll();
      return false;
    }
    (edit == widthEdit_ ? width : height) = *value;
  }
  method = scale_->isChecked() ? 1 : 0;
  keepAspectRatio = keepAspectRatio_->isChecked();
  convertAll = convertAll_->isChecked();
  return true;
}

void CAdjustImageDlg::OnOK() {
  if (DoDataExchange(true)) {
    accept();
  }
}

}  // namespace zentora
