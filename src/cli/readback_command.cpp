// inspect: compiled resources read back, checked and unpacked.

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <string>
#include <vector>

#include "base/output_input_check.h"
#include "base/path_text.h"
#include "base/translation.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console_sink.h"
#include "cli/image_options.h"
#include "cli/integer_option.h"
#include "cli/json_output.h"
#include "font/font_desc.h"
#include "font/glyph_renderer.h"
#include "readback/files_depth.h"
#include "readback/readback_output.h"

namespace zentora::cli {

namespace {

// Labels drawn with the core's FreeType renderer in the viewer's label font:
// the command-line tool has no GUI application to draw text with.
class CFreeTypeLabels {
 public:
  void Draw(QImage& sheet, const QRect& box, std::string_view text) {
    static const FontDesc font{"宋体", 16, kGb2312Charset, {}};
    CellBitmap coverage;
    renderer_.RenderLine(
        font, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdU16String(),
        box.width(), box.height(), coverage);
    for (int y = 0; y < box.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(sheet.scanLine(box.top() + y)) + box.left();
      for (int x = 0; x < box.width(); ++x) {
        const int keep = 255 - coverage.At(x, y);
        row[x] = qRgb(qRed(row[x]) * keep / 255, qGreen(row[x]) * keep / 255,
                      qBlue(row[x]) * keep / 255);
      }
    }
  }

 private:
  CGlyphRenderer renderer_;
};

void PrintListing(const ResourceListing& listing) {
  for (const PictureEntry& entry : listing.pictures) {
    PrintLine(PictureLine(entry));
  }
  for (const SoundEntry& entry : listing.sounds) {
    PrintLine(SoundLine(entry));
  }
  if (listing.findings.empty()) {
    PrintLine(Tr("cli", "未发现问题"));
    return;
  }
  const int count = static_cast<int>(listing.findings.size());
  PrintLine(TrN("cli", "发现 %n 个问题：", nullptr, count));
  for (const Finding& finding : listing.findings) {
    PrintLine(finding.text);
  }
}

// The listing for --json: every field of the index entries as a number, and
// each finding with its code.
QJsonObject ListingJson(const std::filesystem::path& folder, const ResourceListing& listing) {
  QJsonArray pictures;
  for (const PictureEntry& entry : listing.pictures) {
    pictures.append(QJsonObject{{"position", entry.position},
                                {"number", entry.number},
                                {"address", static_cast<qint64>(entry.address)},
                                {"width", entry.width},
                                {"height", entry.height},
                                {"length", static_cast<qint64>(entry.length)},
                                {"bytesPerPixel", entry.BytesPerPixel()},
                                {"inData", entry.inData}});
  }
  QJsonArray sounds;
  for (const SoundEntry& entry : listing.sounds) {
    sounds.append(QJsonObject{{"position", entry.position},
                              {"number", entry.number},
                              {"channels", entry.channels},
                              {"bitsPerSample", entry.bitsPerSample},
                              {"sampleRate", static_cast<qint64>(entry.sampleRate)},
                              {"length", static_cast<qint64>(entry.length)},
                              {"address", static_cast<qint64>(entry.address)},
                              {"seconds", entry.Seconds()},
                              {"inData", entry.inData}});
  }
  QJsonArray findings;
  for (const Finding& finding : listing.findings) {
    findings.append(QJsonObject{{"code", QString::fromStdString(finding.code)},
                                {"text", QString::fromStdString(finding.text)}});
  }
  return {{"folder", TextFromPath(folder)},
          {"imageDataSize", static_cast<qint64>(listing.imageDataSize)},
          {"waveDataSize", static_cast<qint64>(listing.waveDataSize)},
          {"pictures", pictures},
          {"sounds", sounds},
          {"findings", findings}};
}

// What was asked for besides the listing.
struct InspectRequest {
  std::filesystem::path folder;
  ImageSettings settings;
  std::filesystem::path pngFolder;  // empty: no pictures written
  std::filesystem::path wavFolder;  // empty: no sounds written
  int sheet = -1;                   // the picture whose settings sheet is wanted
  bool json = false;                // the listing as one JSON document
};

std::optional<InspectRequest> ReadRequest(const QCommandLineParser& parser) {
  const std::optional<ImageSettings> settings = ReadImageOptions(parser);
  if (!settings) {
    return std::nullopt;
  }
  InspectRequest request{
      ToPath(parser.positionalArguments()[0]), *settings, {}, {}, -1, parser.isSet("json")};
  if (parser.isSet("png")) {
    request.pngFolder = ToPath(parser.value("png"));
  }
  if (parser.isSet("wav")) {
    request.wavFolder = ToPath(parser.value("wav"));
  }
  if (parser.isSet("sheet")) {
    const std::optional<int> sheet = ReadIntegerOption<int>(parser, "sheet", AtLeast(0));
    if (!sheet) {
      return std::nullopt;
    }
    request.sheet = *sheet;
    if (request.pngFolder.empty()) {
      PrintError(Tr("cli", "--sheet 写入 --png DIR2 的文件夹；请同时给出 --png"));
      return std::nullopt;
    }
  }
  return request;
}

// Every file the request would write: the numbered pictures, the contact
// sheet and the settings sheet in the --png folder, the numbered sounds in
// the --wav folder.
std::vector<std::filesystem::path> PlannedOutputs(const InspectRequest& request,
                                                  const ResourceListing& listing) {
  std::vector<std::filesystem::path> outputs;
  if (!request.pngFolder.empty()) {
    for (std::size_t i = 0; i < listing.pictures.size(); ++i) {
      outputs.push_back(request.pngFolder / NumberedName(static_cast<int>(i), ".png"));
    }
    outputs.push_back(request.pngFolder / "sheet.png");
  }
  if (request.sheet >= 0) {
    outputs.push_back(request.pngFolder /
                      ("picture-" + std::to_string(request.sheet) + "-settings.png"));
  }
  if (!request.wavFolder.empty()) {
    for (const SoundEntry& entry : listing.sounds) {
      outputs.push_back(request.wavFolder / NumberedName(entry.position, ".wav"));
    }
  }
  return outputs;
}

// The four files read back.
std::vector<std::filesystem::path> InspectedFiles(const std::filesystem::path& folder) {
  return {folder / "image.idx", folder / "image.bin", folder / "wave.idx", folder / "wave.bin"};
}

// Writes what the request asks for; the lines of what failed.
std::vector<std::string> WriteOutputs(const InspectRequest& request,
                                      const ResourceListing& listing) {
  CFreeTypeLabels labels;
  const LabelPainter label = [&labels](QImage& sheet, const QRect& box, std::string_view text) {
    labels.Draw(sheet, box, text);
  };
  std::vector<std::string> problems;
  if (!request.pngFolder.empty()) {
    // Under --json, standard output holds the document alone.
    CConsoleSink progress(request.json ? stderr : stdout, stderr);
    progress.ShowProgress(true);
    problems = WritePictureFiles(request.folder, listing, request.settings, request.pngFolder,
                                 label, progress);
    progress.ShowProgress(false);
  }
  if (request.sheet >= 0) {
    if (Status written =
            WriteSettingsSheet(request.folder, listing, request.sheet, request.pngFolder, label);
        !written) {
      problems.push_back(written.message());
    }
  }
  if (!request.wavFolder.empty()) {
    const std::vector<std::string> sounds =
        WriteSoundFiles(request.folder, listing, request.wavFolder);
    problems.insert(problems.end(), sounds.begin(), sounds.end());
  }
  return problems;
}

}  // namespace

int RunInspect(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      TrQ("cli",
          "读回 DIR 中编译好的资源：列出每张图片和每个声音，\n"
          "按编译器写出的格式检查这些文件，并按给出的图片选项\n"
          "像模块那样把它们读出来。\n"
          "退出状态：0 没有发现问题，1 发现问题或有文件没有写成，2 参数错误。"));
  parser.addPositionalArgument(
      "DIR", TrQ("cli", "存放 image.idx、image.bin、wave.idx、wave.bin 的文件夹。"), "inspect DIR");
  AddImageOptions(parser);
  parser.addOption(
      {"png", TrQ("cli", "把每张图片（0000.png, ...）和 sheet.png 写入 DIR2。"), "DIR2"});
  parser.addOption(
      {"wav", TrQ("cli", "把每个声音写回 WAV 文件（0000.wav, ...），放入 DIR2。"), "DIR2"});
  parser.addOption({"sheet",
                    TrQ("cli",
                        "把第 N 张图片按其色彩深度的全部 16 种设置画到 --png 文件夹中的 "
                        "picture-N-settings.png。"),
                    "N"});
  AddJsonOption(parser);
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  if (!ExpectPositionals(parser, 1)) {
    return kExitUsage;
  }
  std::optional<InspectRequest> request = ReadRequest(parser);
  if (!request) {
    return kExitUsage;
  }
  Result<ResourceListing> listing = ReadResourceFolder(request->folder);
  if (!listing) {
    PrintError(listing.error());
    return kExitUsage;
  }
  // Pictures are written at the files' own depth; a disagreeing --depth is
  // the first finding.
  const PictureReading reading = ReadingForFiles(listing.value().pictures, request->settings);
  request->settings = reading.settings;
  if (reading.finding) {
    std::vector<Finding>& findings = listing.value().findings;
    findings.insert(findings.begin(), *reading.finding);
  }
  if (request->sheet >= static_cast<int>(listing.value().pictures.size())) {
    const int pictures = static_cast<int>(listing.value().pictures.size());
    PrintError(Fill(TrN("cli", "--sheet %1：文件夹中只有 %n 张图片", nullptr, pictures),
                    std::to_string(request->sheet)));
    return kExitUsage;
  }
  if (Status refused = RefuseOutputsOntoInputs(PlannedOutputs(*request, listing.value()),
                                               InspectedFiles(request->folder));
      !refused) {
    PrintError(refused.message());
    return kExitUsage;
  }
  if (request->json) {
    PrintJson(ListingJson(request->folder, listing.value()));
  } else {
    PrintListing(listing.value());
  }
  const std::vector<std::string> problems = WriteOutputs(*request, listing.value());
  for (const std::string& problem : problems) {
    PrintError(problem);
  }
  return listing.value().findings.empty() && problems.empty() ? kExitOk : kExitFailed;
}

}  // namespace zentora::cli
