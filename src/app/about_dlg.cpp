#include "app/about_dlg.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "base/version.h"
#include "ui/control_ids.h"
#include "ui/dialog_units.h"

namespace zentora {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("关于 Zentora助手"));
  const CDialogUnits du = CDialogUnits::ForWidget(this);
  setFixedSize(du.X(238), du.Y(51));

  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(QStringLiteral(":/zentora/zentora.svg")).pixmap(32, 32));
  icon->setGeometry(du.Rect(14, 14, 21, 20));
  (new QLabel(tr("Zentora助手 Version %1").arg(QStringLiteral(ZENTORA_VERSION)), this))
      ->setGeometry(du.Rect(42, 14, 130, 8));
  (new QLabel(tr("Copyright (C) Morvane科技"), this))->setGeometry(du.Rect(42, 26, 130, 8));
  auto* ok = new QPushButton(tr("确定"), this);
  SetControlId(ok, IDOK_);
  ok->setDefault(true);
  ok->setGeometry(du.Rect(181, 7, 50, 14));
  connect(ok, &QPushButton::clicked, this, &CAboutDlg::accept);
}

}  // namespace zentora
