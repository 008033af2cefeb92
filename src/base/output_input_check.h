#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/result.h"

namespace zentora {

// The files a command reads, known by identity (device and inode, through
// any links), so that no output of the command lands on one of them under
// another name: a symbolic link, a hard link, or another spelling of the
// path. Writing there would replace the input with data made from it.
class CInputFiles {
 public:
  // Inputs that do not exist are left out: nothing can be written onto them.
  explicit CInputFiles(const std::vector<std::filesystem::path>& inputs);

  // The input that writing `output` would overwrite, or nullptr. An output
  // that does not exist yet is no input.
  const std::filesystem::path* Find(const std::filesystem::path& output) const;
  // The same for a file the caller already has open (standard output).
  const std::filesystem::path* FindOpen(int fd) const;

 private:
  const std::filesystem::path* FindIdentity(dev_t device, ino_t inode) const;

  std::map<std::pair<dev_t, ino_t>, std::filesystem::path> inputs_;
};

// An output that is one of the inputs, with the input it would overwrite.
struct OutputOntoInput {
  std::filesystem::path output;
  std::filesystem::path input;
};

// The first output (in order) that is one of the inputs.
std::optional<OutputOntoInput> FindOutputOntoInput(
    const std::vector<std::filesystem::path>& outputs,
    const std::vector<std::filesystem::path>& inputs);

// "不能写入要读取的文件：OUTPUT", naming the input too when its name differs.
std::string OutputOntoInputMessage(const OutputOntoInput& clash);

// Ok when no output is an input; otherwise the refusal naming the first.
Status RefuseOutputsOntoInputs(const std::vector<std::filesystem::path>& outputs,
                               const std::vector<std::filesystem::path>& inputs);

}  // namespace zentora
