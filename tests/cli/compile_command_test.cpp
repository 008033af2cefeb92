// zentora-cli compile.

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace zentora::testing {
namespace {

namespace fs = std::filesystem;

// The project has pictures but no sounds.
constexpr const char* kWritten = "生成图片资源...\n生成图片资源成功！\n没有声音资源！\n";
// A canonical WAV: 8-bit mono at 8000 Hz with three sample bytes.
const std::string kBeep =
    std::string("RIFF\x27\x00\x00\x00WAVEfmt \x10\x00\x00\x00", 20) +
    std::string("\x01\x00\x01\x00\x40\x1F\x00\x00\x40\x1F\x00\x00\x01\x00\x08\x00", 16) +
    std::string("data\x03\x00\x00\x00\x10\x20\x30", 11);

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;

// A project made by `project create` with two pictures: b.png, 2 × 1 (red,
// blue), then a.bmp, 1 × 3 (all green).
class CompileCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(picked_);
    SavePicture(picked_ / "b.png", 2, 1, {kRed, kBlue});
    SavePicture(picked_ / "a.bmp", 1, 3, {kGreen, kGreen, kGreen});
    WriteBytes(picked_ / "s.wav", "not really a sound");
    const CliRun created = RunCli({"project", "create", Arg(project_), "--picture",
                                   Arg(picked_ / "b.png"), "--picture", Arg(picked_ / "a.bmp")});
    ASSERT_EQ(created.exitCode, 0) << created.err;
  }

  CTempDir dir_;
  fs::path picked_ = dir_ / "picked";
  fs::path folder_ = dir_ / "工程";
  fs::path project_ = folder_ / "Demo.zentoraprj";
};

// The two pictures' index entries: number (2 bytes), a reserved byte,
// address (4), width (2), height (2), data length (3), two reserved bytes;
// little endian, the first address 0x00B00000.
const std::string kIndex16(
    "\x00\x00\x00\x00\x00\xB0\x00\x02\x00\x01\x00\x04\x00\x00\x00\x00"
    "\x01\x00\x00\x04\x00\xB0\x00\x01\x00\x03\x00\x06\x00\x00\x00\x00",
    32);
const std::string kIndex24(
    "\x00\x00\x00\x00\x00\xB0\x00\x02\x00\x01\x00\x06\x00\x00\x00\x00"
    "\x01\x00\x00\x06\x00\xB0\x00\x01\x00\x03\x00\x09\x00\x00\x00\x00",
    32);

struct OptionCase {
  const char* label;
  QStringList options;
  std::string data;   // image.bin
  std::string index;  // image.idx
};

void PrintTo(const OptionCase& c, std::ostream* os) {
  *os << c.label;
}

class CompileOptionTest : public CompileCommandTest,
                          public ::testing::WithParamInterface<OptionCase> {};

TEST_P(CompileOptionTest, WritesIntoTheProjectsOutputFolder) {
  const CliRun run = RunCli(QStringList{"compile", Arg(project_)} + GetParam().options);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, kWritten);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadText(folder_ / "output" / "image.bin"), GetParam().data);
  EXPECT_EQ(ReadText(folder_ / "output" / "image.idx"), GetParam().index);
}

// RGB565 red F800, blue 001F, green 07E0; 24 bits blue, green, red.
INSTANTIATE_TEST_SUITE_P(
    Cli, CompileOptionTest,
    ::testing::Values(
        OptionCase{
            "Default", {}, std::string("\x00\xF8\x1F\x00\xE0\x07\xE0\x07\xE0\x07", 10), kIndex16},
        OptionCase{"Depth16",
                   {"--depth", "16"},
                   std::string("\x00\xF8\x1F\x00\xE0\x07\xE0\x07\xE0\x07", 10),
                   kIndex16},
        OptionCase{"Depth24",
                   {"--depth", "24"},
                   std::string("\x00\x00\xFF\xFF\x00\x00\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00", 15),
                   kIndex24},
        OptionCase{"MsbFirst",
                   {"--msb-first"},
                   std::string("\xF8\x00\x00\x1F\x07\xE0\x07\xE0\x07\xE0", 10),
                   kIndex16},
        OptionCase{"RowRightToLeft",
                   {"--row-right-to-left"},
                   std::string("\x1F\x00\x00\xF8\xE0\x07\xE0\x07\xE0\x07", 10),
                   kIndex16},
        OptionCase{"Depth24MsbFirst",
                   {"--depth=24", "--msb-first"},
                   std::string("\xFF\x00\x00\x00\x00\xFF\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00", 15),
                   kIndex24}),
    [](const ::testing::TestParamInfo<OptionCase>& param) { return param.param.label; });

TEST_F(CompileCommandTest, OutFolderIsMadeAndUsedInstead) {
  const fs::path out = dir_ / "输出" / "deeper";
  const CliRun run = RunCli({"compile", Arg(project_), "--out", Arg(out)});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, kWritten);
  EXPECT_EQ(ReadText(out / "image.bin"),
            std::string("\x00\xF8\x1F\x00\xE0\x07\xE0\x07\xE0\x07", 10));
  EXPECT_EQ(ReadText(out / "image.idx"), kIndex16);
  EXPECT_FALSE(fs::exists(folder_ / "output"));
}

TEST_F(CompileCommandTest, MissingPictureGivesAZeroEntryAndKeepsTheNumbers) {
  fs::remove(folder_ / "b.png");
  const CliRun run = RunCli({"compile", Arg(project_)});
  // The files are written, and the missing picture fails the command.
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.out,
            "生成图片资源...\n无法读取图片：b.png（文件或文件夹不存在）\n生成图片资源成功！\n"
            "没有声音资源！\n");
  EXPECT_EQ(ReadText(folder_ / "output" / "image.bin"), std::string("\xE0\x07\xE0\x07\xE0\x07", 6));
  EXPECT_EQ(ReadText(folder_ / "output" / "image.idx"),
            std::string("\x00\x00\x00\x00\x00\xB0\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                        "\x01\x00\x00\x00\x00\xB0\x00\x01\x00\x03\x00\x06\x00\x00\x00\x00",
                        32));
}

TEST_F(CompileCommandTest, ProjectWithoutPicturesSaysSoAndSucceeds) {
  const fs::path empty = dir_ / "空" / "E.zentoraprj";
  WriteBytes(picked_ / "beep.wav", kBeep);
  const CliRun created =
      RunCli({"project", "create", Arg(empty), "--sound", Arg(picked_ / "beep.wav")});
  ASSERT_EQ(created.exitCode, 0) << created.err;
  const CliRun run = RunCli({"compile", Arg(empty)});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "没有图片资源！\n生成声音资源...\n生成声音资源成功！\n");
  EXPECT_EQ(run.err, "");
  // The picture files are there, empty.
  for (const char* name : {"image.bin", "image.idx"}) {
    ASSERT_TRUE(fs::exists(dir_ / "空" / "output" / name)) << name;
    EXPECT_EQ(fs::file_size(dir_ / "空" / "output" / name), 0u) << name;
  }
  EXPECT_EQ(fs::file_size(dir_ / "空" / "output" / "wave.idx"), 16u);
}

TEST_F(CompileCommandTest, UnreadableProjectEndsWithStatusTwo) {
  WriteBytes(folder_ / "broken.zentoraprj", "<Karvelo><Images><Image RelativePath=\"b.png\"/>");
  WriteBytes(folder_ / "empty.zentoraprj", "");
  for (const fs::path& file : {folder_ / "missing.zentoraprj", folder_ / "broken.zentoraprj",
                               folder_ / "empty.zentoraprj"}) {
    SCOPED_TRACE(file.string());
    const CliRun run = RunCli({"compile", Arg(file)});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("zentora-cli: 无法打开工程：" + file.string() + "（", 0), 0u)
        << run.err;
    EXPECT_FALSE(fs::exists(folder_ / "output"));
  }
}

TEST_F(CompileCommandTest, OutFolderThatCannotBeMadeEndsWithStatusOne) {
  WriteBytes(dir_ / "plain", "a file");
  const CliRun run = RunCli({"compile", Arg(project_), "--out", Arg(dir_ / "plain" / "out")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err.rfind("zentora-cli: 无法创建文件夹：" + (dir_ / "plain" / "out").string(), 0),
            0u)
      << run.err;
  EXPECT_EQ(ReadText(dir_ / "plain"), "a file");
}

// Entries whose path names no file are named by their place in the list.
TEST(CompileCommand, EntriesWithoutAFileNameAreNamedByPosition) {
  CTempDir dir;
  const fs::path project = dir / "E.zentoraprj";
  WriteBytes(project,
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Karvelo Version=\"1.0\"><Pages/>"
             "<Images><Image RelativePath=\"\"/></Images>"
             "<Waves><Wave RelativePath=\"\"/><Wave RelativePath=\"\"/></Waves></Karvelo>\n");
  const CliRun run = RunCli({"compile", Arg(project)});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.out,
            "生成图片资源...\n无法读取图片：第 1 项（文件或文件夹不存在）\n生成图片资源成功！\n"
            "生成声音资源...\n无法读取声音：第 1 项（文件或文件夹不存在）\n"
            "无法读取声音：第 2 项（文件或文件夹不存在）\n生成声音资源成功！\n");
}

TEST_F(CompileCommandTest, OutFolderThatIsAFileIsNamedAsNoFolder) {
  WriteBytes(dir_ / "plain", "a file");
  const CliRun run = RunCli({"compile", Arg(project_), "--out", Arg(dir_ / "plain")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "zentora-cli: 无法创建文件夹：" + (dir_ / "plain").string() +
                         "/（已存在，但不是文件夹）\n");
}

TEST_F(CompileCommandTest, JournalThatCannotBeWrittenIsNamedAndReplacesNothing) {
  const fs::path out = dir_ / "out";
  fs::create_directories(out / ".zentora-replace");
  const CliRun run = RunCli({"compile", Arg(project_), "--out", Arg(out)});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "生成图片资源...\n生成图片资源成功！\n没有声音资源！\n写入文件失败：" +
                         (out / ".zentora-replace").string() +
                         "（是文件夹，不是文件）\n编译失败，文件夹中原有的资源文件保持不变\n");
  EXPECT_EQ(FolderContents(out), std::set<std::string>{".zentora-replace"});
}

TEST_F(CompileCommandTest, DataFileThatCannotBeCreatedEndsWithStatusOne) {
  const fs::path out = dir_ / "out";
  fs::create_directories(out / "image.bin");
  const CliRun run = RunCli({"compile", Arg(project_), "--out", Arg(out)});
  EXPECT_EQ(run.exitCode, 1);
  // The sounds are compiled all the same, but no file is replaced.
  EXPECT_EQ(run.out, "无法创建文件：" + (out / "image.bin").string() +
                         "（是文件夹，不是文件）\n没有声音资源！\n"
                         "编译失败，文件夹中原有的资源文件保持不变\n");
  EXPECT_EQ(FolderContents(out), std::set<std::string>{"image.bin"});
}

TEST_F(CompileCommandTest, PicturesAndSoundsGiveAllFourFiles) {
  WriteBytes(picked_ / "beep.wav", kBeep);
  const fs::path both = dir_ / "both" / "Both.zentoraprj";
  const CliRun created =
      RunCli({"project", "create", Arg(both), "--picture", Arg(picked_ / "a.bmp"), "--sound",
              Arg(picked_ / "beep.wav"), "--sound", Arg(picked_ / "s.wav")});
  ASSERT_EQ(created.exitCode, 0) << created.err;

  const CliRun run = RunCli({"compile", Arg(both)});
  EXPECT_EQ(run.exitCode, 1) << run.err;  // a sound was skipped
  EXPECT_EQ(run.out,
            "生成图片资源...\n生成图片资源成功！\n生成声音资源...\n"
            "无法读取声音：s.wav（不是 WAV 文件）\n生成声音资源成功！\n");
  const fs::path out = dir_ / "both" / "output";
  EXPECT_EQ(ReadText(out / "image.bin"), std::string("\xE0\x07\xE0\x07\xE0\x07", 6));
  // Number 0, one channel, 8 bits, 8000 Hz, 3 bytes at 0x07000000; the
  // second sound is no WAV file and takes no entry.
  EXPECT_EQ(ReadText(out / "wave.idx"),
            std::string("\x00\x01\x08\x00\x40\x1F\x00\x00\x03\x00\x00\x00\x00\x00\x00\x07", 16));
  EXPECT_EQ(ReadText(out / "wave.bin"), std::string("\x10\x20\x30", 3) + std::string(2045, '\0'));
}

TEST_F(CompileCommandTest, DepfileListsTheFourFilesAndWhatWasRead) {
  fs::remove(folder_ / "a.bmp");
  const CliRun run =
      RunCli({"compile", Arg(project_), "--out", "out", "--depfile", "out.d"}, dir_.Path());
  EXPECT_EQ(run.exitCode, 1) << run.err;  // a.bmp is gone; the files are written all the same
  EXPECT_EQ(ReadText(dir_ / "out.d"),
            "out/image.bin out/image.idx out/wave.bin out/wave.idx: \\\n " + project_.string() +
                " \\\n " + (folder_ / "b.png").string() + " \\\n " + (folder_ / "a.bmp").string() +
                "\n\n" + (folder_ / "b.png").string() + ":\n\n" + (folder_ / "a.bmp").string() +
                ":\n");
}

TEST_F(CompileCommandTest, FailedCompileLeavesTheOldDepfile) {
  WriteBytes(dir_ / "out.d", "old");
  fs::create_directories(dir_ / "out" / "image.bin");
  const CliRun run = RunCli(
      {"compile", Arg(project_), "--out", Arg(dir_ / "out"), "--depfile", Arg(dir_ / "out.d")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(ReadText(dir_ / "out.d"), "old");
}

TEST_F(CompileCommandTest, BadDepthWritesNothing) {
  const CliRun run = RunCli({"compile", Arg(project_), "--depth", "32"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "zentora-cli: --depth 只接受 16 或 24，而不是“32”\n");
  EXPECT_FALSE(fs::exists(folder_ / "output"));
}

}  // namespace
}  // namespace zentora::testing
