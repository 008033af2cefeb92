// The thumbnail path for PNGs from raw bytes: the row reader and the
// averaging down to half its sides.
#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

#include "image/png_reducer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer device(&bytes);
  device.open(QIODevice::ReadOnly);
  // Half the sides, as large as a thumbnail could ever be asked for.
  const auto half = [](QSize original) {
    return (original / 2).boundedTo(QSize(512, 512)).expandedTo(QSize(1, 1));
  };
  const std::optional<zentora::ReducedPng> reduced = zentora::DecodeReducedPng(device, half);
  if (reduced && reduced->image.size() != half(reduced->original)) {
    std::abort();
  }
  return 0;
}
