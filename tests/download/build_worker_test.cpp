// CBuildWorker on its real thread against the simulated module: the exact
// reports of each kind of cycle, what reaches the module, the command word,
// triggers while busy, exit requests and giving up on a hanging transfer.

#include "download/build_worker.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "modsim_fixture.h"
#include "sound/wave_bytes.h"
#include "support/recording_sink.h"
#include "worker_sinks.h"

namespace zentora::testing {
namespace {

namespace fs = std::filesystem;
using Events = std::vector<std::string>;
using Lines = std::vector<std::string>;

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;

// b.png (red, blue) and a.bmp (three green pixels) in RGB565, in list order,
// and their index entries: number, reserved byte, address from 0x00B00000,
// width, height, data length, two reserved bytes.
const std::string kImageData("\x00\xF8\x1F\x00\xE0\x07\xE0\x07\xE0\x07", 10);
const std::string kImageIndex(
    "\x00\x00\x00\x00\x00\xB0\x00\x02\x00\x01\x00\x04\x00\x00\x00\x00"
    "\x01\x00\x00\x04\x00\xB0\x00\x01\x00\x03\x00\x06\x00\x00\x00\x00",
    32);
// beep.wav: 8-bit mono at 8000 Hz, three samples, padded to 2048 bytes at
// 0x07000000.
const std::string kWaveIndex("\x00\x01\x08\x00\x40\x1F\x00\x00\x03\x00\x00\x00\x00\x00\x00\x07",
                             16);
const std::string kWaveData = std::string("\x10\x20\x30", 3) + std::string(2045, '\0');

const char* const kResourceFiles[] = {"image.idx", "image.bin", "wave.idx", "wave.bin"};

void SavePicture(const fs::path& path, int width, int height, std::initializer_list<QRgb> pixels) {
  QImage image(width, height, QImage::Format_RGB32);
  const QRgb* pixel = pixels.begin();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixel(x, y, *pixel++);
    }
  }
  ASSERT_TRUE(image.save(QString::fromStdString(path.string())));
}

Events Line(const std::string& text) {
  return {"line:" + text};
}

Events Progress(std::initializer_list<int> positions) {
  Events events;
  for (int position : positions) {
    events.push_back("progress:" + std::to_string(position));
  }
  return events;
}

// The reports of one successful pair: "图片" or "声音", with the progress of
// the index and the data transfer.
Events PairSent(const std::string& what, const Events& indexProgress, const Events& dataProgress) {
  return Join({Line("下载" + what + "索引..."), indexProgress, Line("下载" + what + "索引成功！"),
               Line("下载" + what + "数据..."), dataProgress, Line("下载" + what + "数据成功！")});
}

// The compilers' reports for the two pictures and the one sound.
const Events kPicturesCompiled =
    Join({Line("生成图片资源..."), Progress({0, 50, 100}), Line("生成图片资源成功！")});
const Events kSoundsCompiled =
    Join({Line("生成声音资源..."), Progress({0, 100}), Line("生成声音资源成功！")});
// Both pairs of the project sent: every file fits one frame but wave.bin,
// which is exactly one full frame and an empty last one.
const Events kPicturesSent = PairSent("图片", Progress({0, 100}), Progress({0, 100}));
const Events kSoundsSent = PairSent("声音", Progress({0, 100}), Progress({0, 100, 100}));

const Events kCycleStart = {"show", "clear", "line:开始"};
const char kNoModule[] = "未找到显示模块（USB 1514:5534）";
const Events kCycleEnd = {"hide", "line:结束"};

// The module's log of one file received whole over handle `handle`.
Lines FileReceived(int handle, int code, const char* name, std::initializer_list<int> counts,
                   std::size_t size) {
  Lines lines = CodeLines(handle, code, name);
  int number = 0;
  for (int count : counts) {
    const Lines frame = FrameLines(handle, ++number, count);
    lines.insert(lines.end(), frame.begin(), frame.end());
  }
  lines.push_back(std::string("saved ") + name + " " + std::to_string(size) + " bytes");
  return lines;
}

// Only the transfer lines and what the module did with them.
Lines Transfers(const Lines& log) {
  Lines transfers;
  std::copy_if(log.begin(), log.end(), std::back_inserter(transfers), [](const std::string& l) {
    return l.starts_with("usb_bulk_") || l.starts_with("saved ") || l.starts_with("discarded ");
  });
  return transfers;
}

// The lines shown after the list was last emptied.
Lines LinesOfLastCycle(const Events& events) {
  const auto clear = std::find(events.rbegin(), events.rend(), "clear");
  Lines lines;
  for (auto event = clear.base(); event != events.end(); ++event) {
    if (event->starts_with("line:")) {
      lines.push_back(event->substr(5));
    }
  }
  return lines;
}

class BuildWorkerTest : public ModsimTest {
 protected:
  void SetUp() override {
    ModsimTest::SetUp();
    fs::create_directories(projectFolder_);
    SavePicture(projectFolder_ / "b.png", 2, 1, {kRed, kBlue});
    SavePicture(projectFolder_ / "a.bmp", 1, 3, {kGreen, kGreen, kGreen});
    WriteBytes(projectFolder_ / "beep.wav", PcmWaveFile(1, 8000, 8, "\x10\x20\x30"));
  }

  void TearDown() override {
    // A test that failed half-way may have left the worker at a gate.
    if (record_) {
      record_->Release();
    }
    worker_.reset();
    ModsimTest::TearDown();
  }

  void AddPictures() {
    pictures_.Add(projectFolder_ / "b.png");
    pictures_.Add(projectFolder_ / "a.bmp");
  }
  void AddSound() { sounds_.Add(projectFolder_ / "beep.wav"); }

  // A worker reporting to a CRecordingSink, started.
  void StartWorker() {
    sink_ = std::make_shared<CRecordingSink>();
    worker_ = std::make_unique<CBuildWorker>(sink_);
    worker_->Start();
  }

  // A worker reporting to a CSinkRecord that holds it at `gate`, started.
  void StartHeldWorker(std::string gate) {
    record_ = std::make_shared<CSinkRecord>();
    record_->HoldAt(std::move(gate));
    worker_ = std::make_unique<CBuildWorker>(std::make_shared<CRecordSink>(record_));
    worker_->Start();
  }

  bool CompileAndDownload() {
    return worker_->TriggerCompileDownload(out_, pictures_, sounds_, settings_);
  }

  // Runs one compile-and-download cycle to its end.
  void RunCompileAndDownload() {
    ASSERT_TRUE(CompileAndDownload());
    worker_->WaitUntilIdle();
  }

  // Runs one download cycle of `folder` to its end.
  void RunDownload(const fs::path& folder) {
    ASSERT_TRUE(worker_->TriggerDownload(folder));
    worker_->WaitUntilIdle();
  }

  // A download folder with the four files, as compiled from the project.
  fs::path CompiledFolder(const std::string& name) {
    const fs::path folder = dir_ / name;
    fs::create_directories(folder);
    WriteBytes(folder / "image.idx", kImageIndex);
    WriteBytes(folder / "image.bin", kImageData);
    WriteBytes(folder / "wave.idx", kWaveIndex);
    WriteBytes(folder / "wave.bin", kWaveData);
    return folder;
  }

  // Every file the module received equals the one of the same name in
  // `folder`, and all four were received.
  void ExpectReceivedAll(const fs::path& folder) {
    for (const char* name : kResourceFiles) {
      ASSERT_TRUE(fs::exists(Received() / name)) << name;
      EXPECT_EQ(ReadBytes(Received() / name), ReadBytes(folder / name)) << name;
    }
  }

  CTempDir dir_;
  fs::path projectFolder_ = dir_ / "工程";
  fs::path out_ = projectFolder_ / "output";
  CGalleryItemList pictures_;
  CGalleryItemList sounds_;
  ImageSettings settings_;

  std::shared_ptr<CRecordingSink> sink_;
  std::shared_ptr<CSinkRecord> record_;
  std::unique_ptr<CBuildWorker> worker_;
};

// The log of a cycle that sent the project's four files.
Lines FourFilesReceived() {
  return Join({FileReceived(1, 0x90, "image.idx", {32}, 32),
               FileReceived(2, 0x92, "image.bin", {10}, 10),
               FileReceived(3, 0x94, "wave.idx", {16}, 16),
               FileReceived(4, 0x95, "wave.bin", {2048, 0}, 2048)});
}

TEST_F(BuildWorkerTest, CompileAndDownloadReportsEveryStageAndSendsTheCompiledFiles) {
  AddPictures();
  AddSound();
  StartWorker();
  RunCompileAndDownload();

  EXPECT_EQ(sink_->Events(), Join({kCycleStart, kPicturesCompiled, kSoundsCompiled, kPicturesSent,
                                   kSoundsSent, kCycleEnd}));
  EXPECT_EQ(sink_->Lines(),
            (Lines{"开始", "生成图片资源...", "生成图片资源成功！", "生成声音资源...",
                   "生成声音资源成功！", "下载图片索引...", "下载图片索引成功！", "下载图片数据...",
                   "下载图片数据成功！", "下载声音索引...", "下载声音索引成功！", "下载声音数据...",
                   "下载声音数据成功！", "结束"}));

  // The compiled files are what the project holds, and the module received
  // exactly them.
  EXPECT_EQ(ReadText(out_ / "image.idx"), kImageIndex);
  EXPECT_EQ(ReadText(out_ / "image.bin"), kImageData);
  EXPECT_EQ(ReadText(out_ / "wave.idx"), kWaveIndex);
  EXPECT_EQ(ReadText(out_ / "wave.bin"), kWaveData);
  ExpectReceivedAll(out_);
  EXPECT_EQ(Transfers(Log()), FourFilesReceived());
  EXPECT_EQ(Violations(), 0);
  EXPECT_EQ(OpenHandles(), 0);

  EXPECT_EQ(worker_->Command(), CMD_IDLE);
  EXPECT_FALSE(worker_->LastCycleFailed());
}

TEST_F(BuildWorkerTest, EmptyProjectCompilesNothingAndNeverTouchesTheModule) {
  StartWorker();
  RunCompileAndDownload();
  EXPECT_EQ(sink_->Events(),
            Join({kCycleStart, Line("没有图片资源！"), Line("没有声音资源！"), kCycleEnd}));
  // Not even a bus scan.
  EXPECT_EQ(Log(), Lines());
  for (const char* name : kResourceFiles) {
    ASSERT_TRUE(fs::exists(out_ / name)) << name;
    EXPECT_EQ(fs::file_size(out_ / name), 0u) << name;
  }
  EXPECT_FALSE(worker_->LastCycleFailed());
  EXPECT_EQ(worker_->Command(), CMD_IDLE);
}

TEST_F(BuildWorkerTest, SoundsWithoutPicturesStillCompileAndDownloadTheSounds) {
  AddSound();
  StartWorker();
  RunCompileAndDownload();
  EXPECT_EQ(sink_->Events(),
            Join({kCycleStart, Line("没有图片资源！"), kSoundsCompiled, kSoundsSent, kCycleEnd}));
  EXPECT_EQ(Transfers(Log()), Join({FileReceived(1, 0x94, "wave.idx", {16}, 16),
                                    FileReceived(2, 0x95, "wave.bin", {2048, 0}, 2048)}));
  EXPECT_EQ(FolderContents(Received()), (std::set<std::string>{"wave.idx", "wave.bin"}));
  EXPECT_FALSE(worker_->LastCycleFailed());
}

TEST_F(BuildWorkerTest, PicturesWithoutSoundsDownloadOnlyThePictures) {
  AddPictures();
  StartWorker();
  RunCompileAndDownload();
  EXPECT_EQ(sink_->Events(), Join({kCycleStart, kPicturesCompiled, Line("没有声音资源！"),
                                   kPicturesSent, kCycleEnd}));
  EXPECT_EQ(FolderContents(Received()), (std::set<std::string>{"image.idx", "image.bin"}));
  EXPECT_FALSE(worker_->LastCycleFailed());
}

TEST_F(BuildWorkerTest, DownloadWithoutModuleFailsBothIndexesAndSendsNoData) {
  Configure({{"ZENTORA_MODSIM_MODULES", "0"}});
  const fs::path folder = CompiledFolder("download");
  StartWorker();
  RunDownload(folder);
  EXPECT_EQ(sink_->Events(), Join({kCycleStart, Line("下载图片索引..."), Line("下载图片索引失败！"),
                                   Line(kNoModule), Line("下载声音索引..."),
                                   Line("下载声音索引失败！"), Line(kNoModule), kCycleEnd}));
  // Two runs, each scanning the buses and finding nothing to open.
  EXPECT_EQ(LogLines("usb_init").size(), 2u);
  EXPECT_EQ(LogLines("usb_get_busses"), (Lines{BussesLine(0), BussesLine(0)}));
  EXPECT_EQ(LogLines("usb_open"), Lines());
  EXPECT_EQ(LogLines("usb_bulk"), Lines());
  EXPECT_TRUE(worker_->LastCycleFailed());
  EXPECT_EQ(worker_->Command(), CMD_IDLE);
}

TEST_F(BuildWorkerTest, DownloadSendsTheFolderAsItIs) {
  const fs::path folder = CompiledFolder("download");
  StartWorker();
  // No trailing slash: the worker adds it.
  RunDownload(folder);
  EXPECT_EQ(sink_->Events(), Join({kCycleStart, kPicturesSent, kSoundsSent, kCycleEnd}));
  ExpectReceivedAll(folder);
  EXPECT_EQ(Transfers(Log()), FourFilesReceived());
  EXPECT_FALSE(worker_->LastCycleFailed());
}

TEST_F(BuildWorkerTest, EmptyPictureIndexCountsAsSentAndThePictureDataFollows) {
  const fs::path folder = CompiledFolder("download");
  WriteBytes(folder / "image.idx", "");
  StartWorker();
  RunDownload(folder);
  // No progress for the empty file: the module is opened, sent nothing and
  // closed again, and the user is told it keeps what it held.
  EXPECT_EQ(sink_->Events(),
            Join({kCycleStart, Line("下载图片索引..."), Line("下载图片索引成功！"),
                  Line("（文件为空，模块中原有内容未改变）"), Line("下载图片数据..."),
                  Progress({0, 100}), Line("下载图片数据成功！"), kSoundsSent, kCycleEnd}));
  EXPECT_EQ(LogLines("usb_open").size(), 4u);
  EXPECT_EQ(Transfers(Log()), Join({FileReceived(2, 0x92, "image.bin", {10}, 10),
                                    FileReceived(3, 0x94, "wave.idx", {16}, 16),
                                    FileReceived(4, 0x95, "wave.bin", {2048, 0}, 2048)}));
  EXPECT_FALSE(fs::exists(Received() / "image.idx"));
  EXPECT_FALSE(worker_->LastCycleFailed());
}

TEST_F(BuildWorkerTest, FolderWithOnlyWaveFilesFailsThePicturesAndSendsTheSounds) {
  const fs::path folder = dir_ / "waves";
  fs::create_directories(folder);
  WriteBytes(folder / "wave.idx", kWaveIndex);
  WriteBytes(folder / "wave.bin", kWaveData);
  StartWorker();
  RunDownload(folder);
  EXPECT_EQ(
      sink_->Events(),
      Join({kCycleStart, Line("下载图片索引..."), Line("下载图片索引失败！"),
            Line("无法打开文件：" + (folder / "image.idx").string() + "（文件或文件夹不存在）"),
            kSoundsSent, kCycleEnd}));
  EXPECT_EQ(Transfers(Log()), Join({FileReceived(1, 0x94, "wave.idx", {16}, 16),
                                    FileReceived(2, 0x95, "wave.bin", {2048, 0}, 2048)}));
  EXPECT_TRUE(worker_->LastCycleFailed());
}

TEST_F(BuildWorkerTest, MissingPictureDataFailsAfterItsIndexAndTheSoundsGoOn) {
  const fs::path folder = CompiledFolder("download");
  fs::remove(folder / "image.bin");
  StartWorker();
  RunDownload(folder);
  EXPECT_EQ(
      sink_->Events(),
      Join({kCycleStart, Line("下载图片索引..."), Progress({0, 100}), Line("下载图片索引成功！"),
            Line("下载图片数据..."), Line("下载图片数据失败！"),
            Line("无法打开文件：" + (folder / "image.bin").string() + "（文件或文件夹不存在）"),
            kSoundsSent, kCycleEnd}));
  EXPECT_EQ(FolderContents(Received()),
            (std::set<std::string>{"image.idx", "wave.idx", "wave.bin"}));
  EXPECT_TRUE(worker_->LastCycleFailed());
}

TEST_F(BuildWorkerTest, FailedIndexesSkipTheirDataFiles) {
  // Every write to the module fails, from the picture index's code on.
  Configure({{"ZENTORA_MODSIM_WRITE_FAIL_AFTER", "0"}});
  const fs::path folder = CompiledFolder("download");
  StartWorker();
  RunDownload(folder);
  const char* const failedWrite = "向显示模块发送数据失败：Input/output error";
  EXPECT_EQ(sink_->Lines(), (Lines{"开始", "下载图片索引...", "下载图片索引失败！", failedWrite,
                                   "下载声音索引...", "下载声音索引失败！", failedWrite, "结束"}));
  EXPECT_EQ(LogLines("usb_bulk_write"),
            (Lines{"usb_bulk_write handle=1 ep=0x03 len=1 -> -5 (injected failure after 0 "
                   "transfers)",
                   "usb_bulk_write handle=2 ep=0x03 len=1 -> -5 (injected failure after 0 "
                   "transfers)"}));
  EXPECT_EQ(OpenHandles(), 0);
  EXPECT_TRUE(worker_->LastCycleFailed());
}

TEST_F(BuildWorkerTest, CompileFailureReplacesAndSendsNothing) {
  AddPictures();
  AddSound();
  // image.bin cannot be created where a folder of that name is.
  fs::create_directories(out_ / "image.bin");
  StartWorker();
  RunCompileAndDownload();
  EXPECT_EQ(sink_->Events(),
            Join({kCycleStart,
                  Line("无法创建文件：" + (out_ / "image.bin").string() + "（是文件夹，不是文件）"),
                  kSoundsCompiled, Line("编译失败，文件夹中原有的资源文件保持不变"), kCycleEnd}));
  EXPECT_EQ(FolderContents(out_), std::set<std::string>{"image.bin"});
  EXPECT_EQ(FolderContents(Received()), std::set<std::string>{});
  EXPECT_TRUE(worker_->LastCycleFailed());
}

TEST_F(BuildWorkerTest, OnlyTheLastLevelOfTheOutputFolderIsMade) {
  AddPictures();
  AddSound();
  out_ = dir_ / "missing" / "output";
  StartWorker();
  RunCompileAndDownload();
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
  // The sound compiler creates its index first.
  EXPECT_EQ(
      sink_->Lines(),
      (Lines{"开始", "无法创建文件：" + (out_ / "image.bin").string() + "（文件或文件夹不存在）",
             "无法创建文件：" + (out_ / "wave.idx").string() + "（文件或文件夹不存在）", "结束"}));
  EXPECT_EQ(Log(), Lines());
  EXPECT_TRUE(worker_->LastCycleFailed());
}

TEST_F(BuildWorkerTest, LastCycleFailedFollowsTheLatestCycle) {
  StartWorker();
  EXPECT_FALSE(worker_->LastCycleFailed());
  const fs::path folder = CompiledFolder("download");

  Configure({{"ZENTORA_MODSIM_MODULES", "0"}});
  RunDownload(folder);
  EXPECT_TRUE(worker_->LastCycleFailed());

  Configure({});
  RunDownload(folder);
  EXPECT_FALSE(worker_->LastCycleFailed());
  ExpectReceivedAll(folder);

  // A frame refused half-way through the sound data.
  Configure({{"ZENTORA_MODSIM_BAD_ACK_AFTER", "7"}});
  RunDownload(folder);
  EXPECT_TRUE(worker_->LastCycleFailed());
  EXPECT_EQ(LinesOfLastCycle(sink_->Events()),
            (Lines{"开始", "下载图片索引...", "下载图片索引成功！", "下载图片数据...",
                   "下载图片数据成功！", "下载声音索引...", "下载声音索引成功！", "下载声音数据...",
                   "下载声音数据失败！", "显示模块应答错误：收到 0x00，应为 0xCC", "结束"}));

  // An empty project has nothing to fail.
  RunCompileAndDownload();
  EXPECT_FALSE(worker_->LastCycleFailed());
  EXPECT_EQ(worker_->Command(), CMD_IDLE);

  // A picture that compiles to nothing fails the cycle, though all is sent.
  Configure({});
  pictures_.Add(projectFolder_ / "missing.png");
  RunCompileAndDownload();
  EXPECT_TRUE(worker_->LastCycleFailed());
  const Lines lines = LinesOfLastCycle(sink_->Events());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "下载图片数据成功！"), lines.end());
}

TEST_F(BuildWorkerTest, EachCycleEmptiesTheListFirst) {
  const fs::path folder = CompiledFolder("download");
  StartWorker();
  RunDownload(folder);
  RunDownload(folder);
  const Events cycle = Join({kCycleStart, kPicturesSent, kSoundsSent, kCycleEnd});
  EXPECT_EQ(sink_->Events(), Join({cycle, cycle}));
}

TEST_F(BuildWorkerTest, CommandWordHoldsTheCycleUntilItEnds) {
  AddPictures();
  StartHeldWorker("line:开始");
  EXPECT_EQ(worker_->Command(), CMD_IDLE);
  ASSERT_TRUE(CompileAndDownload());
  ASSERT_TRUE(record_->WaitUntilHeld());
  EXPECT_EQ(worker_->Command(), 14);
  EXPECT_FALSE(worker_->IsIdle());
  record_->Release();
  worker_->WaitUntilIdle();
  EXPECT_EQ(worker_->Command(), CMD_IDLE);
  EXPECT_TRUE(worker_->IsIdle());
}

TEST_F(BuildWorkerTest, TriggerWhileACycleRunsIsIgnored) {
  const fs::path first = CompiledFolder("first");
  const fs::path second = dir_ / "second";
  fs::create_directories(second);
  for (const char* name : kResourceFiles) {
    WriteBytes(second / name, std::string("second ") + name);
  }
  AddPictures();
  StartHeldWorker("line:开始");
  ASSERT_TRUE(worker_->TriggerDownload(first));
  ASSERT_TRUE(record_->WaitUntilHeld());
  EXPECT_EQ(worker_->Command(), 12);

  const fs::path unmade = dir_ / "unmade";
  EXPECT_FALSE(worker_->TriggerDownload(second));
  EXPECT_FALSE(worker_->TriggerCompileDownload(unmade, pictures_, sounds_, settings_));
  // Ignored without a trace: no folder made, the command word unchanged.
  EXPECT_FALSE(fs::exists(unmade));
  EXPECT_EQ(worker_->Command(), 12);

  record_->Release();
  worker_->WaitUntilIdle();
  EXPECT_EQ(record_->Events(), Join({kCycleStart, kPicturesSent, kSoundsSent, kCycleEnd}));
  // The cycle sent the first folder, once.
  ExpectReceivedAll(first);
  EXPECT_EQ(Transfers(Log()), FourFilesReceived());
  EXPECT_FALSE(fs::exists(unmade / "image.bin"));

  // Once idle, the next trigger is taken and sends its own folder.
  ASSERT_TRUE(worker_->TriggerDownload(second));
  worker_->WaitUntilIdle();
  ExpectReceivedAll(second);
  EXPECT_EQ(LogLines("saved").size(), 8u);
}

TEST_F(BuildWorkerTest, CycleWorksOnTheListsAsTheyWereAtTheTrigger) {
  AddPictures();
  AddSound();
  StartHeldWorker("line:开始");
  ASSERT_TRUE(CompileAndDownload());
  // The user goes on editing while the cycle runs.
  pictures_.RemoveAll();
  pictures_.Add(projectFolder_ / "a.bmp");
  sounds_.RemoveAll();
  settings_.colorDepth = 1;
  settings_.msbFirst = true;
  ASSERT_TRUE(record_->WaitUntilHeld());
  pictures_.Add(projectFolder_ / "b.png");
  record_->Release();
  worker_->WaitUntilIdle();

  EXPECT_EQ(record_->Events(), Join({kCycleStart, kPicturesCompiled, kSoundsCompiled, kPicturesSent,
                                     kSoundsSent, kCycleEnd}));
  EXPECT_EQ(ReadText(out_ / "image.idx"), kImageIndex);
  EXPECT_EQ(ReadText(out_ / "image.bin"), kImageData);
  EXPECT_EQ(ReadText(out_ / "wave.idx"), kWaveIndex);
  ExpectReceivedAll(out_);
}

TEST_F(BuildWorkerTest, ExitDuringATransferFinishesTheStepAndSkipsTheRest) {
  const fs::path folder = CompiledFolder("download");
  // The picture index is under way: its code was acknowledged.
  StartHeldWorker("progress:0");
  ASSERT_TRUE(worker_->TriggerDownload(folder));
  ASSERT_TRUE(record_->WaitUntilHeld());
  EXPECT_EQ(OpenHandles(), 1);
  worker_->RequestExit();
  EXPECT_EQ(worker_->Command(), CMD_EXIT);
  record_->Release();
  worker_->WaitUntilIdle();

  // The picture step ran to its end, the sound step was skipped, and the
  // cycle still ended properly.
  EXPECT_EQ(record_->Events(), Join({kCycleStart, kPicturesSent, kCycleEnd}));
  EXPECT_EQ(Transfers(Log()), Join({FileReceived(1, 0x90, "image.idx", {32}, 32),
                                    FileReceived(2, 0x92, "image.bin", {10}, 10)}));
  // The exit request is not overwritten by the return to idle, and the
  // thread has ended.
  EXPECT_EQ(worker_->Command(), CMD_EXIT);
  EXPECT_TRUE(worker_->Stop());
  EXPECT_FALSE(worker_->TriggerDownload(folder));
}

TEST_F(BuildWorkerTest, ExitDuringTheCompileSkipsTheDownloads) {
  AddPictures();
  AddSound();
  StartHeldWorker("line:生成图片资源...");
  ASSERT_TRUE(CompileAndDownload());
  ASSERT_TRUE(record_->WaitUntilHeld());
  worker_->RequestExit();
  record_->Release();
  worker_->WaitUntilIdle();
  // Both compilers belong to one step.
  EXPECT_EQ(record_->Events(), Join({kCycleStart, kPicturesCompiled, kSoundsCompiled, kCycleEnd}));
  EXPECT_EQ(Log(), Lines());
  EXPECT_EQ(ReadText(out_ / "image.bin"), kImageData);
  EXPECT_EQ(worker_->Command(), CMD_EXIT);
  EXPECT_TRUE(worker_->Stop());
}

TEST_F(BuildWorkerTest, ExitWhileIdleEndsTheThread) {
  StartWorker();
  EXPECT_TRUE(worker_->Stop());
  EXPECT_EQ(worker_->Command(), CMD_EXIT);
  EXPECT_FALSE(worker_->TriggerDownload(dir_.Path()));
  EXPECT_EQ(sink_->Events(), Events());
  // Stopping again, and the destructor's stop, are harmless.
  EXPECT_TRUE(worker_->Stop());
}

TEST_F(BuildWorkerTest, WorkerNeverStartedStopsAtOnce) {
  CBuildWorker idle(std::make_shared<CRecordingSink>());
  EXPECT_TRUE(idle.Stop());
  EXPECT_EQ(idle.Command(), CMD_EXIT);
}

TEST_F(BuildWorkerTest, StopGivesUpOnAHangingTransferAndTheThreadFinishesAlone) {
  // The module never answers the picture index's code; the read waits 3 s.
  Configure({{"ZENTORA_MODSIM_SILENT_AFTER", "0"}, {"ZENTORA_MODSIM_HANG_MS", "3000"}});
  const fs::path folder = CompiledFolder("download");
  auto record = std::make_shared<CSinkRecord>();
  auto sink = std::make_shared<CRecordSink>(record);
  auto worker = std::make_unique<CBuildWorker>(sink);
  worker->Start();
  ASSERT_TRUE(worker->TriggerDownload(folder));
  ASSERT_TRUE(WaitForLog("(code 0x90 image.idx)"));

  EXPECT_FALSE(worker->Stop(std::chrono::milliseconds(100)));
  // It gave up while the read was still waiting: the simulator logs a read
  // only once it returns.
  EXPECT_EQ(LogLines("usb_bulk_read"), Lines());
  // Neither the worker object nor the test's sink is needed by the thread.
  worker.reset();
  sink.reset();

  // The thread lets go of the sink when it ends.
  ASSERT_TRUE(record->WaitUntilSinkGone());
  EXPECT_EQ(record->Events(),
            Join({kCycleStart, Line("下载图片索引..."), Line("下载图片索引失败！"),
                  Line("显示模块 5 秒内没有应答"), kCycleEnd}));
  EXPECT_EQ(Transfers(Log()),
            (Lines{"usb_bulk_write handle=1 ep=0x03 len=1 -> 1 (code 0x90 image.idx)",
                   "usb_bulk_read handle=1 ep=0x81 len=1 -> -110 (no answer, waited 3000 ms)"}));
  EXPECT_EQ(OpenHandles(), 0);
}

}  // namespace
}  // namespace zentora::testing
