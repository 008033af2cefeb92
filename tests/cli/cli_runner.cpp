#include "cli_runner.h"

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace zentora::testing {

CliRun RunCli(const QStringList& arguments, const std::filesystem::path& workingFolder,
              const CliEnvironment& extra) {
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
  process.start(QString::fromUtf8(ZENTORA_CLI), arguments);
  CliRun run;
  if (!process.waitForStarted(-1)) {
    ADD_FAILURE() << "cannot start " << ZENTORA_CLI;
    return run;
  }
  process.closeWriteChannel();
  process.waitForFinished(-1);
  if (process.exitStatus() != QProcess::NormalExit) {
    ADD_FAILURE() << "zentora-cli crashed";
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

void SavePicture(const std::filesystem::path& path, int width, int height,
                 std::initializer_list<QRgb> pixels) {
  ASSERT_EQ(pixels.size(), static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  QImage image(width, height, QImage::Format_RGB32);
  const QRgb* pixel = pixels.begin();
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      row[x] = *pixel++;
    }
  }
  ASSERT_TRUE(image.save(Arg(path))) << "cannot write " << path;
}

}  // namespace zentora::testing
