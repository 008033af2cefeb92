// A set of files replaced together: a rename that fails part-way puts the old
// files back, or leaves the set for the next hold of the folder to finish;
// a hold that cannot finish it refuses the folder.

#include "base/output_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::CTempDir;
using testing::FolderContents;
using testing::ReadText;
using testing::WriteBytes;
using Files = std::map<std::string, std::string>;

// The renames that fail, by the name of the file renamed; each fails once.
std::multiset<std::string> gRefused;

int RenameUnlessRefused(const char* from, const char* to) {
  if (const auto refused = gRefused.find(fs::path(from).filename().string());
      refused != gRefused.end()) {
    gRefused.erase(refused);
    errno = EPERM;
    return -1;
  }
  return std::rename(from, to);
}

const Files kOld = {{"a.bin", "old a"}, {"b.bin", "old b"}, {"c.bin", "old c"}};
const Files kNew = {{"a.bin", "new a"}, {"b.bin", "new b"}, {"c.bin", "new c"}};

Files FilesIn(const fs::path& folder) {
  Files files;
  for (const std::string& name : FolderContents(folder)) {
    files[name] = ReadText(folder / name);
  }
  return files;
}

struct RefusalCase {
  const char* name;
  std::vector<std::string> refused;
  std::string line;  // "<f>" stands for the folder
  bool unfinished;   // the set waits for the next hold
};

void PrintTo(const RefusalCase& row, std::ostream* out) {
  *out << row.name;
}

class RefusedRenameTest : public ::testing::TestWithParam<RefusalCase> {
 protected:
  // Commits the new files over the old ones with the row's refusals.
  Status CommitNewSet(bool& unfinished) {
    Result<COutputFolderLock> held = COutputFolderLock::Take(dir_.Path());
    EXPECT_TRUE(held) << held.error();
    CFileSetReplacement set(held.value(), &RenameUnlessRefused);
    for (const auto& [name, bytes] : kNew) {
      Result<CExclusiveFile> file = set.Add(dir_ / name);
      EXPECT_TRUE(file) << file.error();
      EXPECT_TRUE(
          file.value().Write({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}));
      EXPECT_TRUE(file.value().Close());
    }
    gRefused = {GetParam().refused.begin(), GetParam().refused.end()};
    Status committed = set.Commit();
    unfinished = set.LeftUnfinished();
    return committed;
  }

  CTempDir dir_;
};

TEST_P(RefusedRenameTest, OldSetStandsOrTheNextHoldFinishesTheNewOne) {
  for (const auto& [name, bytes] : kOld) {
    WriteBytes(dir_ / name, bytes);
  }
  bool unfinished = false;
  const Status committed = CommitNewSet(unfinished);
  std::string line = GetParam().line;
  line.replace(line.find("<f>"), 3, dir_.Path().string());
  EXPECT_EQ(committed.message(), line);
  EXPECT_EQ(unfinished, GetParam().unfinished);
  EXPECT_EQ(HasUnfinishedReplacement(dir_.Path()), GetParam().unfinished);
  if (!GetParam().unfinished) {
    EXPECT_EQ(FilesIn(dir_.Path()), kOld);
    return;
  }
  ASSERT_TRUE(COutputFolderLock::Take(dir_.Path()));
  EXPECT_EQ(FilesIn(dir_.Path()), kNew);
}

INSTANTIATE_TEST_SUITE_P(OutputFolder, RefusedRenameTest,
                         ::testing::Values(
                             // The shared-folder case: a target that may be written but not
                             // renamed over, after others could be.
                             RefusalCase{"LastTargetCannotBeReplaced",
                                         {"c.bin"},
                                         "无法替换文件：<f>/c.bin（没有访问权限）",
                                         false},
                             RefusalCase{"LastNewFileCannotBeRenamed",
                                         {".c.bin.zentora-new"},
                                         "无法替换文件：<f>/c.bin（没有访问权限）",
                                         false},
                             RefusalCase{"PuttingBackFailsToo",
                                         {".c.bin.zentora-new", ".a.bin.zentora-old"},
                                         "无法替换文件：<f>/c.bin（没有访问权限）",
                                         true}),
                         [](const ::testing::TestParamInfo<RefusalCase>& row) {
                           return std::string(row.param.name);
                         });

TEST(OutputFolderTest, JournalThatCannotBeWrittenIsNamedAndReplacesNothing) {
  CTempDir dir;
  WriteBytes(dir / "a.bin", "old a");
  fs::create_directory(dir / ".zentora-replace");
  {
    Result<COutputFolderLock> held = COutputFolderLock::Take(dir.Path());
    ASSERT_TRUE(held) << held.error();
    CFileSetReplacement set(held.value());
    ASSERT_TRUE(set.Add(dir / "a.bin"));
    EXPECT_EQ(set.Commit().message(),
              "写入文件失败：" + (dir / ".zentora-replace").string() + "（是文件夹，不是文件）");
  }
  EXPECT_EQ(FolderContents(dir.Path()), (std::set<std::string>{".zentora-replace", "a.bin"}));
  EXPECT_EQ(ReadText(dir / "a.bin"), "old a");
  EXPECT_FALSE(HasUnfinishedReplacement(dir.Path()));
}

// The journal lists b.bin, whose new file waits, but a folder now stands in
// its place.
TEST(OutputFolderTest, RollForwardThatCannotFinishKeepsItsJournalAndRefusesTheFolder) {
  CTempDir dir;
  WriteBytes(dir / "a.bin", "new a");
  WriteBytes(dir / ".b.bin.zentora-new", "new b");
  fs::create_directories(dir / "b.bin" / "inside");
  WriteBytes(dir / ".zentora-replace", std::string("a.bin\0b.bin\0", 12));
  const Result<COutputFolderLock> refused = COutputFolderLock::Take(dir.Path());
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error(), "资源文件不是同一次编译的结果：中断的替换无法完成，" +
                                 (dir / "b.bin").string() + "（是文件夹，不是文件）");
  EXPECT_TRUE(HasUnfinishedReplacement(dir.Path()));
  EXPECT_EQ(ReadText(dir / ".b.bin.zentora-new"), "new b");

  fs::remove_all(dir / "b.bin");
  ASSERT_TRUE(COutputFolderLock::Take(dir.Path()));
  EXPECT_EQ(FilesIn(dir.Path()), (Files{{"a.bin", "new a"}, {"b.bin", "new b"}}));
}

}  // namespace
}  // namespace zentora
