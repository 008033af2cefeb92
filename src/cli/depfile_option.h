#pragma once

#include <QCommandLineParser>

#include <filesystem>
#include <optional>

#include "base/depfile.h"

namespace zentora::cli {

// --depfile FILE, for the commands whose outputs a build tool rebuilds.
void AddDepfileOption(QCommandLineParser& parser);

// What --depfile asks of a run: the file (empty when the option was not
// given) and the dependencies it will record.
struct DepfileRequest {
  std::filesystem::path file;
  Dependencies dependencies;
};

// Reads --depfile after parsing. nullopt, after printing why, when the file
// would replace one of the run's inputs or outputs, or when a path cannot be
// written into it; the run must then write nothing (exit 2).
std::optional<DepfileRequest> ReadDepfileOption(const QCommandLineParser& parser,
                                                Dependencies dependencies);

// Called once the run has written its targets: writes the dependency file
// when one was asked for and returns `status`, or kExitFailed after
// printing why it could not be written. A run that wrote nothing does not
// call it, so the old dependency file stays.
int RecordDependencies(const DepfileRequest& request, int status);

}  // namespace zentora::cli
