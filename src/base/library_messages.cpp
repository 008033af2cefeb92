#include "base/library_messages.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <string_view>

#include "base/png_error_messages.h"

namespace zentora {

namespace {

constexpr std::string_view kVerbose = "--verbose";

bool DebugRequested() {
  const QByteArray value = qgetenv("ZENTORA_DEBUG");
  return !value.isEmpty() && value != "0";
}

void DropAllButFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    return;
  }
  std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
}

}  // namespace

bool TakeVerboseOption(QStringList& arguments) {
  const QLatin1StringView option(kVerbose.data(), static_cast<qsizetype>(kVerbose.size()));
  bool found = false;
  for (qsizetype i = arguments.size() - 1; i >= 1; --i) {
    if (arguments[i] == option) {
      arguments.remove(i);
      found = true;
    }
  }
  return found;
}

bool HasVerboseOption(int argc, const char* const argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == kVerbose) {
      return true;
    }
  }
  return false;
}

void RouteLibraryMessages(bool verbose) {
  const bool shown = verbose || DebugRequested();
  // Without a handler of ours, Qt's own, which writes to stderr.
  qInstallMessageHandler(shown ? nullptr : DropAllButFatal);
  SetPngErrorsQuiet(!shown);
}

}  // namespace zentora
