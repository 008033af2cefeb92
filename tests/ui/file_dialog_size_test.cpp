// File dialogs open wide enough for their list's columns, within the screen.

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>
#include <QtTest>

#include "ui/file_dialog_size.h"

namespace zentora {

class FileDialogSizeTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void showsEveryColumnWhole() {
    QFileDialog dialog(nullptr, QString(), QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    FitFileDialog(dialog);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const auto* list = dialog.findChild<QTreeView*>();
    QVERIFY(list != nullptr);
    QVERIFY(list->header()->sectionSize(3) >= DateColumnWidth(dialog.fontMetrics()));
    QVERIFY2(list->header()->length() <= list->viewport()->width(),
             qPrintable(QStringLiteral("%1 > %2")
                            .arg(list->header()->length())
                            .arg(list->viewport()->width())));
  }

  void staysOnTheScreen() {
    QFont font = QApplication::font();
    font.setPointSize(15);
    const QSize size = FileDialogSize(QFontMetrics(font), QSize(800, 500));
    QCOMPARE(size, QSize(800, 500));
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::FileDialogSizeTest)
#include "file_dialog_size_test.moc"
