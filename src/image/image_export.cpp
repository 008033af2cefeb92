#include "image/image_export.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "base/atomic_file_writer.h"
#include "base/compiler_files.h"
#include "base/file_extension.h"
#include "base/output_input_check.h"
#include "base/translation.h"
#include "image/image_compiler.h"
#include "image/picture_canvas.h"
#include "image/picture_dither.h"
#include "image/pixel_packing.h"

namespace zentora {

namespace {

// C compilers on every platform accept CR LF, and it is what the module's
// tool chains have always been given.
constexpr std::string_view kLineEnd = "\r\n";

// Text is handed to the file in pieces of about this size, so that a large
// picture never needs its whole text in memory.
constexpr std::size_t kWriteChunk = std::size_t{1} << 20;

using HexItem = std::array<char, 5>;

// "0x%02x," for every byte value.
constexpr std::array<HexItem, 256> MakeHexItems() {
  constexpr char kDigits[] = "0123456789abcdef";
  std::array<HexItem, 256> items{};
  for (std::size_t value = 0; value < items.size(); ++value) {
    items[value] = {'0', 'x', kDigits[value >> 4], kDigits[value & 0xF], ','};
  }
  return items;
}

constexpr std::array<HexItem, 256> kHexItems = MakeHexItems();

// A line break in a file name would end the path comment and turn the rest
// of the name into code; control characters are shown as '?' instead.
std::string CommentSafe(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      c = '?';
    }
  }
  return text;
}

struct PackedForHeader {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> block;
};

PackedForHeader DecodeAndPack(const std::filesystem::path& path, const ImageSettings& settings) {
  try {
    PictureCanvas drawn = DrawPictureCanvas(path);
    if (drawn.status != PictureCanvas::Status::Drawn) {
      return {};
    }
    DitherCanvas(drawn.canvas, settings);
    std::vector<std::uint8_t> block =
        PackPicture(drawn.canvas, drawn.width, drawn.height, settings);
    if (block.empty()) {
      return {};
    }
    return {drawn.width, drawn.height, std::move(block)};
  } catch (const std::bad_alloc&) {
    // Out of memory for this picture: it is treated as unreadable.
    return {};
  }
}

// Collects the header's text and hands it to the file in chunks.
class CHeaderText {
 public:
  explicit CHeaderText(CAtomicFileWriter& file) : file_(file) { text_.reserve(kWriteChunk + 64); }

  void Append(std::string_view piece) { text_.append(piece); }

  Status FlushIfFull() { return text_.size() >= kWriteChunk ? Flush() : Status::Ok(); }

  Status Flush() {
    const Status written =
        file_.Write(std::span(reinterpret_cast<const std::uint8_t*>(text_.data()), text_.size()));
    text_.clear();
    return written;
  }

 private:
  CAtomicFileWriter& file_;
  std::string text_;
};

Status AppendPicture(CHeaderText& text, std::size_t number, const std::filesystem::path& path,
                     const ImageSettings& settings) {
  const PackedForHeader packed = DecodeAndPack(path, settings);
  const std::string n = std::to_string(number);
  text.Append("//image path(" + CommentSafe(path.string()) + ")");
  text.Append(kLineEnd);
  text.Append("//image" + n + " : width = " + std::to_string(packed.width) +
              ";height = " + std::to_string(packed.height));
  text.Append(kLineEnd);
  text.Append("const unsigned char image" + n + "[] = {");
  text.Append(kLineEnd);

  const std::size_t bytesPerPixel = static_cast<std::size_t>(settings.BytesPerPixel());
  const std::size_t pixelsPerLine = static_cast<std::size_t>(packed.height);
  std::size_t onLine = 0;
  for (std::size_t offset = 0; offset < packed.block.size(); offset += bytesPerPixel) {
    for (std::size_t byte = 0; byte < bytesPerPixel; ++byte) {
      const HexItem& item = kHexItems[packed.block[offset + byte]];
      text.Append(std::string_view(item.data(), item.size()));
    }
    if (++onLine == pixelsPerLine) {
      text.Append(kLineEnd);
      onLine = 0;
      if (Status flushed = text.FlushIfFull(); !flushed) {
        return flushed;
      }
    }
  }
  text.Append("};");
  text.Append(kLineEnd);
  text.Append(kLineEnd);
  return text.FlushIfFull();
}

}  // namespace

Status ExportImageHeader(const std::vector<std::filesystem::path>& pictures,
                         const ImageSettings& settings, const std::filesystem::path& headerPath) {
  Result<CAtomicFileWriter> file = CAtomicFileWriter::Begin(headerPath);
  if (!file) {
    return Status::Failure(CannotCreateFileLine(headerPath, file.error()));
  }
  CHeaderText text(file.value());
  for (std::size_t number = 0; number < pictures.size(); ++number) {
    if (Status written = AppendPicture(text, number, pictures[number], settings); !written) {
      return Status::Failure(WriteFailureLine(headerPath, written));
    }
  }
  if (Status written = text.Flush(); !written) {
    return Status::Failure(WriteFailureLine(headerPath, written));
  }
  if (Status committed = file.value().Commit(); !committed) {
    return Status::Failure(WriteFailureLine(headerPath, committed));
  }
  return Status::Ok();
}

ExportForm ExportFormFor(const std::filesystem::path& chosen) {
  return LowerCaseExtension(chosen) == "bin" ? ExportForm::Binary : ExportForm::CHeader;
}

std::filesystem::path ExportIndexPath(const std::filesystem::path& chosen) {
  const std::string name = chosen.filename().string();
  const std::size_t dot = name.rfind('.');
  return chosen.parent_path() / (name.substr(0, dot) + ".idx");
}

namespace {

Status CheckExportTargets(const std::filesystem::path& chosen,
                          const std::vector<std::filesystem::path>& inputs) {
  std::vector<std::filesystem::path> targets{chosen};
  if (ExportFormFor(chosen) == ExportForm::Binary) {
    targets.push_back(ExportIndexPath(chosen));
  }
  if (const std::optional<OutputOntoInput> clash = FindOutputOntoInput(targets, inputs)) {
    return Status::Failure(Tr("image", "不能导出到工程自己的文件：") + clash->output.string());
  }
  return Status::Ok();
}

}  // namespace

ExportOutcome ExportPictures(const std::vector<std::filesystem::path>& pictures,
                             const std::filesystem::path& projectFile,
                             const ImageSettings& settings, const std::filesystem::path& chosen,
                             StatusSink& sink) {
  ExportOutcome outcome;
  outcome.form = ExportFormFor(chosen);
  std::vector<std::filesystem::path> inputs = pictures;
  if (!projectFile.empty()) {
    inputs.push_back(projectFile);
  }
  outcome.refused = CheckExportTargets(chosen, inputs);
  if (!outcome.refused) {
    return outcome;
  }
  if (outcome.form == ExportForm::Binary) {
    outcome.compiled =
        GenerateImageResources(pictures, settings, chosen, ExportIndexPath(chosen), sink);
  } else {
    outcome.headerWritten = ExportImageHeader(pictures, settings, chosen);
  }
  return outcome;
}

}  // namespace zentora
