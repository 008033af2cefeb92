#include "base/atomic_file_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdint>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::CTempDir;
using testing::FolderContents;
using testing::ReadText;
using testing::WriteBytes;

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The names in the folder other than the ones given: the temporary files.
std::set<std::string> Others(const fs::path& folder, const std::set<std::string>& known) {
  std::set<std::string> others;
  for (const std::string& name : FolderContents(folder)) {
    if (!known.contains(name)) {
      others.insert(name);
    }
  }
  return others;
}

class AtomicFileWriterTest : public ::testing::Test {
 protected:
  CTempDir dir_;
  fs::path target_ = dir_ / "target.bin";
};

TEST_F(AtomicFileWriterTest, TargetIsUntouchedUntilCommit) {
  WriteBytes(target_, "old contents");
  Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(target_);
  ASSERT_TRUE(writer) << writer.error();
  ASSERT_TRUE(writer.value().Write(Bytes("new ")));
  ASSERT_TRUE(writer.value().Write(Bytes("contents, longer")));
  EXPECT_EQ(ReadText(target_), "old contents");
  // The bytes wait in a hidden file beside the target.
  const std::set<std::string> temps = Others(dir_.Path(), {"target.bin"});
  ASSERT_EQ(temps.size(), 1u);
  EXPECT_EQ(temps.begin()->rfind(".target.bin.tmp-", 0), 0u) << *temps.begin();
  EXPECT_EQ(ReadText(dir_ / *temps.begin()), "new contents, longer");

  const Status committed = writer.value().Commit();
  ASSERT_TRUE(committed) << committed.message();
  EXPECT_EQ(ReadText(target_), "new contents, longer");
  EXPECT_EQ(FolderContents(dir_.Path()), std::set<std::string>{"target.bin"});
}

TEST_F(AtomicFileWriterTest, DroppedWriterRemovesItsTemporaryFile) {
  WriteBytes(target_, "old contents");
  {
    Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(target_);
    ASSERT_TRUE(writer) << writer.error();
    ASSERT_TRUE(writer.value().Write(Bytes("never committed")));
    EXPECT_EQ(FolderContents(dir_.Path()).size(), 2u);
  }
  EXPECT_EQ(ReadText(target_), "old contents");
  EXPECT_EQ(FolderContents(dir_.Path()), std::set<std::string>{"target.bin"});
}

TEST_F(AtomicFileWriterTest, DroppedWriterForANewFileLeavesNothing) {
  {
    Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(target_);
    ASSERT_TRUE(writer) << writer.error();
  }
  EXPECT_TRUE(FolderContents(dir_.Path()).empty());
}

TEST_F(AtomicFileWriterTest, CommitWithoutWritesGivesAnEmptyFile) {
  WriteBytes(target_, "old contents");
  Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(target_);
  ASSERT_TRUE(writer) << writer.error();
  ASSERT_TRUE(writer.value().Commit());
  EXPECT_TRUE(fs::exists(target_));
  EXPECT_EQ(fs::file_size(target_), 0u);
}

TEST_F(AtomicFileWriterTest, NothingWorksAfterCommit) {
  Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(target_);
  ASSERT_TRUE(writer) << writer.error();
  ASSERT_TRUE(writer.value().Write(Bytes("once")));
  ASSERT_TRUE(writer.value().Commit());
  EXPECT_FALSE(writer.value().Write(Bytes("twice")));
  EXPECT_FALSE(writer.value().Commit());
  EXPECT_EQ(ReadText(target_), "once");
  EXPECT_EQ(FolderContents(dir_.Path()), std::set<std::string>{"target.bin"});
}

TEST_F(AtomicFileWriterTest, MovedWriterKeepsItsTemporaryFile) {
  std::optional<CAtomicFileWriter> kept;
  {
    Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(target_);
    ASSERT_TRUE(writer) << writer.error();
    ASSERT_TRUE(writer.value().Write(Bytes("moved ")));
    kept.emplace(std::move(writer).value());
    // The moved-from writer goes here and must not remove the file.
  }
  ASSERT_TRUE(kept->Write(Bytes("along")));
  ASSERT_TRUE(kept->Commit());
  EXPECT_EQ(ReadText(target_), "moved along");
  EXPECT_EQ(FolderContents(dir_.Path()), std::set<std::string>{"target.bin"});
}

TEST_F(AtomicFileWriterTest, TwoWritersUseDifferentTemporaryFiles) {
  Result<CAtomicFileWriter> first = CAtomicFileWriter::Begin(target_);
  Result<CAtomicFileWriter> second = CAtomicFileWriter::Begin(target_);
  ASSERT_TRUE(first) << first.error();
  ASSERT_TRUE(second) << second.error();
  ASSERT_TRUE(first.value().Write(Bytes("first")));
  ASSERT_TRUE(second.value().Write(Bytes("second")));
  EXPECT_EQ(FolderContents(dir_.Path()).size(), 2u);
  ASSERT_TRUE(first.value().Commit());
  EXPECT_EQ(ReadText(target_), "first");
  ASSERT_TRUE(second.value().Commit());
  EXPECT_EQ(ReadText(target_), "second");
  EXPECT_EQ(FolderContents(dir_.Path()), std::set<std::string>{"target.bin"});
}

TEST_F(AtomicFileWriterTest, NewFileGetsThePlainCreateMode) {
  const mode_t previous = ::umask(022);
  const Status written = WriteFileAtomically(target_, Bytes("x"));
  ::umask(previous);
  ASSERT_TRUE(written) << written.message();
  struct stat info {};
  ASSERT_EQ(::stat(target_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST_F(AtomicFileWriterTest, WriteFileAtomicallyReplacesTheWholeFile) {
  WriteBytes(target_, "a long old file that is longer than the new one");
  const std::string binary("\0\x01\xFF\r\n", 5);
  ASSERT_TRUE(WriteFileAtomically(target_, Bytes(binary)));
  EXPECT_EQ(ReadText(target_), binary);
}

struct UnwritableCase {
  const char* label;
  const char* relative;  // under the temporary folder; nullptr for /proc
};

void PrintTo(const UnwritableCase& c, std::ostream* os) {
  *os << c.label;
}

class AtomicFileWriterUnwritableTest : public AtomicFileWriterTest,
                                       public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(AtomicFileWriterUnwritableTest, BeginFails) {
  WriteBytes(dir_ / "file", "a regular file");
  const fs::path target =
      GetParam().relative != nullptr ? dir_ / GetParam().relative : fs::path("/proc/zentora-x");
  Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(target);
  ASSERT_FALSE(writer);
  EXPECT_FALSE(writer.error().empty());
  EXPECT_FALSE(WriteFileAtomically(target, Bytes("x")));
  EXPECT_EQ(FolderContents(dir_.Path()), std::set<std::string>{"file"});
  EXPECT_EQ(ReadText(dir_ / "file"), "a regular file");
}

INSTANTIATE_TEST_SUITE_P(AtomicFileWriter, AtomicFileWriterUnwritableTest,
                         ::testing::Values(UnwritableCase{"MissingFolder", "absent/x.bin"},
                                           UnwritableCase{"UnderAFile", "file/x.bin"},
                                           UnwritableCase{"Proc", nullptr}),
                         [](const ::testing::TestParamInfo<UnwritableCase>& param) {
                           return param.param.label;
                         });

TEST_F(AtomicFileWriterTest, FailedWriteKeepsTheTargetAndLeavesNoTemporaryFile) {
  WriteBytes(target_, "old contents");
  {
    Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(target_);
    ASSERT_TRUE(writer) << writer.error();
    const std::string big(100, 'x');
    Status written = Status::Ok();
    {
      const testing::CFileSizeLimit limit(10);
      written = writer.value().Write(Bytes(big));
    }
    ASSERT_FALSE(written);
    EXPECT_EQ(written.message(), "File too large");
  }
  EXPECT_EQ(ReadText(target_), "old contents");
  EXPECT_EQ(FolderContents(dir_.Path()), std::set<std::string>{"target.bin"});
}

TEST_F(AtomicFileWriterTest, FailedRenameKeepsTheTargetAndLeavesNoTemporaryFile) {
  // A folder with something in it cannot be replaced by a file.
  fs::create_directories(target_ / "inside");
  Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(target_);
  ASSERT_TRUE(writer) << writer.error();
  ASSERT_TRUE(writer.value().Write(Bytes("data")));
  const Status committed = writer.value().Commit();
  ASSERT_FALSE(committed);
  EXPECT_EQ(committed.message(), "是文件夹，不是文件");
  EXPECT_TRUE(fs::is_directory(target_ / "inside"));
  EXPECT_EQ(FolderContents(dir_.Path()), std::set<std::string>{"target.bin"});
}

}  // namespace
}  // namespace zentora
