#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "base/exclusive_file.h"
#include "base/file_descriptor.h"
#include "base/result.h"
#include "base/translation.h"

namespace zentora {

// The reason given when another compile or download holds a folder.
inline constexpr std::string_view kFolderBusyMessage =
    QT_TRANSLATE_NOOP("base", "文件夹正被另一个编译或下载使用");

// A folder of resource files held for the whole of one compile or one
// download, so that a compile never replaces files that a download is
// sending and two compiles never write one folder at once. The hold is an
// advisory lock on the folder itself: nothing is left in the folder for it,
// and it ends with the process, however that ends.
class COutputFolderLock {
 public:
  // Takes the folder without waiting; a held folder is refused with
  // kFolderBusyMessage. Taking it first finishes a replacement that an
  // interrupted run had begun and removes the temporary files that such a
  // run left, so the folder then holds one complete set of files.
  static Result<COutputFolderLock> Take(const std::filesystem::path& folder);

  const std::filesystem::path& Folder() const { return folder_; }
  // Makes renames in the folder durable.
  void SyncFolder() const;

 private:
  COutputFolderLock(CFileDescriptor fd, std::filesystem::path folder);

  CFileDescriptor fd_;
  std::filesystem::path folder_;
};

// Files of one held folder that are replaced together: each is written as a
// temporary file beside it, and Commit() renames them all into place. Until
// then the old files stay as they are; a set that is not committed removes
// its temporaries. Should the process die while the renames run, the next
// COutputFolderLock::Take of the folder finishes them, so the folder holds
// either the old files or the new ones, never some of each.
class CFileSetReplacement {
 public:
  explicit CFileSetReplacement(const COutputFolderLock& folder) : folder_(folder) {}
  CFileSetReplacement(const CFileSetReplacement&) = delete;
  CFileSetReplacement& operator=(const CFileSetReplacement&) = delete;
  ~CFileSetReplacement();

  // Creates the temporary file that will replace `target`, a file in the
  // held folder. An existing target must be a regular file that we may write
  // and that nobody else holds; it is held from here until the set ends, and
  // its permission bits pass to the new file.
  Result<CExclusiveFile> Add(const std::filesystem::path& target);
  // Renames every temporary over its target. The files written through Add
  // must be complete, synced and closed. Should a rename fail after others
  // went through, the temporaries left stay for the next hold to finish.
  Status Commit();

 private:
  struct Member {
    std::filesystem::path target;
    std::filesystem::path temporary;
    std::optional<CExclusiveFile> heldTarget;
  };

  Status WriteJournal() const;

  const COutputFolderLock& folder_;
  std::vector<Member> members_;
  bool renaming_ = false;
};

}  // namespace zentora
