// The user's files: a replaced one keeps its mode and its link, a read-only
// font library is left alone, and a FIFO named like an input is refused.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <string>

#include "base/file_copy.h"
#include "font/font_library.h"
#include "font/glyph_renderer.h"
#include "image/picture_adjust.h"
#include "image/picture_canvas.h"
#include "project/project.h"
#include "project/project_file.h"
#include "sound/wave.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "support/test_pictures.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::ReadText;

const auto kRowName = [](const auto& row) { return std::string(row.param.name); };

std::string WriteLibrary(const fs::path& path) {
  testing::CRecordingSink sink;
  const FontDesc font{{}, 16, kAnsiCharset, "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"};
  return GenerateLibrary({font, {16, 16, true, true}, CharsetKind::kAscii, path}, sink, {}, 1)
      .message();
}

// A way the user's file is replaced: its name, and the replacement (empty
// when it worked).
struct Writer {
  const char* name;
  const char* file;
  std::function<std::string(const fs::path& folder, const fs::path& file)> replace;
};

const Writer kWriters[] = {
    {"Adjust", "p.png",
     [](const fs::path&, const fs::path& p) {
       return AdjustPicture(p, 3, 2, AdjustMethod::Scale, false).error();
     }},
    {"ProjectSave", "P/P.zentoraprj",
     [](const fs::path& folder, const fs::path&) {
       CProject project(folder / "default");
       CGalleryItemList none;
       const auto answer = [&] { return std::optional<ProjectPathAnswer>({"P", folder}); };
       return project.Save({none, none}, answer).message();
     }},
    {"FontLibrary", "font.bin", [](const fs::path&, const fs::path& p) { return WriteLibrary(p); }},
};

class FilesKeptTest : public ::testing::TestWithParam<Writer> {};

// Through a link to a file of mode 0640, so that one run checks both.
TEST_P(FilesKeptTest, ReplacedFileKeepsItsModeAndLink) {
  testing::CTempDir dir;
  const fs::path link = dir / GetParam().file;
  const fs::path target = dir / "elsewhere" / link.filename();
  fs::create_directories(link.parent_path());
  fs::create_directories(target.parent_path());
  testing::SavePicture(dir / "old.png", 1, 1, {0xFF00FF00});
  fs::copy_file(dir / "old.png", target);
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  fs::create_symlink(fs::relative(target, link.parent_path()), link);
  const std::string old = ReadText(target);
  ASSERT_EQ(GetParam().replace(dir.Path(), link), "");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_NE(ReadText(target), old);
  EXPECT_EQ(fs::status(target).permissions(), static_cast<fs::perms>(0640));
}

INSTANTIATE_TEST_SUITE_P(Writers, FilesKeptTest, ::testing::ValuesIn(kWriters), kRowName);

TEST(FilesKept, ReadOnlyFontLibraryIsRefusedAndLeftAlone) {
  testing::CTempDir dir;
  testing::WriteBytes(dir / "font.bin", "old");
  ASSERT_EQ(::chmod((dir / "font.bin").c_str(), 0444), 0);
  EXPECT_EQ(WriteLibrary(dir / "font.bin"), kLibraryBusyMessage);
  EXPECT_EQ(ReadText(dir / "font.bin"), "old");
}

// A reader handed a FIFO; true when it refused it.
struct Reader {
  const char* name;
  const char* file;
  std::function<bool(const fs::path&)> refuses;
};

const Reader kReaders[] = {
    {"Picture", "x.png",
     [](const fs::path& p) {
       return DrawPictureCanvas(p).status == PictureCanvas::Status::Unreadable;
     }},
    {"Adjust", "x.png",
     [](const fs::path& p) { return !AdjustPicture(p, 2, 2, AdjustMethod::Crop, false); }},
    {"Wave", "x.wav", [](const fs::path& p) { return CWave().Load(p) == 0; }},
    {"Project", "x.zentoraprj", [](const fs::path& p) { return !ReadProjectFile(p); }},
    {"Copy", "x.wav", [](const fs::path& p) { return !CopyFileReplacing(p, p.string() + "2"); }},
    {"FontFile", "x.ttf",
     [](const fs::path& p) {
       return !CGlyphRenderer().CanLoad({{}, 16, kAnsiCharset, p});
     }},
};

class FifoRefusedTest : public ::testing::TestWithParam<Reader> {};

TEST_P(FifoRefusedTest, WithoutWaiting) {
  testing::CTempDir dir;
  const fs::path fifo = dir / GetParam().file;
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::future<bool> refused = std::async(std::launch::async, GetParam().refuses, fifo);
  // A reader stuck on the FIFO is freed by opening the other end, so that
  // the test fails instead of hanging.
  bool waited = false;
  while (refused.wait_for(std::chrono::milliseconds(waited ? 50 : 10000)) ==
         std::future_status::timeout) {
    waited = true;
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) {
      ::close(writer);
    }
  }
  EXPECT_FALSE(waited) << "waited on the FIFO";
  EXPECT_TRUE(refused.get());
}

INSTANTIATE_TEST_SUITE_P(Readers, FifoRefusedTest, ::testing::ValuesIn(kReaders), kRowName);

}  // namespace
}  // namespace zentora
