#include "base/compiler_files.h"

#include <utility>

namespace zentora {

Status CloseInOrder(CExclusiveFile& first, const std::filesystem::path& firstPath,
                    CExclusiveFile& second, const std::filesystem::path& secondPath) {
  if (Status closed = first.Close(); !closed) {
    return Status::Failure(WriteFailureLine(firstPath, closed));
  }
  if (Status closed = second.Close(); !closed) {
    return Status::Failure(WriteFailureLine(secondPath, closed));
  }
  return Status::Ok();
}

CCompilerFiles::CCompilerFiles(CExclusiveFile data, std::filesystem::path dataPath,
                               CExclusiveFile index, std::filesystem::path indexPath)
    : data_(std::move(data)),
      dataPath_(std::move(dataPath)),
      index_(std::move(index)),
      indexPath_(std::move(indexPath)) {}

Result<CCompilerFiles> CCompilerFiles::Create(const std::filesystem::path& dataPath,
                                              const std::filesystem::path& indexPath,
                                              Kind createdFirst) {
  const bool dataFirst = createdFirst == Kind::kData;
  const std::filesystem::path& firstPath = dataFirst ? dataPath : indexPath;
  const std::filesystem::path& secondPath = dataFirst ? indexPath : dataPath;
  Result<CExclusiveFile> first = CExclusiveFile::Create(firstPath);
  if (!first) {
    return Status::Failure(CannotCreateFileLine(firstPath));
  }
  Result<CExclusiveFile> second = CExclusiveFile::Create(secondPath);
  if (!second) {
    return Status::Failure(CannotCreateFileLine(secondPath));
  }
  CExclusiveFile& data = dataFirst ? first.value() : second.value();
  CExclusiveFile& index = dataFirst ? second.value() : first.value();
  return CCompilerFiles(std::move(data), dataPath, std::move(index), indexPath);
}

Status CCompilerFiles::Write(Kind kind, std::span<const std::uint8_t> bytes) {
  const bool data = kind == Kind::kData;
  if (Status written = (data ? data_ : index_).Write(bytes); !written) {
    return Status::Failure(WriteFailureLine(data ? dataPath_ : indexPath_, written));
  }
  return Status::Ok();
}

Status CCompilerFiles::Close() {
  return CloseInOrder(index_, indexPath_, data_, dataPath_);
}

CompileOutcome RunResourceCompiler(const ResourceCompilerTexts& texts,
                                   const std::filesystem::path& dataPath,
                                   const std::filesystem::path& indexPath, int count,
                                   StatusSink& sink,
                                   const std::function<Status(CCompilerFiles&)>& writeEntries) {
  Result<CCompilerFiles> files = CCompilerFiles::Create(dataPath, indexPath, texts.createdFirst);
  if (!files) {
    sink.AppendLine(files.error());
    return CompileOutcome::Failed;
  }
  if (count == 0) {
    sink.AppendLine(texts.emptyList);
    return CompileOutcome::EmptyList;
  }
  sink.AppendLine(texts.starting);
  sink.SetProgress(0);

  Status written = writeEntries(files.value());
  if (written) {
    written = files.value().Close();
  }
  if (!written) {
    sink.AppendLine(written.message());
    return CompileOutcome::Failed;
  }
  sink.AppendLine(texts.succeeded);
  return CompileOutcome::Written;
}

}  // namespace zentora
