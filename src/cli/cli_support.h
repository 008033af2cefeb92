#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/gallery_item_list.h"
#include "project/project.h"

namespace zentora::cli {

// 0: every step that ran succeeded; 1: something failed; 2: bad arguments
// or an unreadable project.
enum ExitCode : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// Parses a subcommand's arguments. Returns an exit code when the command
// should end here: after --help (0) or after a usage error (2), which is
// printed with a hint.
std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& arguments);

// The usage line(s) that a command's help starts with, set by the command
// table before it runs the command: "用法：zentora-cli compile PROJECT ...",
// the whole synopsis under the program's own name, rather than Qt's line,
// which names the path the program was started by and folds the options
// into "[选项]".
void SetCommandUsage(std::string usage);

// The parser's help text under the command's usage line.
std::string CommandHelpText(const QCommandLineParser& parser);

// Checks the number of positional arguments; prints a usage error if wrong.
bool ExpectPositionals(const QCommandLineParser& parser, qsizetype count);

void PrintError(std::string_view message);
void PrintLine(std::string_view line);

std::filesystem::path ToPath(const QString& text);
// "a, b or c", as the messages name the values an argument takes.
std::string JoinAlternatives(const std::vector<std::string>& words);
std::string ToUtf8(const QString& text);

// A project read from the command line, with the two lists the galleries
// would hold.
struct LoadedProject {
  CProject project;
  CGalleryItemList pictures;
  CGalleryItemList sounds;

  ProjectLists Lists() { return {pictures, sounds}; }
};

// Opens a project file; prints the reason and returns nullopt when it cannot
// be read.
std::optional<LoadedProject> LoadProject(const std::filesystem::path& projectFile);

}  // namespace zentora::cli
