#include "font/glyph_renderer.h"

#include <unistd.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GASP_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "base/regular_file.h"
#include "base/translation.h"

namespace zentora {

namespace {

// One drawn glyph waiting to be placed on the line.
struct PlacedGlyph {
  int pen = 0;   // from the start of the line
  int left = 0;  // bitmap's offset from the pen
  int top = 0;   // bitmap's top above the baseline
  int width = 0;
  int rows = 0;
  std::vector<std::uint8_t> coverage;
};

// Vertical metrics in font units that define the character cell.
struct CellMetrics {
  long ascent = 0;
  long descent = 0;
};

CellMetrics FontCellMetrics(FT_Face face) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    return {os2->usWinAscent, os2->usWinDescent};
  }
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  if (hhea != nullptr && hhea->Ascender - hhea->Descender > 0) {
    return {hhea->Ascender, -hhea->Descender};
  }
  if (face->ascender - face->descender > 0) {
    return {face->ascender, -face->descender};
  }
  return {face->units_per_EM, 0};
}

// Whether the font's gasp table asks for no grey-scale at this em size. A
// font without the table, or whose table does not reach the size, is
// anti-aliased.
bool GaspAsksForMonochrome(FT_Face face, long ppem) {
  const FT_Int gasp = FT_Get_Gasp(face, static_cast<FT_UInt>(ppem));
  return gasp != FT_GASP_NO_TABLE && (gasp & FT_GASP_DO_GRAY) == 0;
}

// Turns a loaded glyph into pixels: a bitmap from a strike as it is, an
// outline in black and white or in grey. Hinted for black and white, a
// stroke thinner than a pixel can fall between pixel centres; where the
// font's instructions switch dropout control off (WenQuanYi Zen Hei's 一 at
// 13 ppem) the stroke would vanish, so smart dropout control stays on.
bool DrawSlot(FT_GlyphSlot slot, bool monochrome) {
  if (slot->format == FT_GLYPH_FORMAT_BITMAP) {
    return true;
  }
  if (monochrome && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    slot->outline.flags &= ~FT_OUTLINE_IGNORE_DROPOUTS;
    slot->outline.flags |= FT_OUTLINE_SMART_DROPOUTS;
  }
  return FT_Render_Glyph(slot, monochrome ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0;
}

void CopyCoverage(const FT_Bitmap& bitmap, PlacedGlyph& glyph) {
  glyph.width = static_cast<int>(bitmap.width);
  glyph.rows = static_cast<int>(bitmap.rows);
  glyph.coverage.assign(
      static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.rows), 0);
  for (int y = 0; y < glyph.rows; ++y) {
    const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
    std::uint8_t* out = glyph.coverage.data() + static_cast<std::size_t>(y) * glyph.width;
    for (int x = 0; x < glyph.width; ++x) {
      switch (bitmap.pixel_mode) {
        case FT_PIXEL_MODE_MONO:
          out[x] = (row[x >> 3] & (0x80 >> (x & 7))) != 0 ? 255 : 0;
          break;
        case FT_PIXEL_MODE_GRAY:
          out[x] = row[x];
          break;
        case FT_PIXEL_MODE_BGRA:
          out[x] = row[x * 4 + 3];
          break;
        default:
          out[x] = 0;
          break;
      }
    }
  }
}

}  // namespace

struct CGlyphRenderer::Face {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  FontSource source;
  FontDesc desc;
  bool prepared = false;
  // Why the desc's font cannot be drawn with; ok when it can.
  Status problem = Status::Ok();
  bool strike = false;
  // Outlines are hinted and drawn in black and white.
  bool monochrome = false;
  int height = 0;
  int ascent = 0;
  std::vector<PlacedGlyph> line;

  ~Face() {
    if (face != nullptr) {
      FT_Done_Face(face);
    }
    if (library != nullptr) {
      FT_Done_FreeType(library);
    }
  }

  // Ok once the face is open; else why the font file cannot be used.
  Status Open(const FontSource& wanted) {
    if (face != nullptr && source == wanted) {
      return Status::Ok();
    }
    if (face != nullptr) {
      FT_Done_Face(face);
      face = nullptr;
    }
    source = wanted;
    if (library == nullptr && FT_Init_FreeType(&library) != 0) {
      library = nullptr;
      return Status::Failure(Tr("font", "内存不足"));
    }
    // FreeType would wait on a FIFO named like a font, or read a device
    // without end; a font file is checked the way every named file is.
    if (Result<CFileDescriptor> checked = OpenRegularFile(wanted.file); !checked) {
      return checked.status();
    }
    const FT_Error error = FT_New_Face(library, wanted.file.c_str(), wanted.faceIndex, &face);
    if (error != 0) {
      face = nullptr;
      return Status::Failure(error == FT_Err_Unknown_File_Format
                                 ? Tr("font", "不是字体文件")
                                 : Tr("font", "字体文件已损坏，或其中没有这个字体"));
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    return Status::Ok();
  }

  // Sets the em size for a cell height, picks the strike, if any, and how
  // outlines are drawn: the glyphs a strike lacks are drawn from them too.
  bool SetHeight(int cellHeight, bool forceMonochrome) {
    height = cellHeight;
    strike = false;
    monochrome = false;
    if (!FT_IS_SCALABLE(face)) {
      return SelectNearestStrike();
    }
    const CellMetrics metrics = FontCellMetrics(face);
    const long cell = metrics.ascent + metrics.descent;
    const long ppem = std::max(1L, std::lround(static_cast<double>(height) * face->units_per_EM /
                                               static_cast<double>(cell)));
    ascent = static_cast<int>(
        std::lround(static_cast<double>(height) * metrics.ascent / static_cast<double>(cell)));
    monochrome = forceMonochrome || GaspAsksForMonochrome(face, ppem);
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
      if ((face->available_sizes[i].y_ppem + 32) >> 6 == ppem && FT_Select_Size(face, i) == 0) {
        strike = true;
        return true;
      }
    }
    return FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) == 0;
  }

  bool SelectNearestStrike() {
    int best = -1;
    long bestDistance = 0;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
      const long distance = std::labs(face->available_sizes[i].height - height);
      if (best < 0 || distance < bestDistance) {
        best = i;
        bestDistance = distance;
      }
    }
    if (best < 0 || FT_Select_Size(face, best) != 0) {
      return false;
    }
    strike = true;
    const FT_Size_Metrics& size = face->size->metrics;
    const long cell = (size.ascender - size.descender) >> 6;
    ascent = cell > 0 ? static_cast<int>(height * (size.ascender >> 6) / cell) : height;
    return true;
  }

  // Lays out text; returns the line's advance width.
  int Shape(std::u16string_view text) {
    line.resize(text.size());
    int pen = 0;
    const FT_Int32 flags = (strike ? 0 : FT_LOAD_NO_BITMAP) |
                           (monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    for (std::size_t i = 0; i < text.size(); ++i) {
      PlacedGlyph& glyph = line[i];
      glyph.pen = pen;
      glyph.width = glyph.rows = 0;
      const FT_UInt index = FT_Get_Char_Index(face, text[i]);
      if (index == 0 || FT_Load_Glyph(face, index, flags) != 0 ||
          !DrawSlot(face->glyph, monochrome)) {
        continue;
      }
      const FT_GlyphSlot slot = face->glyph;
      glyph.left = slot->bitmap_left;
      glyph.top = slot->bitmap_top;
      CopyCoverage(slot->bitmap, glyph);
      pen += static_cast<int>((slot->advance.x + 32) >> 6);
    }
    return pen;
  }
};

CGlyphRenderer::CGlyphRenderer() : face_(std::make_unique<Face>()) {}
CGlyphRenderer::~CGlyphRenderer() = default;

bool CGlyphRenderer::Prepare(const FontDesc& desc) {
  if (face_->prepared && face_->desc == desc) {
    return face_->problem.ok();
  }
  face_->prepared = true;
  face_->desc = desc;
  face_->problem = [&] {
    const Result<FontSource> source = ResolveFont(desc);
    if (!source) {
      return source.status();
    }
    if (Status opened = face_->Open(source.value()); !opened) {
      return opened;
    }
    if (!face_->SetHeight(desc.height > 0 ? desc.height : kDefaultFontHeight, desc.monochrome)) {
      return Status::Failure(Tr("font", "字体不能按这个大小绘制"));
    }
    return Status::Ok();
  }();
  return face_->problem.ok();
}

bool CGlyphRenderer::HasGlyph(const FontDesc& desc, char16_t ch) {
  return Prepare(desc) && FT_Get_Char_Index(face_->face, ch) != 0;
}

Status CGlyphRenderer::CanLoad(const FontDesc& desc) {
  Prepare(desc);
  return face_->problem;
}

void CGlyphRenderer::RenderLine(const FontDesc& desc, std::u16string_view text, int width,
                                int height, CellBitmap& box) {
  box.Reset(width, height);
  if (!Prepare(desc)) {
    return;
  }
  const int advance = face_->Shape(text);
  // Integer halving as the desktop centres a line: toward zero.
  const int x0 = (width - advance) / 2;
  const int baseline = (height - face_->height) / 2 + face_->ascent;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const PlacedGlyph& glyph = face_->line[i];
    const int gx = x0 + glyph.pen + glyph.left;
    const int gy = baseline - glyph.top;
    const int xBegin = std::max(0, -gx);
    const int xEnd = std::min(glyph.width, width - gx);
    const int yBegin = std::max(0, -gy);
    const int yEnd = std::min(glyph.rows, height - gy);
    for (int y = yBegin; y < yEnd; ++y) {
      const std::uint8_t* in = glyph.coverage.data() + static_cast<std::size_t>(y) * glyph.width;
      std::uint8_t* out =
          box.coverage.data() + static_cast<std::size_t>(gy + y) * static_cast<std::size_t>(width);
      for (int x = xBegin; x < xEnd; ++x) {
        out[gx + x] = std::max(out[gx + x], in[x]);
      }
    }
  }
}

void CGlyphRenderer::RenderChar(const FontDesc& desc, char16_t ch, CellBitmap& cell) {
  RenderLine(desc, std::u16string_view(&ch, 1), cell.width, cell.height, cell);
}

CellBitmap RenderChar(const FontDesc& desc, int cellWidth, int cellHeight, char16_t ch) {
  thread_local CGlyphRenderer renderer;
  CellBitmap cell;
  cell.Reset(cellWidth, cellHeight);
  renderer.RenderChar(desc, ch, cell);
  return cell;
}

}  // namespace zentora
