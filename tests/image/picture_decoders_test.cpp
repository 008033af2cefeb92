// Which decoder reads each layout, and that a fast reader draws exactly what
// the general decoder alone draws: status, reason, every pixel with its
// alpha byte, and the transparency noted.
#include <gtest/gtest.h>

#include <QImage>

#include <cstring>
#include <filesystem>

#include "image/picture_canvas.h"

namespace zentora {
namespace {

using Decoder = PictureDecoder;

struct Case {
  const char* file;  // under tests/data/images/layouts
  Decoder decoder;
};

const Case kCases[] = {
    // 8-bit RGB and RGBA PNGs that check out to their end.
    {"rgb8.png", Decoder::kPngRows},
    {"rgb8_filters.png", Decoder::kPngRows},
    {"rgb8_magick.png", Decoder::kPngRows},  // gAMA, cHRM and bKGD before the data
    {"rgb8_many_idat.png", Decoder::kPngRows},
    {"rgb8_stored.png", Decoder::kPngRows},
    {"rgb8_small_window.png", Decoder::kPngRows},
    {"rgb8_text_chunks.png", Decoder::kPngRows},
    {"rgb8_trailing_garbage.png", Decoder::kPngRows},  // after the end chunk: never read
    {"rgba8.png", Decoder::kPngRows},
    {"rgba8_filters.png", Decoder::kPngRows},
    {"rgba8_opaque.png", Decoder::kPngRows},
    {"rgba8_binary_alpha.png", Decoder::kPngRows},
    {"rgba8_clear.png", Decoder::kPngRows},
    {"large_rgb8_filters.png", Decoder::kPngRows},
    {"large_rgba8_filters.png", Decoder::kPngRows},
    // Other PNG layouts, and damage the general decoder answers in its own way.
    {"rgb8_interlaced.png", Decoder::kGeneral},
    {"rgba8_interlaced.png", Decoder::kGeneral},
    {"rgb16.png", Decoder::kGeneral},
    {"rgba16.png", Decoder::kGeneral},
    {"palette.png", Decoder::kGeneral},
    {"grey8.png", Decoder::kGeneral},
    {"grey_alpha.png", Decoder::kGeneral},
    {"rgb8_trns.png", Decoder::kGeneral},
    {"rgb8_bad_idat_crc.png", Decoder::kGeneral},
    {"rgb8_cut_in_data.png", Decoder::kGeneral},
    {"rgb8_no_end.png", Decoder::kGeneral},
    {"rgb8_extra_data.png", Decoder::kGeneral},
    // JPEGs in YCbCr at every sampling, RGB and grey, however coded.
    {"ycc420.jpg", Decoder::kTurboJpeg},
    {"ycc422.jpg", Decoder::kTurboJpeg},
    {"ycc440.jpg", Decoder::kTurboJpeg},
    {"ycc444.jpg", Decoder::kTurboJpeg},
    {"ycc411.jpg", Decoder::kTurboJpeg},
    {"progressive.jpg", Decoder::kTurboJpeg},
    {"arithmetic.jpg", Decoder::kTurboJpeg},
    {"restart.jpg", Decoder::kTurboJpeg},
    {"optimized.jpg", Decoder::kTurboJpeg},
    {"rgb.jpg", Decoder::kTurboJpeg},
    {"grey.jpg", Decoder::kTurboJpeg},
    {"exif_rotated.jpg", Decoder::kTurboJpeg},  // drawn as stored, like every decoder here
    {"trailing_garbage.jpg", Decoder::kTurboJpeg},
    {"large_progressive.jpg", Decoder::kTurboJpeg},
    // CMYK has a conversion of the general decoder's own; a cut-short file
    // is finished in grey there.
    {"cmyk.jpg", Decoder::kGeneral},
    {"truncated.jpg", Decoder::kGeneral},
};

bool SameBytes(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.format() != b.format()) {
    return false;
  }
  for (int y = 0; y < a.height(); ++y) {
    if (std::memcmp(a.constScanLine(y), b.constScanLine(y),
                    static_cast<std::size_t>(a.width()) * 4) != 0) {
      return false;
    }
  }
  return true;
}

TEST(PictureDecoders, EachLayoutGoesToItsReaderAndGivesTheGeneralDecodersPixels) {
  const std::filesystem::path folder =
      std::filesystem::path(ZENTORA_TEST_DATA_DIR) / "images" / "layouts";
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    const PictureCanvas drawn =
        DrawPictureCanvasNotingTransparency(folder / c.file, PictureDecoders::kFastFirst);
    const PictureCanvas general =
        DrawPictureCanvasNotingTransparency(folder / c.file, PictureDecoders::kGeneralOnly);
    EXPECT_EQ(drawn.decoder, c.decoder);
    EXPECT_EQ(general.decoder, Decoder::kGeneral);
    EXPECT_EQ(drawn.status, general.status);
    EXPECT_EQ(drawn.reason, general.reason);
    EXPECT_EQ(drawn.transparent, general.transparent);
    EXPECT_TRUE(SameBytes(drawn.canvas, general.canvas));
  }
}

}  // namespace
}  // namespace zentora
