// Broken and hostile index files: each is reported line by line, and reading
// them back writes only what the data files really hold.

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "image/image_index.h"
#include "readback/readback_output.h"
#include "readback/resource_listing.h"
#include "sound/wave_index.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

using testing::CTempDir;
using testing::FolderContents;
using Entry = std::array<std::uint8_t, 16>;

std::string Bytes(std::initializer_list<Entry> entries) {
  std::string bytes;
  for (const Entry& entry : entries) {
    bytes.append(entry.begin(), entry.end());
  }
  return bytes;
}

Entry Changed(Entry entry, std::size_t offset, std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t byte : bytes) {
    entry[offset++] = byte;
  }
  return entry;
}

// What the compilers write for three pictures (2 × 2, an unreadable one,
// 3 × 1, 16-bit) and two sounds of 3000 and 10 bytes.
const Entry kP0 = EncodeImageIndexEntry(0, kImageBaseAddress, 2, 2, 2);
const Entry kP1 = EncodeImageIndexEntry(1, kImageBaseAddress + 8, 0, 0, 2);
const Entry kP2 = EncodeImageIndexEntry(2, kImageBaseAddress + 8, 3, 1, 2);
const Entry kS0 = EncodeWaveIndexEntry(0, 1, 8, 8000, 3000, kWaveBaseAddress);
const Entry kS1 = EncodeWaveIndexEntry(1, 2, 16, 8000, 10, kWaveBaseAddress + 4096);
const std::string kImages = Bytes({kP0, kP1, kP2});
const std::string kSounds = Bytes({kS0, kS1});

struct BrokenCase {
  const char* name;
  std::string imageIndex;
  std::size_t imageData;
  std::string waveIndex;
  std::size_t waveData;
  std::vector<std::string> findings;
  std::set<std::string> written;  // what --png and --wav write
};

std::vector<std::string> Texts(const std::vector<Finding>& findings) {
  std::vector<std::string> texts;
  for (const Finding& finding : findings) {
    texts.push_back(finding.text);
  }
  return texts;
}

void PrintTo(const BrokenCase& c, std::ostream* os) {
  *os << c.name;
}

const std::set<std::string> kAllFiles = {"0000.png", "0002.png", "sheet.png", "0000.wav",
                                         "0001.wav"};

class BrokenIndexTest : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenIndexTest, ReportsEachFaultAndWritesWhatTheFilesHold) {
  const BrokenCase& c = GetParam();
  CTempDir dir;
  testing::WriteBytes(dir / "image.idx", c.imageIndex);
  testing::WriteBytes(dir / "image.bin", std::string(c.imageData, '\x11'));
  testing::WriteBytes(dir / "wave.idx", c.waveIndex);
  testing::WriteBytes(dir / "wave.bin", std::string(c.waveData, '\x22'));
  const Result<ResourceListing> listing = ReadResourceFolder(dir.Path());
  ASSERT_TRUE(listing);
  EXPECT_EQ(Texts(listing.value().findings), c.findings);

  testing::CRecordingSink sink;
  const auto noLabels = [](QImage&, const QRect&, std::string_view) {};
  WritePictureFiles(dir.Path(), listing.value(), ImageSettings{}, dir / "out", noLabels, sink);
  WriteSoundFiles(dir.Path(), listing.value(), dir / "out");
  EXPECT_EQ(FolderContents(dir / "out"), c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, BrokenIndexTest,
    ::testing::Values(
        BrokenCase{"AsCompiled", kImages, 14, kSounds, 6144, {}, kAllFiles},
        BrokenCase{"AddressPastTheEnd",
                   Bytes({kP0, kP1, Changed(kP2, 3, {0x00, 0x00, 0xC0, 0x00})}),
                   14,
                   kSounds,
                   6144,
                   {"图片 2：地址 0x00C00000，应为 0x00B00008",
                    "图片 2：数据（偏移 1048576，长度 6）超出 image.bin 的 14 字节"},
                   {"0000.png", "sheet.png", "0000.wav", "0001.wav"}},
        BrokenCase{
            "LengthOverflowsTheAddress",
            Bytes({Changed(kP0, 3,
                           {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0xFF, 0xFF, 0xFF})}),
            14,
            "",
            0,
            {"图片 0：数据长度 16777215 不等于 宽 × 高（65535 × 1）× 2 或 × 3",
             "图片 0：地址 0xFFFFFFFF，应为 0x00B00000",
             "图片 0：数据（偏移 4283432959，长度 16777215）超出 image.bin 的 14 字节"},
            {"sheet.png"}},
        BrokenCase{"SixteenGibibytesClaimed",
                   Bytes({Changed(kP0, 7, {0xFF, 0xFF, 0xFF, 0xFF, 0x08, 0x00, 0x00})}),
                   14,
                   "",
                   0,
                   {"图片 0：数据长度 8 不等于 宽 × 高（65535 × 65535）× 2 或 × 3",
                    "image.bin：末尾多出 6 字节，没有条目指向它们"},
                   {"sheet.png"}},
        BrokenCase{"FifteenByteIndex",
                   kImages.substr(0, 15),
                   14,
                   kSounds,
                   6144,
                   {"image.idx：长度 15 字节，不是 16 的倍数，末尾 15 字节不成条目",
                    "image.bin：末尾多出 14 字节，没有条目指向它们"},
                   {"0000.wav", "0001.wav"}},
        BrokenCase{"MisalignedSound",
                   kImages,
                   14,
                   Bytes({kS0, Changed(kS1, 12, {0x64, 0x10})}),
                   6144,
                   {"声音 1：地址 0x07001064，应为 0x07001000",
                    "声音 1：地址 0x07001064 不是 2048 的倍数"},
                   kAllFiles},
        BrokenCase{
            "NumbersOutOfOrderAndReservedBytesSet",
            Bytes({Changed(kP0, 14, {0x01}), Changed(kP1, 0, {0x05}), kP2}),
            14,
            Bytes({Changed(kS0, 0, {0x07}), kS1}),
            6144,
            {"图片 0：保留字节不为 0", "图片 1：编号为 5，应为 1", "声音 0：编号为 7，应为 0"},
            kAllFiles},
        BrokenCase{"MixedDepths",
                   Bytes({kP0, kP1, EncodeImageIndexEntry(2, kImageBaseAddress + 8, 3, 1, 3)}),
                   17,
                   kSounds,
                   6144,
                   {"图片 2：每像素 3 字节，与前面的图片（2 字节）不同"},
                   kAllFiles},
        BrokenCase{"SoundPastTheEnd",
                   kImages,
                   14,
                   kSounds,
                   4100,
                   {"声音 1：数据（偏移 4096，长度 10）超出 wave.bin 的 4100 字节"},
                   {"0000.png", "0002.png", "sheet.png", "0000.wav"}},
        BrokenCase{"FillerMissing",
                   kImages,
                   14,
                   kSounds,
                   5000,
                   {"wave.bin：最后一段声音后少了 1144 字节填充"},
                   kAllFiles},
        BrokenCase{"PicturesReachIntoTheSounds",
                   Bytes({EncodeImageIndexEntry(0, kWaveBaseAddress - 16, 4, 4, 2)}),
                   32,
                   kSounds,
                   6144,
                   {"图片 0：地址 0x06FFFFF0，应为 0x00B00000",
                    "图片 0：数据（偏移 105906160，长度 32）超出 image.bin 的 32 字节",
                    "图片 0 起：数据越过 0x07000000，与声音数据重叠"},
                   {"sheet.png", "0000.wav", "0001.wav"}},
        BrokenCase{"DataWithoutIndex",
                   "",
                   14,
                   "",
                   0,
                   {"image.bin：末尾多出 14 字节，没有条目指向它们"},
                   {}}),
    [](const ::testing::TestParamInfo<BrokenCase>& row) { return row.param.name; });

TEST(ResourceFolderTest, AMissingFolderIsRefused) {
  CTempDir dir;
  EXPECT_FALSE(ReadResourceFolder(dir / "nowhere"));
}

// Folders whose files are not one compiled set; a file for a folder.
struct FolderCase {
  const char* name;
  std::vector<std::string> files;  // written into the folder, a journal among them
  std::string inspected;           // the path inspected, below the folder
  std::vector<std::string> said;   // the refusal ("<f>" the folder) or the findings
};

void PrintTo(const FolderCase& row, std::ostream* out) {
  *out << row.name;
}

class FolderFindingTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderFindingTest, IsReported) {
  CTempDir dir;
  for (const std::string& name : GetParam().files) {
    testing::WriteBytes(dir / name, name == ".zentora-replace" ? std::string("wave.idx\0", 9) : "");
  }
  const Result<ResourceListing> listing = ReadResourceFolder(dir / GetParam().inspected);
  std::vector<std::string> said =
      listing ? Texts(listing.value().findings) : std::vector{listing.error()};
  for (std::string& line : said) {
    if (const std::size_t at = line.find(dir.Path().string()); at != std::string::npos) {
      line.replace(at, dir.Path().string().size(), "<f>");
    }
  }
  EXPECT_EQ(said, GetParam().said);
}

INSTANTIATE_TEST_SUITE_P(
    ResourceFolder, FolderFindingTest,
    ::testing::Values(
        FolderCase{"Empty",
                   {"notes.txt"},
                   "",
                   {"文件夹中没有资源文件（image.idx、image.bin、wave.idx、wave.bin），"
                    "没有可检查的内容"}},
        FolderCase{
            "ReplacementUnfinished",
            {"image.idx", "wave.idx", ".wave.idx.zentora-new", ".zentora-replace"},
            "",
            {"资源文件不是同一次编译的结果：上次替换没有完成（下次编译或下载此文件夹时完成）"}},
        FolderCase{"AFile", {"image.idx"}, "image.idx", {"不是文件夹：<f>/image.idx"}}),
    [](const ::testing::TestParamInfo<FolderCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace zentora
