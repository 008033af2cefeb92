#include "image/thumbnail_store.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "image/thumbnail_cache.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

using testing::CTempDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

void SaveFilled(const fs::path& path, QSize size, QColor colour) {
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(colour);
  ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), "PNG")) << path;
}

TEST(ThumbnailStoreTest, UrisAreEscapedAsTheFileManagersEscapeThem) {
  struct Case {
    const char* path;
    const char* uri;
  };
  for (const Case& c :
       {Case{"/home/u/a.png", "file:///home/u/a.png"},
        Case{"/a b/ü#%.png", "file:///a%20b/%C3%BC%23%25.png"},
        Case{"/x/!$&'()*+,-.:=@_~", "file:///x/!$&'()*+,-.:=@_~"},
        Case{"/q?[]\"<>;`{}|^\\", "file:///q%3F%5B%5D%22%3C%3E%3B%60%7B%7D%7C%5E%5C"}}) {
    EXPECT_EQ(CThumbnailStore::UriOf(c.path), c.uri);
  }
}

class ThumbnailStoreCacheTest : public ::testing::Test {
 protected:
  fs::path Root() const { return dir_ / "cache" / "thumbnails"; }
  fs::path Picture() const { return dir_ / "pictures" / "wide picture ü.png"; }
  CThumbnailStore Store() const { return CThumbnailStore(Root()); }

  // A fresh cache, as at the next start, showing the picture.
  Thumbnail ShowInNewCache(int expectedDecodes) {
    CThumbnailCache cache({}, std::size_t{1} << 20, Store());
    Thumbnail thumbnail = cache.Get(Picture());
    cache.WaitForStoreWrites();
    EXPECT_EQ(cache.Decodes(), expectedDecodes);
    return thumbnail;
  }

  void SetUp() override {
    fs::create_directories(dir_ / "pictures");
    SaveFilled(Picture(), QSize(400, 200), Qt::red);
  }

  CTempDir dir_;
};

TEST_F(ThumbnailStoreCacheTest, DecodedPictureIsStoredWithItsUriAndModificationTime) {
  ShowInNewCache(1);
  const std::string uri = "file://" + (dir_ / "pictures").string() + "/wide%20picture%20%C3%BC.png";
  const fs::path stored =
      Root() / "normal" /
      (QCryptographicHash::hash(QByteArray::fromStdString(uri), QCryptographicHash::Md5)
           .toHex()
           .toStdString() +
       ".png");
  struct stat info {};
  ASSERT_EQ(::stat(stored.c_str(), &info), 0) << stored;
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  struct stat picture {};
  ASSERT_EQ(::stat(Picture().c_str(), &picture), 0);

  const QImage image = QImageReader(QString::fromStdString(stored.string())).read();
  EXPECT_EQ(image.text("Thumb::URI").toStdString(), uri);
  EXPECT_EQ(image.text("Thumb::MTime"), QString::number(picture.st_mtim.tv_sec));
  EXPECT_EQ(image.size(), QSize(128, 64));
  EXPECT_EQ(image.pixelColor(64, 32), QColor(Qt::red));

  // The next start shows it from the store.
  const Thumbnail again = ShowInNewCache(0);
  EXPECT_EQ(again.size, QSize(80, 40));
  EXPECT_EQ(again.image.pixelColor(40, 20), QColor(Qt::red));
}

TEST_F(ThumbnailStoreCacheTest, ChangedPictureIsDecodedAndItsThumbnailReplaced) {
  ShowInNewCache(1);
  SaveFilled(Picture(), QSize(100, 200), Qt::blue);
  const Thumbnail changed = ShowInNewCache(1);
  EXPECT_EQ(changed.size, QSize(40, 80));
  EXPECT_EQ(changed.image.pixelColor(20, 40), QColor(Qt::blue));
  EXPECT_EQ(ShowInNewCache(0).image.pixelColor(20, 40), QColor(Qt::blue));
}

TEST_F(ThumbnailStoreCacheTest, DamagedStoredThumbnailIsIgnoredAndReplaced) {
  ShowInNewCache(1);
  const fs::path stored = Store().NormalFileOf(Picture());
  const std::string whole = testing::ReadText(stored);
  for (const std::string& damaged :
       {std::string("not a picture"), whole.substr(0, whole.size() / 2)}) {
    WriteBytes(stored, damaged);
    EXPECT_EQ(ShowInNewCache(1).image.pixelColor(40, 20), QColor(Qt::red));
    EXPECT_FALSE(QImageReader(QString::fromStdString(stored.string())).read().isNull());
  }
}

TEST_F(ThumbnailStoreCacheTest, PicturesInsideTheStoreAreNeverStored) {
  const fs::path inside = Root() / "normal" / "picture.png";
  fs::create_directories(inside.parent_path());
  SaveFilled(inside, QSize(40, 40), Qt::green);
  EXPECT_FALSE(Store().Keeps(inside));
  EXPECT_TRUE(Store().Keeps(Picture()));

  CThumbnailCache cache({}, std::size_t{1} << 20, Store());
  EXPECT_EQ(cache.Get(inside).image.pixelColor(40, 40), QColor(Qt::green));
  cache.WaitForStoreWrites();
  EXPECT_EQ(testing::FolderContents(inside.parent_path()), std::set<std::string>{"picture.png"});
}

}  // namespace
}  // namespace zentora
