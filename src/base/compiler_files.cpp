#include "base/compiler_files.h"

#include <utility>

#include "base/translation.h"

namespace zentora {

Status CloseInOrder(CExclusiveFile& first, const std::filesystem::path& firstPath,
                    CExclusiveFile& second, const std::filesystem::path& secondPath) {
  for (auto [file, path] : {std::pair{&first, &firstPath}, std::pair{&second, &secondPath}}) {
    Status closed = file->Sync();
    if (closed) {
      closed = file->Close();
    }
    if (!closed) {
      return Status::Failure(WriteFailureLine(*path, closed));
    }
  }
  return Status::Ok();
}

CCompilerFiles::CCompilerFiles(CExclusiveFile data, std::filesystem::path dataPath,
                               CExclusiveFile index, std::filesystem::path indexPath)
    : data_(std::move(data)),
      dataPath_(std::move(dataPath)),
      index_(std::move(index)),
      indexPath_(std::move(indexPath)) {}

Result<CCompilerFiles> CCompilerFiles::Create(CFileSetReplacement& outputs,
                                              const std::filesystem::path& dataPath,
                                              const std::filesystem::path& indexPath,
                                              Kind createdFirst) {
  const bool dataFirst = createdFirst == Kind::kData;
  const std::filesystem::path& firstPath = dataFirst ? dataPath : indexPath;
  const std::filesystem::path& secondPath = dataFirst ? indexPath : dataPath;
  Result<CExclusiveFile> first = outputs.Add(firstPath);
  if (!first) {
    return Status::Failure(CannotCreateFileLine(firstPath, first.error()));
  }
  Result<CExclusiveFile> second = outputs.Add(secondPath);
  if (!second) {
    return Status::Failure(CannotCreateFileLine(secondPath, second.error()));
  }
  CExclusiveFile& data = dataFirst ? first.value() : second.value();
  CExclusiveFile& index = dataFirst ? second.value() : first.value();
  return CCompilerFiles(std::move(data), dataPath, std::move(index), indexPath);
}

namespace {

// The data goes to the disk while later entries are still being made, a
// few megabytes at a time, so that closing the file does not wait for all
// of it at once.
constexpr std::uint64_t kWritebackBytes = 4 << 20;

}  // namespace

Status CCompilerFiles::Write(Kind kind, std::span<const std::uint8_t> bytes) {
  const bool data = kind == Kind::kData;
  if (Status written = (data ? data_ : index_).Write(bytes); !written) {
    return Status::Failure(WriteFailureLine(data ? dataPath_ : indexPath_, written));
  }
  if (data) {
    dataWritten_ += bytes.size();
    if (dataWritten_ - dataSent_ >= kWritebackBytes) {
      data_.StartWriteback(dataSent_, dataWritten_ - dataSent_);
      dataSent_ = dataWritten_;
    }
  }
  return Status::Ok();
}

Status CCompilerFiles::Close() {
  return CloseInOrder(index_, indexPath_, data_, dataPath_);
}

CompileOutcome RunResourceCompiler(
    const ResourceCompilerTexts& texts, CFileSetReplacement& outputs,
    const std::filesystem::path& dataPath, const std::filesystem::path& indexPath, int count,
    StatusSink& sink, const std::function<Status(CCompilerFiles&, bool& warned)>& writeEntries) {
  Result<CCompilerFiles> files =
      CCompilerFiles::Create(outputs, dataPath, indexPath, texts.createdFirst);
  if (!files) {
    sink.AppendLine(files.error());
    return CompileOutcome::Failed;
  }
  if (count == 0) {
    sink.AppendLine(Tr("compiler", texts.emptyList.data()));
    return CompileOutcome::EmptyList;
  }
  sink.AppendLine(Tr("compiler", texts.starting.data()));
  sink.SetProgress(0);

  bool warned = false;
  Status written = writeEntries(files.value(), warned);
  if (written) {
    written = files.value().Close();
  }
  if (!written) {
    sink.AppendLine(written.message());
    return CompileOutcome::Failed;
  }
  sink.AppendLine(Tr("compiler", texts.succeeded.data()));
  return warned ? CompileOutcome::WrittenWithWarnings : CompileOutcome::Written;
}

bool CommitCompiledSet(CFileSetReplacement& outputs, StatusSink& sink) {
  if (Status committed = outputs.Commit(); !committed) {
    sink.AppendLine(committed.message());
    return false;
  }
  return true;
}

CompileOutcome CompileAlone(const std::filesystem::path& firstCreated, StatusSink& sink,
                            const std::function<CompileOutcome(CFileSetReplacement&)>& compile) {
  Result<COutputFolderLock> folder = COutputFolderLock::Take(firstCreated.parent_path());
  if (!folder) {
    sink.AppendLine(CannotCreateFileLine(firstCreated, folder.error()));
    return CompileOutcome::Failed;
  }
  CFileSetReplacement outputs(folder.value());
  const CompileOutcome outcome = compile(outputs);
  if (outcome == CompileOutcome::Failed || !CommitCompiledSet(outputs, sink)) {
    return CompileOutcome::Failed;
  }
  return outcome;
}

}  // namespace zentora
