#include "base/output_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>
#include <utility>

#include "base/system_error_text.h"
#include "base/translation.h"
#include "base/whole_file.h"

namespace zentora {

namespace {

constexpr std::string_view kTemporarySuffix = ".zentora-new";
// Lists the names of a set whose renames have begun; it exists only while
// they run.
constexpr std::string_view kJournalName = ".zentora-replace";
constexpr std::uint64_t kJournalLimit = 1 << 16;

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  const std::filesystem::path parent = file.parent_path();
  return parent.empty() ? std::filesystem::path(".") : parent;
}

std::filesystem::path TemporaryFor(const std::filesystem::path& target) {
  return FolderOf(target) / ("." + target.filename().string() + std::string(kTemporarySuffix));
}

bool IsTemporaryName(const std::string& name) {
  return name.size() > 1 + kTemporarySuffix.size() && name.front() == '.' &&
         name.ends_with(kTemporarySuffix);
}

// A name that the journal may rename: a plain file name in the folder.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// Finishes the renames that the journal lists; a temporary that is gone was
// renamed already.
void FinishInterruptedReplacement(const std::filesystem::path& folder) {
  const std::filesystem::path journal = folder / kJournalName;
  Result<std::string> names = ReadWholeFile(journal, kJournalLimit);
  if (!names) {
    return;
  }
  std::size_t start = 0;
  for (std::size_t end; (end = names.value().find('\0', start)) != std::string::npos;
       start = end + 1) {
    const std::string name = names.value().substr(start, end - start);
    if (IsPlainName(name)) {
      std::rename(TemporaryFor(folder / name).c_str(), (folder / name).c_str());
    }
  }
  ::unlink(journal.c_str());
}

void RemoveTemporaries(const std::filesystem::path& folder) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (IsTemporaryName(entry.path().filename().string()) && !entry.is_directory(error)) {
      ::unlink(entry.path().c_str());
    }
  }
}

}  // namespace

COutputFolderLock::COutputFolderLock(CFileDescriptor fd, std::filesystem::path folder)
    : fd_(std::move(fd)), folder_(std::move(folder)) {}

Result<COutputFolderLock> COutputFolderLock::Take(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder.empty() ? std::filesystem::path(".") : folder;
  CFileDescriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.IsOpen()) {
    return Status::Failure(ErrnoMessage(errno));
  }
  if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
    return Status::Failure(errno == EWOULDBLOCK ? Tr("base", kFolderBusyMessage.data())
                                                : ErrnoMessage(errno));
  }
  COutputFolderLock lock(std::move(fd), path);
  FinishInterruptedReplacement(path);
  RemoveTemporaries(path);
  lock.SyncFolder();
  return lock;
}

void COutputFolderLock::SyncFolder() const {
  ::fsync(fd_.Get());
}

CFileSetReplacement::~CFileSetReplacement() {
  for (const Member& member : members_) {
    if (!renaming_ && !member.temporary.empty()) {
      ::unlink(member.temporary.c_str());
    }
  }
}

Result<CExclusiveFile> CFileSetReplacement::Add(const std::filesystem::path& target) {
  // The journal names the files of the set inside the held folder.
  std::error_code error;
  if (struct stat folder{}; ::stat(FolderOf(target).c_str(), &folder) != 0) {
    return Status::Failure(ErrnoMessage(errno));
  } else if (!S_ISDIR(folder.st_mode)) {
    return Status::Failure(ErrnoMessage(ENOTDIR));
  }
  if (!std::filesystem::equivalent(FolderOf(target), folder_.Folder(), error)) {
    return Status::Failure(ErrnoMessage(EXDEV));
  }
  Member member{target, TemporaryFor(target), std::nullopt};
  struct stat info {};
  if (::stat(target.c_str(), &info) == 0) {
    // Holding the old file keeps today's rules for it: it must be writable
    // and not held elsewhere, or it is left alone.
    Result<CExclusiveFile> held = CExclusiveFile::OpenExisting(target);
    if (!held) {
      return held.status();
    }
    member.heldTarget = std::move(held).value();
  } else if (errno != ENOENT) {
    return Status::Failure(ErrnoMessage(errno));
  }
  Result<CExclusiveFile> temporary = CExclusiveFile::Create(member.temporary);
  if (!temporary) {
    return temporary.status();
  }
  members_.push_back(std::move(member));
  if (members_.back().heldTarget) {
    std::filesystem::permissions(members_.back().temporary,
                                 static_cast<std::filesystem::perms>(info.st_mode & 07777), error);
  }
  return temporary;
}

Status CFileSetReplacement::WriteJournal() const {
  std::string names;
  for (const Member& member : members_) {
    names += member.target.filename().string();
    names += '\0';
  }
  const std::filesystem::path journal = folder_.Folder() / kJournalName;
  const std::filesystem::path temporary = TemporaryFor(journal);
  Result<CExclusiveFile> file = CExclusiveFile::Create(temporary);
  if (!file) {
    return file.status();
  }
  Status written =
      file.value().Write({reinterpret_cast<const std::uint8_t*>(names.data()), names.size()});
  if (written) {
    written = file.value().Sync();
  }
  if (written) {
    written = file.value().Close();
  }
  if (written && std::rename(temporary.c_str(), journal.c_str()) != 0) {
    written = Status::Failure(ErrnoMessage(errno));
  }
  if (!written) {
    ::unlink(temporary.c_str());
  }
  return written;
}

Status CFileSetReplacement::Commit() {
  if (Status journal = WriteJournal(); !journal) {
    return journal;
  }
  folder_.SyncFolder();
  const std::filesystem::path journal = folder_.Folder() / kJournalName;
  for (Member& member : members_) {
    if (std::rename(member.temporary.c_str(), member.target.c_str()) != 0) {
      const int error = errno;
      if (!renaming_) {
        ::unlink(journal.c_str());  // nothing was replaced: the old set stands
      }
      return Status::Failure(ErrnoMessage(error));
    }
    renaming_ = true;
    member.temporary.clear();
  }
  folder_.SyncFolder();
  ::unlink(journal.c_str());
  members_.clear();
  return Status::Ok();
}

}  // namespace zentora
