#include "ui/message_box.h"

#include <QApplication>
#include <QTest>

namespace zentora {

class MessageBoxTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void cleanup() { SetAppMessageResponder({}); }

  void iconFollowsTheButtons_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("shownIcon");
    QTest::newRow("ok box, no icon named")
        << int(QMessageBox::Ok) << int(QMessageBox::NoIcon) << int(QMessageBox::Warning);
    QTest::newRow("yes/no box, no icon named")
        << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::NoIcon)
        << int(QMessageBox::Question);
    QTest::newRow("yes/no/cancel box, no icon named")
        << int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) << int(QMessageBox::NoIcon)
        << int(QMessageBox::Question);
    QTest::newRow("icon named by the caller")
        << int(QMessageBox::Ok) << int(QMessageBox::Information) << int(QMessageBox::Information);
  }

  void iconFollowsTheButtons() {
    QFETCH(int, buttons);
    QFETCH(int, icon);
    QFETCH(int, shownIcon);
    AppMessage seen;
    SetAppMessageResponder([&](const AppMessage& message) {
      seen = message;
      return QMessageBox::No;
    });
    const auto answer =
        ShowAppMessage(nullptr, QStringLiteral("保存工程？"), QMessageBox::StandardButtons(buttons),
                       QMessageBox::Icon(icon));
    QCOMPARE(answer, QMessageBox::No);
    QCOMPARE(seen.caption, QStringLiteral("Zentora助手"));
    QCOMPARE(seen.text, QStringLiteral("保存工程？"));
    QCOMPARE(int(seen.buttons), buttons);
    QCOMPARE(int(seen.icon), shownIcon);
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::MessageBoxTest)
#include "message_box_test.moc"
