#pragma once

#include <QImage>
#include <QSize>

#include <filesystem>
#include <optional>
#include <string>

#include "image/file_stamp.h"

namespace zentora {

// The desktop's shared thumbnail store (the freedesktop Thumbnail Managing
// Standard): PNG files under $XDG_CACHE_HOME/thumbnails/normal (at most 128
// pixels a side) and large (256), each named by the MD5 of its picture's URI
// and carrying the URI and the picture's modification time, so that file
// managers and this program reuse each other's thumbnails across runs. Reads
// and writes are safe on any thread.
class CThumbnailStore {
 public:
  static constexpr int kNormalSize = 128;

  // A thumbnail found in the store, with the size of the picture it shows.
  struct Stored {
    QImage image;
    QSize original;
  };

  // The store under $XDG_CACHE_HOME, else ~/.cache; none when neither is
  // known.
  static CThumbnailStore FromEnvironment();
  // root is the thumbnails folder itself; empty for no store.
  explicit CThumbnailStore(std::filesystem::path root);

  // The URI the store names a file by: file:// and the absolute path,
  // escaped as the desktop's file managers escape it.
  static std::string UriOf(const std::filesystem::path& absolutePath);
  // Where the normal-size thumbnail of path is kept.
  std::filesystem::path NormalFileOf(const std::filesystem::path& path) const;

  // Whether the store keeps thumbnails of path: never of the store's own
  // files, whose thumbnails would be thumbnails of thumbnails.
  bool Keeps(const std::filesystem::path& path) const;

  // The stored thumbnail of path when it was made from the file as it is
  // now (same URI, modification time and, when recorded, size); a stored
  // file that does not decode counts as none.
  std::optional<Stored> Load(const std::filesystem::path& path, const FileStamp& stamp) const;
  // Keeps image (at most kNormalSize a side) as the normal-size thumbnail of
  // path, whose picture is original large: written whole or not at all,
  // readable by the user only.
  bool Save(const std::filesystem::path& path, const FileStamp& stamp, const QImage& image,
            QSize original) const;

 private:
  std::filesystem::path root_;
};

}  // namespace zentora
