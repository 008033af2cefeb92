#include "ui/screen_fit.h"

#include <QTest>

namespace zentora {

class ScreenFitTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void sizeStaysWithinTheAvailableArea_data() {
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("fitted");
    QTest::newRow("room to spare") << QSize(901, 635) << QRect(0, 0, 1600, 1000) << QSize(901, 635);
    // 1600 x 1000 at scale 1.5 and 2, a panel along the top.
    QTest::newRow("too tall") << QSize(901, 635) << QRect(0, 20, 1066, 646) << QSize(901, 612);
    QTest::newRow("too wide and tall")
        << QSize(901, 635) << QRect(0, 0, 800, 500) << QSize(792, 466);
  }

  void sizeStaysWithinTheAvailableArea() {
    QFETCH(QSize, wanted);
    QFETCH(QRect, available);
    QTEST(FitToScreen(wanted, available, QMargins(4, 30, 4, 4)), "fitted");
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::ScreenFitTest)
#include "screen_fit_test.moc"
