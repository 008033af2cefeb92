#include "base/file_copy.h"

#include <gtest/gtest.h>

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

// Bytes 0..255 over and over: spans several read buffers and holds every
// byte value.
std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  }
  return bytes;
}

class FileCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(from_);
    fs::create_directories(to_);
  }
  CTempDir dir_;
  fs::path from_ = dir_ / "from";
  fs::path to_ = dir_ / "to";
};

TEST_F(FileCopyTest, CopiesEveryByte) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{65536},
                                 std::size_t{65537}, std::size_t{200000}}) {
    SCOPED_TRACE(size);
    const std::string bytes = Pattern(size);
    WriteBytes(from_ / "a.bin", bytes);
    const Status copied = CopyFileReplacing(from_ / "a.bin", to_ / "a.bin");
    ASSERT_TRUE(copied) << copied.message();
    EXPECT_EQ(ReadText(to_ / "a.bin"), bytes);
    EXPECT_EQ(ReadText(from_ / "a.bin"), bytes);
    EXPECT_EQ(FolderContents(to_), std::set<std::string>{"a.bin"});
  }
}

TEST_F(FileCopyTest, ReplacesALongerFile) {
  WriteBytes(from_ / "a.png", "short");
  WriteBytes(to_ / "a.png", "a much longer file that was there before");
  ASSERT_TRUE(CopyFileReplacing(from_ / "a.png", to_ / "a.png"));
  EXPECT_EQ(ReadText(to_ / "a.png"), "short");
}

TEST_F(FileCopyTest, CopyOntoItselfKeepsTheFile) {
  WriteBytes(from_ / "a.png", "keep me");
  fs::create_hard_link(from_ / "a.png", to_ / "link.png");
  fs::create_symlink(from_ / "a.png", to_ / "symlink.png");
  for (const fs::path& spelling :
       {from_ / "a.png", from_ / "." / "a.png", to_ / ".." / "from" / "a.png",
        fs::path(from_.string() + "//a.png"), to_ / "link.png", to_ / "symlink.png"}) {
    SCOPED_TRACE(spelling.string());
    const Status copied = CopyFileReplacing(from_ / "a.png", spelling);
    ASSERT_TRUE(copied) << copied.message();
    EXPECT_EQ(ReadText(from_ / "a.png"), "keep me");
    const Status back = CopyFileReplacing(spelling, from_ / "a.png");
    ASSERT_TRUE(back) << back.message();
    EXPECT_EQ(ReadText(from_ / "a.png"), "keep me");
  }
  EXPECT_EQ(FolderContents(from_), std::set<std::string>{"a.png"});
  // The symbolic link is still a link: nothing was written in its place.
  EXPECT_TRUE(fs::is_symlink(to_ / "symlink.png"));
}

TEST_F(FileCopyTest, MissingSourceLeavesTheTargetAlone) {
  WriteBytes(to_ / "a.png", "older copy");
  const Status copied = CopyFileReplacing(from_ / "a.png", to_ / "a.png");
  ASSERT_FALSE(copied);
  EXPECT_EQ(copied.message(), "文件或文件夹不存在");
  EXPECT_EQ(ReadText(to_ / "a.png"), "older copy");
  EXPECT_EQ(FolderContents(to_), std::set<std::string>{"a.png"});
}

TEST_F(FileCopyTest, FolderAsSourceFailsAndLeavesNoTemporaryFile) {
  fs::create_directories(from_ / "folder.png");
  const Status copied = CopyFileReplacing(from_ / "folder.png", to_ / "folder.png");
  ASSERT_FALSE(copied);
  EXPECT_EQ(copied.message(), "是文件夹，不是文件");
  EXPECT_TRUE(FolderContents(to_).empty());
}

TEST_F(FileCopyTest, UnwritableTargetFails) {
  WriteBytes(from_ / "a.png", "a");
  WriteBytes(to_ / "file", "a regular file");
  EXPECT_FALSE(CopyFileReplacing(from_ / "a.png", to_ / "file" / "a.png"));
  EXPECT_FALSE(CopyFileReplacing(from_ / "a.png", to_ / "absent" / "a.png"));
  EXPECT_EQ(FolderContents(to_), std::set<std::string>{"file"});
  EXPECT_EQ(ReadText(to_ / "file"), "a regular file");
}

}  // namespace
}  // namespace zentora
