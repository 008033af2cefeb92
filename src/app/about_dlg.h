#pragma once

#include <QDialog>

namespace zentora {

// "关于 Zentora助手": the icon, the version line and the maker's notice.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace zentora
