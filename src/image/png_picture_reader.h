#pragma once

namespace zentora {

class CPictureRowSink;
class CPngRowReader;

// Hands the rows of an opened PNG to the sink as the general decoder and the
// blend onto blue would give them: RGB rows as they are, RGBA rows over blue
// with Qt's own blend a batch of rows at a time (opaque batches as they are).
// Notes in `transparent` whether any pixel was less than opaque. False when
// the rows stop early or the rest of the file does not check out, so that
// the general decoder reads the file instead; the sink may have had some
// or all rows by then.
bool ReadPngRows(CPngRowReader& rows, CPictureRowSink& sink, bool& transparent);

}  // namespace zentora
