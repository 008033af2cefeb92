#pragma once

#include <QStringList>

namespace zentora::cli {

// Each takes the subcommand's arguments, the first being its own name (as
// "zentora-cli compile" or "zentora-cli project show"), and returns the
// process's exit status.
int RunCompile(const QStringList& arguments);
int RunProjectCreate(const QStringList& arguments);
int RunProjectShow(const QStringList& arguments);
int RunDownload(const QStringList& arguments);
int RunBuild(const QStringList& arguments);
int RunFonts(const QStringList& arguments);
int RunGlyphs(const QStringList& arguments);
int RunFontLibrary(const QStringList& arguments);
int RunFontView(const QStringList& arguments);
int RunExport(const QStringList& arguments);
int RunAdjust(const QStringList& arguments);
int RunInspect(const QStringList& arguments);
int RunPreview(const QStringList& arguments);

}  // namespace zentora::cli
