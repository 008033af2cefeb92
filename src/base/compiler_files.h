#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "base/compile_outcome.h"
#include "base/exclusive_file.h"
#include "base/output_folder.h"
#include "base/result.h"
#include "base/status_sink.h"
#include "base/translation.h"

namespace zentora {

// The output-list lines the resource compilers share.
inline std::string CannotCreateFileLine(const std::filesystem::path& path,
                                        std::string_view reason) {
  return Tr("base", "无法创建文件：") + WithReason(path.string(), std::string(reason));
}

inline std::string WriteFailureLine(const std::filesystem::path& path, const Status& failure) {
  return Tr("base", "写入文件失败：") + WithReason(path.string(), failure.message());
}

// Flushes and closes two output files in the given order. The failure
// carries the output-list line for the first that failed: closing reports
// write errors the kernel kept back.
Status CloseInOrder(CExclusiveFile& first, const std::filesystem::path& firstPath,
                    CExclusiveFile& second, const std::filesystem::path& secondPath);

// Where the progress bar stands before item i of count is processed.
inline int ProgressBefore(int i, int count) {
  return static_cast<int>((static_cast<std::int64_t>(i) + 1) * 100 / count);
}

// The data file and the index file of one resource compiler, written as
// temporaries of a set that replaces the files when it is committed.
class CCompilerFiles {
 public:
  enum class Kind { kData, kIndex };

  // Starts both files, `createdFirst` first. The failure carries the
  // output-list line for the file that could not be created.
  static Result<CCompilerFiles> Create(CFileSetReplacement& outputs,
                                       const std::filesystem::path& dataPath,
                                       const std::filesystem::path& indexPath, Kind createdFirst);

  // Appends bytes to one file; the failure carries the output-list line.
  Status Write(Kind kind, std::span<const std::uint8_t> bytes);
  // Flushes and closes the index file, then the data file.
  Status Close();

 private:
  CCompilerFiles(CExclusiveFile data, std::filesystem::path dataPath, CExclusiveFile index,
                 std::filesystem::path indexPath);

  CExclusiveFile data_;
  std::filesystem::path dataPath_;
  std::uint64_t dataWritten_ = 0;
  std::uint64_t dataSent_ = 0;  // where the data's writeback has been started
  CExclusiveFile index_;
  std::filesystem::path indexPath_;
};

// What sets one resource compiler apart in the steps both share.
// The three lines are texts of the "compiler" context.
struct ResourceCompilerTexts {
  CCompilerFiles::Kind createdFirst;
  std::string_view emptyList;  // the line for a list with no entries
  std::string_view starting;
  std::string_view succeeded;
};

// The steps every resource compiler takes around its entries: create both
// files in `outputs`, report an empty list, announce the start and set the
// progress bar to 0, let `writeEntries` write every entry, close the files
// in order and report the outcome. `writeEntries` returns the failure whose
// message is the line to report, and tells through `warned` whether it
// reported a line about its input (an entry that could not be read, numbers
// that wrapped).
CompileOutcome RunResourceCompiler(
    const ResourceCompilerTexts& texts, CFileSetReplacement& outputs,
    const std::filesystem::path& dataPath, const std::filesystem::path& indexPath, int count,
    StatusSink& sink, const std::function<Status(CCompilerFiles&, bool& warned)>& writeEntries);

// Runs one compiler into a pair of files of its own: holds the folder of
// `firstCreated`, lets `compile` write into a fresh set and replaces the
// files when it did not fail. A folder that cannot be held gets the line
// for `firstCreated`.
CompileOutcome CompileAlone(const std::filesystem::path& firstCreated, StatusSink& sink,
                            const std::function<CompileOutcome(CFileSetReplacement&)>& compile);

// Replaces the files of a set whose compiles did not fail; a failure gets
// the line naming the file that could not be written or replaced.
bool CommitCompiledSet(CFileSetReplacement& outputs, StatusSink& sink);

}  // namespace zentora
