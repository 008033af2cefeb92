// The desktop program's language: the user's locale or --lang, as the
// program's start reads them, decides the texts of its windows.

#include <QApplication>
#include <QMenuBar>
#include <QTextBrowser>
#include <QtTest>

#include <memory>

#include "app/web_page.h"
#include "app/zentora_dlg.h"
#include "base/translation.h"
#include "base/ui_language.h"
#include "font/font_temp_dlg.h"

namespace zentora {

class LanguageTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void cleanup() { InstallTranslations(UiLanguage::Chinese); }

  void WindowsSpeakTheChosenLanguage_data() {
    QTest::addColumn<QByteArray>("lcAll");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("firstMenu");
    QTest::addColumn<QString>("glyphDialogTitle");
    QTest::addColumn<QString>("welcomeTitle");
    QTest::addColumn<QStringList>("counted");  // one, then two channels
    const QStringList english{"1 channel", "2 channels"};
    const QStringList chinese{"1 声道", "2 声道"};
    // The process starts under LANG=en_US.UTF-8 (see main); LC_ALL comes
    // first where set.
    QTest::newRow("english locale") << QByteArray() << QStringList() << "&File"
                                    << "Glyph Modelling"
                                    << "Morvane Technology" << english;
    QTest::newRow("C locale") << QByteArray("C.UTF-8") << QStringList() << "文件(&F)"
                              << "字库取模"
                              << "Morvane科技" << chinese;
    QTest::newRow("option over english locale")
        << QByteArray() << QStringList{"--lang", "zh"} << "文件(&F)"
        << "字库取模"
        << "Morvane科技" << chinese;
    QTest::newRow("option over C locale")
        << QByteArray("C.UTF-8") << QStringList{"--lang=en"} << "&File"
        << "Glyph Modelling"
        << "Morvane Technology" << english;
  }

  void WindowsSpeakTheChosenLanguage() {
    QFETCH(QByteArray, lcAll);
    QFETCH(QStringList, arguments);
    qputenv("LC_ALL", lcAll);
    QStringList given = QStringList{"zentora"} + arguments + QStringList{"a.zentoraprj"};
    const LanguageChoice choice = TakeLanguageOption(given);
    QCOMPARE(given, (QStringList{"zentora", "a.zentoraprj"}));
    InstallTranslations(choice.language);

    CZentoraDlg window;
    const QList<QMenu*> menus = window.findChildren<QMenuBar*>().value(0)->findChildren<QMenu*>();
    QVERIFY(!menus.isEmpty());
    QTEST(menus.first()->title(), "firstMenu");
    CFontTempDlg glyphs;
    QTEST(glyphs.windowTitle(), "glyphDialogTitle");
    const std::unique_ptr<QWidget> welcome(CreateMakerPage(nullptr));
    QTEST(qobject_cast<QTextBrowser*>(welcome.get())->documentTitle(), "welcomeTitle");
    QTEST((QStringList{TrNQ("sound", "%n 声道", nullptr, 1), TrNQ("sound", "%n 声道", nullptr, 2)}),
          "counted");
  }
};

}  // namespace zentora

int main(int argc, char* argv[]) {
  // The system locale is read once, when first asked for.
  qputenv("LANG", "en_US.UTF-8");
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"}) {
    qunsetenv(name);
  }
  QApplication app(argc, argv);
  zentora::LanguageTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "language_test.moc"
