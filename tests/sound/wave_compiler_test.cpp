#include "sound/wave_compiler.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "address_space_cap.h"
#include "base/exclusive_file.h"
#include "base/system_error_text.h"
#include "support/file_size_limit.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "wave_bytes.h"

namespace zentora {
namespace {

using testing::CAddressSpaceCap;
using testing::Chunk;
using testing::ChunkHeader;
using testing::CRecordingSink;
using testing::CTempDir;
using testing::FolderContents;
using testing::FormatBody;
using testing::PcmFormat;
using testing::PcmWaveFile;
using testing::ReadBytes;
using testing::ReadText;
using testing::RiffFile;
using testing::WaveFile;
using testing::WriteBytes;
using Bytes = std::vector<std::uint8_t>;
using Events = std::vector<std::string>;
using Names = std::set<std::string>;
namespace fs = std::filesystem;

const std::string kStart = "line:生成声音资源...";
const std::string kSuccess = "line:生成声音资源成功！";

// `length` sample bytes counting up from `first`, never 0, so that they
// cannot be mistaken for filler.
std::string Samples(std::size_t length, std::uint8_t first) {
  std::string samples(length, '\0');
  for (std::size_t i = 0; i < length; ++i) {
    samples[i] = static_cast<char>((first + i) % 255 + 1);
  }
  return samples;
}

Bytes ToBytes(std::string_view bytes) {
  return {bytes.begin(), bytes.end()};
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes joined;
  for (const Bytes& part : parts) {
    joined.insert(joined.end(), part.begin(), part.end());
  }
  return joined;
}

Bytes Zeros(std::size_t count) {
  return Bytes(count, 0);
}

// Writes a PCM sound with one data chunk into `dir`.
fs::path WriteSound(const CTempDir& dir, std::string_view name, std::uint16_t channels,
                    std::uint32_t rate, std::uint16_t bits, std::string_view samples) {
  const fs::path path = dir / name;
  WriteBytes(path, PcmWaveFile(channels, rate, bits, samples));
  return path;
}

struct CompileRun {
  CompileOutcome outcome = CompileOutcome::Failed;
  Bytes data;
  Bytes index;
  Events events;
};

// Compiles into wave.bin and wave.idx of `dir`, as the program does.
CompileRun Compile(const std::vector<fs::path>& sounds, const CTempDir& dir) {
  CRecordingSink sink;
  const CompileOutcome outcome =
      GenerateWaveResources(sounds, dir / "wave.bin", dir / "wave.idx", sink);
  return {outcome, ReadBytes(dir / "wave.bin"), ReadBytes(dir / "wave.idx"), sink.Events()};
}

// ---------------------------------------------------------------------------
// The worked examples.

TEST(WaveCompiler, OneSampleByteIsFilledToABlock) {
  CTempDir dir;
  const fs::path sound = WriteSound(dir, "a.wav", 1, 8000, 8, "\x5A");
  const CompileRun run = Compile({sound}, dir);
  EXPECT_EQ(run.outcome, CompileOutcome::Written);
  EXPECT_EQ(SucceededAsInt(run.outcome), 1);
  EXPECT_EQ(run.index, (Bytes{0x00, 0x01, 0x08, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x01, 0x00, 0x00,
                              0x00, 0x00, 0x00, 0x00, 0x07}));
  ASSERT_EQ(run.data.size(), 2048u);
  EXPECT_EQ(run.data, Join({Bytes{0x5A}, Zeros(2047)}));
  EXPECT_EQ(run.events, (Events{kStart, "progress:0", "progress:100", kSuccess}));
}

TEST(WaveCompiler, WholeBlocksGetNoFiller) {
  CTempDir dir;
  const std::string samples = Samples(4096, 7);
  const fs::path sound = WriteSound(dir, "a.wav", 2, 8000, 16, samples);
  const CompileRun run = Compile({sound}, dir);
  EXPECT_EQ(run.outcome, CompileOutcome::Written);
  EXPECT_EQ(run.index, (Bytes{0x00, 0x02, 0x10, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x00, 0x10, 0x00,
                              0x00, 0x00, 0x00, 0x00, 0x07}));
  ASSERT_EQ(run.data.size(), 4096u);
  EXPECT_EQ(run.data, ToBytes(samples));
}

TEST(WaveCompiler, SecondSoundStartsOnTheNextBlock) {
  CTempDir dir;
  const std::string first = Samples(3000, 1);
  const std::string second = Samples(2048, 100);
  const fs::path a = WriteSound(dir, "a.wav", 1, 8000, 8, first);
  const fs::path b = WriteSound(dir, "b.wav", 2, 44100, 16, second);
  const CompileRun run = Compile({a, b}, dir);
  EXPECT_EQ(run.outcome, CompileOutcome::Written);
  EXPECT_EQ(run.index,
            (Bytes{// number 0, mono 8-bit 8000 Hz, 3000 (0xBB8) bytes at 0x07000000
                   0x00, 0x01, 0x08, 0x00, 0x40, 0x1F, 0x00, 0x00, 0xB8, 0x0B, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x07,
                   // number 1, stereo 16-bit 44100 (0xAC44) Hz, 2048 bytes at 0x07001000
                   0x01, 0x02, 0x10, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00,
                   0x10, 0x00, 0x07}));
  ASSERT_EQ(run.data.size(), 6144u);
  EXPECT_EQ(run.data, Join({ToBytes(first), Zeros(1096), ToBytes(second)}));
  EXPECT_EQ(run.events, (Events{kStart, "progress:0", "progress:50", "progress:100", kSuccess}));
}

TEST(WaveCompiler, ChannelCountsPastEightBitsAreRefused) {
  for (const std::uint16_t channels : {256, 300}) {
    SCOPED_TRACE(channels);
    CTempDir dir;
    const fs::path wide = WriteSound(dir, "wide.wav", channels, 8000, 8, Samples(channels, 0));
    const fs::path next = WriteSound(dir, "b.wav", 1, 8000, 8, "\x5A");
    const CompileRun run = Compile({wide, next}, dir);
    EXPECT_EQ(run.outcome, CompileOutcome::WrittenWithWarnings);
    // The next sound takes number 0 and the first address.
    EXPECT_EQ(run.index, (Bytes{0x00, 0x01, 0x08, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x01, 0x00, 0x00,
                                0x00, 0x00, 0x00, 0x00, 0x07}));
    EXPECT_EQ(run.data, Join({Bytes{0x5A}, Zeros(2047)}));
    EXPECT_EQ(run.events, (Events{kStart, "progress:0", "progress:50",
                                  "line:无法读取声音：wide.wav（声道数超过 255）", "progress:100",
                                  "line:其后的声音编号依次前移", kSuccess}));
  }
}

TEST(WaveCompiler, SoundPastThe32BitAddressRangeFailsTheCompile) {
  CTempDir dir;
  const fs::path first = WriteSound(dir, "a.wav", 1, 8000, 8, "\x01");
  // At 0x07000800 its last byte would lie at 2^32 and wrap round to 0.
  constexpr std::uint32_t kLength = 0xF8FFF801;
  const fs::path huge = dir / "huge.wav";
  WriteBytes(huge, RiffFile("RIFF", 4 + 24 + 8 + kLength + 1, "WAVE",
                            PcmFormat(1, 8000, 8) + ChunkHeader("data", kLength)));
  fs::resize_file(huge, 44 + std::uint64_t{kLength});  // sparse: nothing of it is read
  WriteBytes(dir / "wave.bin", "old data");
  WriteBytes(dir / "wave.idx", "old index");
  CRecordingSink sink;
  EXPECT_EQ(GenerateWaveResources({first, huge, first}, dir / "wave.bin", dir / "wave.idx", sink),
            CompileOutcome::Failed);
  EXPECT_EQ(sink.Events(), (Events{kStart, "progress:0", "progress:33", "progress:66",
                                   "line:声音数据超出32位地址范围（0xFFFFFFFF）：huge.wav"}));
  EXPECT_EQ(ReadText(dir / "wave.bin"), "old data");
  EXPECT_EQ(ReadText(dir / "wave.idx"), "old index");
}

TEST(WaveCompiler, LongSoundIsStreamedInBoundedMemory) {
  CTempDir dir;
  // Two data chunks of 12 MiB and a few bytes, ends that no copy block meets.
  const std::string first = Samples((std::size_t{12} << 20) + 3, 1);
  const std::string second = Samples((std::size_t{12} << 20) + 5, 9);
  WriteBytes(dir / "long.wav", WaveFile(PcmFormat(2, 44100, 16) + Chunk("data", first) +
                                        Chunk("LIST", "INFO") + Chunk("data", second)));
  CRecordingSink sink;
  CompileOutcome outcome = CompileOutcome::Failed;
  {
    const CAddressSpaceCap cap(8u << 20);
    outcome = GenerateWaveResources({dir / "long.wav"}, dir / "wave.bin", dir / "wave.idx", sink);
  }
  EXPECT_EQ(outcome, CompileOutcome::Written);
  EXPECT_EQ(sink.Lines(), (Events{"生成声音资源...", "生成声音资源成功！"}));
  EXPECT_EQ(ReadBytes(dir / "wave.bin"), Join({ToBytes(first), ToBytes(second), Zeros(2040)}));
}

// ---------------------------------------------------------------------------
// Files that lack sample bytes they announce: compiled as they stand, with a
// line naming what is missing.

struct IncompleteCase {
  const char* name;
  std::string file;
  std::string samples;  // what is compiled
  std::string reason;
};

void PrintTo(const IncompleteCase& c, std::ostream* out) {
  *out << c.name;
}

class IncompleteSoundTest : public ::testing::TestWithParam<IncompleteCase> {};

TEST_P(IncompleteSoundTest, IsCompiledAsItStandsWithALine) {
  const IncompleteCase& c = GetParam();
  CTempDir dir;
  WriteBytes(dir / "a.wav", c.file);
  const CompileRun run = Compile({dir / "a.wav"}, dir);
  EXPECT_EQ(run.outcome, CompileOutcome::WrittenWithWarnings);
  const std::string length = testing::Le32(static_cast<std::uint32_t>(c.samples.size()));
  EXPECT_EQ(run.index, Join({Bytes{0x00, 0x01, 0x08, 0x00, 0x40, 0x1F, 0x00, 0x00}, ToBytes(length),
                             Bytes{0x00, 0x00, 0x00, 0x07}}));
  EXPECT_EQ(run.data,
            Join({ToBytes(c.samples), Zeros(c.samples.empty() ? 0 : 2048 - c.samples.size())}));
  EXPECT_EQ(run.events, (Events{kStart, "progress:0", "progress:100",
                                "line:声音数据不完整：a.wav（" + c.reason + "）", kSuccess}));
}

INSTANTIATE_TEST_SUITE_P(
    WaveCompiler, IncompleteSoundTest,
    ::testing::Values(IncompleteCase{"DataAfterAChunkClaimingPastTheEnd",
                                     WaveFile(PcmFormat(1, 8000, 8) + ChunkHeader("LIST", 4096) +
                                              "INFO" + Chunk("data", "xy")),
                                     "", "偏移 36 处的块声明 4096 字节，超出文件末尾"},
                      IncompleteCase{"FormatChunkClaimingPastTheEnd",
                                     WaveFile(ChunkHeader("fmt ", 0xFFFFFFFF) +
                                              FormatBody(1, 1, 8000, 8) + Chunk("data", "lost")),
                                     "", "偏移 12 处的块声明 4294967295 字节，超出文件末尾"},
                      IncompleteCase{
                          "DataChunkCutShort",
                          RiffFile("RIFF", 144 - 8, "WAVE",
                                   PcmFormat(1, 8000, 8) + ChunkHeader("data", 100) + "0123456789"),
                          "0123456789", "data 块声明 100 字节，文件中只有 10 字节"},
                      IncompleteCase{"FileEndsInsideAChunkHeader",
                                     RiffFile("RIFF", 0xFFFFFFFF, "WAVE",
                                              PcmFormat(1, 8000, 8) + Chunk("data", "ABCD") +
                                                  "data" + std::string("\x02\x00\x00", 3)),
                                     "ABCD", "文件在偏移 48 处的块头中间结束"}),
    [](const ::testing::TestParamInfo<IncompleteCase>& row) {
      return std::string(row.param.name);
    });

// ---------------------------------------------------------------------------
// Sounds that do not load, or load without samples.

TEST(WaveCompiler, MissingSoundInTheMiddleTakesNoNumber) {
  CTempDir dir;
  const fs::path a = WriteSound(dir, "a.wav", 1, 8000, 8, "\x11");
  const fs::path c = WriteSound(dir, "c.wav", 1, 16000, 16, "\x22\x33");
  const CompileRun run = Compile({a, dir / "missing.wav", c}, dir);
  EXPECT_EQ(run.outcome, CompileOutcome::WrittenWithWarnings);
  EXPECT_EQ(run.index,
            (Bytes{// number 0, 1 byte at 0x07000000
                   0x00, 0x01, 0x08, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x07,
                   // number 1, mono 16-bit 16000 (0x3E80) Hz, 2 bytes at 0x07000800
                   0x01, 0x01, 0x10, 0x00, 0x80, 0x3E, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00,
                   0x08, 0x00, 0x07}));
  EXPECT_EQ(run.data, Join({Bytes{0x11}, Zeros(2047), Bytes{0x22, 0x33}, Zeros(2046)}));
  EXPECT_EQ(run.events, (Events{kStart, "progress:0", "progress:33", "progress:66",
                                "line:无法读取声音：missing.wav（" + ErrnoMessage(ENOENT) + "）",
                                "progress:100", "line:其后的声音编号依次前移", kSuccess}));
}

TEST(WaveCompiler, SoundWithoutDataChunkTakesTheRunningAddress) {
  CTempDir dir;
  const fs::path x = WriteSound(dir, "x.wav", 1, 8000, 8, "\x44");
  const fs::path silent = dir / "silent.wav";
  WriteBytes(silent, WaveFile(PcmFormat(2, 22050, 16)));
  const fs::path y = WriteSound(dir, "y.wav", 1, 8000, 8, "\x55\x66\x77");
  const CompileRun run = Compile({x, silent, y}, dir);
  EXPECT_EQ(run.outcome, CompileOutcome::WrittenWithWarnings);
  EXPECT_EQ(run.index,
            (Bytes{// number 0, 1 byte at 0x07000000
                   0x00, 0x01, 0x08, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x07,
                   // number 1, stereo 16-bit 22050 (0x5622) Hz, 0 bytes at 0x07000800
                   0x01, 0x02, 0x10, 0x00, 0x22, 0x56, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x08, 0x00, 0x07,
                   // number 2, 3 bytes at the same address
                   0x02, 0x01, 0x08, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00,
                   0x08, 0x00, 0x07}));
  EXPECT_EQ(run.data, Join({Bytes{0x44}, Zeros(2047), Bytes{0x55, 0x66, 0x77}, Zeros(2045)}));
  EXPECT_EQ(run.events, (Events{kStart, "progress:0", "progress:33", "progress:66",
                                "line:声音数据不完整：silent.wav（文件中没有 data 块）",
                                "progress:100", kSuccess}));
}

TEST(WaveCompiler, EmptyListWritesTwoEmptyFiles) {
  CTempDir dir;
  const CompileRun run = Compile({}, dir);
  EXPECT_EQ(run.outcome, CompileOutcome::EmptyList);
  EXPECT_EQ(SucceededAsInt(run.outcome), 0);
  EXPECT_EQ(FolderContents(dir.Path()), (Names{"wave.bin", "wave.idx"}));
  EXPECT_TRUE(run.data.empty());
  EXPECT_TRUE(run.index.empty());
  EXPECT_EQ(run.events, Events{"line:没有声音资源！"});
}

TEST(WaveCompiler, NoSoundLoadsStillSucceedsAndEachIsNamed) {
  CTempDir dir;
  WriteBytes(dir / "text.wav", "not a sound");
  WriteBytes(dir / "empty.wav", "");
  WriteBytes(dir / "float.wav",
             WaveFile(Chunk("fmt ", FormatBody(3, 1, 8000, 32)) + Chunk("data", "abcd")));
  fs::create_directory(dir / "folder.wav");
  const CompileRun run = Compile({dir / "missing.wav", dir / "text.wav", dir / "empty.wav",
                                  dir / "float.wav", dir / "folder.wav"},
                                 dir);
  EXPECT_EQ(run.outcome, CompileOutcome::WrittenWithWarnings);
  EXPECT_EQ(SucceededAsInt(run.outcome), 1);
  EXPECT_TRUE(fs::is_regular_file(dir / "wave.bin"));
  EXPECT_TRUE(fs::is_regular_file(dir / "wave.idx"));
  EXPECT_TRUE(run.data.empty());
  EXPECT_TRUE(run.index.empty());
  EXPECT_EQ(run.events,
            (Events{kStart, "progress:0", "progress:20",
                    "line:无法读取声音：missing.wav（" + ErrnoMessage(ENOENT) + "）", "progress:40",
                    "line:无法读取声音：text.wav（不是 WAV 文件）", "progress:60",
                    "line:无法读取声音：empty.wav（不是 WAV 文件）", "progress:80",
                    "line:无法读取声音：float.wav（不是 PCM 格式）", "progress:100",
                    "line:无法读取声音：folder.wav（" + ErrnoMessage(EISDIR) + "）", kSuccess}));
}

// ---------------------------------------------------------------------------
// Reporting and numbering.

TEST(WaveCompiler, EventSequenceForThreeSounds) {
  CTempDir dir;
  const fs::path sound = WriteSound(dir, "a.wav", 1, 8000, 8, "\x01\x02");
  CRecordingSink sink;
  EXPECT_EQ(GenerateWaveResources({sound, sound, sound}, dir / "wave.bin", dir / "wave.idx", sink),
            CompileOutcome::Written);
  EXPECT_EQ(sink.Events(),
            (Events{kStart, "progress:0", "progress:33", "progress:66", "progress:100", kSuccess}));
  // The same file three times gives three entries and three blocks.
  EXPECT_EQ(ReadBytes(dir / "wave.idx").size(), 48u);
  EXPECT_EQ(ReadBytes(dir / "wave.bin").size(), 3 * 2048u);
}

TEST(WaveCompiler, ProgressTruncates) {
  CTempDir dir;
  const fs::path sound = WriteSound(dir, "a.wav", 1, 8000, 8, "\x01");
  const std::vector<fs::path> sounds(7, sound);
  CRecordingSink sink;
  EXPECT_EQ(GenerateWaveResources(sounds, dir / "wave.bin", dir / "wave.idx", sink),
            CompileOutcome::Written);
  // 100/7 = 14, 200/7 = 28, 300/7 = 42, 400/7 = 57, 500/7 = 71, 600/7 = 85.
  EXPECT_EQ(sink.ProgressPositions(), (std::vector<int>{0, 14, 28, 42, 57, 71, 85, 100}));
  EXPECT_EQ(sink.Lines(), (Events{"生成声音资源...", "生成声音资源成功！"}));
}

TEST(WaveCompiler, NumberWrapsAfter256Sounds) {
  CTempDir dir;
  constexpr int kCount = 257;
  std::vector<fs::path> sounds;
  for (int i = 0; i < kCount; ++i) {
    const std::string sample(1, static_cast<char>(i % 255 + 1));
    sounds.push_back(WriteSound(dir, "s" + std::to_string(i) + ".wav", 1, 8000, 8, sample));
  }
  const CompileRun run = Compile(sounds, dir);
  ASSERT_EQ(run.outcome, CompileOutcome::WrittenWithWarnings);
  ASSERT_EQ(run.index.size(), kCount * 16u);
  ASSERT_EQ(run.data.size(), kCount * 2048u);

  const auto entry = [&run](std::size_t i) {
    return Bytes(run.index.begin() + static_cast<std::ptrdiff_t>(16 * i),
                 run.index.begin() + static_cast<std::ptrdiff_t>(16 * i + 16));
  };
  // The 256th sound: number 255 at 0x07000000 + 255 × 2048 = 0x0707F800.
  EXPECT_EQ(entry(255), (Bytes{0xFF, 0x01, 0x08, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x01, 0x00, 0x00,
                               0x00, 0x00, 0xF8, 0x07, 0x07}));
  // The 257th: number 0 again at 0x07080000.
  EXPECT_EQ(entry(256), (Bytes{0x00, 0x01, 0x08, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x01, 0x00, 0x00,
                               0x00, 0x00, 0x00, 0x08, 0x07}));
  for (std::size_t i = 0; i < kCount; ++i) {
    ASSERT_EQ(run.index[16 * i], i % 256) << "entry " << i;
    ASSERT_EQ(run.data[2048 * i], i % 255 + 1) << "block " << i;
  }
}

// ---------------------------------------------------------------------------
// Output files.

TEST(WaveCompiler, IndexFileThatCannotBeCreated) {
  CTempDir dir;
  const fs::path sound = WriteSound(dir, "a.wav", 1, 8000, 8, "\x01");
  WriteBytes(dir / "wave.bin", "old data");
  const fs::path indexPath = dir / "no_such_folder" / "wave.idx";
  CRecordingSink sink;
  EXPECT_EQ(GenerateWaveResources({sound}, dir / "wave.bin", indexPath, sink),
            CompileOutcome::Failed);
  EXPECT_EQ(sink.Events(), Events{"line:无法创建文件：" + indexPath.string() + "（" +
                                  ErrnoMessage(ENOENT) + "）"});
  // The index file comes first: the data file is not touched.
  EXPECT_EQ(ReadText(dir / "wave.bin"), "old data");
  EXPECT_EQ(FolderContents(dir.Path()), (Names{"a.wav", "wave.bin"}));
}

TEST(WaveCompiler, IndexFileFailureCreatesNoDataFile) {
  CTempDir dir;
  const fs::path sound = WriteSound(dir, "a.wav", 1, 8000, 8, "\x01");
  const fs::path indexPath = dir / "no_such_folder" / "wave.idx";
  CRecordingSink sink;
  EXPECT_EQ(GenerateWaveResources({sound}, dir / "wave.bin", indexPath, sink),
            CompileOutcome::Failed);
  EXPECT_EQ(sink.Events(), Events{"line:无法创建文件：" + indexPath.string() + "（" +
                                  ErrnoMessage(ENOENT) + "）"});
  EXPECT_EQ(FolderContents(dir.Path()), Names{"a.wav"});
}

TEST(WaveCompiler, DataFileThatCannotBeCreated) {
  CTempDir dir;
  const fs::path sound = WriteSound(dir, "a.wav", 1, 8000, 8, "\x01");
  WriteBytes(dir / "wave.idx", "old index");
  // A path under a regular file.
  const fs::path dataPath = dir / "a.wav" / "wave.bin";
  CRecordingSink sink;
  EXPECT_EQ(GenerateWaveResources({sound}, dataPath, dir / "wave.idx", sink),
            CompileOutcome::Failed);
  EXPECT_EQ(sink.Events(), Events{"line:无法创建文件：" + dataPath.string() + "（" +
                                  ErrnoMessage(ENOTDIR) + "）"});
  // The two files are replaced together or not at all.
  EXPECT_EQ(ReadText(dir / "wave.idx"), "old index");
  EXPECT_EQ(FolderContents(dir.Path()), (Names{"a.wav", "wave.idx"}));
}

TEST(WaveCompiler, DataFileHeldElsewhereIsLeftAlone) {
  CTempDir dir;
  const fs::path sound = WriteSound(dir, "a.wav", 1, 8000, 8, "\x01");
  WriteBytes(dir / "wave.bin", "being downloaded");
  Result<CExclusiveFile> held = CExclusiveFile::OpenForReading(dir / "wave.bin");
  ASSERT_TRUE(held.ok()) << held.error();
  CRecordingSink sink;
  EXPECT_EQ(GenerateWaveResources({sound}, dir / "wave.bin", dir / "wave.idx", sink),
            CompileOutcome::Failed);
  EXPECT_EQ(sink.Events(), Events{"line:无法创建文件：" + (dir / "wave.bin").string() + "（" +
                                  ErrnoMessage(EWOULDBLOCK) + "）"});
  EXPECT_EQ(ReadText(dir / "wave.bin"), "being downloaded");
  EXPECT_FALSE(fs::exists(dir / "wave.idx"));
}

TEST(WaveCompiler, IndexFileHeldElsewhereIsLeftAlone) {
  CTempDir dir;
  const fs::path sound = WriteSound(dir, "a.wav", 1, 8000, 8, "\x01");
  WriteBytes(dir / "wave.idx", "being downloaded");
  Result<CExclusiveFile> held = CExclusiveFile::OpenForReading(dir / "wave.idx");
  ASSERT_TRUE(held.ok()) << held.error();
  CRecordingSink sink;
  EXPECT_EQ(GenerateWaveResources({sound}, dir / "wave.bin", dir / "wave.idx", sink),
            CompileOutcome::Failed);
  EXPECT_EQ(sink.Events(), Events{"line:无法创建文件：" + (dir / "wave.idx").string() + "（" +
                                  ErrnoMessage(EWOULDBLOCK) + "）"});
  EXPECT_EQ(ReadText(dir / "wave.idx"), "being downloaded");
  EXPECT_EQ(FolderContents(dir.Path()), (Names{"a.wav", "wave.idx"}));
}

TEST(WaveCompiler, ExistingOutputFilesAreTruncated) {
  CTempDir dir;
  const fs::path sound = WriteSound(dir, "a.wav", 1, 8000, 8, "\x5A");
  const std::string junk(5000, 'x');

  WriteBytes(dir / "wave.bin", junk);
  WriteBytes(dir / "wave.idx", junk);
  const CompileRun one = Compile({sound}, dir);
  EXPECT_EQ(one.outcome, CompileOutcome::Written);
  EXPECT_EQ(one.index, (Bytes{0x00, 0x01, 0x08, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x01, 0x00, 0x00,
                              0x00, 0x00, 0x00, 0x00, 0x07}));
  EXPECT_EQ(one.data, Join({Bytes{0x5A}, Zeros(2047)}));

  WriteBytes(dir / "wave.bin", junk);
  WriteBytes(dir / "wave.idx", junk);
  const CompileRun none = Compile({}, dir);
  EXPECT_EQ(none.outcome, CompileOutcome::EmptyList);
  EXPECT_TRUE(none.data.empty());
  EXPECT_TRUE(none.index.empty());

  WriteBytes(dir / "wave.bin", junk);
  WriteBytes(dir / "wave.idx", junk);
  const CompileRun unreadable = Compile({dir / "missing.wav"}, dir);
  EXPECT_EQ(unreadable.outcome, CompileOutcome::WrittenWithWarnings);
  EXPECT_TRUE(unreadable.data.empty());
  EXPECT_TRUE(unreadable.index.empty());
}

// Writes that fail, as on a full disk: the line names the file, no success.
TEST(WaveCompiler, DataWriteFailureIsReported) {
  CTempDir dir;
  const fs::path sound = WriteSound(dir, "a.wav", 1, 8000, 8, "\x01");
  const fs::path dataPath = dir / "wave.bin";
  CRecordingSink sink;
  CompileOutcome outcome = CompileOutcome::Written;
  {
    // Room for the 16-byte entry, not for the 2048-byte block.
    const testing::CFileSizeLimit limit(1000);
    outcome = GenerateWaveResources({sound, sound}, dataPath, dir / "wave.idx", sink);
  }
  EXPECT_EQ(outcome, CompileOutcome::Failed);
  EXPECT_EQ(sink.Events(), (Events{kStart, "progress:0", "progress:50",
                                   "line:写入文件失败：" + dataPath.string() + "（" +
                                       ErrnoMessage(EFBIG) + "）"}));
}

TEST(WaveCompiler, IndexWriteFailureIsReported) {
  CTempDir dir;
  const fs::path sound = WriteSound(dir, "a.wav", 1, 8000, 8, "\x01");
  const fs::path indexPath = dir / "wave.idx";
  CRecordingSink sink;
  CompileOutcome outcome = CompileOutcome::Written;
  {
    const testing::CFileSizeLimit limit(10);
    outcome = GenerateWaveResources({sound}, dir / "wave.bin", indexPath, sink);
  }
  EXPECT_EQ(outcome, CompileOutcome::Failed);
  EXPECT_EQ(sink.Events(), (Events{kStart, "progress:0", "progress:100",
                                   "line:写入文件失败：" + indexPath.string() + "（" +
                                       ErrnoMessage(EFBIG) + "）"}));
}

}  // namespace
}  // namespace zentora
