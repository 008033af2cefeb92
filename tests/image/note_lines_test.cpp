#include "image/note_lines.h"

#include <QFontMetrics>
#include <QTest>

#include <algorithm>

namespace zentora {

class NoteLinesTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void partsStayWholeOnTheirLines() {
    const QFont font(QStringLiteral("Arial"), 8);
    const QFontMetrics metrics(font);
    const QString first = QStringLiteral("0:02 · 16 位");
    const QString second = QStringLiteral("单声道 · 8000 Hz");
    const int width = std::max(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second));
    QCOMPARE(WrapNote(first + QStringLiteral(" · ") + second, font, width, 3),
             (QStringList{first, second}));

    // A part wider than a line wraps on its own; past the last line, an
    // ellipsis.
    const QStringList wrapped = WrapNote(QStringLiteral("无法读取（不是 WAV 文件）"), font,
                                         metrics.horizontalAdvance(QStringLiteral("无法读取")), 2);
    QCOMPARE(wrapped.size(), 2);
    QCOMPARE(wrapped.first(), QStringLiteral("无法读取"));
    QVERIFY(wrapped.last().endsWith(QChar(0x2026)));
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::NoteLinesTest)
#include "note_lines_test.moc"
