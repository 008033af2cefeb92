#pragma once

#include <filesystem>
#include <vector>

#include "base/compile_outcome.h"
#include "base/result.h"
#include "base/status_sink.h"
#include "image/image_settings.h"

namespace zentora {

// Writes the pictures, in list order, as a C header: per picture a comment
// with its path, a comment with its number and size, and a constant byte
// array of its packed pixel block, one pixel per item and one line per h
// pixels, lines ending in CR LF. A picture that cannot be decoded keeps its
// number with zero sizes and an empty array. The file is replaced only once
// it is complete; on failure the message names the file and the reason.
//
// The header has no index entry to keep true, so pictures too large for the
// module's index are written in full.
Status ExportImageHeader(const std::vector<std::filesystem::path>& pictures,
                         const ImageSettings& settings, const std::filesystem::path& headerPath);

enum class ExportForm {
  Binary,   // the compiler's data file, with its index file beside it
  CHeader,  // ExportImageHeader
};

// Binary for the extension "bin" in any case; anything else, none included,
// is a C header.
ExportForm ExportFormFor(const std::filesystem::path& chosen);

// Where a binary export puts its index: beside the chosen file, the same name
// with its extension replaced by "idx".
std::filesystem::path ExportIndexPath(const std::filesystem::path& chosen);

struct ExportOutcome {
  ExportForm form = ExportForm::CHeader;
  // The chosen file (or, for the binary form, its index) is one of the
  // export's own inputs under some name: a picture of the list or the
  // project file would be overwritten by data made from it. Nothing was
  // written.
  Status refused = Status::Ok();
  // The binary form reports as the compile does: its failure is already a
  // line in the sink.
  CompileOutcome compiled = CompileOutcome::Written;
  // The header form writes no lines; why it failed is here for the caller to
  // show.
  Status headerWritten = Status::Ok();

  bool Failed() const {
    return !refused.ok() || compiled == CompileOutcome::Failed || !headerWritten.ok();
  }
};

// The export in the form the chosen file's extension selects. `pictures` and
// `settings` are the caller's snapshot, taken when the export starts;
// projectFile (if any) is the project they come from.
ExportOutcome ExportPictures(const std::vector<std::filesystem::path>& pictures,
                             const std::filesystem::path& projectFile,
                             const ImageSettings& settings, const std::filesystem::path& chosen,
                             StatusSink& sink);

}  // namespace zentora
