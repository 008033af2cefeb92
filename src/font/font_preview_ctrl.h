#pragma once

#include <QString>
#include <QWidget>

#include <vector>

#include "font/cell_bitmap.h"
#include "font/font_desc.h"
#include "font/glyph_renderer.h"

namespace zentora {

// The glyph dialog's preview: the first character of the text at six screen
// pixels per glyph pixel, on a dotted grid at the control's top left, with
// grey around it.
class CFontPreviewCtrl : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kScale = 6;
  // Shown when the text is empty.
  static constexpr char16_t kEmptyTextCharacter = u'中';

  explicit CFontPreviewCtrl(QWidget* parent = nullptr);

  FontDesc fontDesc{"宋体", 32, kAnsiCharset, {}};
  int cellWidth = 32;
  int cellHeight = 32;
  QString previewText = QStringLiteral("中文");

  // ch drawn with the current font into a new cell of the current size.
  CellBitmap RenderChar(char16_t ch);
  // The characters of text that the current font has no glyph for.
  std::vector<char32_t> MissingCharacters(const QString& text);
  // The character the preview shows.
  char16_t ShownCharacter() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CGlyphRenderer renderer_;
};

}  // namespace zentora
