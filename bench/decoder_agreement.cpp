// For each picture file named: which decoder draws it, and whether that
// gives exactly what the general decoder alone gives (status, reason,
// every pixel, transparency). Exits 1 when any differs. Run it over the
// pictures of a machine: decoder_agreement $(find / -iname '*.jp*g')
#include <QImage>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "image/picture_canvas.h"

namespace {

const char* NameOf(zentora::PictureDecoder decoder) {
  switch (decoder) {
    case zentora::PictureDecoder::kPngRows:
      return "png-rows";
    case zentora::PictureDecoder::kTurboJpeg:
      return "turbojpeg";
    case zentora::PictureDecoder::kGeneral:
      break;
  }
  return "general";
}

bool SamePixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.format() != b.format()) {
    return false;
  }
  const auto rowBytes = static_cast<std::size_t>(a.width()) * 4;
  for (int y = 0; y < a.height(); ++y) {
    if (std::memcmp(a.constScanLine(y), b.constScanLine(y), rowBytes) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int differing = 0;
  int fast = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    const zentora::PictureCanvas first =
        zentora::DrawPictureCanvasNotingTransparency(path, zentora::PictureDecoders::kFastFirst);
    const zentora::PictureCanvas general =
        zentora::DrawPictureCanvasNotingTransparency(path, zentora::PictureDecoders::kGeneralOnly);
    const bool same = first.status == general.status && first.reason == general.reason &&
                      first.transparent == general.transparent &&
                      SamePixels(first.canvas, general.canvas);
    differing += same ? 0 : 1;
    fast += first.decoder == zentora::PictureDecoder::kGeneral ? 0 : 1;
    std::printf("%-10s %-9s %s\n", NameOf(first.decoder), same ? "same" : "DIFFERENT", argv[i]);
  }
  std::printf("%d files, %d by a fast reader, %d different\n", argc - 1, fast, differing);
  return differing == 0 ? 0 : 1;
}
