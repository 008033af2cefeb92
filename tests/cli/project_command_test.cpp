// zentora-cli project create / project show.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace zentora::testing {
namespace {

namespace fs = std::filesystem;

std::set<std::string> FolderContents(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

class ProjectCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(picked_);
    WriteBytes(picked_ / "b.png", "picture b");
    WriteBytes(picked_ / "a.bmp", "picture a");
    WriteBytes(picked_ / "s.wav", "sound s");
  }

  // Creates project_ from b.png, a.bmp and s.wav, in that order.
  CliRun CreateDemo() {
    return RunCli({"project", "create", Arg(project_), "--picture", Arg(picked_ / "b.png"),
                   "--sound", Arg(picked_ / "s.wav"), "--picture", Arg(picked_ / "a.bmp")});
  }

  CTempDir dir_;
  fs::path picked_ = dir_ / "picked";
  fs::path folder_ = dir_ / "新工程" / "Demo";
  fs::path project_ = folder_ / "Demo.zentoraprj";
};

TEST_F(ProjectCommandTest, CreateCopiesTheFilesAndWritesTheProject) {
  const CliRun run = CreateDemo();
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "已创建工程：" + project_.string() + "（图片 2，声音 1）\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(FolderContents(folder_),
            (std::set<std::string>{"Demo.zentoraprj", "a.bmp", "b.png", "s.wav"}));
  EXPECT_EQ(ReadText(project_),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Karvelo Version=\"1.0\"><Pages/><Images><Image RelativePath=\"b.png\"/>"
            "<Image RelativePath=\"a.bmp\"/></Images><Waves><Wave RelativePath=\"s.wav\"/>"
            "</Waves></Karvelo>\n");
  EXPECT_EQ(ReadText(folder_ / "b.png"), "picture b");
  EXPECT_EQ(ReadText(folder_ / "a.bmp"), "picture a");
  EXPECT_EQ(ReadText(folder_ / "s.wav"), "sound s");
  // The picked files stay where they were.
  EXPECT_EQ(FolderContents(picked_), (std::set<std::string>{"a.bmp", "b.png", "s.wav"}));
}

TEST_F(ProjectCommandTest, ShowListsEntriesInOrderWithTheirNumbers) {
  ASSERT_EQ(CreateDemo().exitCode, 0);
  const CliRun run = RunCli({"project", "show", Arg(project_)});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "工程：" + project_.string() +
                         "\n"
                         "图片（2）：\n"
                         "  0  b.png\n"
                         "  1  a.bmp\n"
                         "声音（1）：\n"
                         "  0  s.wav\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(ProjectCommandTest, ShowMarksAFileThatIsGone) {
  ASSERT_EQ(CreateDemo().exitCode, 0);
  fs::remove(folder_ / "b.png");
  const CliRun run = RunCli({"project", "show", Arg(project_)});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "工程：" + project_.string() +
                         "\n"
                         "图片（2）：\n"
                         "  0  b.png  （未找到文件）\n"
                         "  1  a.bmp\n"
                         "声音（1）：\n"
                         "  0  s.wav\n");
}

TEST_F(ProjectCommandTest, ShowAsJsonGivesPathsAndWhetherTheyExist) {
  ASSERT_EQ(CreateDemo().exitCode, 0);
  fs::remove(folder_ / "b.png");
  const CliRun run = RunCli({"project", "show", Arg(project_), "--json"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
  EXPECT_EQ(json["version"].toInt(), 1);
  EXPECT_EQ(json["project"].toString().toStdString(), project_.string());
  const QJsonArray pictures = json["pictures"].toArray();
  ASSERT_EQ(pictures.size(), 2);
  EXPECT_EQ(pictures.at(0).toObject()["path"].toString().toStdString(),
            (folder_ / "b.png").string());
  EXPECT_FALSE(pictures.at(0).toObject()["exists"].toBool());
  EXPECT_EQ(pictures.at(1).toObject()["number"].toInt(), 1);
  EXPECT_TRUE(pictures.at(1).toObject()["exists"].toBool());
  EXPECT_EQ(json["sounds"].toArray().size(), 1);
}

TEST_F(ProjectCommandTest, ShowOfAFileWrittenElsewhere) {
  fs::create_directories(folder_);
  WriteBytes(folder_ / "x.png", "x");
  WriteBytes(project_,
             "<Karvelo><Images><Image RelativePath=\"..\\x.png\"/><Image RelativePath=\"a/..\"/>"
             "<Image/><Image RelativePath=\"图片一.png\"/></Images><Waves/></Karvelo>");
  const CliRun run = RunCli({"project", "show", Arg(project_)});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "工程：" + project_.string() +
                         "\n"
                         "图片（4）：\n"
                         "  0  x.png\n"
                         "  1  （无效条目）\n"
                         "  2  （无效条目）\n"
                         "  3  图片一.png  （未找到文件）\n"
                         "声音（0）：\n");
}

TEST_F(ProjectCommandTest, CreateWithNoFilesWritesTheBareSkeleton) {
  const CliRun run = RunCli({"project", "create", Arg(project_)});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "已创建工程：" + project_.string() + "（图片 0，声音 0）\n");
  EXPECT_EQ(ReadText(project_),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Karvelo Version=\"1.0\"><Pages/><Images/><Waves/></Karvelo>\n");
  const CliRun shown = RunCli({"project", "show", Arg(project_)});
  EXPECT_EQ(shown.out, "工程：" + project_.string() + "\n图片（0）：\n声音（0）：\n");
}

TEST_F(ProjectCommandTest, CreateTakesARelativePathFromTheWorkingFolder) {
  WriteBytes(picked_ / "图片一.png", "chinese");
  fs::create_directories(dir_ / "cwd");
  const CliRun created =
      RunCli({"project", "create", "rel/工程.zentoraprj", "--picture", "../picked/图片一.png"},
             dir_ / "cwd");
  ASSERT_EQ(created.exitCode, 0) << created.err;
  const fs::path file = dir_ / "cwd" / "rel" / "工程.zentoraprj";
  EXPECT_EQ(created.out, "已创建工程：" + file.string() + "（图片 1，声音 0）\n");
  EXPECT_EQ(ReadText(dir_ / "cwd" / "rel" / "图片一.png"), "chinese");
  const CliRun shown = RunCli({"project", "show", "工程.zentoraprj"}, dir_ / "cwd" / "rel");
  EXPECT_EQ(shown.out, "工程：" + file.string() + "\n图片（1）：\n  0  图片一.png\n声音（0）：\n");
}

TEST_F(ProjectCommandTest, CreateOverAnExistingProjectIsRefused) {
  ASSERT_EQ(CreateDemo().exitCode, 0);
  const std::string before = ReadText(project_);
  WriteBytes(picked_ / "new.png", "new");
  const CliRun run =
      RunCli({"project", "create", Arg(project_), "--picture", Arg(picked_ / "new.png")});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "zentora-cli: 工程文件已存在：" + project_.string() + "\n");
  EXPECT_EQ(ReadText(project_), before);
  // Refused before anything was copied.
  EXPECT_FALSE(fs::exists(folder_ / "new.png"));
}

TEST_F(ProjectCommandTest, CreateWithAMissingFileFails) {
  const CliRun run = RunCli({"project", "create", Arg(project_), "--picture",
                             Arg(picked_ / "b.png"), "--picture", Arg(picked_ / "gone.png")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "zentora-cli: 复制文件失败：" + (picked_ / "gone.png").string() +
                         "（文件或文件夹不存在）\n");
  EXPECT_FALSE(fs::exists(project_));
}

TEST_F(ProjectCommandTest, CreateWhereTheFolderCannotBeMadeFails) {
  WriteBytes(dir_ / "plain", "a file");
  const fs::path project = dir_ / "plain" / "sub" / "P.zentoraprj";
  const CliRun run = RunCli({"project", "create", Arg(project)});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err.rfind("zentora-cli: 无法创建文件夹：" + (dir_ / "plain" / "sub").string(), 0),
            0u)
      << run.err;
  EXPECT_EQ(ReadText(dir_ / "plain"), "a file");
}

TEST_F(ProjectCommandTest, CreateRefusesANameWithABackslash) {
  WriteBytes(picked_ / "a\\b.png", "odd");
  const CliRun run =
      RunCli({"project", "create", Arg(project_), "--picture", Arg(picked_ / "a\\b.png")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "zentora-cli: 文件名含有“\\”，无法加入工程：a\\b.png\n");
  EXPECT_FALSE(fs::exists(project_));
}

TEST_F(ProjectCommandTest, ShowOfAnUnreadableProjectEndsWithStatusTwo) {
  fs::create_directories(folder_);
  WriteBytes(folder_ / "broken.zentoraprj", "<Karvelo><Images>");
  for (const fs::path& file :
       {folder_ / "missing.zentoraprj", folder_ / "broken.zentoraprj", fs::path(folder_)}) {
    SCOPED_TRACE(file.string());
    const CliRun run = RunCli({"project", "show", Arg(file)});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("zentora-cli: 无法打开工程：" + file.string() + "（", 0), 0u)
        << run.err;
  }
}

}  // namespace
}  // namespace zentora::testing
