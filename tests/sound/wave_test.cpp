#include "sound/wave.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "address_space_cap.h"
#include "support/temp_dir.h"
#include "wave_bytes.h"

#if defined(__SANITIZE_ADDRESS__)
#define ZENTORA_TEST_ASAN 1
#endif
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZENTORA_TEST_ASAN 1
#endif
#endif

#if defined(ZENTORA_TEST_ASAN)
// A chunk size is a claim, not a promise: under AddressSanitizer no
// allocation of this program may exceed 64 MiB, and one that tries gets null
// (or bad_alloc) instead of succeeding quietly on an overcommitting system.
extern "C" const char* __asan_default_options();
extern "C" const char* __asan_default_options() {
  return "max_allocation_size_mb=64:allocator_may_return_null=1";
}
#endif

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::CAddressSpaceCap;
using testing::Chunk;
using testing::ChunkHeader;
using testing::CTempDir;
using testing::FormatBody;
using testing::Le16;
using testing::Le32;
using testing::PcmFormat;
using testing::PcmWaveFile;
using testing::RiffFile;
using testing::WaveFile;
using testing::WriteBytes;

std::string Bytes(std::initializer_list<std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

// 8-bit mono at 8000 Hz with the four sample bytes 01 02 03 04, written out
// in full: RIFF size 40, a 16-byte format chunk, then the data chunk.
const std::string kCanonical =
    Bytes({'R',  'I',  'F',  'F',  0x28, 0x00, 0x00, 0x00, 'W',  'A',  'V',  'E',
           'f',  'm',  't',  ' ',  0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00,
           0x40, 0x1F, 0x00, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x01, 0x00, 0x08, 0x00,
           'd',  'a',  't',  'a',  0x04, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04});

// Mono 8-bit 8000 Hz format chunk (24 bytes) and two data chunks of 12 and
// 10 bytes: the second chunk header starts at offset 48.
const std::string kTwoDataChunks =
    PcmFormat(1, 8000, 8) + Chunk("data", "ABCD") + Chunk("data", "EF");

std::string SamplesOf(const CWave& wave) {
  if (wave.Data() == nullptr) {
    return {};
  }
  return {reinterpret_cast<const char*>(wave.Data()), wave.DataLength()};
}

std::string IdOf(const std::array<char, 4>& id) {
  return {id.begin(), id.end()};
}

void ExpectEmpty(const CWave& wave) {
  const std::string zeros(4, '\0');
  EXPECT_EQ(IdOf(wave.RiffChunkId()), zeros);
  EXPECT_EQ(wave.RiffSize(), 0u);
  EXPECT_EQ(IdOf(wave.FormType()), zeros);
  EXPECT_EQ(IdOf(wave.FormatChunkId()), zeros);
  EXPECT_EQ(wave.FormatChunkSize(), 0u);
  EXPECT_EQ(wave.FormatTag(), 0);
  EXPECT_EQ(wave.Channels(), 0);
  EXPECT_EQ(wave.SamplesPerSecond(), 0u);
  EXPECT_EQ(wave.AverageBytesPerSecond(), 0u);
  EXPECT_EQ(wave.BlockAlign(), 0);
  EXPECT_EQ(wave.BitsPerSample(), 0);
  EXPECT_EQ(wave.Data(), nullptr);
  EXPECT_EQ(wave.DataLength(), 0u);
}

// ---------------------------------------------------------------------------
// Files and what the reader makes of them.

enum class Source { kFile, kFolder, kMissing };

struct WaveCase {
  const char* name;
  Source source;
  std::string file;  // the bytes, for Source::kFile
  bool accepted;
  std::uint16_t channels;
  std::uint16_t bits;
  std::uint32_t rate;
  std::string samples;
};

void PrintTo(const WaveCase& c, std::ostream* out) {
  *out << c.name;
}

WaveCase Accepted(const char* name, std::string file, std::uint16_t channels, std::uint16_t bits,
                  std::uint32_t rate, std::string samples) {
  return {name, Source::kFile, std::move(file), true, channels, bits, rate, std::move(samples)};
}

WaveCase Refused(const char* name, std::string file, Source source = Source::kFile) {
  return {name, source, std::move(file), false, 0, 0, 0, {}};
}

std::vector<WaveCase> WaveCases() {
  return {
      Accepted("Canonical44ByteHeader", kCanonical, 1, 8, 8000, Bytes({1, 2, 3, 4})),
      // An 18-byte format chunk ends with the extra-size field; reading on
      // at offset 36 would find "\0\0da" and no data.
      Accepted(
          "FormatChunkOf18Bytes",
          WaveFile(Chunk("fmt ", FormatBody(1, 2, 22050, 16) + Le16(0)) + Chunk("data", "abcd")), 2,
          16, 22050, "abcd"),
      Accepted("OddFormatChunkIsPadded",
               WaveFile(Chunk("fmt ", FormatBody(1, 1, 11025, 8) + "x") + Chunk("data", "ab")), 1,
               8, 11025, "ab"),
      Accepted("ListAndFactChunksBeforeDataAreSkipped",
               WaveFile(PcmFormat(1, 16000, 16) + Chunk("LIST", "INFOICMT" + Le32(4) + "note") +
                        Chunk("fact", Le32(2)) + Chunk("data", "xy")),
               1, 16, 16000, "xy"),
      Refused("ChunkBeforeTheFormatChunk",
              WaveFile(Chunk("LIST", "INFO") + PcmFormat(1, 8000, 8) + Chunk("data", "ab"))),
      Refused(
          "ExtensibleFormatTag",
          WaveFile(Chunk("fmt ", FormatBody(0xFFFE, 2, 48000, 16) + Le16(22) + Le16(16) + Le32(3) +
                                     Bytes({0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                            0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})) +
                   Chunk("data", "abcd"))),
      Refused("FloatFormatTag",
              WaveFile(Chunk("fmt ", FormatBody(3, 1, 8000, 32)) + Chunk("data", "abcd"))),
      // Both bytes of the tag count.
      Refused("FormatTagWithLowByteOne",
              WaveFile(Chunk("fmt ", FormatBody(0x0101, 1, 8000, 8)) + Chunk("data", "ab"))),
      Accepted("RiffChunkIdNotExamined",
               RiffFile("RIFX", 4 + 24 + 10, "WAVE", PcmFormat(2, 8000, 8) + Chunk("data", "LR")),
               2, 8, 8000, "LR"),
      Refused("FormTypeNotWave",
              RiffFile("RIFF", 4 + 24 + 10, "AVI ", PcmFormat(1, 8000, 8) + Chunk("data", "ab"))),
      Refused("FourthFormTypeByteExamined",
              RiffFile("RIFF", 4 + 24 + 10, "WAVX", PcmFormat(1, 8000, 8) + Chunk("data", "ab"))),
      Accepted("FourthFormatIdByteNotExamined",
               WaveFile(Chunk("fmtX", FormatBody(1, 1, 8000, 8)) + Chunk("data", "ab")), 1, 8, 8000,
               "ab"),
      Refused("ThirdFormatIdByteExamined",
              WaveFile(Chunk("fmX ", FormatBody(1, 1, 8000, 8)) + Chunk("data", "ab"))),
      // "abc" is followed by a pad byte; without it the next header would be
      // read as "\0dat".
      Accepted("OddDataChunkThenAnotherChunk",
               WaveFile(PcmFormat(1, 8000, 8) + Chunk("data", "abc") + Chunk("data", "de")), 1, 8,
               8000, "abcde"),
      Accepted("OddSkippedChunkThenData",
               WaveFile(PcmFormat(1, 8000, 8) + Chunk("junk", "123") + Chunk("data", "ok")), 1, 8,
               8000, "ok"),
      Accepted("TwoDataChunksJoinedInOrder",
               WaveFile(PcmFormat(1, 8000, 8) + Chunk("data", "first") + Chunk("LIST", "INFO") +
                        Chunk("data", "second")),
               1, 8, 8000, "firstsecond"),
      Accepted("DataIdComparedInFull",
               WaveFile(PcmFormat(1, 8000, 8) + Chunk("datx", "nope") + Chunk("DATA", "NOPE") +
                        Chunk("data", "yes")),
               1, 8, 8000, "yes"),
      Accepted("EmptyDataChunk", WaveFile(PcmFormat(1, 8000, 8) + ChunkHeader("data", 0)), 1, 8,
               8000, ""),
      // The RIFF size claims the whole chunk (36 + 8 + 100); ten bytes remain.
      Accepted("TruncatedDataChunk",
               RiffFile("RIFF", 144 - 8, "WAVE",
                        PcmFormat(1, 8000, 8) + ChunkHeader("data", 100) + "0123456789"),
               1, 8, 8000, "0123456789"),
      Accepted("DataChunkClaimingNearlyFourGigabytes",
               RiffFile("RIFF", 0xFFFFFFFF, "WAVE",
                        PcmFormat(1, 8000, 8) + ChunkHeader("data", 0xFFFFFFF0) + "tiny"),
               1, 8, 8000, "tiny"),
      // The form ends at offset 8 + RIFF size; the second data chunk's header
      // occupies offsets 48 to 55.
      Accepted("RiffSizeEndsBeforeTheSecondChunk", RiffFile("RIFF", 40, "WAVE", kTwoDataChunks), 1,
               8, 8000, "ABCD"),
      Accepted("RiffSizeEndsOneByteShortOfAChunkHeader",
               RiffFile("RIFF", 47, "WAVE", kTwoDataChunks), 1, 8, 8000, "ABCD"),
      // The header fits the form; its body, past the form but in the file,
      // is read.
      Accepted("RiffSizeEndsRightAfterAChunkHeader", RiffFile("RIFF", 48, "WAVE", kTwoDataChunks),
               1, 8, 8000, "ABCDEF"),
      Accepted("RiffSizeLargerThanTheFile", RiffFile("RIFF", 0xFFFFFFFF, "WAVE", kTwoDataChunks), 1,
               8, 8000, "ABCDEF"),
      Accepted("ChunkHeaderStraddlesTheEndOfTheFile",
               WaveFile(PcmFormat(1, 8000, 8) + Chunk("data", "ABCD") + "data" + Bytes({2, 0, 0})),
               1, 8, 8000, "ABCD"),
      Accepted("ChunkHeaderStraddlesTheEndOfALongerForm",
               RiffFile("RIFF", 0xFFFFFFFF, "WAVE",
                        PcmFormat(1, 8000, 8) + Chunk("data", "ABCD") + "data" + Bytes({2, 0, 0})),
               1, 8, 8000, "ABCD"),
      Accepted("EightBitMono", PcmWaveFile(1, 11025, 8, Bytes({0x80, 0x81, 0x7F})), 1, 8, 11025,
               Bytes({0x80, 0x81, 0x7F})),
      Accepted("SixteenBitStereo",
               PcmWaveFile(2, 44100, 16, Bytes({0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F})),
               2, 16, 44100, Bytes({0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F})),
      Accepted("TwentyFourBitStereo",
               PcmWaveFile(2, 96000, 24, Bytes({0x01, 0x02, 0x03, 0xFD, 0xFE, 0xFF})), 2, 24, 96000,
               Bytes({0x01, 0x02, 0x03, 0xFD, 0xFE, 0xFF})),
      Accepted("ChannelCountAboveEightBits", PcmWaveFile(258, 8000, 16, "ab"), 258, 16, 8000, "ab"),
      // Exactly 36 bytes: the RIFF header and the format chunk.
      Accepted("OnlyTheFormatChunk", WaveFile(PcmFormat(1, 8000, 8)), 1, 8, 8000, ""),
      Accepted("NoDataChunkAmongOthers",
               WaveFile(PcmFormat(2, 22050, 16) + Chunk("LIST", "INFO") + Chunk("fact", Le32(0))),
               2, 16, 22050, ""),
      // The walk starts at offset 0x100000014, past the end of the file
      // (in 32 bits it would wrap round to 20).
      Accepted("FormatChunkSizeBeyondTheFile",
               WaveFile(ChunkHeader("fmt ", 0xFFFFFFFF) + FormatBody(1, 1, 8000, 8) +
                        Chunk("data", "lost")),
               1, 8, 8000, ""),
      // Skipping 0xFFFFFFFF bytes and a pad byte lands past the file, not
      // back on the data chunk that follows the header.
      Accepted(
          "HugeSkippedChunkEndsTheWalk",
          WaveFile(PcmFormat(1, 8000, 8) + ChunkHeader("LIST", 0xFFFFFFFF) + Chunk("data", "xy")),
          1, 8, 8000, ""),
      // Format fields that describe no playable PCM.
      Refused("NoChannels", PcmWaveFile(0, 8000, 8, "ab")),
      Refused("NoBitsPerSample", PcmWaveFile(1, 8000, 0, "ab")),
      Refused("BitsPerSampleNotWholeBytes", PcmWaveFile(1, 8000, 12, "ab")),
      Refused("BitsPerSampleOver32", PcmWaveFile(1, 8000, 40, "ab")),
      Refused("NoSampleRate", PcmWaveFile(1, 0, 8, "ab")),
      Refused("FormatChunkUnder16Bytes",
              WaveFile(ChunkHeader("fmt ", 14) + FormatBody(1, 1, 8000, 8) + Chunk("data", "ab"))),
      Refused("ZeroByteFile", ""),
      Refused("OnlyTheRiffHeader", Bytes({'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'})),
      Refused("ShorterThan36Bytes", kCanonical.substr(0, 35)),
      Refused("Folder", "", Source::kFolder),
      Refused("MissingFile", "", Source::kMissing),
  };
}

class WaveLoadTest : public ::testing::TestWithParam<WaveCase> {};

// Every row is loaded into a new object and into one that held another
// sound: the outcome must not depend on what was there before.
TEST_P(WaveLoadTest, ReadsTheFileAsStoredOrRefusesIt) {
  const WaveCase& c = GetParam();
  CTempDir dir;
  const fs::path path = dir / "sound.wav";
  switch (c.source) {
    case Source::kFile:
      WriteBytes(path, c.file);
      break;
    case Source::kFolder:
      ASSERT_TRUE(fs::create_directory(path));
      break;
    case Source::kMissing:
      break;
  }
  WriteBytes(dir / "previous.wav", PcmWaveFile(5, 96000, 32, "previous sound"));

  CWave fresh;
  CWave reused;
  ASSERT_EQ(reused.Load(dir / "previous.wav"), 1);
  ASSERT_EQ(SamplesOf(reused), "previous sound");
  for (CWave* wave : {&fresh, &reused}) {
    SCOPED_TRACE(wave == &fresh ? "new object" : "object that held another sound");
    if (!c.accepted) {
      EXPECT_EQ(wave->Load(path), 0);
      ExpectEmpty(*wave);
      continue;
    }
    EXPECT_EQ(wave->Load(path), 1);
    EXPECT_EQ(wave->FormatTag(), 1);
    EXPECT_EQ(wave->Channels(), c.channels);
    EXPECT_EQ(wave->BitsPerSample(), c.bits);
    EXPECT_EQ(wave->SamplesPerSecond(), c.rate);
    EXPECT_EQ(wave->DataLength(), c.samples.size());
    EXPECT_EQ(SamplesOf(*wave), c.samples);
    // The buffer is null exactly when there are no samples.
    EXPECT_EQ(wave->Data() == nullptr, c.samples.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Wave, WaveLoadTest, ::testing::ValuesIn(WaveCases()),
                         [](const ::testing::TestParamInfo<WaveCase>& row) {
                           return std::string(row.param.name);
                         });

// ---------------------------------------------------------------------------
// The object's life.

TEST(Wave, NewObjectIsEmpty) {
  const CWave wave;
  ExpectEmpty(wave);
}

TEST(Wave, HeaderFieldsAreReportedAsRead) {
  CTempDir dir;
  // A RIFX id, an 18-byte format chunk named "fmtX", and a byte rate and
  // block align that do not fit the rest: all reported unchanged.
  const std::string file =
      RiffFile("RIFX", 0x12345678, "WAVE",
               ChunkHeader("fmtX", 18) + Le16(1) + Le16(2) + Le32(22050) + Le32(12345) + Le16(7) +
                   Le16(16) + Le16(0) + Chunk("data", "abcd"));
  WriteBytes(dir / "a.wav", file);
  CWave wave;
  ASSERT_EQ(wave.Load(dir / "a.wav"), 1);
  EXPECT_EQ(IdOf(wave.RiffChunkId()), "RIFX");
  EXPECT_EQ(wave.RiffSize(), 0x12345678u);
  EXPECT_EQ(IdOf(wave.FormType()), "WAVE");
  EXPECT_EQ(IdOf(wave.FormatChunkId()), "fmtX");
  EXPECT_EQ(wave.FormatChunkSize(), 18u);
  EXPECT_EQ(wave.FormatTag(), 1);
  EXPECT_EQ(wave.Channels(), 2);
  EXPECT_EQ(wave.SamplesPerSecond(), 22050u);
  EXPECT_EQ(wave.AverageBytesPerSecond(), 12345u);
  EXPECT_EQ(wave.BlockAlign(), 7);
  EXPECT_EQ(wave.BitsPerSample(), 16);
  EXPECT_EQ(SamplesOf(wave), "abcd");
}

TEST(Wave, ReleaseIsHarmlessTwiceAndOnAnEmptyObject) {
  CTempDir dir;
  WriteBytes(dir / "a.wav", kCanonical);
  CWave empty;
  empty.Release();
  ExpectEmpty(empty);

  CWave wave;
  ASSERT_EQ(wave.Load(dir / "a.wav"), 1);
  ASSERT_EQ(wave.DataLength(), 4u);
  wave.Release();
  EXPECT_EQ(wave.Data(), nullptr);
  EXPECT_EQ(wave.DataLength(), 0u);
  wave.Release();
  EXPECT_EQ(wave.Data(), nullptr);
  EXPECT_EQ(wave.DataLength(), 0u);
  // Still usable afterwards.
  EXPECT_EQ(wave.Load(dir / "a.wav"), 1);
  EXPECT_EQ(SamplesOf(wave), Bytes({1, 2, 3, 4}));
}

TEST(Wave, LoadingAnotherFileReplacesEverything) {
  CTempDir dir;
  WriteBytes(dir / "long.wav", PcmWaveFile(2, 44100, 16, "0123456789abcdef"));
  WriteBytes(dir / "short.wav", PcmWaveFile(1, 8000, 8, "xyz"));
  WriteBytes(dir / "silent.wav", WaveFile(PcmFormat(1, 22050, 24)));
  CWave wave;
  ASSERT_EQ(wave.Load(dir / "long.wav"), 1);
  ASSERT_EQ(SamplesOf(wave), "0123456789abcdef");

  EXPECT_EQ(wave.Load(dir / "short.wav"), 1);
  EXPECT_EQ(wave.Channels(), 1);
  EXPECT_EQ(wave.BitsPerSample(), 8);
  EXPECT_EQ(wave.SamplesPerSecond(), 8000u);
  EXPECT_EQ(wave.DataLength(), 3u);
  EXPECT_EQ(SamplesOf(wave), "xyz");

  EXPECT_EQ(wave.Load(dir / "silent.wav"), 1);
  EXPECT_EQ(wave.BitsPerSample(), 24);
  EXPECT_EQ(wave.SamplesPerSecond(), 22050u);
  EXPECT_EQ(wave.Data(), nullptr);
  EXPECT_EQ(wave.DataLength(), 0u);

  EXPECT_EQ(wave.Load(dir / "long.wav"), 1);
  EXPECT_EQ(SamplesOf(wave), "0123456789abcdef");
}

TEST(Wave, RefusalAfterSuccessLeavesTheObjectEmpty) {
  CTempDir dir;
  WriteBytes(dir / "good.wav", kCanonical);
  WriteBytes(dir / "float.wav", WaveFile(Chunk("fmt ", FormatBody(3, 2, 44100, 32))));
  CWave wave;
  ASSERT_EQ(wave.Load(dir / "good.wav"), 1);
  // Refused after its headers were read: nothing of them may stay.
  EXPECT_EQ(wave.Load(dir / "float.wav"), 0);
  ExpectEmpty(wave);
  ASSERT_EQ(wave.Load(dir / "good.wav"), 1);
  EXPECT_EQ(wave.Load(dir / "missing.wav"), 0);
  ExpectEmpty(wave);
}

TEST(Wave, AllocatesOnlyTheBytesThatAreInTheFile) {
  CTempDir dir;
  // Two data chunks that claim almost 4 GiB between them; 9 bytes exist.
  WriteBytes(dir / "liar.wav", RiffFile("RIFF", 0xFFFFFFFF, "WAVE",
                                        PcmFormat(1, 8000, 8) + Chunk("data", "head") +
                                            ChunkHeader("data", 0xFFFFFFF0) + "tail!"));
  CWave wave;
  int accepted = 0;
  {
    const CAddressSpaceCap cap(256u << 20);
    accepted = wave.Load(dir / "liar.wav");
  }
  EXPECT_EQ(accepted, 1);
  EXPECT_EQ(wave.DataLength(), 9u);
  EXPECT_EQ(SamplesOf(wave), "headtail!");
}

}  // namespace
}  // namespace zentora
