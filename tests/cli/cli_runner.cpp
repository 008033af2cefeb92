#include "cli_runner.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace zentora::testing {

CliRun RunCli(const QStringList& arguments, const std::filesystem::path& workingFolder,
              const CliEnvironment& extra) {
  return RunProgram(QString::fromUtf8(ZENTORA_CLI), arguments, workingFolder, extra);
}

CliRun RunProgram(const QString& program, const QStringList& arguments,
                  const std::filesystem::path& workingFolder, const CliEnvironment& extra) {
  QProcess process;
  // Messages that come from the C library (strerror) are compared as the C
  // locale writes them, and Qt wants a UTF-8 locale.
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
  environment.remove(QStringLiteral("LANGUAGE"));
  for (const auto& [name, value] : extra) {
    environment.insert(name, value);
  }
  process.setProcessEnvironment(environment);
  if (!workingFolder.empty()) {
    process.setWorkingDirectory(Arg(workingFolder));
  }
  process.start(program, arguments);
  CliRun run;
  if (!process.waitForStarted(-1)) {
    ADD_FAILURE() << "cannot start " << program.toStdString();
    return run;
  }
  process.closeWriteChannel();
  process.waitForFinished(-1);
  if (process.exitStatus() != QProcess::NormalExit) {
    ADD_FAILURE() << program.toStdString() << " crashed";
    return run;
  }
  run.exitCode = process.exitCode();
  run.out = process.readAllStandardOutput().toStdString();
  run.err = process.readAllStandardError().toStdString();
  return run;
}

QString Arg(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

}  // namespace zentora::testing
