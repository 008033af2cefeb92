#pragma once

#include <utility>

#include "base/result.h"

namespace zentora {

// An open file descriptor that is closed when its owner goes, on every path
// out of a function, so that no early return leaks it.
class CFileDescriptor {
 public:
  CFileDescriptor() = default;
  explicit CFileDescriptor(int fd) : fd_(fd) {}
  CFileDescriptor(CFileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  CFileDescriptor& operator=(CFileDescriptor&& other) noexcept;
  CFileDescriptor(const CFileDescriptor&) = delete;
  CFileDescriptor& operator=(const CFileDescriptor&) = delete;
  ~CFileDescriptor();

  int Get() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  // Closes now. Unlike the destructor it reports the error that closing
  // returns, which can be a write the kernel kept back until then.
  Status Close();

 private:
  int fd_ = -1;
};

}  // namespace zentora
