#include "project/project.h"

#include <cerrno>
#include <cstdint>
#include <span>
#include <system_error>
#include <utility>
#include <vector>

#include "base/atomic_file_writer.h"
#include "base/file_copy.h"
#include "base/system_error_text.h"
#include "base/translation.h"
#include "project/project_file.h"

namespace zentora {

namespace {

constexpr const char* kProjectExtension = ".zentoraprj";

// Where a save puts each entry of one list, and the names the file lists.
struct PlannedList {
  std::vector<std::filesystem::path> newPaths;
  std::vector<std::string> names;
};

// Copies the entries' files into `folder` and works out their new paths. An
// entry that names no file keeps naming none.
Result<PlannedList> CopyIntoFolder(const CGalleryItemList& list,
                                   const std::filesystem::path& folder) {
  PlannedList planned;
  for (int i = 0; i < list.GetCount(); ++i) {
    const std::filesystem::path& path = list.GetPath(i);
    const std::string name = path.filename().string();
    if (name.empty()) {
      planned.newPaths.emplace_back();
      planned.names.emplace_back();
      continue;
    }
    std::filesystem::path newPath = folder / name;
    if (path != newPath) {
      if (Status copied = CopyFileReplacing(path, newPath); !copied) {
        return Status::Failure(Fill(Tr("project", "复制文件 %1 到 %2（%3）"), path.string(),
                                    newPath.string(), copied.message()));
      }
    }
    planned.newPaths.push_back(std::move(newPath));
    planned.names.push_back(name);
  }
  return planned;
}

void ApplyPaths(CGalleryItemList& list, std::vector<std::filesystem::path>& newPaths) {
  for (int i = 0; i < list.GetCount(); ++i) {
    list.SetPath(i, std::move(newPaths[static_cast<std::size_t>(i)]));
  }
}

}  // namespace

std::filesystem::path AsFolder(std::filesystem::path folder) {
  if (!folder.empty() && !folder.native().ends_with('/')) {
    folder += '/';
  }
  return folder;
}

CProject::CProject(std::filesystem::path defaultFolder)
    : defaultFolder_(AsFolder(std::move(defaultFolder))) {}

std::filesystem::path CProject::GetWorkingFolder() const {
  return projectFolder_.empty() ? defaultFolder_ : projectFolder_;
}

std::filesystem::path CProject::ProjectFilePath() const {
  return projectFolder_.empty() ? std::filesystem::path() : projectFolder_ / projectFileName_;
}

void CProject::AdoptFolder(std::filesystem::path folder, std::string fileName) {
  projectFolder_ = AsFolder(std::move(folder));
  projectFileName_ = std::move(fileName);
  NotifyChange();
}

void CProject::SetModified() {
  modified_ = 1;
  NotifyChange();
}

void CProject::SetChangeObserver(std::function<void()> observer) {
  changeObserver_ = std::move(observer);
}

void CProject::NotifyChange() const {
  if (changeObserver_) {
    changeObserver_();
  }
}

Outcome CProject::Save(ProjectLists lists, const AskProjectPath& askPath) {
  if (!projectFolder_.empty()) {
    return WriteInto(lists, projectFolder_, projectFileName_);
  }
  return SaveAs(lists, askPath);
}

Outcome CProject::SaveAs(ProjectLists lists, const AskProjectPath& askPath) {
  std::optional<ProjectPathAnswer> answer = askPath ? askPath() : std::nullopt;
  if (!answer) {
    return Outcome::Cancelled();
  }
  // The location and name are taken as typed and joined as text.
  std::string location = answer->location.string();
  while (location.size() > 1 && location.back() == '/') {
    location.pop_back();  // "L/" + "/" would double the separator
  }
  std::filesystem::path folder =
      AsFolder((location == "/" ? location : location + "/") + answer->name);
  // Only the last level is made; the location itself must exist.
  std::error_code createError;
  std::filesystem::create_directory(folder, createError);
  if (std::error_code ignored; !std::filesystem::is_directory(folder, ignored)) {
    const int error = createError ? createError.value() : ENOTDIR;
    return Outcome::Failed(
        Fill(Tr("project", "创建工程文件夹 %1"), SystemErrorText(error, folder)));
  }
  return WriteInto(lists, std::move(folder), answer->name + kProjectExtension);
}

void CProject::Forget(ProjectLists lists) {
  lists.pictures.RemoveAll();
  lists.sounds.RemoveAll();
  projectFolder_.clear();
  projectFileName_.clear();
  modified_ = 0;
  NotifyChange();
}

Outcome CProject::WriteInto(ProjectLists lists, std::filesystem::path folder,
                            std::string fileName) {
  Result<PlannedList> pictures = CopyIntoFolder(lists.pictures, folder);
  if (!pictures) {
    return Outcome::Failed(pictures.error());
  }
  Result<PlannedList> sounds = CopyIntoFolder(lists.sounds, folder);
  if (!sounds) {
    return Outcome::Failed(sounds.error());
  }

  const std::filesystem::path filePath = folder / fileName;
  Result<std::string> bytes =
      SerializeProjectFile(ProjectFileContents{pictures.value().names, sounds.value().names});
  if (!bytes) {
    return Outcome::Failed(
        Fill(Tr("project", "写入工程文件 %1（%2）"), filePath.string(), bytes.error()));
  }
  const std::string& text = bytes.value();
  if (Status written = WriteFileAtomically(
          filePath, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
      !written) {
    return Outcome::Failed(
        Fill(Tr("project", "写入工程文件 %1（%2）"), filePath.string(), written.message()));
  }

  projectFolder_ = std::move(folder);
  projectFileName_ = std::move(fileName);
  ApplyPaths(lists.pictures, pictures.value().newPaths);
  ApplyPaths(lists.sounds, sounds.value().newPaths);
  modified_ = 0;
  NotifyChange();
  return Outcome::Done();
}

Status CProject::Open(const std::filesystem::path& projectFile, ProjectLists lists) {
  Result<ProjectFileContents> contents = ReadProjectFile(projectFile);
  if (!contents) {
    return contents.status();
  }
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(projectFile, error);
  if (error) {
    return Status::Failure(SystemErrorText(error.value()));
  }
  projectFolder_ = AsFolder(absolute.parent_path());
  projectFileName_ = absolute.filename().string();

  auto fill = [this](CGalleryItemList& list, const std::vector<std::string>& names) {
    list.RemoveAll();
    for (const std::string& name : names) {
      list.Add(name.empty() ? std::filesystem::path() : projectFolder_ / name);
    }
  };
  fill(lists.pictures, contents.value().images);
  fill(lists.sounds, contents.value().waves);
  // The lists are now what the file says: nothing is left to save.
  modified_ = 0;
  NotifyChange();
  return Status::Ok();
}

std::string SaveFailureMessage(const Outcome& outcome) {
  return Tr("project", "保存工程失败：") + outcome.message();
}

}  // namespace zentora
