// Compiling a project into a folder of resource files: the four files are
// replaced as one set whatever interrupts the compile, a folder that a
// compile or a download holds is left alone, and every input that does not
// compile as given is named.

#include "download/resource_compile.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>

#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "base/exclusive_file.h"
#include "base/system_error_text.h"
#include "download/build_worker.h"
#include "sound/wave_bytes.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "support/test_pictures.h"

namespace zentora::testing {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;
using Lines = std::vector<std::string>;

const std::string kBusy(kFolderBusyMessage);

// Every file in a folder with its bytes.
Files FilesIn(const fs::path& folder) {
  Files files;
  for (const std::string& name : FolderContents(folder)) {
    files[name] = ReadText(folder / name);
  }
  return files;
}

// Kills its own process at one line, as kill -9 or a crash would stop a
// compile half-way.
class CKillingSink final : public StatusSink {
 public:
  explicit CKillingSink(std::string line) : line_(std::move(line)) {}
  void ClearLines() override {}
  void AppendLine(std::string_view line) override {
    if (line == line_) {
      ::kill(::getpid(), SIGKILL);
    }
  }
  void SetProgress(int) override {}
  void ShowProgress(bool) override {}

 private:
  std::string line_;
};

// A project of one picture and one sound, a folder that holds the old set of
// four files, and what compiling the project gives.
class ResourceFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SavePicture(dir_ / "red.bmp", 1, 1, {0xFFFF0000});
    WriteBytes(dir_ / "beep.wav", PcmWaveFile(1, 8000, 8, "\x10\x20\x30"));
    WriteBytes(dir_ / "text.wav", "not a sound");
    WriteBytes(dir_ / "silent.wav", PcmWaveFile(0, 8000, 8, "\x10"));
    fs::create_directories(folder_);
    for (const auto& [name, bytes] : oldSet_) {
      WriteBytes(folder_ / name, bytes);
    }
    fs::create_directories(dir_ / "reference");
    CRecordingSink sink;
    ASSERT_FALSE(Compile(dir_ / "reference", pictures_, sounds_, sink).Failed());
    newSet_ = FilesIn(dir_ / "reference");
  }

  std::vector<fs::path> Sources(const std::vector<std::string>& names) const {
    std::vector<fs::path> paths;
    for (const std::string& name : names) {
      paths.push_back(dir_ / name);
    }
    return paths;
  }

  ResourceCompileOutcome Compile(const fs::path& folder, const std::vector<fs::path>& pictures,
                                 const std::vector<fs::path>& sounds, StatusSink& sink) const {
    return CompileResourceFolder(folder, COutputFolderLock::Take(folder), pictures, sounds,
                                 ImageSettings{}, sink);
  }

  // Compiles in a child process that dies at `line`.
  void CompileKilledAt(const std::string& line) {
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      CKillingSink sink(line);
      Compile(folder_, pictures_, sounds_, sink);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the compile ran to its end";
    // The dead compile left its temporary files behind.
    ASSERT_GT(FolderContents(folder_).size(), oldSet_.size());
  }

  CTempDir dir_;
  fs::path folder_ = dir_ / "output";
  std::vector<fs::path> pictures_ = Sources({"red.bmp"});
  std::vector<fs::path> sounds_ = Sources({"beep.wav"});
  Files oldSet_ = {{"image.bin", "old pictures"},
                   {"image.idx", "old picture index"},
                   {"wave.bin", "old sounds"},
                   {"wave.idx", "old sound index"}};
  Files newSet_;
  Lines lines_;  // what the interrupted or refused run reported
};

// ---------------------------------------------------------------------------
// Interruptions and held folders: afterwards, and once the next run has held
// the folder, it holds one whole set and nothing else.

enum class Left { kOldSet, kNewSet, kEmptySet };

class InterruptionTest;

struct InterruptionCase {
  const char* name;
  void (*run)(InterruptionTest& test);
  Lines lines;  // "<folder>" stands for the folder's path
  Left left;
};

void PrintTo(const InterruptionCase& row, std::ostream* out) {
  *out << row.name;
}

class InterruptionTest : public ResourceFolderTest,
                         public ::testing::WithParamInterface<InterruptionCase> {
 public:
  static void KilledWhileWritingPictures(InterruptionTest& self) {
    self.CompileKilledAt("生成图片资源...");
  }
  static void KilledBeforeReplacing(InterruptionTest& self) {
    self.CompileKilledAt("生成声音资源成功！");
  }
  // The picture files were renamed into place; the sound files and the list
  // of the set's names wait beside theirs.
  static void KilledWhileReplacing(InterruptionTest& self) {
    for (const char* name : {"image.bin", "image.idx"}) {
      WriteBytes(self.folder_ / name, self.newSet_[name]);
    }
    for (const char* name : {"wave.bin", "wave.idx"}) {
      WriteBytes(self.folder_ / ("." + std::string(name) + ".zentora-new"), self.newSet_[name]);
    }
    WriteBytes(self.folder_ / ".zentora-replace",
               std::string("image.bin\0image.idx\0wave.bin\0wave.idx\0", 38));
  }
  static void CompileMeetsAHeldFolder(InterruptionTest& self) {
    const Result<COutputFolderLock> held = COutputFolderLock::Take(self.folder_);
    ASSERT_TRUE(held) << held.error();
    CRecordingSink sink;
    EXPECT_TRUE(self.Compile(self.folder_, self.pictures_, self.sounds_, sink).Failed());
    self.lines_ = sink.Lines();
  }
  static void DownloadMeetsAHeldFolder(InterruptionTest& self) {
    const Result<COutputFolderLock> held = COutputFolderLock::Take(self.folder_);
    ASSERT_TRUE(held) << held.error();
    auto sink = std::make_shared<CRecordingSink>();
    CBuildWorker worker(sink);
    worker.Start();
    ASSERT_TRUE(worker.TriggerDownload(self.folder_));
    worker.WaitUntilIdle();
    EXPECT_TRUE(worker.LastCycleFailed());
    self.lines_ = sink->Lines();
  }
  static void EmptyListsReplaceTheSet(InterruptionTest& self) {
    CRecordingSink sink;
    EXPECT_FALSE(self.Compile(self.folder_, {}, {}, sink).Failed());
  }
};

TEST_P(InterruptionTest, FolderHoldsOneWholeSet) {
  const InterruptionCase& row = GetParam();
  row.run(*this);
  ASSERT_FALSE(HasFatalFailure());
  Lines expected = row.lines;
  for (std::string& line : expected) {
    if (const std::size_t at = line.find("<folder>"); at != std::string::npos) {
      line.replace(at, 8, folder_.string());
    }
  }
  EXPECT_EQ(lines_, expected);
  ASSERT_TRUE(COutputFolderLock::Take(folder_));  // the next run
  const Files empty = {{"image.bin", ""}, {"image.idx", ""}, {"wave.bin", ""}, {"wave.idx", ""}};
  EXPECT_EQ(FilesIn(folder_), row.left == Left::kOldSet   ? oldSet_
                              : row.left == Left::kNewSet ? newSet_
                                                          : empty);
}

std::vector<InterruptionCase> InterruptionCases() {
  return {
      {"KilledWhileWritingPictures",
       InterruptionTest::KilledWhileWritingPictures,
       {},
       Left::kOldSet},
      {"KilledBeforeReplacing", InterruptionTest::KilledBeforeReplacing, {}, Left::kOldSet},
      {"KilledWhileReplacing", InterruptionTest::KilledWhileReplacing, {}, Left::kNewSet},
      {"CompileMeetsAHeldFolder",
       InterruptionTest::CompileMeetsAHeldFolder,
       {"无法创建文件：<folder>/image.bin（" + kBusy + "）",
        "无法创建文件：<folder>/wave.idx（" + kBusy + "）"},
       Left::kOldSet},
      {"DownloadMeetsAHeldFolder",
       InterruptionTest::DownloadMeetsAHeldFolder,
       {"开始", "下载图片索引...", "下载图片索引失败！",
        "无法打开文件：<folder>/image.idx（" + kBusy + "）", "下载声音索引...",
        "下载声音索引失败！", "无法打开文件：<folder>/wave.idx（" + kBusy + "）", "结束"},
       Left::kOldSet},
      {"EmptyListsReplaceTheSet", InterruptionTest::EmptyListsReplaceTheSet, {}, Left::kEmptySet},
  };
}

INSTANTIATE_TEST_SUITE_P(ResourceFolder, InterruptionTest, ::testing::ValuesIn(InterruptionCases()),
                         [](const ::testing::TestParamInfo<InterruptionCase>& row) {
                           return std::string(row.param.name);
                         });

// ---------------------------------------------------------------------------
// Input that does not compile as given: each gets its line once, the files
// are still replaced, and the compile counts as warned (the command-line
// tool then ends with status 1).

struct WarningCase {
  const char* name;
  std::vector<std::string> pictures;
  std::vector<std::string> sounds;
  Lines lines;
};

void PrintTo(const WarningCase& row, std::ostream* out) {
  *out << row.name;
}

std::vector<std::string> Times(const std::string& name, int count) {
  return std::vector<std::string>(static_cast<std::size_t>(count), name);
}

Lines Concat(std::initializer_list<Lines> parts) {
  Lines joined;
  for (const Lines& part : parts) {
    joined.insert(joined.end(), part.begin(), part.end());
  }
  return joined;
}

class WarningLineTest : public ResourceFolderTest,
                        public ::testing::WithParamInterface<WarningCase> {};

TEST_P(WarningLineTest, NamesEachInputThatDidNotCompileAsGiven) {
  const WarningCase& row = GetParam();
  CRecordingSink sink;
  const ResourceCompileOutcome outcome =
      Compile(folder_, Sources(row.pictures), Sources(row.sounds), sink);
  EXPECT_TRUE(outcome.replaced);
  EXPECT_TRUE(outcome.Warned());
  EXPECT_EQ(sink.Lines(), row.lines);
}

std::vector<WarningCase> WarningCases() {
  return {
      {"MissingPicture",
       {"red.bmp", "gone.png"},
       {},
       {"生成图片资源...", "无法读取图片：gone.png", "生成图片资源成功！", "没有声音资源！"}},
      {"MissingSound",
       {},
       {"gone.wav"},
       {"没有图片资源！", "生成声音资源...",
        "无法读取声音：gone.wav（" + ErrnoMessage(ENOENT) + "）", "生成声音资源成功！"}},
      {"LastSoundSkipped",
       {},
       {"beep.wav", "text.wav"},
       {"没有图片资源！", "生成声音资源...", "无法读取声音：text.wav（不是 WAV 文件）",
        "生成声音资源成功！"}},
      {"SkippedSoundsMoveLaterOnesUp",
       {},
       {"text.wav", "beep.wav", "silent.wav", "beep.wav"},
       {"没有图片资源！", "生成声音资源...", "无法读取声音：text.wav（不是 WAV 文件）",
        "其后的声音编号依次前移", "无法读取声音：silent.wav（PCM 格式参数无效）",
        "生成声音资源成功！"}},
      {"SoundNumbersWrap",
       {},
       Times("beep.wav", 257),
       {"没有图片资源！", "生成声音资源...", "声音超过256个：第257个起编号从0重新开始",
        "生成声音资源成功！"}},
      // Missing pictures keep the row quick; the number of the 65,537th is 0.
      {"PictureNumbersWrap",
       Times("gone.png", 65537),
       {},
       Concat({{"生成图片资源..."},
               Times("无法读取图片：gone.png", 65537),
               {"图片超过65536张：第65537张起编号从0重新开始", "生成图片资源成功！",
                "没有声音资源！"}})},
  };
}

INSTANTIATE_TEST_SUITE_P(ResourceFolder, WarningLineTest, ::testing::ValuesIn(WarningCases()),
                         [](const ::testing::TestParamInfo<WarningCase>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
}  // namespace zentora::testing
