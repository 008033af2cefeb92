#pragma once

#include <filesystem>
#include <vector>

namespace zentora {

// One file of a gallery: the full path of the project's copy. An empty path
// stands for a project-file entry that names no usable file; it keeps its
// place so that the numbers of the entries after it do not move.
struct GalleryItem {
  std::filesystem::path path;
};

// The ordered list behind a gallery, with its selected index. Positions count
// from 0; an index outside the list makes an operation do nothing. Duplicates
// are allowed. The selected index is -1 for none and never points past the
// end.
class CGalleryItemList {
 public:
  void Add(std::filesystem::path path);
  int GetCount() const { return static_cast<int>(items_.size()); }
  // An empty path for an index outside the list.
  const std::filesystem::path& GetPath(int index) const;
  void SetPath(int index, std::filesystem::path path);

  int GetSelected() const { return selected_; }
  // -1 clears the selection; any other index outside the list is ignored.
  void SetSelected(int index);

  // Takes the entry out; the file on disk is not touched. The selected index
  // keeps its number, so the entry that followed becomes selected, or the one
  // before when the last entry went.
  void Remove(int index);
  void RemoveAll();
  // Moves entry `source` to the drop position `target` (0 = before the first
  // entry, GetCount() = after the last); the selection follows the entry.
  void Move(int source, int target);

  // A copy of every path in order, for work that must not see later edits.
  std::vector<std::filesystem::path> Snapshot() const;

 private:
  bool IsValid(int index) const { return index >= 0 && index < GetCount(); }

  std::vector<GalleryItem> items_;
  int selected_ = -1;
};

}  // namespace zentora
