// DownloadFile and the frame builders, against the simulated module: the
// exact calls and frames of a run, the progress it reports, what the module
// saved, and every way a run can fail.

#include "download/download_protocol.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <future>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/exclusive_file.h"
#include "modsim_fixture.h"
#include "support/recording_sink.h"

namespace zentora::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Events = std::vector<std::string>;

// ---------------------------------------------------------------- frames

TEST(DownloadFrameTest, ShortPayloadIsCountedAndZeroFilled) {
  DownloadFrame frame;
  frame.fill(0xAA);
  const std::uint8_t payload[] = {0x01, 0x02, 0x03};
  FillDownloadFrame(frame, payload);
  EXPECT_EQ(frame[0], 3);
  EXPECT_EQ(frame[1], 0);
  EXPECT_EQ(frame[2], 0x01);
  EXPECT_EQ(frame[3], 0x02);
  EXPECT_EQ(frame[4], 0x03);
  EXPECT_TRUE(std::all_of(frame.begin() + 5, frame.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(DownloadFrameTest, EmptyPayloadGivesCountZeroAndZeroFiller) {
  DownloadFrame frame;
  frame.fill(0x55);
  FillDownloadFrame(frame, {});
  EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(DownloadFrameTest, FullPayloadCountIsLittleEndian) {
  std::vector<std::uint8_t> payload(kFramePayloadSize);
  for (std::size_t i = 0; i < payload.size(); ++i) {
    payload[i] = static_cast<std::uint8_t>(i * 3 + 1);
  }
  DownloadFrame frame;
  frame.fill(0xAA);
  FillDownloadFrame(frame, payload);
  EXPECT_EQ(frame.size(), 2050u);
  EXPECT_EQ(frame[0], 0x00);
  EXPECT_EQ(frame[1], 0x08);
  EXPECT_TRUE(std::equal(payload.begin(), payload.end(), frame.begin() + 2));
}

TEST(DownloadFrameTest, PayloadBeyondOneFrameIsCutAt2048) {
  std::vector<std::uint8_t> payload(kFramePayloadSize + 10, 0x77);
  payload[kFramePayloadSize - 1] = 0x11;
  DownloadFrame frame{};
  FillDownloadFrame(frame, payload);
  EXPECT_EQ(frame[0], 0x00);
  EXPECT_EQ(frame[1], 0x08);
  EXPECT_EQ(frame[kFrameSize - 1], 0x11);
}

TEST(DownloadFrameTest, FinishKeepsThePayloadInPlaceAndClearsTheRest) {
  DownloadFrame frame;
  frame.fill(0xAA);
  FinishDownloadFrame(frame, 0x0123);
  EXPECT_EQ(frame[0], 0x23);
  EXPECT_EQ(frame[1], 0x01);
  EXPECT_EQ(frame[2], 0xAA);
  EXPECT_EQ(frame[2 + 0x0122], 0xAA);
  EXPECT_TRUE(
      std::all_of(frame.begin() + 2 + 0x0123, frame.end(), [](std::uint8_t b) { return b == 0; }));
}

// ---------------------------------------------------------------- runs

class DownloadProtocolTest : public ModsimTest {
 protected:
  fs::path Source(const std::string& name, const std::string& bytes) {
    const fs::path path = source_ / name;
    WriteBytes(path, bytes);
    return path;
  }

  CTempDir source_;
  CRecordingSink sink_;
};

struct SizeCase {
  std::size_t size;
  std::vector<int> counts;  // payload count of each frame, in order
  std::vector<int> progress;
};

void PrintTo(const SizeCase& c, std::ostream* os) {
  *os << c.size << " bytes";
}

class DownloadSizeTest : public DownloadProtocolTest,
                         public ::testing::WithParamInterface<SizeCase> {};

TEST_P(DownloadSizeTest, SendsTheCodeThenTheFramesAndReportsProgress) {
  const std::string bytes = Pattern(GetParam().size);
  const fs::path path = Source("image.bin", bytes);
  EXPECT_EQ(DownloadFile(DL_IMAGE_DATA, path, sink_), 1);

  Lines expected =
      Join({ScanLines(), {BussesLine()}, OpenLines(1), CodeLines(1, 0x92, "image.bin")});
  int number = 0;
  for (int count : GetParam().counts) {
    const Lines frame = FrameLines(1, ++number, count);
    expected.insert(expected.end(), frame.begin(), frame.end());
  }
  expected.push_back("saved image.bin " + std::to_string(bytes.size()) + " bytes");
  const Lines close = CloseLines(1);
  expected.insert(expected.end(), close.begin(), close.end());
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(Violations(), 0);
  EXPECT_EQ(OpenHandles(), 0);

  EXPECT_EQ(sink_.ProgressPositions(), GetParam().progress);
  // Progress is all the protocol reports.
  EXPECT_EQ(sink_.Events().size(), GetParam().progress.size());
  EXPECT_EQ(ReadText(Received() / "image.bin"), bytes);
  // The source is left as it was.
  EXPECT_EQ(ReadText(path), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, DownloadSizeTest,
    ::testing::Values(SizeCase{1, {1}, {0, 100}}, SizeCase{2047, {2047}, {0, 100}},
                      SizeCase{2048, {2048, 0}, {0, 100, 100}},
                      SizeCase{2049, {2048, 1}, {0, 99, 100}},
                      SizeCase{4097, {2048, 2048, 1}, {0, 49, 99, 100}},
                      SizeCase{6144, {2048, 2048, 2048, 0}, {0, 33, 66, 100, 100}}),
    [](const ::testing::TestParamInfo<SizeCase>& param) {
      return "Bytes" + std::to_string(param.param.size);
    });

TEST_F(DownloadProtocolTest, EmptyFileOpensTheModuleButSendsItNothing) {
  const fs::path path = Source("image.idx", "");
  const Result<std::uint64_t> sent = TransferFile(DL_IMAGE_INDEX, path, sink_);
  ASSERT_TRUE(sent) << sent.error();
  EXPECT_EQ(sent.value(), 0u);
  EXPECT_EQ(DownloadFile(DL_IMAGE_INDEX, path, sink_), 1);
  // Opened and closed again, without even the code: the module keeps what
  // it held.
  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         OpenLines(1),
                         CloseLines(1),
                         ScanLines(1, false),
                         {BussesLine()},
                         OpenLines(2),
                         CloseLines(2)}));
  EXPECT_EQ(sink_.Events(), Events());
  EXPECT_FALSE(fs::exists(Received() / "image.idx"));
}

TEST_F(DownloadProtocolTest, MissingFileFailsWithoutContactingTheModule) {
  EXPECT_EQ(DownloadFile(DL_IMAGE_INDEX, source_ / "image.idx", sink_), 0);
  EXPECT_EQ(Log(), Lines());
  EXPECT_EQ(sink_.Events(), Events());
}

TEST_F(DownloadProtocolTest, FolderInsteadOfAFileFails) {
  fs::create_directory(source_ / "image.idx");
  EXPECT_EQ(DownloadFile(DL_IMAGE_INDEX, source_ / "image.idx", sink_), 0);
  EXPECT_EQ(sink_.Events(), Events());
  EXPECT_EQ(LogLines("usb_open"), Lines());
  EXPECT_EQ(LogLines("usb_bulk"), Lines());
}

TEST_F(DownloadProtocolTest, FifoIsRefusedWithoutWaitingForAWriter) {
  const fs::path fifo = source_ / "image.idx";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::future<int> result = std::async(std::launch::async, [&fifo] {
    CRecordingSink sink;
    return DownloadFile(DL_IMAGE_INDEX, fifo, sink);
  });
  if (result.wait_for(std::chrono::seconds(3)) != std::future_status::ready) {
    ADD_FAILURE() << "DownloadFile waits for someone to write into the FIFO";
    // A writer comes and goes, so that the opening ends.
    ::close(::open(fifo.c_str(), O_WRONLY));
  }
  EXPECT_EQ(result.get(), 0);
  EXPECT_EQ(Log(), Lines());
}

TEST_F(DownloadProtocolTest, FileHeldElsewhereFailsWithoutContactingTheModule) {
  const fs::path path = Source("wave.bin", "abc");
  {
    Result<CExclusiveFile> held = CExclusiveFile::OpenForReading(path);
    ASSERT_TRUE(held);
    EXPECT_EQ(TransferFile(DL_WAVE_DATA, path, sink_).error(),
              "无法打开文件：" + path.string() + "（文件已被其他操作占用）");
    EXPECT_EQ(Log(), Lines());
    EXPECT_EQ(sink_.Events(), Events());
  }
  // Once let go, the same file goes through.
  EXPECT_EQ(DownloadFile(DL_WAVE_DATA, path, sink_), 1);
  EXPECT_EQ(ReadText(Received() / "wave.bin"), "abc");
}

// Tries to take the file being sent whenever progress is reported.
class CLockProbeSink final : public StatusSink {
 public:
  explicit CLockProbeSink(fs::path path) : path_(std::move(path)) {}
  void ClearLines() override {}
  void AppendLine(std::string_view) override {}
  void SetProgress(int) override {
    ++reports;
    if (CExclusiveFile::OpenForReading(path_)) {
      ++taken;
    }
  }
  void ShowProgress(bool) override {}

  int reports = 0;
  int taken = 0;

 private:
  fs::path path_;
};

TEST_F(DownloadProtocolTest, FileIsHeldWhileItIsSent) {
  const fs::path path = Source("image.bin", Pattern(5000));
  CLockProbeSink probe(path);
  EXPECT_EQ(DownloadFile(DL_IMAGE_DATA, path, probe), 1);
  EXPECT_EQ(probe.reports, 4);
  EXPECT_EQ(probe.taken, 0);
  EXPECT_TRUE(CExclusiveFile::OpenForReading(path));
}

TEST_F(DownloadProtocolTest, EveryCodeSavesUnderItsOwnName) {
  struct File {
    std::uint8_t code;
    const char* name;
    std::string bytes;
  };
  const File files[] = {{DL_IMAGE_INDEX, "image.idx", "index of pictures"},
                        {DL_IMAGE_DATA, "image.bin", Pattern(3000)},
                        {DL_WAVE_INDEX, "wave.idx", "index of sounds"},
                        {DL_WAVE_DATA, "wave.bin", Pattern(2048)}};
  for (const File& file : files) {
    // The source's own name does not matter; the code names the file.
    EXPECT_EQ(
        DownloadFile(file.code, Source(std::string("source-") + file.name, file.bytes), sink_), 1)
        << file.name;
  }
  for (const File& file : files) {
    EXPECT_EQ(ReadText(Received() / file.name), file.bytes) << file.name;
  }
  EXPECT_EQ(FolderContents(Received()),
            (std::set<std::string>{"image.idx", "image.bin", "wave.idx", "wave.bin"}));
  Lines codes;
  for (const std::string& line : LogLines("usb_bulk_write")) {
    if (line.find(" ep=0x03 ") != std::string::npos) {
      codes.push_back(line);
    }
  }
  EXPECT_EQ(codes, (Lines{"usb_bulk_write handle=1 ep=0x03 len=1 -> 1 (code 0x90 image.idx)",
                          "usb_bulk_write handle=2 ep=0x03 len=1 -> 1 (code 0x92 image.bin)",
                          "usb_bulk_write handle=3 ep=0x03 len=1 -> 1 (code 0x94 wave.idx)",
                          "usb_bulk_write handle=4 ep=0x03 len=1 -> 1 (code 0x95 wave.bin)"}));
  EXPECT_EQ(LogLines("saved"), (Lines{"saved image.idx 17 bytes", "saved image.bin 3000 bytes",
                                      "saved wave.idx 15 bytes", "saved wave.bin 2048 bytes"}));
  EXPECT_EQ(Violations(), 0);
}

TEST_F(DownloadProtocolTest, EveryRunScansAndOpensAfresh) {
  const fs::path path = Source("wave.idx", "12345");
  EXPECT_EQ(DownloadFile(DL_WAVE_INDEX, path, sink_), 1);
  EXPECT_EQ(DownloadFile(DL_WAVE_INDEX, path, sink_), 1);
  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         OpenLines(1),
                         CodeLines(1, 0x94, "wave.idx"),
                         FrameLines(1, 1, 5),
                         {"saved wave.idx 5 bytes"},
                         CloseLines(1),
                         ScanLines(1, false),
                         {BussesLine()},
                         OpenLines(2),
                         CodeLines(2, 0x94, "wave.idx"),
                         FrameLines(2, 1, 5),
                         {"saved wave.idx 5 bytes"},
                         CloseLines(2)}));
}

TEST_F(DownloadProtocolTest, FrameRefusedHalfWayEndsTheRun) {
  // The code and the first frame are accepted, the second is refused.
  Configure({{"ZENTORA_MODSIM_BAD_ACK_AFTER", "2"}});
  const fs::path path = Source("image.bin", Pattern(4097));
  EXPECT_EQ(DownloadFile(DL_IMAGE_DATA, path, sink_), 0);
  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         OpenLines(1),
                         CodeLines(1, 0x92, "image.bin"),
                         FrameLines(1, 1, 2048),
                         FrameLines(1, 2, 2048, "0x00, injected"),
                         CloseLines(1),
                         {"discarded unfinished image.bin 2048 bytes in 1 frames"}}));
  EXPECT_EQ(OpenHandles(), 0);
  // The bar stays where the last accepted frame put it.
  EXPECT_EQ(sink_.ProgressPositions(), (std::vector<int>{0, 49}));
  EXPECT_FALSE(fs::exists(Received() / "image.bin"));
}

TEST_F(DownloadProtocolTest, RefusedCodeEndsTheRunBeforeAnyProgress) {
  Configure({{"ZENTORA_MODSIM_BAD_ACK_AFTER", "0"}});
  const fs::path path = Source("image.idx", "x");
  EXPECT_EQ(DownloadFile(DL_IMAGE_INDEX, path, sink_), 0);
  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         OpenLines(1),
                         CodeLines(1, 0x90, "image.idx", "0x00, injected"),
                         CloseLines(1)}));
  EXPECT_EQ(sink_.Events(), Events());
  EXPECT_EQ(OpenHandles(), 0);
}

TEST_F(DownloadProtocolTest, FrameWithoutAnswerEndsTheRun) {
  Configure({{"ZENTORA_MODSIM_SILENT_AFTER", "2"}, {"ZENTORA_MODSIM_HANG_MS", "0"}});
  const fs::path path = Source("wave.bin", Pattern(4097));
  EXPECT_EQ(DownloadFile(DL_WAVE_DATA, path, sink_), 0);
  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         OpenLines(1),
                         CodeLines(1, 0x95, "wave.bin"),
                         FrameLines(1, 1, 2048),
                         {"usb_bulk_write handle=1 ep=0x02 len=2050 -> 2050 (frame 2 count=2048)",
                          "usb_bulk_read handle=1 ep=0x81 len=1 -> -110 (no answer, waited 0 ms)"},
                         CloseLines(1),
                         {"discarded unfinished wave.bin 2048 bytes in 1 frames"}}));
  EXPECT_EQ(sink_.ProgressPositions(), (std::vector<int>{0, 49}));
  EXPECT_EQ(OpenHandles(), 0);
}

TEST_F(DownloadProtocolTest, WriteFailureEndsTheRun) {
  Configure({{"ZENTORA_MODSIM_WRITE_FAIL_AFTER", "2"}});
  const fs::path path = Source("wave.bin", Pattern(4097));
  EXPECT_EQ(DownloadFile(DL_WAVE_DATA, path, sink_), 0);
  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         OpenLines(1),
                         CodeLines(1, 0x95, "wave.bin"),
                         FrameLines(1, 1, 2048),
                         {"usb_bulk_write handle=1 ep=0x02 len=2050 -> -5 (injected failure after "
                          "2 transfers)"},
                         CloseLines(1),
                         {"discarded unfinished wave.bin 2048 bytes in 1 frames"}}));
  EXPECT_EQ(sink_.ProgressPositions(), (std::vector<int>{0, 49}));
  EXPECT_EQ(OpenHandles(), 0);
  EXPECT_EQ(Violations(), 0);
}

TEST_F(DownloadProtocolTest, OpenFailureEndsTheRunWithoutTransfers) {
  Configure({{"ZENTORA_MODSIM_OPEN_FAIL_AFTER", "0"}});
  const fs::path path = Source("image.idx", "x");
  EXPECT_EQ(DownloadFile(DL_IMAGE_INDEX, path, sink_), 0);
  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         {"usb_open bus=001 dev=002 -> NULL (injected failure after 0 opens)"}}));
  EXPECT_EQ(sink_.Events(), Events());
}

TEST_F(DownloadProtocolTest, NoModuleEndsTheRunAfterTheScan) {
  Configure({{"ZENTORA_MODSIM_MODULES", "0"}});
  const fs::path path = Source("image.idx", "x");
  EXPECT_EQ(DownloadFile(DL_IMAGE_INDEX, path, sink_), 0);
  EXPECT_EQ(Log(), Join({ScanLines(0), {BussesLine(0)}}));
  EXPECT_EQ(sink_.Events(), Events());
}

// ---------------------------------------------------------------- reasons

struct ReasonCase {
  const char* label;
  std::vector<std::pair<const char*, std::string>> variables;
  std::string bytes;
  std::string reason;
};

void PrintTo(const ReasonCase& c, std::ostream* os) {
  *os << c.label;
}

class DownloadReasonTest : public DownloadProtocolTest,
                           public ::testing::WithParamInterface<ReasonCase> {};

TEST_P(DownloadReasonTest, FailureSaysWhy) {
  Configure(GetParam().variables);
  const Result<std::uint64_t> sent =
      TransferFile(DL_WAVE_DATA, Source("wave.bin", GetParam().bytes), sink_);
  ASSERT_FALSE(sent);
  EXPECT_EQ(sent.error(), GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, DownloadReasonTest,
    ::testing::Values(
        ReasonCase{
            "NoModule", {{"ZENTORA_MODSIM_MODULES", "0"}}, "x", "未找到显示模块（USB 1514:5534）"},
        ReasonCase{"NoModuleForAnEmptyFile",
                   {{"ZENTORA_MODSIM_MODULES", "0"}},
                   "",
                   "未找到显示模块（USB 1514:5534）"},
        ReasonCase{"OpenRefused",
                   {{"ZENTORA_MODSIM_OPEN_FAIL_AFTER", "0"}},
                   "x",
                   "没有权限访问显示模块：请将 udev 规则 60-zentora-module.rules（见 packaging/）"
                   "复制到 /etc/udev/rules.d/，执行 sudo udevadm control --reload-rules，"
                   "再重新插拔模块"},
        // Only a refusal for lack of access points to the udev rule.
        ReasonCase{"OpenFailedNodeGone",
                   {{"ZENTORA_MODSIM_OPEN_FAIL_AFTER", "0"}, {"ZENTORA_MODSIM_OPEN_ERRNO", "2"}},
                   "x",
                   "无法打开显示模块（USB 1514:5534）：文件或文件夹不存在"},
        ReasonCase{"OpenFailedForAnotherReason",
                   {{"ZENTORA_MODSIM_OPEN_FAIL_AFTER", "0"}, {"ZENTORA_MODSIM_OPEN_ERRNO", "5"}},
                   "x",
                   "无法打开显示模块（USB 1514:5534）：Input/output error"},
        ReasonCase{"WrongByteForTheCode",
                   {{"ZENTORA_MODSIM_ACK", "0x4c"}},
                   "x",
                   "显示模块应答错误：收到 0x4C，应为 0xCC"},
        ReasonCase{"FrameRefused",
                   {{"ZENTORA_MODSIM_BAD_ACK_AFTER", "1"}},
                   "x",
                   "显示模块应答错误：收到 0x00，应为 0xCC"},
        ReasonCase{"NoAnswer",
                   {{"ZENTORA_MODSIM_SILENT_AFTER", "1"}, {"ZENTORA_MODSIM_HANG_MS", "0"}},
                   "x",
                   "显示模块 5 秒内没有应答"},
        ReasonCase{"WriteFailed",
                   {{"ZENTORA_MODSIM_WRITE_FAIL_AFTER", "1"}},
                   "x",
                   "向显示模块发送数据失败：Input/output error"}),
    [](const ::testing::TestParamInfo<ReasonCase>& param) { return param.param.label; });

TEST_F(DownloadProtocolTest, AfterAFailureTheNextRunStartsClean) {
  Configure({{"ZENTORA_MODSIM_WRITE_FAIL_AFTER", "2"}});
  const fs::path path = Source("image.bin", Pattern(4097));
  EXPECT_EQ(DownloadFile(DL_IMAGE_DATA, path, sink_), 0);
  Configure({});
  EXPECT_EQ(DownloadFile(DL_IMAGE_DATA, path, sink_), 1);
  EXPECT_EQ(ReadText(Received() / "image.bin"), Pattern(4097));
  EXPECT_EQ(Violations(), 0);
}

}  // namespace
}  // namespace zentora::testing
