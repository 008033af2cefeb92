#pragma once

#include <QStringList>

namespace zentora {

// Takes every "--verbose" out of the arguments (the first, the program's
// name, is never looked at) and tells whether there was one.
bool TakeVerboseOption(QStringList& arguments);

// Whether argv holds "--verbose", for a program that must decide before its
// application object exists.
bool HasVerboseOption(int argc, const char* const argv[]);

// Qt and the decoders it drives (libpng, libjpeg, libtiff) report in English
// on stderr, through Qt's message handler or libpng's own error function:
// "libpng error: Read Error",
// "Rejecting image as it exceeds the current allocation limit". The
// programs say what failed and why in their own lines, so these are dropped,
// unless `verbose` is set or ZENTORA_DEBUG is set to anything but "" or "0",
// in which case they are written as Qt writes them, for bug reports. A fatal
// message is always written: the program ends with it.
void RouteLibraryMessages(bool verbose);

}  // namespace zentora
