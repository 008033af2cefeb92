#include "base/system_error_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace zentora {
namespace {

struct WordingCase {
  int error;
  const char* path;
  std::string text;
};

class SystemErrorTextTest : public ::testing::TestWithParam<WordingCase> {};

TEST_P(SystemErrorTextTest, SaysWhyInTheUsersWords) {
  EXPECT_EQ(SystemErrorText(GetParam().error, GetParam().path), GetParam().text);
}

// The common reasons in Chinese, after the path when there is one; any other
// error in the system's own words.
INSTANTIATE_TEST_SUITE_P(
    Wording, SystemErrorTextTest,
    ::testing::Values(
        WordingCase{ENOENT, "/工程/image.bin", "/工程/image.bin（文件或文件夹不存在）"},
        WordingCase{ENOENT, "", "文件或文件夹不存在"},
        WordingCase{EACCES, "/root/a", "/root/a（没有访问权限）"},
        WordingCase{EROFS, "/cd/a", "/cd/a（文件系统是只读的）"},
        WordingCase{ENOSPC, "/full/a", "/full/a（磁盘已满）"},
        WordingCase{EBUSY, "", "文件或设备正忙"},
        WordingCase{EWOULDBLOCK, "/out/wave.bin", "/out/wave.bin（文件已被其他操作占用）"},
        WordingCase{EISDIR, "/out/image.idx", "/out/image.idx（是文件夹，不是文件）"},
        WordingCase{ENOTDIR, "/a.txt/b", "/a.txt/b（路径中的某一级不是文件夹）"},
        WordingCase{EIO, "/dev/sdz", "/dev/sdz（Input/output error）"}));

}  // namespace
}  // namespace zentora
