#include "cli/cli_support.h"

#include "base/path_text.h"
#include "base/translation.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <utility>

namespace zentora::cli {

void PrintError(std::string_view message) {
  std::fflush(stdout);
  std::fprintf(stderr, "zentora-cli: %.*s\n", static_cast<int>(message.size()), message.data());
}

void PrintLine(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

std::string ToUtf8(const QString& text) {
  return text.toStdString();
}

std::filesystem::path ToPath(const QString& text) {
  return PathFromText(text);
}

std::string JoinAlternatives(const std::vector<std::string>& words) {
  std::string joined;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) {
      joined += i + 1 == words.size() ? Tr("cli", " 或 ") : Tr("cli", "、");
    }
    joined += words[i];
  }
  return joined;
}

namespace {

std::string& CommandUsage() {
  static std::string usage;
  return usage;
}

}  // namespace

void SetCommandUsage(std::string usage) {
  CommandUsage() = std::move(usage);
}

std::string CommandHelpText(const QCommandLineParser& parser) {
  std::string help = ToUtf8(parser.helpText());
  if (CommandUsage().empty()) {
    return help;
  }
  // Qt's usage is the first line; the description follows it.
  const std::size_t end = help.find('\n');
  return CommandUsage() + (end == std::string::npos ? std::string() : help.substr(end + 1));
}

std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& arguments) {
  const QCommandLineOption help = parser.addHelpOption();
  if (!parser.parse(arguments)) {
    PrintError(ToUtf8(parser.errorText()));
    PrintError(Fill(Tr("cli", "请试试“%1 --help”"), ToUtf8(arguments.value(0))));
    return kExitUsage;
  }
  if (parser.isSet(help)) {
    std::fputs(CommandHelpText(parser).c_str(), stdout);
    return kExitOk;
  }
  return std::nullopt;
}

bool ExpectPositionals(const QCommandLineParser& parser, qsizetype count) {
  const qsizetype given = parser.positionalArguments().size();
  if (given == count) {
    return true;
  }
  PrintError(given < count ? Tr("cli", "缺少参数") : Tr("cli", "参数过多"));
  std::fputs(CommandHelpText(parser).c_str(), stderr);
  return false;
}

std::optional<LoadedProject> LoadProject(const std::filesystem::path& projectFile) {
  LoadedProject loaded{CProject(std::filesystem::path()), {}, {}};
  if (Status opened = loaded.project.Open(projectFile, loaded.Lists()); !opened) {
    PrintError(Tr("cli", "无法打开工程：") + WithReason(projectFile.string(), opened.message()));
    return std::nullopt;
  }
  return loaded;
}

}  // namespace zentora::cli
