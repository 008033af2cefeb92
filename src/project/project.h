#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "base/outcome.h"
#include "base/result.h"
#include "image/gallery_item_list.h"

namespace zentora {

// What the user accepted in the save-project dialog.
struct ProjectPathAnswer {
  std::string name;                // the project's name; also the folder's
  std::filesystem::path location;  // the folder in which its folder is made
};

// Asked on the first save and by "save as"; nullopt means the user cancelled.
using AskProjectPath = std::function<std::optional<ProjectPathAnswer>()>;

// The two lists a project file describes. They belong to the galleries; the
// project reads and rewrites them.
struct ProjectLists {
  CGalleryItemList& pictures;
  CGalleryItemList& sounds;
};

// The open project: its folder and file, the default folder that serves
// until it has a folder of its own, and whether the lists changed since the
// last save. Folders always end with a separator.
class CProject {
 public:
  explicit CProject(std::filesystem::path defaultFolder);

  const std::filesystem::path& ProjectFolder() const { return projectFolder_; }
  const std::string& ProjectFileName() const { return projectFileName_; }
  const std::filesystem::path& DefaultFolder() const { return defaultFolder_; }
  // The project folder once there is one, else the default folder.
  std::filesystem::path GetWorkingFolder() const;
  // Empty while the project has no folder.
  std::filesystem::path ProjectFilePath() const;

  int Modified() const { return modified_; }
  void SetModified();

  // Called after the modified flag or the project file may have changed
  // (marked, saved, opened, folder adopted), so a window can name the
  // project as it now is.
  void SetChangeObserver(std::function<void()> observer);

  // Writes the project file, copying every entry's file into the project
  // folder first. The first save asks for the name and location; declining
  // cancels. Nothing changes in memory unless the whole save succeeds: folder
  // made, every copy made, file written. The old project file survives any
  // failure, whose message names the failed step and its reason.
  Outcome Save(ProjectLists lists, const AskProjectPath& askPath);

  // Saves as a first save does, asking for the name and location even when
  // the project has a folder; the project then lives in the new folder.
  // Cancelling or a failure leaves the project where it was.
  Outcome SaveAs(ProjectLists lists, const AskProjectPath& askPath);

  // Starts an empty project: both lists cleared, no folder or file, nothing
  // to save. Whoever calls asks about unsaved changes first.
  void Forget(ProjectLists lists);

  // Reads a project file and replaces both lists with its entries. The
  // project folder and file switch to the opened file's and `modified` is
  // cleared; whoever opens asks about unsaved changes first. On failure
  // nothing changes.
  Status Open(const std::filesystem::path& projectFile, ProjectLists lists);

  // Makes `folder` the project's folder without saving (used when a project
  // file is created from the command line).
  void AdoptFolder(std::filesystem::path folder, std::string fileName);

 private:
  Outcome WriteInto(ProjectLists lists, std::filesystem::path folder, std::string fileName);

  std::filesystem::path projectFolder_;
  std::string projectFileName_;
  std::filesystem::path defaultFolder_;
  int modified_ = 0;
  std::function<void()> changeObserver_;

  void NotifyChange() const;
};

// "保存工程失败：" followed by the step and reason of a failed save.
std::string SaveFailureMessage(const Outcome& outcome);

// A folder path that ends with a separator.
std::filesystem::path AsFolder(std::filesystem::path folder);

}  // namespace zentora
