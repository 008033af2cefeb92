// zentora-cli: the resource compiler and project tools for scripts and build
// servers. Every command runs the same core code as the desktop program.

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include "base/library_messages.h"
#include "base/temporary_registry.h"
#include "base/ui_language.h"
#include "base/version.h"
#include "cli/cli_support.h"
#include "cli/command_table.h"

int main(int argc, char* argv[]) {
  // Before anything Qt does can report.
  zentora::RouteLibraryMessages(zentora::HasVerboseOption(argc, argv));
  // Ctrl-C, kill and a closed terminal leave no temporary files behind.
  zentora::RemoveTemporariesOnSignals();
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("zentora-cli");
  QCoreApplication::setApplicationVersion(ZENTORA_VERSION);

  QStringList arguments = QCoreApplication::arguments();
  zentora::TakeVerboseOption(arguments);
  const zentora::LanguageChoice language = zentora::TakeLanguageOption(arguments);
  zentora::InstallTranslations(language.language);
  if (language.refusedValue) {
    zentora::cli::PrintError(zentora::RefusedLanguageMessage(*language.refusedValue));
    return zentora::cli::kExitUsage;
  }
  const QString command = arguments.value(1);
  if (command.isEmpty()) {
    std::fputs(zentora::cli::UsageText().c_str(), stderr);
    return zentora::cli::kExitUsage;
  }
  if (command == "-h" || command == "--help" || command == "help") {
    std::fputs(zentora::cli::UsageText().c_str(), stdout);
    return zentora::cli::kExitOk;
  }
  if (command == "--version") {
    std::puts("zentora-cli " ZENTORA_VERSION);
    return zentora::cli::kExitOk;
  }
  return zentora::cli::RunCommand(arguments);
}
