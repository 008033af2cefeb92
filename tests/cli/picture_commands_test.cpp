// zentora-cli export and adjust.

#include <gtest/gtest.h>

#include <QImageReader>

#include <filesystem>
#include <string>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace zentora::testing {
namespace {

namespace fs = std::filesystem;

QSize PictureSize(const fs::path& path) {
  return QImageReader(Arg(path)).size();
}

TEST(ExportCommand, BothFormsAndAFileThatCannotBeWritten) {
  CTempDir dir;
  const fs::path project = dir / "工程" / "Demo.zentoraprj";
  SavePicture(dir / "p.png", 2, 1, {0xFFFF0000, 0xFF0000FF});
  ASSERT_EQ(RunCli({"project", "create", Arg(project), "--picture", Arg(dir / "p.png")}).exitCode,
            0);

  const CliRun header =
      RunCli({"export", Arg(project), Arg(dir / "out.h"), "--depth", "24", "--msb-first"});
  EXPECT_EQ(header.exitCode, 0) << header.err;
  EXPECT_EQ(header.out, "");
  EXPECT_EQ(ReadText(dir / "out.h"), "//image path(" + (dir / "工程" / "p.png").string() +
                                         ")\r\n//image0 : width = 2;height = 1\r\n"
                                         "const unsigned char image0[] = {\r\n"
                                         "0xff,0x00,0x00,\r\n0x00,0x00,0xff,\r\n};\r\n\r\n");

  const CliRun binary = RunCli({"export", Arg(project), Arg(dir / "OUT.BIN")});
  EXPECT_EQ(binary.exitCode, 0) << binary.err;
  EXPECT_EQ(binary.out, "生成图片资源...\n生成图片资源成功！\n");
  EXPECT_EQ(ReadText(dir / "OUT.BIN"), std::string("\x00\xF8\x1F\x00", 4));
  EXPECT_EQ(ReadText(dir / "OUT.idx").size(), 16u);

  // Gray 4 lies halfway between two levels of red and blue: the thresholds
  // of the first two pixels send one up and leave the other.
  SavePicture(dir / "工程" / "p.png", 2, 1, {0xFF040404, 0xFF040404});
  const CliRun dithered =
      RunCli({"export", Arg(project), Arg(dir / "dithered.h"), "--dither", "ordered"});
  EXPECT_EQ(dithered.exitCode, 0) << dithered.err;
  EXPECT_EQ(ReadText(dir / "dithered.h"), "//image path(" + (dir / "工程" / "p.png").string() +
                                              ")\r\n//image0 : width = 2;height = 1\r\n"
                                              "const unsigned char image0[] = {\r\n"
                                              "0x21,0x08,\r\n0x20,0x00,\r\n};\r\n\r\n");

  const fs::path missing = dir / "missing" / "out.h";
  const CliRun failed = RunCli({"export", Arg(project), Arg(missing)});
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_EQ(failed.err,
            "zentora-cli: 无法创建文件：" + missing.string() + "（文件或文件夹不存在）\n");
}

// libpng writes its own error line, Qt's reader warns in English: the user
// reads the program's line alone, unless asked for more.
TEST(AdjustCommand, LibraryMessagesOnlyWithVerbose) {
  CTempDir dir;
  struct Case {
    const char* file;  // under tests/data/images
    const char* reason;
    QStringList options;
    const char* libraryText;  // expected on stderr before the line, or nothing
  };
  for (const Case& c :
       {Case{"truncated_after_header.png", "图片文件已损坏", {}, nullptr},
        Case{"header_only_20000x20000.png", "图片太大，超出解码内存上限", {}, nullptr},
        Case{"truncated_after_header.png", "图片文件已损坏", {"--verbose"}, "libpng error"}}) {
    SCOPED_TRACE(c.file);
    const fs::path picture = dir / "p.png";
    fs::copy_file(fs::path(ZENTORA_TEST_DATA_DIR) / "images" / c.file, picture,
                  fs::copy_options::overwrite_existing);
    const CliRun run =
        RunCli(QStringList{"adjust", Arg(picture), "--width", "4", "--height", "4"} + c.options);
    EXPECT_EQ(run.exitCode, 1);
    const std::string line =
        "zentora-cli: 无法读取图片：" + picture.string() + "（" + c.reason + "）\n";
    if (c.libraryText == nullptr) {
      EXPECT_EQ(run.err, line);
    } else {
      EXPECT_NE(run.err.find(c.libraryText), std::string::npos) << run.err;
      EXPECT_TRUE(run.err.ends_with(line)) << run.err;
    }
  }
}

TEST(AdjustCommand, AdjustsEveryFileAndReportsTheUnreadable) {
  CTempDir dir;
  SavePicture(dir / "a.png", 4, 2, {0, 0, 0, 0, 0, 0, 0, 0});
  SavePicture(dir / "b.bmp", 4, 2, {0, 0, 0, 0, 0, 0, 0, 0});
  WriteBytes(dir / "broken.png", "not a picture");
  const CliRun run = RunCli({"adjust", Arg(dir / "a.png"), Arg(dir / "broken.png"),
                             Arg(dir / "b.bmp"), "--width", "64", "--height", "32", "--scale"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "zentora-cli: 无法读取图片：" + (dir / "broken.png").string() + "（不是图片文件）\n");
  EXPECT_EQ(PictureSize(dir / "a.png"), QSize(64, 32));
  EXPECT_EQ(PictureSize(dir / "b.bmp"), QSize(64, 32));
  EXPECT_EQ(ReadText(dir / "broken.png"), "not a picture");

  const CliRun crop = RunCli({"adjust", Arg(dir / "a.png"), "--width=10", "--height=20"});
  EXPECT_EQ(crop.exitCode, 0) << crop.err;
  EXPECT_EQ(PictureSize(dir / "a.png"), QSize(10, 20));

  for (const QStringList& bad :
       {QStringList{"--width", "0", "--height", "10"},
        QStringList{"--width", "10", "--height", "2001"},
        QStringList{"--width", "ten", "--height", "10"}, QStringList{"--height", "10"}}) {
    SCOPED_TRACE(bad.join(' ').toStdString());
    const CliRun refused = RunCli(QStringList{"adjust", Arg(dir / "a.png")} + bad);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(PictureSize(dir / "a.png"), QSize(10, 20));
  }
  EXPECT_EQ(RunCli({"adjust", "--width", "10", "--height", "10"}).exitCode, 2);
}

}  // namespace
}  // namespace zentora::testing
