#include "received_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zentora::modsim {
namespace {

// Writes all of bytes to fd; false with errno set when it cannot.
bool WriteAll(int fd, const std::vector<unsigned char>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

void DiscardFile(Handle& handle, Notes& notes) {
  if (handle.code != nullptr) {
    notes.Add(Format("discarded unfinished %s %zu bytes in %d frames", handle.code->file,
                     handle.file.size(), handle.frames));
  }
  ClearFile(handle);
}

void SaveFile(const std::string& dir, const Handle& handle, Notes& notes) {
  const char* name = handle.code->file;
  const std::size_t size = handle.file.size();
  if (dir.empty()) {
    notes.Add(Format("received %s %zu bytes (not saved: ZENTORA_MODSIM_DIR is unset)", name, size));
    return;
  }
  const std::string target = dir + "/" + name;
  const std::string temporary =
      Format("%s/.%s.tmp-%ld", dir.c_str(), name, static_cast<long>(getpid()));
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    notes.Add(Format("ERROR: cannot create %s: %s", temporary.c_str(), std::strerror(errno)));
    return;
  }
  if (!WriteAll(fd, handle.file)) {
    notes.Add(Format("ERROR: cannot write %s: %s", temporary.c_str(), std::strerror(errno)));
    ::close(fd);
    ::unlink(temporary.c_str());
    return;
  }
  if (::close(fd) != 0 || std::rename(temporary.c_str(), target.c_str()) != 0) {
    notes.Add(Format("ERROR: cannot save %s: %s", target.c_str(), std::strerror(errno)));
    ::unlink(temporary.c_str());
    return;
  }
  notes.Add(Format("saved %s %zu bytes", name, size));
}

}  // namespace zentora::modsim
