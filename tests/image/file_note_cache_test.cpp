#include "image/file_note_cache.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;

TEST(FileNoteCacheTest, DescribesEachFileOnceUntilItChanges) {
  testing::CTempDir dir;
  CFileNoteCache notes([](const fs::path& path) { return QString::number(fs::file_size(path)); });
  struct Step {
    const char* write;  // the file's new content, if any
    const char* file;
    const char* note;
    int made;
  };
  for (const Step& step : {Step{"one", "a", "3", 1}, Step{nullptr, "a", "3", 1},
                           Step{"four", "a", "4", 2}, Step{nullptr, "gone", "", 2}}) {
    if (step.write != nullptr) {
      testing::WriteBytes(dir / step.file, step.write);
    }
    EXPECT_EQ(notes.NoteOf(dir / step.file).toStdString(), step.note) << step.file;
    EXPECT_EQ(notes.Made(), step.made) << step.file;
  }
}

}  // namespace
}  // namespace zentora
