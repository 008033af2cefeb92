#include "app/zentora_app.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QTimer>

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "app/zentora_dlg.h"
#include "base/library_messages.h"
#include "base/ui_language.h"
#include "base/version.h"

namespace zentora {

void CZentoraApp::PrepareEnvironment() {
  // The drag window is a top-level window that the program places itself,
  // which Wayland does not allow; X11 (Xwayland there) does.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
  }
  // The web engine's sandbox refuses to run as root.
  if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  }
  // Without a render node there is no usable GPU (virtual displays, remote
  // sessions); the web engine then draws in software.
  const bool gpu =
      !QDir(QStringLiteral("/dev/dri")).entryList({"renderD*"}, QDir::System).isEmpty();
  if (!gpu && qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS")) {
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
  }
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

int CZentoraApp::Run(int argc, char* argv[]) {
  PrepareEnvironment();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zentora助手"));
  QApplication::setApplicationVersion(QStringLiteral(ZENTORA_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("zentora"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/zentora/zentora.svg")));

  // Qt's own texts (the buttons of message boxes and file dialogs) follow
  // the program's language.
  QStringList arguments = QApplication::arguments();
  TakeVerboseOption(arguments);
  const LanguageChoice language = TakeLanguageOption(arguments);
  InstallTranslations(language.language);
  if (language.refusedValue) {
    std::fprintf(stderr, "zentora: %s\n", RefusedLanguageMessage(*language.refusedValue).c_str());
  }

  CZentoraDlg window;
  if (arguments.size() > 1) {
    const QByteArray file = QFile::encodeName(QDir::current().absoluteFilePath(arguments[1]));
    // Once the window shows, so that a file that cannot be opened is
    // reported over it.
    QTimer::singleShot(0, &window, [&window, file] {
      window.OpenProjectFile(std::filesystem::path(file.toStdString()));
    });
  }
  window.exec();
  return 0;
}

}  // namespace zentora
