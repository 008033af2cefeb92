#include "base/entry_name.h"

#include "base/translation.h"

namespace zentora {

std::string EntryName(const std::filesystem::path& path, std::size_t index) {
  std::string name = path.filename().string();
  if (!name.empty()) {
    return name;
  }
  return Fill(Tr("compiler", "第 %1 项"), std::to_string(index + 1));
}

}  // namespace zentora
