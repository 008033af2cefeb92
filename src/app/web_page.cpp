#include "app/web_page.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextBrowser>
#include <QUrl>
#include <QWebEngineView>

#include "base/ui_language.h"

namespace zentora {

namespace {

// The page in the interface's language.
QString BundledPage() {
  return InstalledLanguage() == UiLanguage::English ? QStringLiteral(":/zentora/maker_en.html")
                                                    : QStringLiteral(":/zentora/maker.html");
}

}  // namespace

bool UsesWebEngine() {
  return QGuiApplication::platformName() != QLatin1String("offscreen") &&
         qEnvironmentVariableIsEmpty("ZENTORA_NO_WEB_ENGINE");
}

QWidget* CreateMakerPage(QWidget* parent) {
  if (UsesWebEngine()) {
    auto* view = new QWebEngineView(parent);
    view->setUrl(QUrl(QStringLiteral("qrc") + BundledPage()));
    return view;
  }
  auto* browser = new QTextBrowser(parent);
  browser->setOpenLinks(false);
  QFile page(BundledPage());
  if (page.open(QIODevice::ReadOnly)) {
    browser->setHtml(QString::fromUtf8(page.readAll()));
  }
  return browser;
}

}  // namespace zentora
