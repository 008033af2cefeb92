// zentora-cli download and zentora-cli build, run against the simulated
// module: the child process preloads it, the test reads its log and the
// files it saved.

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <set>
#include <string>
#include <utility>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace zentora::testing {
namespace {

namespace fs = std::filesystem;

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;

const char* const kResourceFiles[] = {"image.idx", "image.bin", "wave.idx", "wave.bin"};

// A canonical WAV: 8-bit mono at 8000 Hz with three sample bytes.
const std::string kWave = std::string("RIFF\x27\x00\x00\x00WAVEfmt \x10\x00\x00\x00", 20) +
                          std::string(
                              "\x01\x00\x01\x00\x40\x1F\x00\x00\x40\x1F\x00\x00"
                              "\x01\x00\x08\x00",
                              16) +
                          std::string("data\x03\x00\x00\x00\x10\x20\x30", 11);

const std::string kCompiled =
    "生成图片资源...\n生成图片资源成功！\n生成声音资源...\n生成声音资源成功！\n";
const std::string kAllSent =
    "下载图片索引...\n下载图片索引成功！\n下载图片数据...\n下载图片数据成功！\n"
    "下载声音索引...\n下载声音索引成功！\n下载声音数据...\n下载声音数据成功！\n";
const std::string kBothIndexesFailed =
    "开始\n下载图片索引...\n下载图片索引失败！\n未找到显示模块（USB 1514:5534）\n"
    "下载声音索引...\n下载声音索引失败！\n未找到显示模块（USB 1514:5534）\n结束\n";

int CountOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

// A project made by `project create` with two pictures and one sound.
class DownloadCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(picked_);
    fs::create_directories(received_);
    SavePicture(picked_ / "b.png", 2, 1, {kRed, kBlue});
    SavePicture(picked_ / "a.bmp", 1, 3, {kGreen, kGreen, kGreen});
    WriteBytes(picked_ / "beep.wav", kWave);
    const CliRun created =
        RunCli({"project", "create", Arg(project_), "--picture", Arg(picked_ / "b.png"),
                "--picture", Arg(picked_ / "a.bmp"), "--sound", Arg(picked_ / "beep.wav")});
    ASSERT_EQ(created.exitCode, 0) << created.err;
  }

  // The child runs with the simulated module, saving into received_ and
  // logging into log_, with these variables on top.
  CliEnvironment Module(std::initializer_list<std::pair<QString, QString>> extra = {}) const {
    CliEnvironment environment = {
        {"LD_PRELOAD", QString::fromUtf8(ZENTORA_MODSIM)},
        {"ZENTORA_MODSIM_DIR", Arg(received_)},
        {"ZENTORA_MODSIM_LOG", Arg(log_)},
        // Needed only when the tool and the simulator are built with a
        // shared AddressSanitizer runtime; understood by every build.
        {"ASAN_OPTIONS", qEnvironmentVariable("ASAN_OPTIONS") + ":verify_asan_link_order=0"}};
    environment.insert(environment.end(), extra.begin(), extra.end());
    return environment;
  }

  std::string Log() const { return ReadText(log_); }

  // A folder holding the project's four files, compiled by `compile`.
  fs::path CompiledFolder() {
    const fs::path folder = dir_ / "compiled";
    const CliRun run = RunCli({"compile", Arg(project_), "--out", Arg(folder)});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return folder;
  }

  void ExpectReceivedAll(const fs::path& folder) {
    for (const char* name : kResourceFiles) {
      ASSERT_TRUE(fs::exists(received_ / name)) << name;
      EXPECT_GT(fs::file_size(folder / name), 0u) << name;
      EXPECT_EQ(ReadBytes(received_ / name), ReadBytes(folder / name)) << name;
    }
  }

  CTempDir dir_;
  fs::path picked_ = dir_ / "picked";
  fs::path folder_ = dir_ / "工程";
  fs::path project_ = folder_ / "Demo.zentoraprj";
  fs::path received_ = dir_ / "module";
  fs::path log_ = dir_ / "module.log";
};

TEST_F(DownloadCommandTest, BuildCompilesAndSendsTheFourFiles) {
  const CliRun run = RunCli({"build", Arg(project_)}, {}, Module());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "开始\n" + kCompiled + kAllSent + "结束\n");
  EXPECT_EQ(run.err, "");
  ExpectReceivedAll(folder_ / "output");
  EXPECT_EQ(ReadText(received_ / "image.bin"),
            std::string("\x00\xF8\x1F\x00\xE0\x07\xE0\x07\xE0\x07", 10));
  const std::string log = Log();
  EXPECT_EQ(CountOf(log, "\nsaved "), 4) << log;
  EXPECT_EQ(CountOf(log, "VIOLATION"), 0) << log;
}

TEST_F(DownloadCommandTest, BuildTakesTheOutFolderAndTheImageOptions) {
  const fs::path out = dir_ / "out";
  const CliRun run =
      RunCli({"build", Arg(project_), "--out", Arg(out), "--depth", "24"}, {}, Module());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "开始\n" + kCompiled + kAllSent + "结束\n");
  ExpectReceivedAll(out);
  // Three bytes a pixel: blue, green, red.
  EXPECT_EQ(ReadText(received_ / "image.bin"),
            std::string("\x00\x00\xFF\xFF\x00\x00\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00", 15));
  EXPECT_FALSE(fs::exists(folder_ / "output"));
}

TEST_F(DownloadCommandTest, BuildWhoseTransfersFailEndsWithStatusOne) {
  const CliRun run =
      RunCli({"build", Arg(project_)}, {}, Module({{"ZENTORA_MODSIM_BAD_ACK_AFTER", "0"}}));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(
      run.out,
      "开始\n" + kCompiled +
          "下载图片索引...\n下载图片索引失败！\n显示模块应答错误：收到 0x00，应为 0xCC\n"
          "下载声音索引...\n下载声音索引失败！\n显示模块应答错误：收到 0x00，应为 0xCC\n结束\n");
  EXPECT_EQ(FolderContents(received_), std::set<std::string>());
}

TEST_F(DownloadCommandTest, BuildOfAnEmptyProjectNeverTouchesTheModule) {
  const fs::path empty = dir_ / "空" / "E.zentoraprj";
  const CliRun created = RunCli({"project", "create", Arg(empty)});
  ASSERT_EQ(created.exitCode, 0) << created.err;
  const CliRun run = RunCli({"build", Arg(empty)}, {}, Module());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "开始\n没有图片资源！\n没有声音资源！\n结束\n");
  // The simulator opens its log at the first call into it.
  EXPECT_FALSE(fs::exists(log_));
}

TEST_F(DownloadCommandTest, BuildOfAnUnreadableProjectEndsWithStatusTwo) {
  WriteBytes(folder_ / "broken.zentoraprj", "<Karvelo><Images>");
  for (const fs::path& file : {folder_ / "missing.zentoraprj", folder_ / "broken.zentoraprj"}) {
    SCOPED_TRACE(file.string());
    const CliRun run = RunCli({"build", Arg(file)}, {}, Module());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("zentora-cli: 无法打开工程：" + file.string() + "（", 0), 0u)
        << run.err;
  }
  EXPECT_FALSE(fs::exists(folder_ / "output"));
  EXPECT_FALSE(fs::exists(log_));
}

TEST_F(DownloadCommandTest, DownloadSendsTheFolder) {
  const fs::path folder = CompiledFolder();
  const CliRun run = RunCli({"download", Arg(folder)}, {}, Module());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "开始\n" + kAllSent + "结束\n");
  EXPECT_EQ(run.err, "");
  ExpectReceivedAll(folder);
}

TEST_F(DownloadCommandTest, DownloadWithoutModuleEndsWithStatusOne) {
  const fs::path folder = CompiledFolder();
  const CliRun run =
      RunCli({"download", Arg(folder)}, {}, Module({{"ZENTORA_MODSIM_MODULES", "0"}}));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, kBothIndexesFailed);
  EXPECT_EQ(run.err, "");
  const std::string log = Log();
  EXPECT_EQ(CountOf(log, "\nusb_init\n"), 2) << log;
  EXPECT_EQ(CountOf(log, "usb_open"), 0) << log;
  EXPECT_EQ(CountOf(log, "usb_bulk"), 0) << log;
}

TEST_F(DownloadCommandTest, DownloadOfAFolderWithoutPicturesEndsWithStatusOne) {
  const fs::path folder = CompiledFolder();
  fs::remove(folder / "image.idx");
  fs::remove(folder / "image.bin");
  const CliRun run = RunCli({"download", Arg(folder)}, {}, Module());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "开始\n下载图片索引...\n下载图片索引失败！\n无法打开文件：" +
                         (folder / "image.idx").string() +
                         "（文件或文件夹不存在）\n下载声音索引...\n下载声音索引成功！\n"
                         "下载声音数据...\n下载声音数据成功！\n结束\n");
  EXPECT_EQ(FolderContents(received_), (std::set<std::string>{"wave.idx", "wave.bin"}));
}

TEST_F(DownloadCommandTest, DownloadOfAMissingFolderEndsWithStatusTwo) {
  const fs::path missing = dir_ / "nowhere";
  const CliRun run = RunCli({"download", Arg(missing)}, {}, Module());
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "zentora-cli: 目录不存在！" + missing.string() + "\n");
  EXPECT_FALSE(fs::exists(log_));
}

TEST_F(DownloadCommandTest, DownloadOfAFileInsteadOfAFolderEndsWithStatusTwo) {
  WriteBytes(dir_ / "plain", "a file");
  const CliRun run = RunCli({"download", Arg(dir_ / "plain")}, {}, Module());
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "zentora-cli: 不是文件夹：" + (dir_ / "plain").string() + "\n");
  EXPECT_FALSE(fs::exists(log_));
}

TEST_F(DownloadCommandTest, DownloadNeedsExactlyOneFolder) {
  for (const QStringList& arguments :
       {QStringList{"download"}, QStringList{"download", Arg(dir_.Path()), Arg(dir_.Path())}}) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const CliRun run = RunCli(arguments, {}, Module());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err, "");
  }
  EXPECT_FALSE(fs::exists(log_));
}

}  // namespace
}  // namespace zentora::testing
