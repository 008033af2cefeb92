#include "sound/wave_description.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "wave_bytes.h"

namespace zentora {
namespace {

using namespace testing;

std::string Silence(std::size_t bytes) {
  return std::string(bytes, '\0');
}

TEST(WaveDescriptionTest, TellsLengthAndFormatOrWhyNot) {
  std::string manyChunks = PcmFormat(1, 8000, 8);
  for (int i = 0; i < 1100; ++i) {
    manyChunks += Chunk("junk", "");
  }
  struct Case {
    const char* name;
    std::string bytes;
    std::string description;
  };
  for (const Case& c : {
           Case{"mono", PcmWaveFile(1, 8000, 16, Silence(2 * 18400)),
                "0:02 · 16 位 · 单声道 · 8000 Hz"},
           Case{"stereo", PcmWaveFile(2, 100, 8, Silence(2 * 100 * 75)),
                "1:15 · 8 位 · 立体声 · 100 Hz"},
           Case{"six", PcmWaveFile(6, 10, 24, Silence(18 * 10 * 3725)),
                "1:02:05 · 24 位 · 6 声道 · 10 Hz"},
           Case{"cut", WaveFile(PcmFormat(1, 10, 8) + ChunkHeader("data", 1000) + Silence(25)),
                "0:02 · 8 位 · 单声道 · 10 Hz"},
           Case{"junk", RiffFile("RIFF", 16, "WAVE", "junkjunkjunk"), "无法读取（不是 WAV 文件）"},
           Case{"chunks", WaveFile(manyChunks), "无法读取（块多于 1024 个）"},
       }) {
    CTempDir dir;
    WriteBytes(dir / "s.wav", c.bytes);
    EXPECT_EQ(DescribeWave(dir / "s.wav"), c.description) << c.name;
  }
}

}  // namespace
}  // namespace zentora
