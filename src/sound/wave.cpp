#include "sound/wave.h"

#include <cstring>
#include <limits>
#include <new>
#include <span>
#include <vector>

#include "base/translation.h"
#include "sound/wave_file.h"

namespace zentora {

namespace {

constexpr const char* kTooLong = QT_TRANSLATE_NOOP("sound", "声音数据过长");
constexpr const char* kNoMemory = QT_TRANSLATE_NOOP("sound", "内存不足");
constexpr std::size_t kReadBlockSize = 64 * 1024;

}  // namespace

void CWave::Release() {
  data_.reset();
  dataLength_ = 0;
}

int CWave::Load(const std::filesystem::path& path) {
  return Read(path) ? 1 : 0;
}

Status CWave::Read(const std::filesystem::path& path) {
  Release();
  Status read = ReadWhole(path);
  if (!read) {
    Release();
    headers_ = {};
  }
  return read;
}

Status CWave::ReadWhole(const std::filesystem::path& path) {
  const Result<CWaveFile> file = CWaveFile::Open(path);
  if (!file) {
    return file.status();
  }
  headers_ = file.value().Headers();
  const std::uint64_t length = file.value().DataLength();
  if (length > std::numeric_limits<std::uint32_t>::max()) {
    return Status::Failure(Tr("sound", kTooLong));  // the length could not be described
  }
  if (length == 0) {
    return Status::Ok();
  }
  data_.reset(new (std::nothrow) std::uint8_t[length]);
  if (!data_) {
    return Status::Failure(Tr("sound", kNoMemory));
  }
  std::vector<std::uint8_t> block(kReadBlockSize);
  std::uint64_t filled = 0;
  if (Status read = file.value().ReadSamples(block,
                                             [&](std::span<const std::uint8_t> piece) {
                                               std::memcpy(data_.get() + filled, piece.data(),
                                                           piece.size());
                                               filled += piece.size();
                                               return Status::Ok();
                                             });
      !read) {
    return read;
  }
  dataLength_ = static_cast<std::uint32_t>(length);
  return Status::Ok();
}

}  // namespace zentora
