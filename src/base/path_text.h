#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <filesystem>
#include <string>

namespace zentora {

// Paths cross between the windows' text and the core in the file system's
// own encoding, so a name that is not valid UTF-8 survives the round trip.
inline std::filesystem::path PathFromText(const QString& text) {
  const QByteArray encoded = QFile::encodeName(text);
  return std::filesystem::path(std::string(encoded.constData(), encoded.size()));
}

inline QString TextFromPath(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

}  // namespace zentora
