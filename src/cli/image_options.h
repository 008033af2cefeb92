#pragma once

#include <QCommandLineParser>

#include <filesystem>
#include <optional>
#include <variant>
#include <vector>

#include "cli/cli_support.h"
#include "cli/depfile_option.h"

#include "image/image_settings.h"

namespace zentora::cli {

// --depth 16|24, --msb-first, --row-right-to-left, --column-bottom-to-top,
// --column-first.
void AddImageOptions(QCommandLineParser& parser);

// nullopt (after printing why) when an option has a value it cannot take.
std::optional<ImageSettings> ReadImageOptions(const QCommandLineParser& parser);

// --dither none|ordered|diffusion, for the commands that pack pictures.
void AddDitherOption(QCommandLineParser& parser);

// The image options with the dither chosen, for the commands that take both;
// nullopt (after printing why) for a value an option cannot take, or a
// dither asked of 24-bit settings.
std::optional<ImageSettings> ReadPackingOptions(const QCommandLineParser& parser);

// A project named by the first positional argument, with the image options.
struct ProjectWithSettings {
  LoadedProject loaded;
  ImageSettings settings;
};

// Parses (the image options, --dither and positionals already declared), checks that
// there are `positionals` arguments, reads the image options and loads the
// project. Either the result or the exit status to end with.
std::variant<ProjectWithSettings, int> ParseProjectWithSettings(QCommandLineParser& parser,
                                                                const QStringList& arguments,
                                                                qsizetype positionals);

// The files a list names, in order; entries without a file are left out.
void AppendListedFiles(const CGalleryItemList& list, std::vector<std::filesystem::path>& files);

// What `compile` and `build` share: the project, the settings and the output
// folder, which exists once this is filled.
struct CompileRequest {
  LoadedProject loaded;
  ImageSettings settings;
  std::filesystem::path outFolder;
  // The four resource files from the project file and its pictures and
  // sounds.
  DepfileRequest depfile;
};

// Adds PROJECT (shown as `usage`), --out, --depfile and the image options, parses, loads
// the project, refuses an output folder whose resource files would replace
// the project's own files and makes the folder. Either the request or the
// exit status to end with (help, usage error, unreadable project, outputs
// onto inputs, a depfile it cannot write, no folder).
std::variant<CompileRequest, int> ParseCompileRequest(QCommandLineParser& parser,
                                                      const QStringList& arguments,
                                                      const QString& usage);

}  // namespace zentora::cli
