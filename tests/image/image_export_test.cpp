#include "image/image_export.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "support/image_settings_for_test.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "support/test_pictures.h"

namespace zentora {
namespace {

using testing::CRecordingSink;
using testing::CTempDir;
using testing::FolderContents;
using testing::ReadBytes;
using testing::ReadText;
using testing::SavePicture;
using testing::Settings;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

const std::string kClose = "};\r\n\r\n";

// The three head lines of one picture's array.
std::string Head(const fs::path& path, int n, int width, int height) {
  return "//image path(" + path.string() + ")\r\n//image" + std::to_string(n) +
         " : width = " + std::to_string(width) + ";height = " + std::to_string(height) +
         "\r\nconst unsigned char image" + std::to_string(n) + "[] = {\r\n";
}

TEST(ImageExport, RedBlueExampleExactly) {
  CTempDir dir;
  // Characters outside ASCII appear in the comment as UTF-8.
  const fs::path picture = dir / "图片 red,blue.png";
  SavePicture(picture, 2, 1, {qRgb(255, 0, 0), qRgb(0, 0, 255)});
  ASSERT_TRUE(ExportImageHeader({picture}, Settings(0), dir / "out.h"));
  EXPECT_EQ(ReadText(dir / "out.h"),
            Head(picture, 0, 2, 1) + "0x00,0xf8,\r\n0x1f,0x00,\r\n" + kClose);
}

// Every combination of depth and switches: the header's items are the binary
// export's bytes, and a 3 × 2 picture gives three lines.
class HeaderMatchesBinary
    : public ::testing::TestWithParam<std::tuple<int, bool, bool, bool, bool>> {};

TEST_P(HeaderMatchesBinary, ForEverySetting) {
  const auto [depth, msb, rightToLeft, bottomToTop, columnFirst] = GetParam();
  const ImageSettings settings = Settings(depth, msb, rightToLeft, bottomToTop, columnFirst);
  CTempDir dir;
  SavePicture(dir / "p.png", 3, 2,
              {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 128, 64),
               qRgb(16, 32, 48), qRgb(200, 100, 50)});
  CRecordingSink sink;
  ASSERT_FALSE(ExportPictures({dir / "p.png"}, {}, settings, dir / "out.bin", sink).Failed());
  ASSERT_FALSE(ExportPictures({dir / "p.png"}, {}, settings, dir / "out.h", sink).Failed());

  const std::string header = ReadText(dir / "out.h");
  const std::string head = Head(dir / "p.png", 0, 3, 2);
  ASSERT_EQ(header.compare(0, head.size(), head), 0) << header;
  ASSERT_EQ(header.compare(header.size() - kClose.size(), kClose.size(), kClose), 0) << header;
  Bytes items;
  int lines = 0;
  for (std::size_t i = head.size(); i < header.size() - kClose.size();) {
    if (header.compare(i, 2, "\r\n") == 0) {
      ++lines;
      i += 2;
    } else {
      ASSERT_EQ(header.compare(i, 2, "0x"), 0) << header.substr(i);
      ASSERT_EQ(header[i + 4], ',') << header.substr(i);
      items.push_back(static_cast<std::uint8_t>(std::stoul(header.substr(i + 2, 2), nullptr, 16)));
      i += 5;
    }
  }
  EXPECT_EQ(lines, 3);
  EXPECT_EQ(items, ReadBytes(dir / "out.bin"));
}

INSTANTIATE_TEST_SUITE_P(ImageExport, HeaderMatchesBinary,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Bool(),
                                            ::testing::Bool(), ::testing::Bool(),
                                            ::testing::Bool()));

TEST(ImageExport, UnreadablePictureKeepsTheNumbersAfterIt) {
  CTempDir dir;
  SavePicture(dir / "a.png", 1, 1, {qRgb(255, 0, 0)});
  SavePicture(dir / "c.png", 1, 2, {qRgb(0, 255, 0), qRgb(255, 255, 255)});
  // Missing, and its name holds a line break that must not end the comment.
  const fs::path missing = dir / "b\r\nint injected;.png";
  ASSERT_TRUE(
      ExportImageHeader({dir / "a.png", missing, dir / "c.png"}, Settings(0), dir / "out.h"));
  EXPECT_EQ(ReadText(dir / "out.h"), Head(dir / "a.png", 0, 1, 1) + "0x00,0xf8,\r\n" + kClose +
                                         Head(dir / "b??int injected;.png", 1, 0, 0) + kClose +
                                         Head(dir / "c.png", 2, 1, 2) + "0xe0,0x07,0xff,0xff,\r\n" +
                                         kClose);
}

TEST(ImageExport, PictureBeyondTheIndexLimitsIsWrittenInFull) {
  CTempDir dir;
  QImage wide(70000, 1, QImage::Format_RGB32);
  wide.fill(qRgb(255, 0, 0));
  ASSERT_TRUE(wide.save(QString::fromStdString((dir / "wide.png").string()), "PNG"));
  ASSERT_TRUE(ExportImageHeader({dir / "wide.png"}, Settings(0), dir / "out.h"));
  std::string expected = Head(dir / "wide.png", 0, 70000, 1);
  for (int x = 0; x < 70000; ++x) {
    expected += "0x00,0xf8,\r\n";
  }
  EXPECT_EQ(ReadText(dir / "out.h"), expected + kClose);
}

struct FormCase {
  const char* chosen;  // relative to the test folder
  const char* index;   // the index file beside it; nullptr for a header
};

class ExportFormTest : public ::testing::TestWithParam<FormCase> {};

TEST_P(ExportFormTest, ExtensionChoosesTheForm) {
  CTempDir dir;
  SavePicture(dir / "red.png", 1, 1, {qRgb(255, 0, 0)});
  const fs::path chosen = dir / GetParam().chosen;
  const fs::path folder = chosen.parent_path();
  fs::create_directories(folder);
  CRecordingSink sink;
  const ExportOutcome outcome = ExportPictures({dir / "red.png"}, {}, Settings(0), chosen, sink);
  EXPECT_FALSE(outcome.Failed());
  std::set<std::string> written{chosen.filename().string()};
  if (GetParam().index != nullptr) {
    EXPECT_EQ(outcome.form, ExportForm::Binary);
    written.insert(GetParam().index);
    EXPECT_EQ(ReadBytes(chosen), (Bytes{0x00, 0xF8}));
    EXPECT_EQ(ReadBytes(folder / GetParam().index).size(), 16u);
  } else {
    EXPECT_EQ(outcome.form, ExportForm::CHeader);
    EXPECT_EQ(ReadText(chosen).rfind("//image path(", 0), 0u);
    EXPECT_TRUE(sink.Events().empty());
  }
  EXPECT_EQ(FolderContents(folder), written);
}

INSTANTIATE_TEST_SUITE_P(
    ImageExport, ExportFormTest,
    ::testing::Values(FormCase{"bin/OUTPUT.BIN", "OUTPUT.idx"}, FormCase{"bin/out.Bin", "out.idx"},
                      FormCase{"bin/a.b.bin", "a.b.idx"}, FormCase{"bin/out.h", nullptr},
                      FormCase{"bin/output", nullptr}, FormCase{"x.bin/output", nullptr},
                      FormCase{"bin/out.bin.txt", nullptr}));

TEST(ImageExport, EmptyListAndUncreatableFileInBothForms) {
  CTempDir dir;
  CRecordingSink sink;
  EXPECT_FALSE(ExportPictures({}, {}, Settings(0), dir / "out.h", sink).Failed());
  EXPECT_EQ(ReadText(dir / "out.h"), "");
  EXPECT_TRUE(sink.Events().empty());
  const ExportOutcome binary = ExportPictures({}, {}, Settings(0), dir / "out.bin", sink);
  EXPECT_EQ(binary.compiled, CompileOutcome::EmptyList);
  EXPECT_FALSE(binary.Failed());

  const fs::path header = dir / "missing" / "out.h";
  const ExportOutcome headerFailed = ExportPictures({}, {}, Settings(0), header, sink);
  EXPECT_TRUE(headerFailed.Failed());
  EXPECT_EQ(headerFailed.headerWritten.message(),
            "无法创建文件：" + header.string() + "（文件或文件夹不存在）");
  EXPECT_TRUE(ExportPictures({}, {}, Settings(0), dir / "missing" / "out.bin", sink).Failed());
  EXPECT_EQ(sink.Lines(),
            (std::vector<std::string>{
                "没有图片资源！",
                "无法创建文件：" + (dir / "missing/out.bin").string() + "（文件或文件夹不存在）"}));
}

}  // namespace
}  // namespace zentora
