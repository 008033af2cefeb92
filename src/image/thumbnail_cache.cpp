#include "image/thumbnail_cache.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <thread>
#include <utility>

#include "base/ordered_pipeline.h"
#include "base/thread_priority.h"
#include "image/gallery_geometry.h"
#include "image/picture_decode.h"
#include "image/picture_file.h"
#include "image/png_reducer.h"

namespace zentora {

namespace {

// Decoding is the costly part of a first paint; more threads than cores
// only add switching.
int DecodeThreads(int misses) {
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  return std::min(cores, misses);
}

QImage ForDrawing(QImage image) {
  // The raster engine draws these two formats without converting each time.
  return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                       : QImage::Format_RGB32);
}

// The picture is drawn into its thumbnail box, whose sides are even; decoding
// straight at that size spares a rescale at every paint.
QSize DrawnSize(QSize thumbnail) {
  return CGalleryGeometry::ThumbnailBox(QRect(), thumbnail).size().expandedTo(QSize(1, 1));
}

// The size kept in the store: the picture fitted into the normal size,
// never enlarged.
QSize StoredSize(QSize original) {
  const int side = CThumbnailStore::kNormalSize;
  if (original.width() <= side && original.height() <= side) {
    return original;
  }
  return original.scaled(side, side, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

// The gallery's thumbnail of a picture original large, from a smaller copy
// of it (the store's).
Thumbnail FromCopy(const QImage& copy, QSize original) {
  const QSize size = CGalleryGeometry::ThumbnailSize(original);
  return {
      Thumbnail::Kind::Picture, size,
      ForDrawing(copy.scaled(DrawnSize(size), Qt::IgnoreAspectRatio, Qt::SmoothTransformation))};
}

// A thumbnail decoded from the picture itself, with the image the store
// keeps of it.
struct FreshThumbnail {
  Thumbnail thumbnail;
  QImage stored;
  QSize original;
};

FreshThumbnail FromStoredSize(QImage stored, QSize original) {
  return {FromCopy(stored, original), stored, original};
}

// Decodes straight at the store's size where the format can (JPEG decodes
// at a fraction of its size), so a large picture never needs its full size
// in memory, and derives the gallery's thumbnail from that.
FreshThumbnail DecodeFresh(const std::filesystem::path& path) {
  const QSize fallbackSize = CGalleryGeometry::ThumbnailSize(QSize());
  if (path.empty()) {
    return {{Thumbnail::Kind::Missing, fallbackSize, {}}, {}, {}};
  }
  QFile file(QFile::decodeName(path.c_str()));
  if (!OpenPictureFile(file)) {
    return {
        {file.exists() ? Thumbnail::Kind::NotPicture : Thumbnail::Kind::Missing, fallbackSize, {}},
        {},
        {}};
  }
  // A photo-like PNG is averaged into the store's size as it is read: Qt
  // decodes a PNG whole and scales after, at twice the cost. Content decides
  // the decoder, as everywhere else in the program.
  if (std::optional<ReducedPng> reduced = DecodeReducedPng(file, StoredSize)) {
    return FromStoredSize(ForDrawing(std::move(reduced->image)), reduced->original);
  }
  if (!file.seek(0)) {
    return {{Thumbnail::Kind::NotPicture, fallbackSize, {}}, {}, {}};
  }
  QImageReader reader(&file);
  reader.setAutoTransform(false);
  const QSize announced = reader.size();
  // The compile's decoding, so that the gallery shows what the module will.
  Result<QImage> decoded =
      DecodePicture(reader, announced, announced.isEmpty() ? QSize() : StoredSize(announced));
  if (!decoded) {
    return {{Thumbnail::Kind::NotPicture, fallbackSize, {}}, {}, {}};
  }
  QImage image = std::move(decoded).value();
  // Decoders that cannot decode at a smaller size, and formats that tell
  // their size only by decoding, are scaled here.
  const QSize original = announced.isEmpty() ? image.size() : announced;
  if (image.size() != StoredSize(original)) {
    image = image.scaled(StoredSize(original), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  return FromStoredSize(ForDrawing(std::move(image)), original);
}

// The thumbnail size from the file's header alone.
QSize ProbeThumbnailSize(const std::filesystem::path& path) {
  QFile file(QFile::decodeName(path.c_str()));
  if (!OpenPictureFile(file)) {
    return CGalleryGeometry::ThumbnailSize(QSize());
  }
  QImageReader reader(&file);
  reader.setAutoTransform(false);
  if (!reader.canRead()) {
    return CGalleryGeometry::ThumbnailSize(QSize());
  }
  const QSize announced = reader.size();
  if (announced.isEmpty()) {
    return {CGalleryGeometry::kThumbnailExtent, CGalleryGeometry::kThumbnailExtent};
  }
  return CGalleryGeometry::ThumbnailSize(announced);
}

std::size_t CostOf(const Thumbnail& thumbnail) {
  // The entry's own bookkeeping counts too, so a cache of icons stays bounded.
  constexpr std::size_t kEntryOverhead = 256;
  return static_cast<std::size_t>(thumbnail.image.sizeInBytes()) + kEntryOverhead;
}

}  // namespace

Thumbnail DecodeThumbnail(const std::filesystem::path& path) {
  return DecodeFresh(path).thumbnail;
}

CThumbnailCache::CThumbnailCache(FallbackImage fallback, std::size_t budgetBytes,
                                 CThumbnailStore store)
    : fallback_(std::move(fallback)), store_(std::move(store)) {
  cache_.setMaxCost(static_cast<qsizetype>(budgetBytes));
  // One writer: the store is a convenience, never worth a core.
  storeWriter_.setMaxThreadCount(1);
}

CThumbnailCache::~CThumbnailCache() {
  storeWriter_.clear();
  storeWriter_.waitForDone();
}

Thumbnail CThumbnailCache::Make(const std::filesystem::path& path, const FileStamp& stamp) {
  Made made = MakeTelling(path, stamp);
  QueueStoreWrite(path, stamp, made);
  return std::move(made.thumbnail);
}

CThumbnailCache::Made CThumbnailCache::MakeTelling(const std::filesystem::path& path,
                                                   const FileStamp& stamp) const {
  if (std::optional<CThumbnailStore::Stored> stored = store_.Load(path, stamp)) {
    return {FromCopy(stored->image, stored->original), false, {}, {}};
  }
  FreshThumbnail fresh = DecodeFresh(path);
  if (fresh.thumbnail.kind != Thumbnail::Kind::Picture || !store_.Keeps(path)) {
    fresh.stored = QImage();
  }
  return {std::move(fresh.thumbnail), true, std::move(fresh.stored), fresh.original};
}

void CThumbnailCache::QueueStoreWrite(const std::filesystem::path& path, const FileStamp& stamp,
                                      const Made& made) {
  if (made.forStore.isNull()) {
    return;
  }
  storeWriter_.start([this, path, stamp, image = made.forStore, original = made.original] {
    LowerThisThreadPriority();
    store_.Save(path, stamp, image, original);
  });
}

QByteArray CThumbnailCache::KeyOf(const std::filesystem::path& path) {
  return QByteArray::fromStdString(path.native());
}

Thumbnail CThumbnailCache::Store(const QByteArray& key, const FileStamp& stamp,
                                 Thumbnail thumbnail) {
  if (thumbnail.kind == Thumbnail::Kind::NotPicture && fallback_) {
    thumbnail.image = fallback_(key.toStdString());
  }
  // Layouts go by the decoded size from now on, even once the thumbnail
  // itself has left the cache.
  sizes_.insert(key, KnownSize{stamp, thumbnail.size});
  const std::size_t cost = CostOf(thumbnail);
  // QCache refuses (and frees) an entry costlier than its whole budget; the
  // caller still gets the thumbnail.
  cache_.insert(key, new Entry{stamp, thumbnail}, static_cast<qsizetype>(cost));
  return thumbnail;
}

QSize CThumbnailCache::SizeOf(const std::filesystem::path& path) {
  const std::optional<FileStamp> stamp = StampOf(path);
  const QByteArray key = KeyOf(path);
  if (!stamp) {
    sizes_.remove(key);
    return CGalleryGeometry::ThumbnailSize(QSize());
  }
  if (const Entry* entry = cache_.object(key); entry != nullptr && entry->stamp == *stamp) {
    return entry->thumbnail.size;
  }
  if (const auto known = sizes_.constFind(key);
      known != sizes_.constEnd() && known->stamp == *stamp) {
    return known->size;
  }
  const QSize size = ProbeThumbnailSize(path);
  sizes_.insert(key, KnownSize{*stamp, size});
  return size;
}

bool CThumbnailCache::NeedsDecoding(const std::filesystem::path& path) {
  const std::optional<FileStamp> stamp = StampOf(path);
  if (!stamp) {
    return false;
  }
  const Entry* entry = cache_.object(KeyOf(path));
  return entry == nullptr || !(entry->stamp == *stamp);
}

void CThumbnailCache::Offer(const std::filesystem::path& path, const FileStamp& stamp,
                            Thumbnail thumbnail) {
  const QByteArray key = KeyOf(path);
  if (const Entry* entry = cache_.object(key); entry != nullptr && entry->stamp == stamp) {
    return;
  }
  Store(key, stamp, std::move(thumbnail));
}

Thumbnail CThumbnailCache::Get(const std::filesystem::path& path) {
  return GetMany({path}).front();
}

std::vector<Thumbnail> CThumbnailCache::GetMany(const std::vector<std::filesystem::path>& paths,
                                                const std::function<void()>& beforeDecoding) {
  std::vector<Thumbnail> thumbnails(paths.size());
  // Files to decode, each once however often it is listed.
  struct Pending {
    QByteArray key;
    FileStamp stamp;
    std::vector<std::size_t> slots;
  };
  std::vector<Pending> pending;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::optional<FileStamp> stamp = StampOf(paths[i]);
    if (!stamp) {
      thumbnails[i] = {Thumbnail::Kind::Missing, CGalleryGeometry::ThumbnailSize(QSize()), {}};
      continue;
    }
    QByteArray key = KeyOf(paths[i]);
    if (const Entry* entry = cache_.object(key); entry != nullptr && entry->stamp == *stamp) {
      thumbnails[i] = entry->thumbnail;
      continue;
    }
    const auto same = std::find_if(pending.begin(), pending.end(),
                                   [&](const Pending& file) { return file.key == key; });
    if (same != pending.end()) {
      same->slots.push_back(i);
    } else {
      pending.push_back({std::move(key), *stamp, {i}});
    }
  }

  const int count = static_cast<int>(pending.size());
  if (count > 0 && beforeDecoding) {
    beforeDecoding();
  }
  // The store is written once the page is decoded, so that no write takes
  // a core from the decoding the user waits for.
  std::vector<std::pair<std::size_t, Made>> toStore;
  RunOrderedPipeline<Made>(
      count, DecodeThreads(count), count,
      [&](int n) {
        const Pending& file = pending[static_cast<std::size_t>(n)];
        return MakeTelling(paths[file.slots.front()], file.stamp);
      },
      [&](int n, Made made) {
        const Pending& file = pending[static_cast<std::size_t>(n)];
        decodes_ += made.decoded ? 1 : 0;
        const Thumbnail stored = Store(file.key, file.stamp, made.thumbnail);
        for (const std::size_t slot : file.slots) {
          thumbnails[slot] = stored;
        }
        if (!made.forStore.isNull()) {
          toStore.emplace_back(static_cast<std::size_t>(n), std::move(made));
        }
        return true;
      });
  for (const auto& [n, made] : toStore) {
    QueueStoreWrite(paths[pending[n].slots.front()], pending[n].stamp, made);
  }
  return thumbnails;
}

}  // namespace zentora
