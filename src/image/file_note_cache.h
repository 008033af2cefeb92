#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <filesystem>
#include <functional>

#include "image/file_stamp.h"

namespace zentora {

// What a gallery cell writes under a file's caption (a sound's length and
// format, say), kept by path and made again whenever the file's stamp
// changes, as the thumbnails are. Used on one thread.
class CFileNoteCache {
 public:
  using Describe = std::function<QString(const std::filesystem::path&)>;

  // Without describe every file has no note.
  explicit CFileNoteCache(Describe describe = {}) : describe_(std::move(describe)) {}

  void SetDescribe(Describe describe);
  bool Describes() const { return static_cast<bool>(describe_); }
  // The note of the file as it is now; none for a file that is not there.
  QString NoteOf(const std::filesystem::path& path);
  // How many times describe has run, for tests.
  int Made() const { return made_; }

 private:
  struct Entry {
    FileStamp stamp;
    QString note;
  };

  Describe describe_;
  QHash<QByteArray, Entry> notes_;
  int made_ = 0;
};

}  // namespace zentora
