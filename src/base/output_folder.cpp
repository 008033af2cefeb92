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
#include <vector>

#include "base/system_error_text.h"
#include "base/translation.h"
#include "base/whole_file.h"

namespace zentora {

namespace {

constexpr std::string_view kTemporarySuffix = ".zentora-new";
// An old file moved aside while the renames of its set run.
constexpr std::string_view kOldSuffix = ".zentora-old";
// Lists the names of a set whose renames have begun; it exists only while
// they run.
constexpr std::string_view kJournalName = ".zentora-replace";
constexpr std::uint64_t kJournalLimit = 1 << 16;
constexpr const char kUnfinished[] =
    QT_TRANSLATE_NOOP("base", "资源文件不是同一次编译的结果：中断的替换无法完成，%1");

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  const std::filesystem::path parent = file.parent_path();
  return parent.empty() ? std::filesystem::path(".") : parent;
}

std::filesystem::path Beside(const std::filesystem::path& target, std::string_view suffix) {
  return FolderOf(target) / ("." + target.filename().string() + std::string(suffix));
}

std::filesystem::path TemporaryFor(const std::filesystem::path& target) {
  return Beside(target, kTemporarySuffix);
}

std::filesystem::path OldFor(const std::filesystem::path& target) {
  return Beside(target, kOldSuffix);
}

bool IsLeftoverName(const std::string& name) {
  for (const std::string_view suffix : {kTemporarySuffix, kOldSuffix}) {
    if (name.size() > 1 + suffix.size() && name.front() == '.' && name.ends_with(suffix)) {
      return true;
    }
  }
  return false;
}

// A name that the journal may rename: a plain file name in the folder.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

bool Exists(const std::filesystem::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// Only a regular file is a journal: a folder of that name lists nothing.
bool IsJournal(const std::filesystem::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

Status Unfinished(const std::filesystem::path& path, const std::string& reason) {
  return Status::Failure(Fill(Tr("base", kUnfinished), WithReason(path.string(), reason)));
}

std::string ReplaceFailureLine(const std::filesystem::path& target, int error) {
  return Tr("base", "无法替换文件：") + SystemErrorText(error, target);
}

// Finishes the renames that the journal lists. A temporary that is gone was
// renamed already: each file is either its temporary or in place. Every
// rename is tried; the journal goes only when all went through.
Status FinishInterruptedReplacement(const std::filesystem::path& folder) {
  const std::filesystem::path journal = folder / kJournalName;
  if (!IsJournal(journal)) {
    return Status::Ok();
  }
  Result<std::string> names = ReadWholeFile(journal, kJournalLimit);
  if (!names) {
    return Unfinished(journal, names.error());
  }
  std::vector<std::filesystem::path> targets;
  std::size_t start = 0;
  for (std::size_t end; (end = names.value().find('\0', start)) != std::string::npos;
       start = end + 1) {
    const std::string name = names.value().substr(start, end - start);
    if (IsPlainName(name)) {
      targets.push_back(folder / name);
    }
  }
  Status finished = Status::Ok();
  for (const std::filesystem::path& target : targets) {
    const std::filesystem::path temporary = TemporaryFor(target);
    if (Exists(temporary) && std::rename(temporary.c_str(), target.c_str()) != 0 && finished) {
      finished = Unfinished(target, ErrnoMessage(errno));
    }
  }
  if (!finished) {
    return finished;
  }
  for (const std::filesystem::path& target : targets) {
    ::unlink(OldFor(target).c_str());
  }
  ::unlink(journal.c_str());
  return Status::Ok();
}

void RemoveLeftovers(const std::filesystem::path& folder) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (IsLeftoverName(entry.path().filename().string()) && !entry.is_directory(error)) {
      ::unlink(entry.path().c_str());
    }
  }
}

}  // namespace

bool HasUnfinishedReplacement(const std::filesystem::path& folder) {
  return IsJournal(folder / kJournalName);
}

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
  Status finished = FinishInterruptedReplacement(path);
  lock.SyncFolder();
  if (!finished) {
    // What is left of the set stays for a later hold to finish.
    return finished;
  }
  RemoveLeftovers(path);
  return lock;
}

void COutputFolderLock::SyncFolder() const {
  ::fsync(fd_.Get());
}

int CFileSetReplacement::RenameFile(const char* from, const char* to) {
  return std::rename(from, to);
}

CFileSetReplacement::~CFileSetReplacement() {
  if (unfinished_) {
    return;  // the next hold of the folder finishes the set from these files
  }
  for (const Member& member : members_) {
    if (!member.replaced) {
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
  Member member{target, TemporaryFor(target), std::nullopt, {}};
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
  member.registration = CTemporaryRegistration(member.temporary);
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
  CTemporaryRegistration registration(temporary);
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

Status CFileSetReplacement::MoveTargetsAside() {
  for (Member& member : members_) {
    struct stat info {};
    if (::lstat(member.target.c_str(), &info) != 0) {
      if (errno == ENOENT) {
        continue;
      }
      return Status::Failure(ReplaceFailureLine(member.target, errno));
    }
    // A folder put in a file's place would be moved aside and never removed.
    if (S_ISDIR(info.st_mode)) {
      return Status::Failure(ReplaceFailureLine(member.target, EISDIR));
    }
    if (rename_(member.target.c_str(), OldFor(member.target).c_str()) != 0) {
      return Status::Failure(ReplaceFailureLine(member.target, errno));
    }
    member.movedAside = true;
  }
  return Status::Ok();
}

Status CFileSetReplacement::RenameTemporaries() {
  for (Member& member : members_) {
    if (rename_(member.temporary.c_str(), member.target.c_str()) != 0) {
      return Status::Failure(ReplaceFailureLine(member.target, errno));
    }
    member.replaced = true;
  }
  return Status::Ok();
}

// Each step keeps what the journal's roll-forward relies on: a file whose
// temporary is gone holds the new bytes in place.
bool CFileSetReplacement::PutOldFilesBack() {
  bool back = true;
  for (auto member = members_.rbegin(); member != members_.rend(); ++member) {
    if (member->replaced) {
      if (rename_(member->target.c_str(), member->temporary.c_str()) != 0) {
        back = false;
        continue;
      }
      member->replaced = false;
    }
    if (member->movedAside) {
      if (rename_(OldFor(member->target).c_str(), member->target.c_str()) != 0) {
        back = false;
        continue;
      }
      member->movedAside = false;
    }
  }
  return back;
}

Status CFileSetReplacement::Commit() {
  // From here the temporaries belong to the set: a signal that ends the
  // process must leave them for the next hold to finish.
  for (Member& member : members_) {
    member.registration.Reset();
  }
  const std::filesystem::path journal = folder_.Folder() / kJournalName;
  if (Status written = WriteJournal(); !written) {
    return Status::Failure(Tr("base", "写入文件失败：") +
                           WithReason(journal.string(), written.message()));
  }
  folder_.SyncFolder();
  Status done = MoveTargetsAside();
  if (done) {
    done = RenameTemporaries();
  }
  if (!done) {
    if (PutOldFilesBack()) {
      ::unlink(journal.c_str());  // the old set stands
    } else {
      unfinished_ = true;
    }
    folder_.SyncFolder();
    return done;
  }
  folder_.SyncFolder();
  for (const Member& member : members_) {
    if (member.movedAside) {
      ::unlink(OldFor(member.target).c_str());
    }
  }
  ::unlink(journal.c_str());
  members_.clear();
  return Status::Ok();
}

}  // namespace zentora
