// The about box and zentora-cli --version name the same version.

#include <QLabel>
#include <QProcess>
#include <QtTest>

#include "app/about_dlg.h"

namespace zentora {

class AboutDlgTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void namesTheVersionOfTheCommandLineTool() {
    QProcess cli;
    cli.start(QStringLiteral(ZENTORA_CLI), {QStringLiteral("--version")});
    QVERIFY(cli.waitForFinished(10000));
    const QString printed = QString::fromUtf8(cli.readAllStandardOutput()).trimmed();
    QVERIFY(printed.startsWith(QLatin1String("zentora-cli ")));
    const QString version = printed.mid(12);

    CAboutDlg about;
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
      texts << label->text();
    }
    QVERIFY2(texts.contains(QStringLiteral("Zentora助手 Version ") + version),
             qPrintable(texts.join(QLatin1Char('|'))));
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::AboutDlgTest)
#include "about_dlg_test.moc"
