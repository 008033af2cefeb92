#include "project/file_import.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>

#include "support/temp_dir.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::CTempDir;
using testing::FolderContents;
using testing::ReadText;
using testing::WriteBytes;

class FileImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(source_);
    fs::create_directories(folder_);
  }

  CTempDir dir_;
  fs::path source_ = dir_ / "picked";
  fs::path folder_ = dir_ / "working";
};

TEST_F(FileImportTest, CopiesUnderTheSameName) {
  WriteBytes(source_ / "图片一.png", std::string("\x89PNG\0\x01", 6));
  Result<fs::path> copy = ImportFileIntoFolder(source_ / "图片一.png", folder_);
  ASSERT_TRUE(copy) << copy.error();
  EXPECT_EQ(copy.value(), folder_ / "图片一.png");
  EXPECT_EQ(ReadText(folder_ / "图片一.png"), std::string("\x89PNG\0\x01", 6));
  EXPECT_EQ(ReadText(source_ / "图片一.png"), std::string("\x89PNG\0\x01", 6));
  EXPECT_EQ(FolderContents(folder_), std::set<std::string>{"图片一.png"});
}

TEST_F(FileImportTest, WorksWithAFolderEndingInASeparator) {
  WriteBytes(source_ / "s.wav", "RIFF");
  Result<fs::path> copy = ImportFileIntoFolder(source_ / "s.wav", folder_.string() + "/");
  ASSERT_TRUE(copy) << copy.error();
  EXPECT_EQ(copy.value().string(), folder_.string() + "/s.wav");
  EXPECT_EQ(ReadText(folder_ / "s.wav"), "RIFF");
}

TEST_F(FileImportTest, ReplacesAFileOfTheSameName) {
  WriteBytes(folder_ / "a.png", "the older and longer file");
  WriteBytes(source_ / "a.png", "new");
  Result<fs::path> copy = ImportFileIntoFolder(source_ / "a.png", folder_);
  ASSERT_TRUE(copy) << copy.error();
  EXPECT_EQ(ReadText(folder_ / "a.png"), "new");
  EXPECT_EQ(FolderContents(folder_), std::set<std::string>{"a.png"});
}

TEST_F(FileImportTest, FileAlreadyInTheFolderIsItsOwnCopy) {
  WriteBytes(folder_ / "a.png", "keep me");
  for (const fs::path& spelling :
       {folder_ / "a.png", dir_ / "picked" / ".." / "working" / "a.png", folder_ / "." / "a.png"}) {
    SCOPED_TRACE(spelling.string());
    Result<fs::path> copy = ImportFileIntoFolder(spelling, folder_);
    ASSERT_TRUE(copy) << copy.error();
    EXPECT_EQ(copy.value(), folder_ / "a.png");
    EXPECT_EQ(ReadText(folder_ / "a.png"), "keep me");
  }
  EXPECT_EQ(FolderContents(folder_), std::set<std::string>{"a.png"});
}

TEST_F(FileImportTest, RefusesANameThatIsNotUtf8) {
  const fs::path gbk = source_ / "\xB2\xE2.png";  // 测 in GBK
  WriteBytes(gbk, "gbk");
  Result<fs::path> copy = ImportFileIntoFolder(gbk, folder_);
  ASSERT_FALSE(copy);
  EXPECT_EQ(copy.error().rfind("文件名不是有效的 UTF-8 文本，无法加入工程：", 0), 0u)
      << copy.error();
  // The message names the file, as far as its name can be shown.
  EXPECT_NE(copy.error().find(".png"), std::string::npos) << copy.error();
  EXPECT_TRUE(FolderContents(folder_).empty());
}

TEST_F(FileImportTest, RefusesNamesTheProjectFileCannotGiveBack) {
  struct Refused {
    std::string name;
    std::string message;
  };
  // A project file reads '\' as a folder separator (the entry would come back
  // as b.png, another file), and a line break does not survive its attribute.
  for (const Refused& refused :
       {Refused{"a\\b.png", "文件名含有“\\”，无法加入工程：a\\b.png"},
        Refused{"a\nb.png", "文件名含有控制字符，无法加入工程：a?b.png"}}) {
    SCOPED_TRACE(refused.message);
    WriteBytes(source_ / refused.name, "odd");
    Result<fs::path> copy = ImportFileIntoFolder(source_ / refused.name, folder_);
    ASSERT_FALSE(copy);
    EXPECT_EQ(copy.error(), refused.message);
  }
  EXPECT_TRUE(FolderContents(folder_).empty());
}

TEST_F(FileImportTest, MissingSourceFailsWithItsPath) {
  WriteBytes(folder_ / "gone.png", "an older copy");
  Result<fs::path> copy = ImportFileIntoFolder(source_ / "gone.png", folder_);
  ASSERT_FALSE(copy);
  EXPECT_EQ(copy.error(),
            "复制文件失败：" + (source_ / "gone.png").string() + "（文件或文件夹不存在）");
  EXPECT_EQ(ReadText(folder_ / "gone.png"), "an older copy");
  EXPECT_EQ(FolderContents(folder_), std::set<std::string>{"gone.png"});
}

TEST_F(FileImportTest, MissingFolderFails) {
  WriteBytes(source_ / "a.png", "a");
  Result<fs::path> copy = ImportFileIntoFolder(source_ / "a.png", dir_ / "absent");
  ASSERT_FALSE(copy);
  EXPECT_EQ(copy.error().rfind("复制文件失败：", 0), 0u) << copy.error();
  EXPECT_FALSE(fs::exists(dir_ / "absent"));
}

struct NameCase {
  const char* label;
  std::string name;
  bool storable;
};

void PrintTo(const NameCase& c, std::ostream* os) {
  *os << c.label;
}

class StorableNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(StorableNameTest, Decides) {
  EXPECT_EQ(IsStorableFileName(GetParam().name), GetParam().storable);
}

INSTANTIATE_TEST_SUITE_P(
    FileImport, StorableNameTest,
    ::testing::Values(NameCase{"Ascii", "a.png", true}, NameCase{"Chinese", "图片一.png", true},
                      NameCase{"FourByteUtf8", "\xF0\x9F\x98\x80.gif", true},
                      NameCase{"Markup", "a&\"<>'.png", true}, NameCase{"Spaces", " a b ", true},
                      NameCase{"Empty", "", false}, NameCase{"Gbk", "\xB2\xE2.png", false},
                      NameCase{"Latin1", "caf\xE9.png", false},
                      NameCase{"Truncated", "\xE5\x9B.png", false},
                      NameCase{"Overlong", "\xC0\xAF.png", false},
                      NameCase{"Surrogate", "\xED\xA0\x80.png", false},
                      NameCase{"Tab", "a\tb.png", false}, NameCase{"Newline", "a\nb.png", false},
                      NameCase{"Escape", "\x1B.png", false},
                      NameCase{"Backslash", "a\\b.png", false}),
    [](const ::testing::TestParamInfo<NameCase>& param) { return param.param.label; });

}  // namespace
}  // namespace zentora
