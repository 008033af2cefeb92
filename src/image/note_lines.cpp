#include "image/note_lines.h"

#include <QFontMetrics>
#include <QTextLayout>

namespace zentora {

namespace {

// text broken into lines of at most width, at word boundaries where it can.
QStringList WrapText(const QString& text, const QFont& font, int width) {
  QTextLayout layout(text, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  QStringList lines;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    lines << text.mid(line.textStart(), line.textLength()).trimmed();
  }
  layout.endLayout();
  return lines;
}

}  // namespace

QStringList WrapNote(const QString& note, const QFont& font, int width, int maxLines) {
  const QFontMetrics metrics(font);
  static const QString kSeparator = QStringLiteral(" · ");
  QStringList lines;
  for (const QString& part : note.split(kSeparator)) {
    if (!lines.isEmpty() && metrics.horizontalAdvance(lines.last() + kSeparator + part) <= width) {
      lines.last() += kSeparator + part;
    } else if (metrics.horizontalAdvance(part) <= width) {
      lines << part;
    } else {
      lines << WrapText(part, font, width);
    }
  }
  if (lines.size() > maxLines) {
    const QString rest = lines.mid(maxLines - 1).join(QLatin1Char(' '));
    lines = lines.mid(0, maxLines - 1);
    lines << metrics.elidedText(rest, Qt::ElideRight, width);
  }
  return lines;
}

}  // namespace zentora
