#pragma once

namespace zentora {

// Whether libpng's errors stay off stderr. Qt's PNG decoder leaves libpng's
// error function at its default, which writes "libpng error: ..." to stderr
// itself, past Qt's message handler; while quiet, such decoders get an
// error function that only ends the decoding, as the default does after
// writing. Decoders that bring their own error function keep it.
void SetPngErrorsQuiet(bool quiet);

}  // namespace zentora
