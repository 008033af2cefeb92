#include "base/whole_file.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/temp_dir.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::CTempDir;
using testing::WriteBytes;

class WholeFileTest : public ::testing::Test {
 protected:
  CTempDir dir_;
  fs::path path_ = dir_ / "file.bin";
};

TEST_F(WholeFileTest, ReadsEveryByte) {
  const std::string bytes("\0\x01\xFF\r\n\x1A tail", 11);
  WriteBytes(path_, bytes);
  Result<std::string> read = ReadWholeFile(path_, 1000);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value(), bytes);
}

struct LimitCase {
  std::size_t fileSize;
  std::uint64_t limit;
  bool fits;
};

void PrintTo(const LimitCase& c, std::ostream* os) {
  *os << c.fileSize << " bytes, limit " << c.limit;
}

class WholeFileLimitTest : public WholeFileTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(WholeFileLimitTest, RefusesFilesOverTheLimit) {
  const std::string bytes(GetParam().fileSize, 'z');
  WriteBytes(path_, bytes);
  Result<std::string> read = ReadWholeFile(path_, GetParam().limit);
  if (GetParam().fits) {
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read.value(), bytes);
  } else {
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error(), "文件过大");
  }
}

INSTANTIATE_TEST_SUITE_P(WholeFile, WholeFileLimitTest,
                         ::testing::Values(LimitCase{0, 0, true}, LimitCase{1, 0, false},
                                           LimitCase{9, 10, true}, LimitCase{10, 10, true},
                                           LimitCase{11, 10, false}, LimitCase{5000, 4999, false},
                                           LimitCase{5000, 5000, true},
                                           LimitCase{100000, 1u << 20, true}));

TEST_F(WholeFileTest, SparseHugeFileIsRefusedBeforeReading) {
  WriteBytes(path_, "");
  fs::resize_file(path_, std::uint64_t{1} << 32);
  Result<std::string> read = ReadWholeFile(path_, 1 << 20);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error(), "文件过大");
}

TEST_F(WholeFileTest, FileThatReportsNoSizeIsReadToTheEnd) {
  // Files under /proc report size 0 and still have contents.
  Result<std::string> read = ReadWholeFile("/proc/self/status", 1 << 20);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().rfind("Name:", 0), 0u) << read.value();
  EXPECT_EQ(read.value().back(), '\n');
}

TEST_F(WholeFileTest, FileThatReportsNoSizeStillMeetsTheLimit) {
  Result<std::string> read = ReadWholeFile("/proc/self/status", 16);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error(), "文件过大");
}

TEST_F(WholeFileTest, MissingFileFails) {
  Result<std::string> read = ReadWholeFile(path_, 100);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error(), "文件或文件夹不存在");
}

TEST_F(WholeFileTest, FolderFails) {
  Result<std::string> read = ReadWholeFile(dir_.Path(), 100);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error(), "是文件夹，不是文件");
}

}  // namespace
}  // namespace zentora
