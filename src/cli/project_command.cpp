#include <QCommandLineParser>

#include <cstdio>
#include <system_error>

#include "base/system_error_text.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "project/file_import.h"

namespace zentora::cli {

namespace {

int CreateProject(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Make a project file at PROJECT, creating its folder when missing and\n"
      "copying the given files into that folder, in the order given.");
  parser.addPositionalArgument("PROJECT", "The project file to create (.zentoraprj).",
                               "project create PROJECT");
  parser.addOption({"picture", "Add a picture (repeatable).", "FILE"});
  parser.addOption({"sound", "Add a sound (repeatable).", "FILE"});
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  if (!ExpectPositionals(parser, 1)) {
    return kExitUsage;
  }
  std::error_code error;
  const std::filesystem::path projectFile =
      std::filesystem::absolute(ToPath(parser.positionalArguments()[0]), error);
  if (error || projectFile.filename().empty()) {
    PrintError("不是有效的工程文件路径：" + ToUtf8(parser.positionalArguments()[0]));
    return kExitUsage;
  }
  if (std::filesystem::exists(projectFile, error)) {
    // Creating over an existing project would drop its lists.
    PrintError("工程文件已存在：" + projectFile.string());
    return kExitUsage;
  }
  const std::filesystem::path folder = projectFile.parent_path();
  std::filesystem::create_directories(folder, error);
  if (std::error_code ignored; !std::filesystem::is_directory(folder, ignored)) {
    PrintError("无法创建文件夹：" + SystemErrorText(error.value(), folder));
    return kExitFailed;
  }

  CProject project(folder);
  project.AdoptFolder(folder, projectFile.filename().string());
  CGalleryItemList pictures;
  CGalleryItemList sounds;
  auto import = [&](const char* option, CGalleryItemList& list) {
    for (const QString& file : parser.values(option)) {
      Result<std::filesystem::path> copy =
          ImportFileIntoFolder(ToPath(file), project.GetWorkingFolder());
      if (!copy) {
        PrintError(copy.error());
        return false;
      }
      list.Add(copy.value());
    }
    return true;
  };
  if (!import("picture", pictures) || !import("sound", sounds)) {
    return kExitFailed;
  }
  const Outcome saved = project.Save({pictures, sounds}, nullptr);
  if (!saved.done()) {
    PrintError(SaveFailureMessage(saved));
    return kExitFailed;
  }
  PrintLine("已创建工程：" + project.ProjectFilePath().string() + "（图片 " +
            std::to_string(pictures.GetCount()) + "，声音 " + std::to_string(sounds.GetCount()) +
            "）");
  return kExitOk;
}

void ShowList(const char* heading, const CGalleryItemList& list) {
  PrintLine(std::string(heading) + "（" + std::to_string(list.GetCount()) + "）：");
  for (int i = 0; i < list.GetCount(); ++i) {
    const std::filesystem::path& path = list.GetPath(i);
    std::string line = "  " + std::to_string(i) + "  ";
    if (path.empty()) {
      line += "（无效条目）";
    } else {
      line += path.filename().string();
      if (std::error_code error; !std::filesystem::exists(path, error)) {
        line += "  （未找到文件）";
      }
    }
    PrintLine(line);
  }
}

int ShowProject(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "List a project's pictures and sounds in order, with their numbers.");
  parser.addPositionalArgument("PROJECT", "The project file (.zentoraprj).",
                               "project show PROJECT");
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  if (!ExpectPositionals(parser, 1)) {
    return kExitUsage;
  }
  std::optional<LoadedProject> loaded = LoadProject(ToPath(parser.positionalArguments()[0]));
  if (!loaded) {
    return kExitUsage;
  }
  PrintLine("工程：" + loaded->project.ProjectFilePath().string());
  ShowList("图片", loaded->pictures);
  ShowList("声音", loaded->sounds);
  return kExitOk;
}

}  // namespace

int RunProject(const QStringList& arguments) {
  const QString action = arguments.value(1);
  QStringList rest = arguments.mid(2);
  rest.prepend(arguments.value(0) + " " + action);
  if (action == "create") {
    return CreateProject(rest);
  }
  if (action == "show") {
    return ShowProject(rest);
  }
  if (action == "-h" || action == "--help") {
    PrintLine("Usage: zentora-cli project create PROJECT [--picture FILE]... [--sound FILE]...");
    PrintLine("       zentora-cli project show PROJECT");
    return kExitOk;
  }
  PrintError(action.isEmpty() ? "project: say create or show"
                              : "project: unknown action '" + ToUtf8(action) + "'");
  return kExitUsage;
}

}  // namespace zentora::cli
