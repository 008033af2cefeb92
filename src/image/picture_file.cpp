#include "image/picture_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "base/regular_file.h"
#include "base/system_error_text.h"

namespace zentora {

namespace {

bool SameFile(int a, int b) {
  struct stat first {};
  struct stat second {};
  return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

}  // namespace

Status OpenPictureFile(QFile& file) {
  const Result<CFileDescriptor> checked =
      OpenRegularFile(std::filesystem::path(QFile::encodeName(file.fileName()).toStdString()));
  if (!checked) {
    return checked.status();
  }
  // Held open until the decoder's own descriptor is known to be the same
  // file, so that one swapped in meanwhile is not read.
  if (!file.open(QIODevice::ReadOnly)) {
    return Status::Failure(ErrnoMessage(errno));
  }
  if (!SameFile(checked.value().Get(), file.handle())) {
    file.close();
    return Status::Failure(ErrnoMessage(ENOENT));
  }
  return Status::Ok();
}

}  // namespace zentora
