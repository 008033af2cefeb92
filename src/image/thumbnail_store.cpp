#include "image/thumbnail_store.h"

#include <QBuffer>
#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QString>

#include <sys/stat.h>

#include <cerrno>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <system_error>
#include <utility>

#include "base/atomic_file_writer.h"
#include "base/path_text.h"
#include "image/picture_file.h"

namespace zentora {

namespace {

constexpr const char* kUriKey = "Thumb::URI";
constexpr const char* kMTimeKey = "Thumb::MTime";
constexpr const char* kSizeKey = "Thumb::Size";
constexpr const char* kWidthKey = "Thumb::Image::Width";
constexpr const char* kHeightKey = "Thumb::Image::Height";
// Ours: the whole stamp, finer than the standard's second, so that a picture
// rewritten within a second at the same length (the adjustment rewrites a
// BMP so) is not taken for the old one.
constexpr const char* kStampKey = "X-Zentora::Stamp";

QString StampText(const FileStamp& stamp) {
  return QString::number(stamp.modifiedNs) + ' ' + QString::number(stamp.inode);
}

std::filesystem::path Absolute(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return (error ? path : absolute).lexically_normal();
}

std::string StoreName(const std::string& uri) {
  return QCryptographicHash::hash(QByteArray::fromStdString(uri), QCryptographicHash::Md5)
             .toHex()
             .toStdString() +
         ".png";
}

// The folders of the store are the user's alone.
bool MakePrivateFolder(const std::filesystem::path& folder) {
  return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// The keys are read from the image, not the reader: the reader takes keys
// apart at their first colon.
bool Matches(const QImage& stored, const std::string& uri, const FileStamp& stamp) {
  if (stored.text(kUriKey).toStdString() != uri ||
      stored.text(kMTimeKey) != QString::number(stamp.ModifiedSeconds())) {
    return false;
  }
  // Optional, but when there it tells apart two versions written within one
  // second.
  const QString size = stored.text(kSizeKey);
  const QString exact = stored.text(kStampKey);
  return (size.isEmpty() || size == QString::number(stamp.size)) &&
         (exact.isEmpty() || exact == StampText(stamp));
}

}  // namespace

CThumbnailStore CThumbnailStore::FromEnvironment() {
  // A relative XDG_CACHE_HOME is invalid and ignored, as the base directory
  // rules say.
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache != nullptr && cache[0] == '/') {
    return CThumbnailStore(std::filesystem::path(cache) / "thumbnails");
  }
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') {
    return CThumbnailStore(std::filesystem::path(home) / ".cache" / "thumbnails");
  }
  return CThumbnailStore({});
}

CThumbnailStore::CThumbnailStore(std::filesystem::path root)
    : root_(root.empty() ? root : Absolute(root)) {}

std::string CThumbnailStore::UriOf(const std::filesystem::path& absolutePath) {
  // Unreserved characters and the sub-delimiters a path may hold stay as
  // they are; everything else, every byte of a non-ASCII name included, is
  // escaped, so the URI (and with it the file name) is the one the other
  // programs compute.
  static constexpr std::string_view kKept = "!$&'()*+,-./:=@_~";
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (const char c : absolutePath.native()) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
        (byte >= '0' && byte <= '9') || kKept.find(c) != std::string_view::npos) {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 0xF];
    }
  }
  return uri;
}

std::filesystem::path CThumbnailStore::NormalFileOf(const std::filesystem::path& path) const {
  return root_ / "normal" / StoreName(UriOf(Absolute(path)));
}

bool CThumbnailStore::Keeps(const std::filesystem::path& path) const {
  if (root_.empty() || path.empty()) {
    return false;
  }
  const std::filesystem::path absolute = Absolute(path);
  const auto [rootEnd, pathEnd] =
      std::mismatch(root_.begin(), root_.end(), absolute.begin(), absolute.end());
  return rootEnd != root_.end();
}

std::optional<CThumbnailStore::Stored> CThumbnailStore::Load(const std::filesystem::path& path,
                                                             const FileStamp& stamp) const {
  if (!Keeps(path)) {
    return std::nullopt;
  }
  const std::string uri = UriOf(Absolute(path));
  const std::string name = StoreName(uri);
  for (const char* flavour : {"normal", "large"}) {
    const QImage image = QImageReader(TextFromPath(root_ / flavour / name), "png").read();
    if (image.isNull() || !Matches(image, uri, stamp)) {
      continue;
    }
    QSize original(image.text(kWidthKey).toInt(), image.text(kHeightKey).toInt());
    if (original.isEmpty()) {
      // Not every program records it; the picture's header tells.
      QFile picture(TextFromPath(path));
      if (OpenPictureFile(picture)) {
        original = QImageReader(&picture).size();
      }
    }
    if (!original.isEmpty()) {
      return Stored{image, original};
    }
  }
  return std::nullopt;
}

bool CThumbnailStore::Save(const std::filesystem::path& path, const FileStamp& stamp,
                           const QImage& image, QSize original) const {
  if (!Keeps(path) || image.isNull()) {
    return false;
  }
  std::error_code error;
  std::filesystem::create_directories(root_.parent_path(), error);
  const std::filesystem::path folder = root_ / "normal";
  if (!MakePrivateFolder(root_) || !MakePrivateFolder(folder)) {
    return false;
  }
  const std::string uri = UriOf(Absolute(path));
  // Texts set on the image go into the PNG as they are; the writer's own
  // texts would be taken apart at the colons.
  QImage stored = image;
  stored.setText(kUriKey, QString::fromStdString(uri));
  stored.setText(kMTimeKey, QString::number(stamp.ModifiedSeconds()));
  stored.setText(kSizeKey, QString::number(stamp.size));
  stored.setText(kWidthKey, QString::number(original.width()));
  stored.setText(kHeightKey, QString::number(original.height()));
  stored.setText(kStampKey, StampText(stamp));
  stored.setText(QStringLiteral("Software"), QStringLiteral("Zentora"));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!QImageWriter(&buffer, "png").write(stored)) {
    return false;
  }
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                            static_cast<std::size_t>(png.size()));
  return WriteFileAtomically(folder / StoreName(uri), bytes, 0600).ok();
}

}  // namespace zentora
