#include "base/file_descriptor.h"

#include <unistd.h>

#include <cerrno>

#include "base/system_error_text.h"

namespace zentora {

CFileDescriptor& CFileDescriptor::operator=(CFileDescriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

CFileDescriptor::~CFileDescriptor() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

Status CFileDescriptor::Close() {
  const int fd = std::exchange(fd_, -1);
  if (fd >= 0 && ::close(fd) != 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  return Status::Ok();
}

}  // namespace zentora
