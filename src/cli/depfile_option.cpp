#include "cli/depfile_option.h"

#include <system_error>
#include <utility>

#include "base/output_input_check.h"
#include "base/translation.h"
#include "cli/cli_support.h"

namespace zentora::cli {

namespace {

// The same file under two spellings, whether or not it exists yet: an
// output that has not been written has no identity to compare.
bool SameSpelledPath(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  const std::filesystem::path left = std::filesystem::weakly_canonical(a, error);
  const std::filesystem::path right = error ? b : std::filesystem::weakly_canonical(b, error);
  return error ? a.lexically_normal() == b.lexically_normal() : left == right;
}

}  // namespace

void AddDepfileOption(QCommandLineParser& parser) {
  parser.addOption({"depfile",
                    TrQ("cli",
                        "成功后把 Make 格式的依赖文件写入 DEPFILE：目标是写出的文件，\n"
                        "依赖是读取的文件。"),
                    "DEPFILE"});
}

std::optional<DepfileRequest> ReadDepfileOption(const QCommandLineParser& parser,
                                                Dependencies dependencies) {
  if (!parser.isSet("depfile")) {
    return DepfileRequest{{}, std::move(dependencies)};
  }
  DepfileRequest request{ToPath(parser.value("depfile")), std::move(dependencies)};
  const Dependencies& named = request.dependencies;
  if (Status refused = RefuseOutputsOntoInputs({request.file}, named.prerequisites); !refused) {
    PrintError(refused.message());
    return std::nullopt;
  }
  // Written last, the record would replace that output.
  const CInputFiles existingTargets(named.targets);
  const std::filesystem::path* target = existingTargets.Find(request.file);
  for (auto it = named.targets.begin(); target == nullptr && it != named.targets.end(); ++it) {
    target = SameSpelledPath(request.file, *it) ? &*it : nullptr;
  }
  if (target != nullptr) {
    PrintError(Tr("cli", "--depfile 不能是本命令写出的文件：") + target->string());
    return std::nullopt;
  }
  for (const auto* list : {&named.targets, &named.prerequisites}) {
    for (const std::filesystem::path& path : *list) {
      if (Status writable = CheckDepfilePath(path); !writable) {
        PrintError(writable.message());
        return std::nullopt;
      }
    }
  }
  return request;
}

int RecordDependencies(const DepfileRequest& request, int status) {
  if (request.file.empty()) {
    return status;
  }
  if (Status written = WriteDepfile(request.file, request.dependencies); !written) {
    PrintError(written.message());
    return kExitFailed;
  }
  return status;
}

}  // namespace zentora::cli
