#pragma once

#include <filesystem>

namespace zentora {

// Temporary files that a run has created and not yet renamed or removed, so
// that a signal ending the command-line tool can remove them. The list lives
// in fixed memory and is read by the signal handler without locks; a file
// beyond its capacity is simply not listed (the next run that writes its
// folder removes it).
class CTemporaryRegistration {
 public:
  CTemporaryRegistration() = default;
  // Lists `path` until the registration is reset or destroyed.
  explicit CTemporaryRegistration(const std::filesystem::path& path);
  CTemporaryRegistration(CTemporaryRegistration&& other) noexcept;
  CTemporaryRegistration& operator=(CTemporaryRegistration&& other) noexcept;
  CTemporaryRegistration(const CTemporaryRegistration&) = delete;
  CTemporaryRegistration& operator=(const CTemporaryRegistration&) = delete;
  ~CTemporaryRegistration();

  // Takes the file off the list: it was renamed into place, removed, or is
  // now part of a set that must outlive the process.
  void Reset();

 private:
  int slot_ = -1;
};

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove every listed
// file and then end the process by the same signal, so that the shell sees
// 130, 143 or 129.
void RemoveTemporariesOnSignals();

}  // namespace zentora
