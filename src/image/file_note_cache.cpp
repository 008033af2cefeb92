#include "image/file_note_cache.h"

#include <utility>

namespace zentora {

void CFileNoteCache::SetDescribe(Describe describe) {
  describe_ = std::move(describe);
  notes_.clear();
}

QString CFileNoteCache::NoteOf(const std::filesystem::path& path) {
  if (!describe_) {
    return {};
  }
  const std::optional<FileStamp> stamp = StampOf(path);
  const QByteArray key = QByteArray::fromStdString(path.native());
  if (!stamp) {
    notes_.remove(key);
    return {};
  }
  const auto kept = notes_.constFind(key);
  if (kept != notes_.constEnd() && kept->stamp == *stamp) {
    return kept->note;
  }
  ++made_;
  QString note = describe_(path);
  notes_.insert(key, Entry{*stamp, note});
  return note;
}

}  // namespace zentora
