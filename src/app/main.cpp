// zentora: the desktop program.

#include <cstdio>
#include <string_view>

#include "app/zentora_app.h"
#include "base/library_messages.h"
#include "base/version.h"

namespace {

constexpr const char* kUsage =
    "Usage: zentora [PROJECT]\n"
    "\n"
    "Edits the pictures and sounds of a Zentora LCD display module project,\n"
    "compiles them into the module's resource files and downloads them over USB.\n"
    "\n"
    "Arguments:\n"
    "  PROJECT        a project file (.zentoraprj) to open at start\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  --version      show the version and exit\n"
    "  --lang zh|en   the language of the interface (otherwise the locale's)\n"
    "  --verbose      also show the messages of Qt and the picture decoders\n"
    "\n"
    "zentora-cli runs the same compiler and download from the command line.\n";

}  // namespace

int main(int argc, char* argv[]) {
  // Answered before anything opens a display, so that they work without one
  // (on a build server, or when the manual page is made).
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--version") {
      std::puts("zentora " ZENTORA_VERSION);
      return 0;
    }
    if (argument == "--help" || argument == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  // Before the application object exists, whose start can already report.
  zentora::RouteLibraryMessages(zentora::HasVerboseOption(argc, argv));
  return zentora::CZentoraApp::Run(argc, argv);
}
