#include "image/gallery_item_list.h"

#include <iterator>
#include <utility>

namespace zentora {

void CGalleryItemList::Add(std::filesystem::path path) {
  items_.push_back(GalleryItem{std::move(path)});
}

const std::filesystem::path& CGalleryItemList::GetPath(int index) const {
  static const std::filesystem::path kNoPath;
  return IsValid(index) ? items_[static_cast<std::size_t>(index)].path : kNoPath;
}

void CGalleryItemList::SetPath(int index, std::filesystem::path path) {
  if (IsValid(index)) {
    items_[static_cast<std::size_t>(index)].path = std::move(path);
  }
}

void CGalleryItemList::SetSelected(int index) {
  if (index == -1 || IsValid(index)) {
    selected_ = index;
  }
}

void CGalleryItemList::Remove(int index) {
  if (!IsValid(index)) {
    return;
  }
  items_.erase(std::next(items_.begin(), index));
  if (selected_ == GetCount()) {
    --selected_;
  }
}

void CGalleryItemList::RemoveAll() {
  items_.clear();
  selected_ = -1;
}

void CGalleryItemList::Move(int source, int target) {
  // target may equal GetCount(): the gap after the last entry.
  if (!IsValid(source) || target < 0 || target > GetCount() || target == source) {
    return;
  }
  GalleryItem moved = std::move(items_[static_cast<std::size_t>(source)]);
  items_.erase(std::next(items_.begin(), source));
  const int destination = source < target ? target - 1 : target;
  items_.insert(std::next(items_.begin(), destination), std::move(moved));
  selected_ = destination;
}

std::vector<std::filesystem::path> CGalleryItemList::Snapshot() const {
  std::vector<std::filesystem::path> paths;
  paths.reserve(items_.size());
  for (const GalleryItem& item : items_) {
    paths.push_back(item.path);
  }
  return paths;
}

}  // namespace zentora
