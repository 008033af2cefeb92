#include "font/font_library.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "font/glyph_model.h"
#include "font/glyph_renderer.h"
#include "font/library_reader.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::CRecordingSink;
using testing::FolderContents;
using testing::ReadBytes;
using testing::ReadText;
using testing::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

const FontDesc kFont{{}, 16, kGb2312Charset, "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"};
const GlyphLayout kLayout{16, 16, true, true};
const Bytes kBlank(32, 0);

Bytes Modelled(char16_t ch) {
  CGlyphRenderer renderer;
  Bytes glyph(32, 0);
  ModelChar(renderer, kFont, kLayout, ch, glyph);
  return glyph;
}

Bytes GlyphAt(const Bytes& library, int number) {
  return {library.begin() + number * 32, library.begin() + (number + 1) * 32};
}

// Each value of the loop once, from 0 to lastInLoop.
std::vector<int> LoopProgress(int lastInLoop) {
  std::vector<int> progress(static_cast<std::size_t>(lastInLoop) + 1);
  std::iota(progress.begin(), progress.end(), 0);
  return progress;
}

class FontLibraryTest : public ::testing::Test {
 protected:
  LibraryRequest Request(CharsetKind charset) const { return {kFont, kLayout, charset, target_}; }
  // 0 when the run starts, the loop's values, 100 once the file is in place.
  void ExpectProgress(int lastInLoop) const {
    std::vector<int> expected = LoopProgress(lastInLoop);
    expected.insert(expected.begin(), 0);
    expected.push_back(100);
    EXPECT_EQ(sink_.ProgressPositions(), expected);
  }

  testing::CTempDir dir_;
  fs::path target_ = dir_ / "字库.bin";
  CRecordingSink sink_;
};

// An existing, larger library is replaced whole; the viewer reads the new
// glyphs back.
TEST_F(FontLibraryTest, AsciiLibrary) {
  WriteBytes(target_, std::string(10'000, 'x'));
  const Outcome result = GenerateLibrary(Request(CharsetKind::kAscii), sink_, {}, 3);
  ASSERT_TRUE(result.done()) << result.message();
  const Bytes library = ReadBytes(target_);
  ASSERT_EQ(library.size(), 4'096U);
  EXPECT_EQ(GlyphAt(library, 0x41), Modelled(u'A'));
  EXPECT_NE(GlyphAt(library, 0x41), kBlank);
  EXPECT_EQ(GlyphAt(library, 0x20), kBlank);
  ExpectProgress(99);
  EXPECT_EQ(FolderContents(dir_.Path()), std::set<std::string>{"字库.bin"});
  EXPECT_EQ(RenderLibrary(Request(CharsetKind::kAscii), sink_, {}, 1), library);

  CFontLibraryReader viewer;
  ASSERT_TRUE(viewer.Open(target_));
  EXPECT_EQ(viewer.RowCount(kLayout), 8U);
  EXPECT_EQ(viewer.ReadCell(4, 2, kLayout).value(), Modelled(u'A'));  // row 0x0040, column "1"
}

// The double-byte sets reach 100 with the last glyph; several threads give
// the bytes of one.
TEST_F(FontLibraryTest, Gb2312Library) {
  const Outcome result = GenerateLibrary(Request(CharsetKind::kGb2312), sink_, {}, 1);
  ASSERT_TRUE(result.done()) << result.message();
  const Bytes library = ReadBytes(target_);
  ASSERT_EQ(library.size(), 282'752U);
  EXPECT_EQ(GlyphAt(library, 1410), Modelled(u'啊'));
  EXPECT_NE(GlyphAt(library, 1410), kBlank);
  EXPECT_EQ(GlyphAt(library, *GlyphNumberOfCode(CharsetKind::kGb2312, 0xAAA1)), kBlank);
  ExpectProgress(100);

  CRecordingSink threaded;
  EXPECT_EQ(RenderLibrary(Request(CharsetKind::kGb2312), threaded, {}, 3), library);
  EXPECT_EQ(threaded.ProgressPositions(), LoopProgress(100));
}

TEST_F(FontLibraryTest, CancelledRunLeavesTheOldLibrary) {
  WriteBytes(target_, "old library");
  std::stop_source stop;
  stop.request_stop();
  EXPECT_TRUE(GenerateLibrary(Request(CharsetKind::kGbk), sink_, stop.get_token()).cancelled());
  EXPECT_EQ(ReadText(target_), "old library");
  EXPECT_EQ(FolderContents(dir_.Path()), std::set<std::string>{"字库.bin"});
}

TEST_F(FontLibraryTest, TargetHeldByTheViewerIsRefused) {
  WriteBytes(target_, "shown in the viewer");
  CFontLibraryReader viewer;
  ASSERT_TRUE(viewer.Open(target_));
  const Outcome result = GenerateLibrary(Request(CharsetKind::kAscii), sink_);
  EXPECT_TRUE(result.failed());
  EXPECT_EQ(result.message(), kLibraryBusyMessage);
  EXPECT_EQ(ReadText(target_), "shown in the viewer");
  EXPECT_EQ(FolderContents(dir_.Path()), std::set<std::string>{"字库.bin"});
  EXPECT_TRUE(sink_.ProgressPositions().empty());
  viewer.Close();
  LibraryRequest other = Request(CharsetKind::kAscii);
  other.layout = {8, 8, false, false};
  EXPECT_TRUE(GenerateLibrary(other, sink_).done());
  EXPECT_EQ(ReadBytes(target_).size(), 1'024U);
}

TEST_F(FontLibraryTest, UnwritableTargetsGiveThePathAndTheReason) {
  fs::create_directory(dir_ / "folder");
  const std::pair<fs::path, const char*> cases[] = {
      {dir_ / "missing" / "字库.bin", "（文件或文件夹不存在）"},
      {dir_ / "folder", "（是文件夹，不是文件）"}};
  for (const auto& [path, reason] : cases) {
    LibraryRequest request = Request(CharsetKind::kAscii);
    request.path = path;
    const Outcome result = GenerateLibrary(request, sink_);
    EXPECT_TRUE(result.failed()) << path;
    EXPECT_EQ(result.message(), kLibraryFailurePrefix + path.string() + reason);
  }
  EXPECT_EQ(FolderContents(dir_.Path()), std::set<std::string>{"folder"});
  EXPECT_TRUE(FolderContents(dir_ / "folder").empty());
}

}  // namespace
}  // namespace zentora
