#pragma once

#include <QCommandLineParser>

#include <optional>

#include "image/image_settings.h"

namespace zentora::cli {

// --depth 16|24, --msb-first, --row-right-to-left, --column-bottom-to-top,
// --column-first.
void AddImageOptions(QCommandLineParser& parser);

// nullopt (after printing why) when an option has a value it cannot take.
std::optional<ImageSettings> ReadImageOptions(const QCommandLineParser& parser);

}  // namespace zentora::cli
