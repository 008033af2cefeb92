// A set whose renames fail part-way puts the old files back, or is left for
// the next hold, which refuses the folder while it cannot finish the set.

#include "base/output_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "support/temp_dir.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::ReadText;
using testing::WriteBytes;
using Files = std::map<std::string, std::string>;

std::multiset<std::string> gRefused;  // names whose next rename fails

int RenameUnlessRefused(const char* from, const char* to) {
  if (const auto name = gRefused.find(fs::path(from).filename().string()); name != gRefused.end()) {
    gRefused.erase(name);
    errno = EPERM;
    return -1;
  }
  return std::rename(from, to);
}

Files FilesIn(const fs::path& folder) {
  Files files;
  for (const std::string& name : testing::FolderContents(folder)) {
    files[name] = ReadText(folder / name);
  }
  return files;
}

struct RefusalCase {
  const char* name;
  std::multiset<std::string> refused;
  bool unfinished;  // else the old set stands
};

class RefusedRenameTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedRenameTest, OldSetStandsOrTheNextHoldFinishesTheNewOne) {
  testing::CTempDir dir;
  const Files old = {{"a", "old a"}, {"b", "old b"}};
  for (const auto& [name, bytes] : old) {
    WriteBytes(dir / name, bytes);
  }
  {
    Result<COutputFolderLock> held = COutputFolderLock::Take(dir.Path());
    ASSERT_TRUE(held);
    CFileSetReplacement set(held.value(), &RenameUnlessRefused);
    for (const char* name : {"a", "b"}) {
      ASSERT_TRUE(
          set.Add(dir / name).value().Write({reinterpret_cast<const std::uint8_t*>("new"), 3}));
    }
    gRefused = GetParam().refused;
    EXPECT_EQ(set.Commit().message(), "无法替换文件：" + (dir / "b").string() + "（没有访问权限）");
    EXPECT_EQ(set.LeftUnfinished(), GetParam().unfinished);
  }
  EXPECT_EQ(HasUnfinishedReplacement(dir.Path()), GetParam().unfinished);
  ASSERT_TRUE(COutputFolderLock::Take(dir.Path()));
  const Files replaced = {{"a", "new"}, {"b", "new"}};
  EXPECT_EQ(FilesIn(dir.Path()), GetParam().unfinished ? replaced : old);
}

INSTANTIATE_TEST_SUITE_P(
    OutputFolder, RefusedRenameTest,
    ::testing::Values(
        // A shared folder's file that may be written but not replaced.
        RefusalCase{"LastTargetCannotBeReplaced", {"b"}, false},
        RefusalCase{"LastNewFileCannotBeRenamed", {".b.zentora-new"}, false},
        RefusalCase{"PuttingBackFailsToo", {".b.zentora-new", ".a.zentora-old"}, true}),
    [](const ::testing::TestParamInfo<RefusalCase>& row) { return std::string(row.param.name); });

// The journal lists b, whose new file waits, but a folder stands in its place.
TEST(OutputFolderTest, RollForwardThatCannotFinishKeepsItsJournalAndRefusesTheFolder) {
  testing::CTempDir dir;
  WriteBytes(dir / "a", "new a");
  WriteBytes(dir / ".b.zentora-new", "new b");
  fs::create_directories(dir / "b" / "inside");
  WriteBytes(dir / ".zentora-replace", std::string("a\0b\0", 4));
  const Result<COutputFolderLock> refused = COutputFolderLock::Take(dir.Path());
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error(), "资源文件不是同一次编译的结果：中断的替换无法完成，" +
                                 (dir / "b").string() + "（是文件夹，不是文件）");
  fs::remove_all(dir / "b");
  ASSERT_TRUE(COutputFolderLock::Take(dir.Path()));
  EXPECT_EQ(FilesIn(dir.Path()), (Files{{"a", "new a"}, {"b", "new b"}}));
}

}  // namespace
}  // namespace zentora
