#pragma once

#include <QByteArray>
#include <QCache>
#include <QHash>
#include <QImage>
#include <QSize>
#include <QThreadPool>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <vector>

#include "image/file_stamp.h"
#include "image/thumbnail_store.h"

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

// Decodes a picture file straight at its thumbnail size, where the format
// can (JPEG decodes at a fraction of its size), so a large picture never
// needs its full size in memory. Safe on any thread.
Thumbnail DecodeThumbnail(const std::filesystem::path& path);

// Thumbnails by path, made again whenever the file's stamp changes, so a
// picture rewritten by the adjustment or edited outside shows its new
// content at the next repaint. Least recently used thumbnails go first when
// the cache grows past its budget. Behind it is the desktop's shared store:
// a thumbnail found there spares the decoding, and each picture decoded goes
// there in the background, so the next start shows it at once. Used on one
// thread, but for Make.
class CThumbnailCache {
 public:
  // The image for files that exist but do not decode (the desktop's icon for
  // the file, in the gallery). Runs on the cache's thread.
  using FallbackImage = std::function<QImage(const std::filesystem::path&)>;

  explicit CThumbnailCache(FallbackImage fallback = {},
                           std::size_t budgetBytes = std::size_t{64} << 20,
                           CThumbnailStore store = CThumbnailStore::FromEnvironment());
  // Drops the store writes not yet started and waits for the running one.
  ~CThumbnailCache();
  CThumbnailCache(const CThumbnailCache&) = delete;
  CThumbnailCache& operator=(const CThumbnailCache&) = delete;

  Thumbnail Get(const std::filesystem::path& path);
  // The same for many files at once; those that need decoding are decoded
  // on several threads, after beforeDecoding (if any) has run.
  std::vector<Thumbnail> GetMany(const std::vector<std::filesystem::path>& paths,
                                 const std::function<void()>& beforeDecoding = {});

  // The thumbnail box's size that Get gives the file as it is now, read from
  // the kept thumbnail or else from the file's header, without decoding: a
  // layout needs it for every file of a list. A picture whose header tells
  // no size counts as the largest thumbnail.
  QSize SizeOf(const std::filesystem::path& path);

  // Whether Get would make a thumbnail: the file exists and no thumbnail
  // matching it is kept.
  bool NeedsDecoding(const std::filesystem::path& path);
  // The thumbnail of path as the file was at stamp, from the store when it
  // holds one made from that file, else decoded (and then queued for the
  // store). Keeps nothing in the cache and counts in no Decodes(). Safe on
  // any thread.
  Thumbnail Make(const std::filesystem::path& path, const FileStamp& stamp);
  // Keeps a thumbnail decoded elsewhere (on another thread) from the file as
  // it was at stamp; one kept meanwhile for that stamp wins.
  void Offer(const std::filesystem::path& path, const FileStamp& stamp, Thumbnail thumbnail);

  void Clear() { cache_.clear(); }
  // Waits until every thumbnail queued for the store is written.
  void WaitForStoreWrites() { storeWriter_.waitForDone(); }
  // How many pictures Get and GetMany have decoded since construction
  // (thumbnails read from the store do not count), for tests and benchmarks.
  int Decodes() const { return decodes_; }

 private:
  struct Entry {
    FileStamp stamp;
    Thumbnail thumbnail;
  };

  static QByteArray KeyOf(const std::filesystem::path& path);
  struct Made {
    Thumbnail thumbnail;
    bool decoded = false;  // else read from the store
    QImage forStore;       // what to keep in the store, if anything
    QSize original;
  };
  Made MakeTelling(const std::filesystem::path& path, const FileStamp& stamp) const;
  void QueueStoreWrite(const std::filesystem::path& path, const FileStamp& stamp, const Made& made);
  // Keeps the thumbnail (with its fallback image) and returns it.
  Thumbnail Store(const QByteArray& key, const FileStamp& stamp, Thumbnail thumbnail);

  struct KnownSize {
    FileStamp stamp;
    QSize size;
  };

  FallbackImage fallback_;
  QCache<QByteArray, Entry> cache_;
  QHash<QByteArray, KnownSize> sizes_;
  const CThumbnailStore store_;
  int decodes_ = 0;
  // Last, so that it stops before anything its tasks use goes.
  QThreadPool storeWriter_;
};

}  // namespace zentora
