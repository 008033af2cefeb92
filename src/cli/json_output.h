#pragma once

#include <QCommandLineParser>
#include <QJsonObject>

namespace zentora::cli {

// The documents' layout, as the "version" field tells scripts; it grows
// when a field changes meaning or goes away, not when one is added.
inline constexpr int kJsonVersion = 1;

// --json, for the commands that can describe what they found as one
// document for scripts (docs/json.md).
void AddJsonOption(QCommandLineParser& parser);

// Writes `document` with its "version" field to standard output, as the
// only thing there.
void PrintJson(QJsonObject document);

}  // namespace zentora::cli
