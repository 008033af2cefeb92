#include "ui/shell_services.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <utility>

#include "base/translation.h"

namespace zentora {

namespace {

// How long the desktop's opener may take to say that it found no program.
// An opener still running then has started one (outside a known desktop it
// runs the program itself until it ends) and is left to finish.
constexpr int kOpenerAnswerMs = 1000;

ShellResponder& Responder() {
  static ShellResponder responder;
  return responder;
}

QUrl UrlOf(const QString& target) {
  const QUrl url(target);
  if (url.isValid() && !url.scheme().isEmpty() && url.scheme().size() > 1) {
    return url;
  }
  return QUrl::fromLocalFile(target);
}

// The opener's exit status as the user reads it (its own message is
// English and goes to its standard error).
std::string OpenerFailure(int exitCode) {
  switch (exitCode) {
    case 2:
      return Tr("ui", "文件或文件夹不存在");
    case 3:
      return Tr("ui", "系统中没有登记可打开它的程序");
    default:
      return Fill(Tr("ui", "打开它的程序失败（退出码 %1）"), std::to_string(exitCode));
  }
}

// xdg-open tells by its exit status whether a program was found, which
// QDesktopServices does not pass on; it answers within moments when none is.
Status OpenWithDesktop(const QString& target) {
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) {
    return QDesktopServices::openUrl(UrlOf(target))
               ? Status::Ok()
               : Status::Failure(Tr("ui", "系统中没有登记可打开它的程序"));
  }
  // Owned by the application, so an opener that keeps running is not
  // killed when this returns.
  auto* process = new QProcess(QCoreApplication::instance());
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  process->start(opener, {target});
  if (!process->waitForStarted()) {
    process->deleteLater();
    return Status::Failure(Tr("ui", "无法启动 xdg-open"));
  }
  if (!process->waitForFinished(kOpenerAnswerMs)) {
    return Status::Ok();
  }
  if (process->exitStatus() != QProcess::NormalExit) {
    return Status::Failure(Tr("ui", "xdg-open 意外终止"));
  }
  return process->exitCode() == 0 ? Status::Ok()
                                  : Status::Failure(OpenerFailure(process->exitCode()));
}

}  // namespace

void SetShellResponder(ShellResponder responder) {
  Responder() = std::move(responder);
}

QString PictureEditorProgram() {
  const QString chosen = qEnvironmentVariable("ZENTORA_PICTURE_EDITOR");
  if (!chosen.isEmpty()) {
    return chosen;
  }
  for (const char* candidate : {"kolourpaint", "pinta", "gimp"}) {
    const QString found = QStandardPaths::findExecutable(QString::fromLatin1(candidate));
    if (!found.isEmpty()) {
      return found;
    }
  }
  return {};
}

Status PerformShellRequest(ShellVerb verb, const QString& target) {
  if (Responder()) {
    return Responder()(verb, target);
  }
  if (verb == ShellVerb::EditPicture) {
    const QString editor = PictureEditorProgram();
    if (!editor.isEmpty()) {
      return QProcess::startDetached(editor, {target})
                 ? Status::Ok()
                 : Status::Failure(Fill(Tr("ui", "无法启动图片编辑器 %1"), editor.toStdString()));
    }
  }
  return OpenWithDesktop(target);
}

}  // namespace zentora
