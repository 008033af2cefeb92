#include "base/output_input_check.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::CTempDir;
using testing::WriteBytes;

// How the output is named, beside the input dir/in.bin: the message the
// check gives ("" for none).
struct ClashRow {
  const char* name;
  void (*make)(const CTempDir& dir);  // makes dir/out beside dir/in.bin
  const char* output;                 // relative to dir
  const char* said;                   // with D for the folder
};

const ClashRow kRows[] = {
    {"SameName", [](const CTempDir&) {}, "in.bin", "不能写入要读取的文件：D/in.bin"},
    {"OtherSpelling", [](const CTempDir&) {}, "./in.bin",
     "不能写入“D/./in.bin”：它就是要读取的文件“D/in.bin”"},
    {"SymbolicLink", [](const CTempDir& dir) { fs::create_symlink(dir / "in.bin", dir / "out"); },
     "out", "不能写入“D/out”：它就是要读取的文件“D/in.bin”"},
    {"HardLink", [](const CTempDir& dir) { fs::create_hard_link(dir / "in.bin", dir / "out"); },
     "out", "不能写入“D/out”：它就是要读取的文件“D/in.bin”"},
    {"CopyIsAnotherFile", [](const CTempDir& dir) { fs::copy_file(dir / "in.bin", dir / "out"); },
     "out", ""},
    {"MissingOutput", [](const CTempDir&) {}, "out", ""},
};

class OutputOntoInputTest : public ::testing::TestWithParam<ClashRow> {};

TEST_P(OutputOntoInputTest, RefusesTheInputUnderAnyName) {
  CTempDir dir;
  WriteBytes(dir / "in.bin", "input");
  GetParam().make(dir);
  const Status checked = RefuseOutputsOntoInputs({dir / "other", dir.Path() / GetParam().output},
                                                 {dir / "missing", dir / "in.bin"});
  std::string said = checked.message();
  for (std::size_t at; (at = said.find(dir.Path().string())) != std::string::npos;) {
    said.replace(at, dir.Path().string().size(), "D");
  }
  EXPECT_EQ(said, GetParam().said);
}

INSTANTIATE_TEST_SUITE_P(Names, OutputOntoInputTest, ::testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(OutputOntoInputTest, StandardOutputOpenOnAnInputIsFound) {
  CTempDir dir;
  WriteBytes(dir / "font.ttf", "font");
  const CInputFiles inputs({dir / "font.ttf"});
  const int appended = ::open((dir / "font.ttf").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  ASSERT_GE(appended, 0);
  const fs::path* found = inputs.FindOpen(appended);
  ::close(appended);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(*found, dir / "font.ttf");
}

}  // namespace
}  // namespace zentora
