#pragma once

#include <QtGlobal>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "base/outcome.h"
#include "base/status_sink.h"
#include "font/charset.h"
#include "font/font_desc.h"
#include "font/glyph_layout.h"

namespace zentora {

// Everything one generation uses, copied when it starts so that the dialog
// can change meanwhile: one font, one cell and one packing for the whole
// file.
struct LibraryRequest {
  FontDesc font;
  GlyphLayout layout;
  CharsetKind charset = CharsetKind::kGb2312;
  std::filesystem::path path;
};

// Texts of the "font" context; Tr("font", ...) gives them in the user's
// language.
inline constexpr char kLibraryBusyMessage[] = QT_TRANSLATE_NOOP("font", "操作失败，文件已被打开！");
inline constexpr char kLibraryFailurePrefix[] = QT_TRANSLATE_NOOP("font", "操作失败：");

// The whole library in memory: every glyph of the set, in code order, each
// block of BytesPerGlyph bytes. Glyphs render on `threads` threads (0: one
// per core) with the same bytes as one thread. Progress goes to sink as the
// glyphs complete in file order: ASCII c × 100 / 128 after glyph c, the
// double-byte sets (i + 1) × 100 / count after glyph i, each value once.
// Returns nothing when stop was requested.
std::optional<std::vector<std::uint8_t>> RenderLibrary(const LibraryRequest& request,
                                                       StatusSink& sink, std::stop_token stop,
                                                       int threads = 0);

// Writes the library to request.path. The file is built in memory, written
// beside the target in one write and renamed over it, so a failed or
// cancelled run leaves an existing library as it was. A target that the
// viewer holds gives kLibraryBusyMessage; any other failure
// kLibraryFailurePrefix, the path and the reason. Done once the file is in
// place; cancelled when stop was requested. Progress starts at 0 and ends at
// 100 once the file is in place.
Outcome GenerateLibrary(const LibraryRequest& request, StatusSink& sink, std::stop_token stop = {},
                        int threads = 0);

// The length of a library: glyph count × bytes per glyph.
std::uint64_t LibraryLength(CharsetKind charset, const GlyphLayout& layout);

}  // namespace zentora
