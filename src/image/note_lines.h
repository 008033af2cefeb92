#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace zentora {

// The lines a note takes under a gallery caption, each at most width wide
// in font. The note's parts (separated by " · ") stay whole where they fit,
// so "单声道" is never split across two lines; a part wider than a line
// wraps on its own. Past maxLines the last line ends in an ellipsis.
QStringList WrapNote(const QString& note, const QFont& font, int width, int maxLines);

}  // namespace zentora
