#include "base/output_input_check.h"

#include <sys/stat.h>

#include "base/translation.h"

namespace zentora {

CInputFiles::CInputFiles(const std::vector<std::filesystem::path>& inputs) {
  for (const std::filesystem::path& input : inputs) {
    struct stat info {};
    if (!input.empty() && ::stat(input.c_str(), &info) == 0) {
      // The first name an input is given under is the one a message shows.
      inputs_.try_emplace({info.st_dev, info.st_ino}, input);
    }
  }
}

const std::filesystem::path* CInputFiles::FindIdentity(dev_t device, ino_t inode) const {
  const auto found = inputs_.find({device, inode});
  return found == inputs_.end() ? nullptr : &found->second;
}

const std::filesystem::path* CInputFiles::Find(const std::filesystem::path& output) const {
  struct stat info {};
  if (output.empty() || ::stat(output.c_str(), &info) != 0) {
    return nullptr;
  }
  return FindIdentity(info.st_dev, info.st_ino);
}

const std::filesystem::path* CInputFiles::FindOpen(int fd) const {
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    return nullptr;
  }
  return FindIdentity(info.st_dev, info.st_ino);
}

std::optional<OutputOntoInput> FindOutputOntoInput(
    const std::vector<std::filesystem::path>& outputs,
    const std::vector<std::filesystem::path>& inputs) {
  const CInputFiles known(inputs);
  for (const std::filesystem::path& output : outputs) {
    if (const std::filesystem::path* input = known.Find(output)) {
      return OutputOntoInput{output, *input};
    }
  }
  return std::nullopt;
}

std::string OutputOntoInputMessage(const OutputOntoInput& clash) {
  if (clash.output == clash.input) {
    return Fill(Tr("base", "不能写入要读取的文件：%1"), clash.output.string());
  }
  return Fill(Tr("base", "不能写入“%1”：它就是要读取的文件“%2”"), clash.output.string(),
              clash.input.string());
}

Status RefuseOutputsOntoInputs(const std::vector<std::filesystem::path>& outputs,
                               const std::vector<std::filesystem::path>& inputs) {
  if (const std::optional<OutputOntoInput> clash = FindOutputOntoInput(outputs, inputs)) {
    return Status::Failure(OutputOntoInputMessage(*clash));
  }
  return Status::Ok();
}

}  // namespace zentora
