#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "base/exclusive_file.h"
#include "base/file_descriptor.h"
#include "base/result.h"
#include "base/temporary_registry.h"
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
  // run left, so the folder then holds one complete set of files. A
  // replacement that cannot be finished keeps its journal and its files for
  // a later try, and the folder is refused with the reason: its files are
  // not one set.
  static Result<COutputFolderLock> Take(const std::filesystem::path& folder);

  const std::filesystem::path& Folder() const { return folder_; }
  // Makes renames in the folder durable.
  void SyncFolder() const;

 private:
  COutputFolderLock(CFileDescriptor fd, std::filesystem::path folder);

  CFileDescriptor fd_;
  std::filesystem::path folder_;
};

// Whether the folder holds the journal of a replacement whose renames began
// and did not end: its files are then not one set until a hold of the
// folder finishes it. Looks only; changes nothing.
bool HasUnfinishedReplacement(const std::filesystem::path& folder);

// Files of one held folder that are replaced together: each is written as a
// temporary file beside it, and Commit() renames them all into place. Until
// then the old files stay as they are; a set that is not committed removes
// its temporaries. Should the process die while the renames run, the next
// COutputFolderLock::Take of the folder finishes them, so the folder holds
// either the old files or the new ones, never some of each.
class CFileSetReplacement {
 public:
  // How files are renamed: ::rename, or a stand-in that fails on cue.
  using RenameFunction = int (*)(const char* from, const char* to);

  explicit CFileSetReplacement(const COutputFolderLock& folder, RenameFunction rename = &RenameFile)
      : folder_(folder), rename_(rename) {}
  CFileSetReplacement(const CFileSetReplacement&) = delete;
  CFileSetReplacement& operator=(const CFileSetReplacement&) = delete;
  ~CFileSetReplacement();

  // Creates the temporary file that will replace `target`, a file in the
  // held folder. An existing target must be a regular file that we may write
  // and that nobody else holds; it is held from here until the set ends, and
  // its permission bits pass to the new file.
  Result<CExclusiveFile> Add(const std::filesystem::path& target);
  // Puts every temporary in place of its target. The files written through
  // Add must be complete, synced and closed. The old files are first moved
  // aside, so that a rename that fails puts them all back: the failure's
  // message is the output-list line naming the file. Only when putting back
  // fails too does the set stay unfinished (LeftUnfinished()), its journal
  // and files kept for the next hold of the folder to finish.
  Status Commit();
  bool LeftUnfinished() const { return unfinished_; }

  static int RenameFile(const char* from, const char* to);

 private:
  struct Member {
    std::filesystem::path target;
    std::filesystem::path temporary;
    std::optional<CExclusiveFile> heldTarget;
    CTemporaryRegistration registration;
    bool movedAside = false;
    bool replaced = false;
  };

  Status WriteJournal() const;
  // Moves each existing target aside; the failure names the target.
  Status MoveTargetsAside();
  Status RenameTemporaries();
  // Undoes what the two steps did; false when a rename failed.
  bool PutOldFilesBack();

  const COutputFolderLock& folder_;
  RenameFunction rename_;
  std::vector<Member> members_;
  bool unfinished_ = false;
};

}  // namespace zentora
