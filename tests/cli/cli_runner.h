#pragma once

#include <QStringList>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/test_pictures.h"

namespace zentora::testing {

// What one run of zentora-cli left behind.
struct CliRun {
  int exitCode = -1;
  std::string out;  // stdout, as bytes
  std::string err;  // stderr, as bytes
};

// Variables set for the child process only, on top of the test's own.
using CliEnvironment = std::vector<std::pair<QString, QString>>;

// Runs the built zentora-cli with these arguments, in the C.UTF-8 locale
// (so in Chinese, the language every expected text is written in),
// and waits for it to end. A relative path in the arguments is taken from
// workingFolder when given.
CliRun RunCli(const QStringList& arguments,
              const std::filesystem::path& workingFolder = std::filesystem::path(),
              const CliEnvironment& environment = {});

// The same for any program (a compiler, what it built).
CliRun RunProgram(const QString& program, const QStringList& arguments,
                  const std::filesystem::path& workingFolder = std::filesystem::path(),
                  const CliEnvironment& environment = {});

QString Arg(const std::filesystem::path& path);

}  // namespace zentora::testing
