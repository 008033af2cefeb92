#include "cli/image_options.h"

#include <system_error>

#include "base/make_folder.h"
#include "base/system_error_text.h"
#include "base/translation.h"
#include "cli/cli_support.h"
#include "download/compile_input_check.h"
#include "download/resource_compile.h"

namespace zentora::cli {

void AddImageOptions(QCommandLineParser& parser) {
  parser.addOption(
      {"depth", TrQ("cli", "色彩深度：16（RGB565，默认）或 24（RGB）。"), "bits", "16"});
  parser.addOption({"msb-first", TrQ("cli", "每个像素的高字节（或红色）在前。")});
  parser.addOption({"row-right-to-left", TrQ("cli", "每行从右至左扫描。")});
  parser.addOption({"column-bottom-to-top", TrQ("cli", "每列从下至上扫描。")});
  parser.addOption({"column-first", TrQ("cli", "按列存放，而不是按行存放。")});
}

std::optional<ImageSettings> ReadImageOptions(const QCommandLineParser& parser) {
  ImageSettings settings;
  const QString depth = parser.value("depth");
  if (depth == "16") {
    settings.colorDepth = 0;
  } else if (depth == "24") {
    settings.colorDepth = 1;
  } else {
    PrintError(Fill(Tr("cli", "--depth 只接受 16 或 24，而不是“%1”"), ToUtf8(depth)));
    return std::nullopt;
  }
  settings.msbFirst = parser.isSet("msb-first");
  settings.rowRightToLeft = parser.isSet("row-right-to-left");
  settings.columnBottomToTop = parser.isSet("column-bottom-to-top");
  settings.columnFirst = parser.isSet("column-first");
  return settings;
}

void AddDitherOption(QCommandLineParser& parser) {
  parser.addOption(
      {"dither",
       TrQ("cli", "16 位时的抖动：none（默认）、ordered（有序）或 diffusion（误差扩散）。"),
       "method", "none"});
}

namespace {

// The settings with the dither chosen; nullopt (after printing why) for a
// value it cannot take, or a dither asked of 24-bit settings.
std::optional<ImageSettings> WithDitherOption(const QCommandLineParser& parser,
                                              ImageSettings settings) {
  const QString dither = parser.value("dither");
  if (dither == "none") {
    settings.dither = Dither::kNone;
  } else if (dither == "ordered") {
    settings.dither = Dither::kOrdered;
  } else if (dither == "diffusion") {
    settings.dither = Dither::kDiffusion;
  } else {
    PrintError(
        Fill(Tr("cli", "--dither 只接受 none、ordered 或 diffusion，而不是“%1”"), ToUtf8(dither)));
    return std::nullopt;
  }
  if (settings.dither != Dither::kNone && settings.colorDepth != 0) {
    PrintError(Tr("cli", "--dither 只用于 16 位色彩深度"));
    return std::nullopt;
  }
  return settings;
}

}  // namespace

std::optional<ImageSettings> ReadPackingOptions(const QCommandLineParser& parser) {
  const std::optional<ImageSettings> settings = ReadImageOptions(parser);
  return settings ? WithDitherOption(parser, *settings) : std::nullopt;
}

std::variant<ProjectWithSettings, int> ParseProjectWithSettings(QCommandLineParser& parser,
                                                                const QStringList& arguments,
                                                                qsizetype positionals) {
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  if (!ExpectPositionals(parser, positionals)) {
    return kExitUsage;
  }
  const std::optional<ImageSettings> settings = ReadPackingOptions(parser);
  if (!settings) {
    return kExitUsage;
  }
  std::optional<LoadedProject> loaded = LoadProject(ToPath(parser.positionalArguments()[0]));
  if (!loaded) {
    return kExitUsage;
  }
  return ProjectWithSettings{std::move(*loaded), *settings};
}

namespace {

// The project file as it was named, so that the rule reads as the build
// tool's own; the pictures and sounds as the project resolves them, those
// that are missing included, so that creating one triggers a rebuild.
Dependencies CompileDependencies(const std::filesystem::path& projectArgument,
                                 const LoadedProject& loaded,
                                 const std::filesystem::path& outFolder) {
  const ResourceFiles files(outFolder);
  Dependencies dependencies{{files.imageData, files.imageIndex, files.waveData, files.waveIndex},
                            {projectArgument}};
  for (const CGalleryItemList* list : {&loaded.pictures, &loaded.sounds}) {
    AppendListedFiles(*list, dependencies.prerequisites);
  }
  return dependencies;
}

}  // namespace

void AppendListedFiles(const CGalleryItemList& list, std::vector<std::filesystem::path>& files) {
  for (const std::filesystem::path& path : list.Snapshot()) {
    if (!path.empty()) {
      files.push_back(path);
    }
  }
}

std::variant<CompileRequest, int> ParseCompileRequest(QCommandLineParser& parser,
                                                      const QStringList& arguments,
                                                      const QString& usage) {
  parser.addPositionalArgument("PROJECT", TrQ("cli", "工程文件（.zentoraprj）。"), usage);
  parser.addOption({"out", TrQ("cli", "把资源文件写入 DIR。"), "DIR"});
  AddImageOptions(parser);
  AddDitherOption(parser);
  AddDepfileOption(parser);
  std::variant<ProjectWithSettings, int> parsed = ParseProjectWithSettings(parser, arguments, 1);
  if (const int* done = std::get_if<int>(&parsed)) {
    return *done;
  }
  auto& [loaded, settings] = std::get<ProjectWithSettings>(parsed);
  std::filesystem::path outFolder = parser.isSet("out")
                                        ? AsFolder(ToPath(parser.value("out")))
                                        : loaded.project.GetWorkingFolder() / "output/";
  // Before anything is made or written: an output that is one of the
  // project's own files is a mistake in the arguments.
  if (Status refused =
          RefuseCompileOntoInputs(outFolder, loaded.project.ProjectFilePath(),
                                  loaded.pictures.Snapshot(), loaded.sounds.Snapshot());
      !refused) {
    PrintError(refused.message());
    return kExitUsage;
  }
  std::optional<DepfileRequest> depfile = ReadDepfileOption(
      parser, CompileDependencies(ToPath(parser.positionalArguments()[0]), loaded, outFolder));
  if (!depfile) {
    return kExitUsage;
  }
  if (Status made = MakeFolder(outFolder); !made) {
    PrintError(made.message());
    return kExitFailed;
  }
  return CompileRequest{std::move(loaded), settings, std::move(outFolder), std::move(*depfile)};
}

}  // namespace zentora::cli
