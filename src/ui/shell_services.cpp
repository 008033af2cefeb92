#include "ui/shell_services.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <utility>

namespace zentora {

namespace {

ShellRecorder& Recorder() {
  static ShellRecorder recorder;
  return recorder;
}

QUrl UrlOf(const QString& target) {
  const QUrl url(target);
  if (url.isValid() && !url.scheme().isEmpty() && url.scheme().size() > 1) {
    return url;
  }
  return QUrl::fromLocalFile(target);
}

}  // namespace

void SetShellRecorder(ShellRecorder recorder) {
  Recorder() = std::move(recorder);
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

bool PerformShellRequest(ShellVerb verb, const QString& target) {
  if (Recorder()) {
    Recorder()(verb, target);
    return true;
  }
  if (verb == ShellVerb::EditPicture) {
    const QString editor = PictureEditorProgram();
    if (!editor.isEmpty()) {
      return QProcess::startDetached(editor, {target});
    }
  }
  return QDesktopServices::openUrl(UrlOf(target));
}

}  // namespace zentora
