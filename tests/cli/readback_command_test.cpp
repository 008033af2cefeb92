// zentora-cli inspect.

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "cli_runner.h"
#include "image/picture_canvas.h"
#include "sound/wave.h"
#include "support/temp_dir.h"

namespace zentora::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kSample = fs::path(ZENTORA_TEST_DATA_DIR) / ".." / ".." / "samples" / "demo";

std::string SamplesOf(const fs::path& path) {
  CWave wave;
  EXPECT_EQ(wave.Load(path), 1) << path;
  return {reinterpret_cast<const char*>(wave.Data()), wave.DataLength()};
}

QJsonObject ParsedJson(const std::string& out) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(out), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << out;
  return document.object();
}

TEST(InspectCommandTest, JsonHoldsTheEntriesAndTheFindingsCodes) {
  CTempDir dir;
  const CliRun compiled =
      RunCli({"compile", Arg(kSample / "Demo.zentoraprj"), "--out", Arg(dir / "out")});
  ASSERT_EQ(compiled.exitCode, 0) << compiled.err;

  const CliRun run = RunCli({"inspect", Arg(dir / "out"), "--depth", "24", "--json"});
  EXPECT_EQ(run.exitCode, 1);  // the depth disagrees
  const QJsonObject json = ParsedJson(run.out);
  EXPECT_EQ(json["version"].toInt(), 1);
  const QJsonObject first = json["pictures"].toArray().at(0).toObject();
  EXPECT_EQ(first["address"].toInteger(), 0x00B00000);
  EXPECT_EQ(first["width"].toInt(), 320);
  EXPECT_EQ(first["bytesPerPixel"].toInt(), 2);
  EXPECT_EQ(json["sounds"].toArray().at(1).toObject()["sampleRate"].toInteger(), 16000);
  const QJsonArray findings = json["findings"].toArray();
  ASSERT_EQ(findings.size(), 1);
  EXPECT_EQ(findings.at(0).toObject()["code"].toString(), "depth-mismatch");
  EXPECT_EQ(findings.at(0).toObject()["text"].toString().toStdString(),
            "资源文件是 16 位色彩，与所选的 24 位不同；按文件的 16 位显示");
}

// The sample project compiled with settings other than the defaults comes
// back as exactly the pictures and sounds that went in.
TEST(InspectCommandTest, TheSampleProjectComesBack) {
  CTempDir dir;
  const QStringList options{"--depth", "24", "--column-first", "--row-right-to-left"};
  const CliRun compiled =
      RunCli(QStringList{"compile", Arg(kSample / "Demo.zentoraprj"), "--out", Arg(dir / "out")} +
             options);
  ASSERT_EQ(compiled.exitCode, 0) << compiled.err;

  const CliRun run = RunCli(QStringList{"inspect", Arg(dir / "out"), "--png", Arg(dir / "png"),
                                        "--wav", Arg(dir / "wav"), "--sheet", "5"} +
                            options);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(
      run.out.starts_with("图片 0000  地址 0x00B00000  320 × 240  3 字节/像素  230400 字节\n"))
      << run.out;
  EXPECT_TRUE(run.out.ends_with("未发现问题\n")) << run.out;
  const char* pictures[] = {"splash.png",  "alert.png", "level.bmp",
                            "texture.jpg", "badge.gif", "stripes.tif"};
  for (int i = 0; i < 6; ++i) {
    const QImage back(
        QString::fromStdString((dir / "png" / ("000" + std::to_string(i) + ".png")).string()));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32),
              DrawPictureCanvas(kSample / pictures[i]).canvas)
        << pictures[i];
  }
  EXPECT_EQ(SamplesOf(dir / "wav" / "0000.wav"), SamplesOf(kSample / "beep.wav"));
  EXPECT_EQ(SamplesOf(dir / "wav" / "0001.wav"), SamplesOf(kSample / "chime.wav"));
  EXPECT_EQ(
      QImage(QString::fromStdString((dir / "png" / "picture-5-settings.png").string())).isNull(),
      false);
  EXPECT_EQ(QImage(QString::fromStdString((dir / "png" / "sheet.png").string())).isNull(), false);
}

struct DepthCase {
  const char* name;
  const char* compiled;  // --depth of the compile
  const char* viewed;    // --depth of the inspect
  std::string finding;
};

void PrintTo(const DepthCase& c, std::ostream* os) {
  *os << c.name;
}

class InspectDepthTest : public ::testing::TestWithParam<DepthCase> {};

// A depth other than the files' is a finding; the pictures come out as they
// do at the files' own depth.
TEST_P(InspectDepthTest, DrawsAtTheFilesDepth) {
  const DepthCase& row = GetParam();
  CTempDir dir;
  ASSERT_EQ(RunCli({"compile", Arg(kSample / "Demo.zentoraprj"), "--out", Arg(dir / "out"),
                    "--depth", row.compiled})
                .exitCode,
            0);
  const CliRun matching = RunCli(
      {"inspect", Arg(dir / "out"), "--depth", row.compiled, "--png", Arg(dir / "matching")});
  ASSERT_EQ(matching.exitCode, 0) << matching.out;
  const CliRun run =
      RunCli({"inspect", Arg(dir / "out"), "--depth", row.viewed, "--png", Arg(dir / "viewed")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.ends_with("发现 1 个问题：\n" + row.finding + "\n")) << run.out;
  const QImage viewed(Arg(dir / "viewed" / "0000.png"));
  EXPECT_FALSE(viewed.isNull());
  EXPECT_EQ(viewed, QImage(Arg(dir / "matching" / "0000.png")));
}

INSTANTIATE_TEST_SUITE_P(
    Cli, InspectDepthTest,
    ::testing::Values(DepthCase{"SixteenBitFilesViewedAs24", "16", "24",
                                "资源文件是 16 位色彩，与所选的 24 位不同；按文件的 16 位显示"},
                      DepthCase{"TwentyFourBitFilesViewedAs16", "24", "16",
                                "资源文件是 24 位色彩，与所选的 16 位不同；按文件的 24 位显示"}),
    [](const ::testing::TestParamInfo<DepthCase>& row) { return row.param.name; });

struct ExitCase {
  const char* name;
  QStringList arguments;  // after "inspect"; FOLDER stands for a folder with a 15-byte image.idx
  int exitCode;
  std::string out;
};

void PrintTo(const ExitCase& c, std::ostream* os) {
  *os << c.name;
}

class InspectExitTest : public ::testing::TestWithParam<ExitCase> {};

TEST_P(InspectExitTest, EndsWithItsExitCode) {
  CTempDir dir;
  WriteBytes(dir / "image.idx", std::string(15, '\0'));
  QStringList arguments{"inspect"};
  for (const QString& argument : GetParam().arguments) {
    arguments << (argument == "FOLDER" ? Arg(dir.Path()) : argument);
  }
  const CliRun run = RunCli(arguments);
  EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.err;
  EXPECT_EQ(run.out, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, InspectExitTest,
    ::testing::Values(
        ExitCase{
            "Findings",
            {"FOLDER"},
            1,
            "发现 1 个问题：\nimage.idx：长度 15 字节，不是 16 的倍数，末尾 15 字节不成条目\n"},
        ExitCase{"NoFolder", {}, 2, ""}, ExitCase{"MissingFolder", {"/nonexistent/folder"}, 2, ""},
        ExitCase{"BadDepth", {"FOLDER", "--depth", "8"}, 2, ""},
        ExitCase{"SheetWithoutPng", {"FOLDER", "--sheet", "0"}, 2, ""},
        ExitCase{"SheetPastTheLastPicture", {"FOLDER", "--png", "/tmp", "--sheet", "0"}, 2, ""},
        ExitCase{"SheetNotANumber", {"FOLDER", "--png", "/tmp", "--sheet", "x"}, 2, ""}),
    [](const ::testing::TestParamInfo<ExitCase>& row) { return row.param.name; });

}  // namespace
}  // namespace zentora::testing
