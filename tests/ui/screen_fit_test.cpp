#include "ui/screen_fit.h"

#include <QTest>

namespace zentora {

class ScreenFitTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void windowStaysWithinTheAvailableArea_data() {
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("placed");
    QTest::newRow("room to spare: centred")
        << QSize(900, 600) << QRect(0, 0, 1600, 1000) << QRect(350, 213, 900, 600);
    // 1600 x 1000 at scale 1.5, a panel along the top: the title bar stays
    // below it.
    QTest::newRow("almost as tall")
        << QSize(900, 610) << QRect(0, 20, 1066, 646) << QRect(83, 51, 900, 610);
    QTest::newRow("too tall") << QSize(900, 635) << QRect(0, 20, 1066, 646)
                              << QRect(83, 50, 900, 612);
    QTest::newRow("too wide and tall")
        << QSize(900, 635) << QRect(0, 0, 800, 500) << QRect(4, 30, 792, 466);
  }

  void windowStaysWithinTheAvailableArea() {
    QFETCH(QSize, wanted);
    QFETCH(QRect, available);
    QTEST(PlaceOnScreen(wanted, available, QMargins(4, 30, 4, 4)), "placed");
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::ScreenFitTest)
#include "screen_fit_test.moc"
