#include "base/exclusive_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "support/temp_dir.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::CTempDir;
using testing::ReadText;
using testing::WriteBytes;

constexpr const char* kHeld = "文件已被其他操作占用";

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

class ExclusiveFileTest : public ::testing::Test {
 protected:
  CTempDir dir_;
  fs::path path_ = dir_ / "image.bin";
};

TEST_F(ExclusiveFileTest, CreateMakesANewFile) {
  Result<CExclusiveFile> file = CExclusiveFile::Create(path_);
  ASSERT_TRUE(file) << file.error();
  EXPECT_TRUE(file.value().IsOpen());
  ASSERT_TRUE(file.value().Write(Bytes(std::string("ab\0c", 4))));
  ASSERT_TRUE(file.value().Close());
  EXPECT_FALSE(file.value().IsOpen());
  EXPECT_EQ(ReadText(path_), std::string("ab\0c", 4));
}

TEST_F(ExclusiveFileTest, CreateTruncatesAFileNobodyHolds) {
  WriteBytes(path_, "a long previous content");
  Result<CExclusiveFile> file = CExclusiveFile::Create(path_);
  ASSERT_TRUE(file) << file.error();
  ASSERT_TRUE(file.value().Write(Bytes("new")));
  ASSERT_TRUE(file.value().Close());
  EXPECT_EQ(ReadText(path_), "new");
}

TEST_F(ExclusiveFileTest, CreateOnAFileHeldByCreateFailsWithoutTruncating) {
  Result<CExclusiveFile> holder = CExclusiveFile::Create(path_);
  ASSERT_TRUE(holder) << holder.error();
  ASSERT_TRUE(holder.value().Write(Bytes("held data")));

  Result<CExclusiveFile> second = CExclusiveFile::Create(path_);
  ASSERT_FALSE(second);
  EXPECT_EQ(second.error(), kHeld);
  EXPECT_EQ(ReadText(path_), "held data");
}

TEST_F(ExclusiveFileTest, CreateOnAFileHeldForReadingFailsWithoutTruncating) {
  WriteBytes(path_, "being sent");
  Result<CExclusiveFile> reader = CExclusiveFile::OpenForReading(path_);
  ASSERT_TRUE(reader) << reader.error();

  Result<CExclusiveFile> writer = CExclusiveFile::Create(path_);
  ASSERT_FALSE(writer);
  EXPECT_EQ(writer.error(), kHeld);
  EXPECT_EQ(ReadText(path_), "being sent");
  EXPECT_FALSE(CExclusiveFile::OpenForReading(path_));
}

TEST_F(ExclusiveFileTest, ReleasedOnCloseAndOnDestruction) {
  {
    Result<CExclusiveFile> holder = CExclusiveFile::Create(path_);
    ASSERT_TRUE(holder) << holder.error();
    ASSERT_TRUE(holder.value().Close());
    Result<CExclusiveFile> after = CExclusiveFile::Create(path_);
    EXPECT_TRUE(after) << after.error();
  }
  Result<CExclusiveFile> again = CExclusiveFile::OpenForReading(path_);
  EXPECT_TRUE(again) << again.error();
}

TEST_F(ExclusiveFileTest, MoveAssignmentReleasesTheFileHeldBefore) {
  const fs::path other = dir_ / "other.bin";
  Result<CExclusiveFile> first = CExclusiveFile::Create(path_);
  Result<CExclusiveFile> second = CExclusiveFile::Create(other);
  ASSERT_TRUE(first) << first.error();
  ASSERT_TRUE(second) << second.error();
  first.value() = std::move(second.value());
  EXPECT_FALSE(second.value().IsOpen());
  EXPECT_TRUE(first.value().IsOpen());
  EXPECT_TRUE(CExclusiveFile::Create(path_));
  EXPECT_FALSE(CExclusiveFile::Create(other));
  ASSERT_TRUE(first.value().Write(Bytes("to other")));
  ASSERT_TRUE(first.value().Close());
  EXPECT_EQ(ReadText(other), "to other");
}

TEST_F(ExclusiveFileTest, MoveConstructionCarriesTheLock) {
  Result<CExclusiveFile> first = CExclusiveFile::Create(path_);
  ASSERT_TRUE(first) << first.error();
  CExclusiveFile moved(std::move(first.value()));
  EXPECT_FALSE(first.value().IsOpen());
  EXPECT_TRUE(moved.IsOpen());
  EXPECT_FALSE(CExclusiveFile::Create(path_));
}

TEST_F(ExclusiveFileTest, ReadsTheWholeFileThenZero) {
  WriteBytes(path_, "0123456789");
  Result<CExclusiveFile> file = CExclusiveFile::OpenForReading(path_);
  ASSERT_TRUE(file) << file.error();
  Result<std::uint64_t> size = file.value().Size();
  ASSERT_TRUE(size);
  EXPECT_EQ(size.value(), 10u);
  std::array<std::uint8_t, 4> buffer{};
  std::string read;
  for (;;) {
    Result<std::size_t> got = file.value().Read(buffer);
    ASSERT_TRUE(got) << got.error();
    if (got.value() == 0) {
      break;
    }
    read.append(reinterpret_cast<const char*>(buffer.data()), got.value());
  }
  EXPECT_EQ(read, "0123456789");
}

TEST_F(ExclusiveFileTest, OpenForReadingAMissingFileFails) {
  Result<CExclusiveFile> file = CExclusiveFile::OpenForReading(path_);
  ASSERT_FALSE(file);
  EXPECT_EQ(file.error(), "文件或文件夹不存在");
  EXPECT_FALSE(fs::exists(path_));
}

TEST_F(ExclusiveFileTest, RefusesFoldersAndFifosWithoutBlocking) {
  // A FIFO with no writer would block a plain open for reading for ever, and
  // one with no reader a plain open for writing.
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  fs::create_directory(dir_ / "folder");
  for (const fs::path& path : {dir_ / "fifo", dir_ / "folder"}) {
    SCOPED_TRACE(path.string());
    EXPECT_FALSE(CExclusiveFile::OpenForReading(path));
    EXPECT_FALSE(CExclusiveFile::Create(path));
  }
  EXPECT_EQ(CExclusiveFile::OpenForReading(dir_ / "folder").error(), "是文件夹，不是文件");
  EXPECT_TRUE(fs::is_fifo(dir_ / "fifo"));
}

TEST_F(ExclusiveFileTest, CreateUnderARegularFileFails) {
  WriteBytes(dir_ / "file", "x");
  Result<CExclusiveFile> file = CExclusiveFile::Create(dir_ / "file" / "image.bin");
  ASSERT_FALSE(file);
  EXPECT_EQ(file.error(), "路径中的某一级不是文件夹");
}

}  // namespace
}  // namespace zentora
