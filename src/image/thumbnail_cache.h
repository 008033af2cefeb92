#pragma once

#include <QByteArray>
#include <QCache>
#include <QImage>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace zentora {

// What a gallery cell shows for one file.
struct Thumbnail {
  enum class Kind {
    Picture,     // decoded; image is the picture at size
    NotPicture,  // exists but does not decode; image is its icon, if any
    Missing,     // nothing there (or no path at all); no image
  };
  Kind kind = Kind::Missing;
  // The thumbnail box's size: the picture scaled to fit 80 × 80, or 32 × 32.
  QSize size;
  QImage image;
};

// A file's identity on disk as far as its thumbnail cares: a rewrite, an
// edit in another program or a rename over it changes at least one of these.
struct FileStamp {
  std::int64_t modifiedNs = 0;
  std::int64_t size = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileStamp&) const = default;
};
// nullopt when there is no file at path.
std::optional<FileStamp> StampOf(const std::filesystem::path& path);

// Decodes a picture file straight at its thumbnail size, where the format
// can (JPEG decodes at a fraction of its size), so a large picture never
// needs its full size in memory. Safe on any thread.
Thumbnail DecodeThumbnail(const std::filesystem::path& path);

// Thumbnails by path, decoded again whenever the file's stamp changes, so a
// picture rewritten by the adjustment or edited outside shows its new
// content at the next repaint. Least recently used thumbnails go first when
// the cache grows past its budget. Used on one thread.
class CThumbnailCache {
 public:
  // The image for files that exist but do not decode (the desktop's icon for
  // the file, in the gallery). Runs on the cache's thread.
  using FallbackImage = std::function<QImage(const std::filesystem::path&)>;

  explicit CThumbnailCache(FallbackImage fallback = {},
                           std::size_t budgetBytes = std::size_t{64} << 20);

  Thumbnail Get(const std::filesystem::path& path);
  // The same for many files at once; those that need decoding are decoded
  // on several threads, after beforeDecoding (if any) has run.
  std::vector<Thumbnail> GetMany(const std::vector<std::filesystem::path>& paths,
                                 const std::function<void()>& beforeDecoding = {});

  // Whether Get would decode: the file exists and no thumbnail matching it
  // is kept.
  bool NeedsDecoding(const std::filesystem::path& path);
  // Keeps a thumbnail decoded elsewhere (on another thread) from the file as
  // it was at stamp; one kept meanwhile for that stamp wins.
  void Offer(const std::filesystem::path& path, const FileStamp& stamp, Thumbnail thumbnail);

  void Clear() { cache_.clear(); }
  // How many decodes have run since construction, for tests and benchmarks.
  int Decodes() const { return decodes_; }

 private:
  struct Entry {
    FileStamp stamp;
    Thumbnail thumbnail;
  };

  static QByteArray KeyOf(const std::filesystem::path& path);
  // Keeps the thumbnail (with its fallback image) and returns it.
  Thumbnail Store(const QByteArray& key, const FileStamp& stamp, Thumbnail thumbnail);

  FallbackImage fallback_;
  QCache<QByteArray, Entry> cache_;
  int decodes_ = 0;
};

}  // namespace zentora
