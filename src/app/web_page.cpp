#include "app/web_page.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextBrowser>
#include <QUrl>
#include <QWebEngineView>

namespace zentora {

namespace {
constexpr char kBundledPage[] = ":/zentora/maker.html";
}

bool UsesWebEngine() {
  return QGuiApplication::platformName() != QLatin1String("offscreen") &&
         qEnvironmentVariableIsEmpty("ZENTORA_NO_WEB_ENGINE");
}

QWidget* CreateMakerPage(QWidget* parent) {
  if (UsesWebEngine()) {
    auto* view = new QWebEngineView(parent);
    view->setUrl(QUrl(QStringLiteral("qrc") + QString::fromLatin1(kBundledPage)));
    return view;
  }
  auto* browser = new QTextBrowser(parent);
  browser->setOpenLinks(false);
  QFile page(QString::fromLatin1(kBundledPage));
  if (page.open(QIODevice::ReadOnly)) {
    browser->setHtml(QString::fromUtf8(page.readAll()));
  }
  return browser;
}

}  // namespace zentora
