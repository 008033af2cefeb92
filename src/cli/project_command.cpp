#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <variant>

#include "base/make_folder.h"
#include "base/path_text.h"
#include "base/system_error_text.h"
#include "base/translation.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "project/file_import.h"

namespace zentora::cli {

namespace {

// Why copying the inputs into the new project's folder would lose a file,
// or nullopt: two inputs of one name but other bytes, or a name already
// taken there by other bytes or by the project file itself.
std::optional<std::string> FindNameClash(const QStringList& inputs,
                                         const std::filesystem::path& projectFile) {
  std::map<std::filesystem::path, std::filesystem::path> earlier;
  for (const QString& input : inputs) {
    const std::filesystem::path source = ToPath(input);
    const std::filesystem::path name = source.filename();
    const std::filesystem::path destination = projectFile.parent_path() / name;
    if (name == projectFile.filename()) {
      return Tr("cli", "与工程文件同名，不能加入工程：") + source.string();
    }
    const auto [first, isFirst] = earlier.try_emplace(name, source);
    if (!isFirst && WouldReplaceOtherFile(source, first->second)) {
      return Fill(Tr("cli", "同名的不同文件不能都加入工程：%1 与 %2"), first->second.string(),
                  source.string());
    }
    if (isFirst && WouldReplaceOtherFile(source, destination)) {
      return Tr("cli", "工程文件夹中已有同名的不同文件：") + destination.string();
    }
  }
  return std::nullopt;
}

// The absolute path of a project file that does not exist yet, its folder
// made; or the exit status after saying why not. Nothing is written when
// the inputs would replace one another or a file already in the folder.
std::variant<std::filesystem::path, int> PrepareProjectFile(const QString& given,
                                                            const QStringList& inputs) {
  std::error_code error;
  const std::filesystem::path projectFile = std::filesystem::absolute(ToPath(given), error);
  if (error || projectFile.filename().empty()) {
    PrintError(Tr("cli", "不是有效的工程文件路径：") + ToUtf8(given));
    return kExitUsage;
  }
  if (std::filesystem::exists(projectFile, error)) {
    // Creating over an existing project would drop its lists.
    PrintError(Tr("cli", "工程文件已存在：") + projectFile.string());
    return kExitUsage;
  }
  if (std::optional<std::string> clash = FindNameClash(inputs, projectFile)) {
    PrintError(*clash);
    return kExitUsage;
  }
  const std::filesystem::path folder = projectFile.parent_path();
  if (Status made = MakeFolder(folder); !made) {
    PrintError(made.message());
    return kExitFailed;
  }
  return projectFile;
}

// Copies each file into the folder and lists the copy, in order; false after
// printing why one could not be brought in.
bool ImportFiles(const QStringList& files, const std::filesystem::path& folder,
                 CGalleryItemList& list) {
  for (const QString& file : files) {
    Result<std::filesystem::path> copy = ImportFileIntoFolder(ToPath(file), folder);
    if (!copy) {
      PrintError(copy.error());
      return false;
    }
    list.Add(copy.value());
  }
  return true;
}

// A new project in the project file's folder, holding copies of the files of
// --picture and --sound.
int WriteNewProject(const QCommandLineParser& parser, const std::filesystem::path& projectFile) {
  const std::filesystem::path folder = projectFile.parent_path();
  CProject project(folder);
  project.AdoptFolder(folder, projectFile.filename().string());
  CGalleryItemList pictures;
  CGalleryItemList sounds;
  if (!ImportFiles(parser.values("picture"), project.GetWorkingFolder(), pictures) ||
      !ImportFiles(parser.values("sound"), project.GetWorkingFolder(), sounds)) {
    return kExitFailed;
  }
  const Outcome saved = project.Save({pictures, sounds}, nullptr);
  if (!saved.done()) {
    PrintError(SaveFailureMessage(saved));
    return kExitFailed;
  }
  PrintLine(Fill(Tr("cli", "已创建工程：%1（%2，%3）"), project.ProjectFilePath().string(),
                 TrN("cli", "图片 %n", nullptr, pictures.GetCount()),
                 TrN("cli", "声音 %n", nullptr, sounds.GetCount())));
  return kExitOk;
}

// `heading` is a text of the "cli" context.
void ShowList(const char* heading, const CGalleryItemList& list) {
  PrintLine(Fill(Tr("cli", "%1（%2）："), Tr("cli", heading), std::to_string(list.GetCount())));
  for (int i = 0; i < list.GetCount(); ++i) {
    const std::filesystem::path& path = list.GetPath(i);
    std::string line = "  " + std::to_string(i) + "  ";
    if (path.empty()) {
      line += Tr("cli", "（无效条目）");
    } else {
      line += path.filename().string();
      if (std::error_code error; !std::filesystem::exists(path, error)) {
        line += Tr("cli", "  （未找到文件）");
      }
    }
    PrintLine(line);
  }
}

// The list for --json: each entry's number, path (empty for an entry
// without a file) and whether the file is there.
QJsonArray ListJson(const CGalleryItemList& list) {
  QJsonArray entries;
  for (int i = 0; i < list.GetCount(); ++i) {
    const std::filesystem::path& path = list.GetPath(i);
    std::error_code error;
    entries.append(QJsonObject{{"number", i},
                               {"path", TextFromPath(path)},
                               {"exists", !path.empty() && std::filesystem::exists(path, error)}});
  }
  return entries;
}

}  // namespace

int RunProjectCreate(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(TrQ("cli",
                                       "在 PROJECT 处创建工程文件，文件夹不存在时创建它，\n"
                                       "并按给出的顺序把给出的文件复制到该文件夹。"));
  parser.addPositionalArgument("PROJECT", TrQ("cli", "要创建的工程文件（.zentoraprj）。"),
                               "project create PROJECT");
  parser.addOption({"picture", TrQ("cli", "加入一张图片（可重复）。"), "FILE"});
  parser.addOption({"sound", TrQ("cli", "加入一个声音（可重复）。"), "FILE"});
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  if (!ExpectPositionals(parser, 1)) {
    return kExitUsage;
  }
  const std::variant<std::filesystem::path, int> projectFile = PrepareProjectFile(
      parser.positionalArguments()[0], parser.values("picture") + parser.values("sound"));
  if (const int* done = std::get_if<int>(&projectFile)) {
    return *done;
  }
  return WriteNewProject(parser, std::get<std::filesystem::path>(projectFile));
}

int RunProjectShow(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(TrQ("cli", "按顺序列出工程的图片和声音及其编号。"));
  parser.addPositionalArgument("PROJECT", TrQ("cli", "工程文件（.zentoraprj）。"),
                               "project show PROJECT");
  AddJsonOption(parser);
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
  if (parser.isSet("json")) {
    PrintJson({{"project", TextFromPath(loaded->project.ProjectFilePath())},
               {"pictures", ListJson(loaded->pictures)},
               {"sounds", ListJson(loaded->sounds)}});
    return kExitOk;
  }
  PrintLine(Tr("cli", "工程：") + loaded->project.ProjectFilePath().string());
  ShowList(QT_TRANSLATE_NOOP("cli", "图片"), loaded->pictures);
  ShowList(QT_TRANSLATE_NOOP("cli", "声音"), loaded->sounds);
  return kExitOk;
}

}  // namespace zentora::cli
