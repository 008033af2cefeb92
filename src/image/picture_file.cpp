#include "image/picture_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "base/regular_file.h"

namespace zentora {

namespace {

bool SameFile(int a, int b) {
  struct stat first {};
  struct stat second {};
  return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

}  // namespace

bool OpenPictureFile(QFile& file) {
  const Result<CFileDescriptor> checked =
      OpenRegularFile(std::filesystem::path(QFile::encodeName(file.fileName()).toStdString()));
  if (!checked) {
    return false;
  }
  // Held open until the decoder's own descriptor is known to be the same
  // file, so that one swapped in meanwhile is not read.
  const bool opened =
      file.open(QIODevice::ReadOnly) && SameFile(checked.value().Get(), file.handle());
  if (!opened) {
    file.close();
  }
  return opened;
}

}  // namespace zentora
