#include "image/file_note_cache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace zentora {
namespace {

using testing::CTempDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

TEST(FileNoteCacheTest, DescribesEachFileOnceUntilItChanges) {
  CTempDir dir;
  WriteBytes(dir / "a.wav", "one");
  CFileNoteCache notes([](const fs::path& path) {
    return QString::fromStdString(path.filename().string() + " " +
                                  std::to_string(fs::file_size(path)));
  });
  struct Step {
    const char* write;  // new content first, if any
    const char* file;
    const char* note;
    int made;
  };
  for (const Step& step :
       {Step{nullptr, "a.wav", "a.wav 3", 1}, Step{nullptr, "a.wav", "a.wav 3", 1},
        Step{"four", "a.wav", "a.wav 4", 2}, Step{nullptr, "gone.wav", "", 2}}) {
    if (step.write != nullptr) {
      WriteBytes(dir / step.file, step.write);
    }
    EXPECT_EQ(notes.NoteOf(dir / step.file).toStdString(), step.note) << step.file;
    EXPECT_EQ(notes.Made(), step.made) << step.file;
  }
}

}  // namespace
}  // namespace zentora
