// The compiled bytes of every test picture under every packing setting and
// dither, against digests taken before the decoders were changed: whichever
// decoder reads a picture, the module must receive the same bytes.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QCryptographicHash>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "image/image_compiler.h"
#include "support/image_settings_for_test.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;

// Every picture in the test data, the decodable, the damaged and the
// refused, in name order.
std::vector<fs::path> TestPictures() {
  std::vector<fs::path> pictures;
  const fs::path images = fs::path(ZENTORA_TEST_DATA_DIR) / "images";
  for (const fs::path& folder : {images, images / "layouts"}) {
    for (const auto& entry : fs::directory_iterator(folder)) {
      const std::string extension = entry.path().extension().string();
      if (entry.is_regular_file() && extension != ".md" && extension != ".py") {
        pictures.push_back(entry.path());
      }
    }
  }
  std::sort(pictures.begin(), pictures.end());
  return pictures;
}

QByteArray FileBytes(const fs::path& path) {
  QByteArray bytes;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
      bytes.append(buffer, static_cast<qsizetype>(got));
    }
    std::fclose(file);
  }
  return bytes;
}

std::string Digest(const QByteArray& bytes) {
  return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16).toStdString();
}

struct Case {
  int depth;
  int switches;  // bit 0 MSB first, 1 row right to left, 2 column bottom to top, 3 column first
  Dither dither;
  const char* digest;  // of image.bin followed by image.idx
};

ImageSettings SettingsOf(const Case& c) {
  ImageSettings settings = testing::Settings(c.depth, (c.switches & 1) != 0, (c.switches & 2) != 0,
                                             (c.switches & 4) != 0, (c.switches & 8) != 0);
  settings.dither = c.dither;
  return settings;
}

// Taken with the decoders of Qt's image plugins alone.
const Case kCases[] = {
    {0, 0, Dither::kNone, "7bae7736b59debba"},
    {0, 0, Dither::kOrdered, "1a6f3d0c0fb6d4a6"},
    {0, 0, Dither::kDiffusion, "3bd34b4f5bc92973"},
    {0, 1, Dither::kNone, "dd420e8c83ac1d3e"},
    {0, 1, Dither::kOrdered, "7a0bdbd5676601be"},
    {0, 1, Dither::kDiffusion, "c09620e61c0dc57d"},
    {0, 2, Dither::kNone, "e06ea1f82f7434dc"},
    {0, 2, Dither::kOrdered, "1c51a30bdbbf2760"},
    {0, 2, Dither::kDiffusion, "694e5f87c0f9a41c"},
    {0, 3, Dither::kNone, "a972e98b5c5dda53"},
    {0, 3, Dither::kOrdered, "763280c317f10113"},
    {0, 3, Dither::kDiffusion, "a566f94d8d79dc87"},
    {0, 4, Dither::kNone, "8f4528eaef2ecf70"},
    {0, 4, Dither::kOrdered, "dd74830a48ec8b42"},
    {0, 4, Dither::kDiffusion, "58874366c61293fc"},
    {0, 5, Dither::kNone, "a001db06a4e19b5d"},
    {0, 5, Dither::kOrdered, "29628c6d695276f4"},
    {0, 5, Dither::kDiffusion, "2c538688117a5e82"},
    {0, 6, Dither::kNone, "cf74130c8c0d2783"},
    {0, 6, Dither::kOrdered, "cbe82980295a67f8"},
    {0, 6, Dither::kDiffusion, "00203532e5fc2b52"},
    {0, 7, Dither::kNone, "ecad71856f3b9a9c"},
    {0, 7, Dither::kOrdered, "766816d520fcdfba"},
    {0, 7, Dither::kDiffusion, "0bb486285b97d999"},
    {0, 8, Dither::kNone, "1b17d1fb6c0c910d"},
    {0, 8, Dither::kOrdered, "a8c0f95bdac08d61"},
    {0, 8, Dither::kDiffusion, "d721a4d9d2532868"},
    {0, 9, Dither::kNone, "a39b4f26cc293d87"},
    {0, 9, Dither::kOrdered, "727af407b187d613"},
    {0, 9, Dither::kDiffusion, "bae55042d434e97c"},
    {0, 10, Dither::kNone, "aba732a54ffaf20f"},
    {0, 10, Dither::kOrdered, "6cc6dbf83cd1f44d"},
    {0, 10, Dither::kDiffusion, "f2ee30bd683cd068"},
    {0, 11, Dither::kNone, "3deaa27fed8de22a"},
    {0, 11, Dither::kOrdered, "50c8855dee0502eb"},
    {0, 11, Dither::kDiffusion, "15f78ebae10a86ea"},
    {0, 12, Dither::kNone, "a70bd9f9d9f18805"},
    {0, 12, Dither::kOrdered, "f2d3ad5176571951"},
    {0, 12, Dither::kDiffusion, "742a618753eec281"},
    {0, 13, Dither::kNone, "99829ae4735fd7fe"},
    {0, 13, Dither::kOrdered, "115eaf703a29e904"},
    {0, 13, Dither::kDiffusion, "97f1b54de49b2206"},
    {0, 14, Dither::kNone, "11cb141681bbb58e"},
    {0, 14, Dither::kOrdered, "a7d2f7cf9ee3200d"},
    {0, 14, Dither::kDiffusion, "10d2717f77dc00b5"},
    {0, 15, Dither::kNone, "b212f933b06c37a5"},
    {0, 15, Dither::kOrdered, "0565ba43050ae083"},
    {0, 15, Dither::kDiffusion, "c93659749257a150"},
    {1, 0, Dither::kNone, "7b8c5d97203b976a"},
    {1, 1, Dither::kNone, "88579633ea765d77"},
    {1, 2, Dither::kNone, "d783eaf03206f447"},
    {1, 3, Dither::kNone, "1a7c5aae5bdd1bbd"},
    {1, 4, Dither::kNone, "5d1cb4ebe1d75aac"},
    {1, 5, Dither::kNone, "079464682bf058a4"},
    {1, 6, Dither::kNone, "84f4e054f413e917"},
    {1, 7, Dither::kNone, "99dfc4687699a88e"},
    {1, 8, Dither::kNone, "b0940ff2582ced84"},
    {1, 9, Dither::kNone, "d58740d4b7d17f6d"},
    {1, 10, Dither::kNone, "8c5da1fcf2b28c35"},
    {1, 11, Dither::kNone, "4061ba2f07f718c4"},
    {1, 12, Dither::kNone, "45276d9f61c9129d"},
    {1, 13, Dither::kNone, "9f7b9debcc4d911e"},
    {1, 14, Dither::kNone, "7dffc1aab6af9abb"},
    {1, 15, Dither::kNone, "0526251c4b0ec046"},
};

// The lines the compile wrote, the same for every setting.
const char* const kLinesDigest = "bc3a6770a9534b68";

std::string Lines(const testing::CRecordingSink& sink) {
  std::string lines;
  for (const std::string& line : sink.Lines()) {
    lines += line + "\n";
  }
  return lines;
}

TEST(CompileIdentity, EverySettingGivesTheBytesOfBefore) {
  const std::vector<fs::path> pictures = TestPictures();
  ASSERT_GT(pictures.size(), 40U);
  for (const Case& c : kCases) {
    SCOPED_TRACE(::testing::Message() << "depth " << c.depth << ", switches " << c.switches
                                      << ", dither " << static_cast<int>(c.dither));
    testing::CTempDir dir;
    testing::CRecordingSink sink;
    const CompileOutcome outcome = GenerateImageResourcesOnThreads(
        pictures, SettingsOf(c), dir / "image.bin", dir / "image.idx", sink, 2);
    ASSERT_EQ(outcome, CompileOutcome::WrittenWithWarnings);
    EXPECT_EQ(Digest(FileBytes(dir / "image.bin") + FileBytes(dir / "image.idx")), c.digest);
    EXPECT_EQ(Digest(QByteArray::fromStdString(Lines(sink))), kLinesDigest) << Lines(sink);
  }
}

}  // namespace
}  // namespace zentora
