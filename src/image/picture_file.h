#pragma once

#include <QFile>

#include "base/result.h"

namespace zentora {

// Opens the picture that `file` names for a decoder to read. Anything but a
// regular file (a FIFO named like a picture, a device, a folder) is refused
// before the decoder sees it, without waiting on it. The decoder still gets
// the file by its name, whose suffix picks the plugin it tries first. A
// failure carries the reason alone.
Status OpenPictureFile(QFile& file);

}  // namespace zentora
