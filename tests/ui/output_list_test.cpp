#include "ui/output_list.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTest>

namespace zentora {

namespace {

const QStringList kLines = {
    "开始", "无法读取图片：/home/user/一个很长的文件夹/picture.png（文件已损坏）", "结束"};

QAction* ActionNamed(const QWidget& widget, const QString& text) {
  for (QAction* action : widget.actions()) {
    if (action->text() == text) {
      return action;
    }
  }
  return nullptr;
}

}  // namespace

class OutputListTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void everyLineShowsWholeInItsTooltip() {
    COutputList list;
    for (const QString& line : kLines) {
      list.AppendLine(line);
    }
    for (int i = 0; i < list.count(); ++i) {
      QCOMPARE(list.item(i)->toolTip(), kLines[i]);
    }
  }

  void aLongLineIsShortenedInTheMiddle() {
    COutputList list;
    list.resize(160, 100);
    list.AppendLine(kLines[1]);
    list.AppendLine(kLines[0]);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    const QString shown = list.ShownText(0);
    QVERIFY2(shown.size() < kLines[1].size(), qPrintable(shown));
    QVERIFY2(shown.startsWith(QStringLiteral("无法")), qPrintable(shown));
    QVERIFY2(shown.endsWith(QStringLiteral("损坏）")), qPrintable(shown));
    QVERIFY(shown.contains(QChar(0x2026)));
    QCOMPARE(list.ShownText(1), kLines[0]);
  }

  void copiesTheSelectedLinesInListOrder_data() {
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("copied");
    QTest::newRow("one") << QList<int>{1} << kLines[1];
    QTest::newRow("several, picked backwards") << QList<int>{2, 0} << kLines[0] + '\n' + kLines[2];
  }

  void copiesTheSelectedLinesInListOrder() {
    QFETCH(QList<int>, selected);
    QFETCH(QString, copied);
    COutputList list;
    for (const QString& line : kLines) {
      list.AppendLine(line);
    }
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.setFocus();
    for (int row : selected) {
      list.item(row)->setSelected(true);
    }
    QApplication::clipboard()->clear();
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), copied);

    QApplication::clipboard()->clear();
    ActionNamed(list, QStringLiteral("复制"))->trigger();
    QCOMPARE(QApplication::clipboard()->text(), copied);
    ActionNamed(list, QStringLiteral("全部复制"))->trigger();
    QCOMPARE(QApplication::clipboard()->text(), kLines.join('\n'));
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::OutputListTest)
#include "output_list_test.moc"
