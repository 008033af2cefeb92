#include "readback/readback_sheets.h"

#include <QPainter>

#include <algorithm>

#include "base/translation.h"
#include "readback/picture_unpacking.h"
#include "readback/resource_listing.h"

namespace zentora {

namespace {

constexpr QRgb kPaper = 0xFFFFFFFF;
constexpr QRgb kEmptyCell = 0xFFE8E8E8;
constexpr int kLabelHeight = 20;
constexpr int kMargin = 8;

constexpr int kContactColumns = 12;
constexpr int kContactCell = kThumbnailSize + 12;

constexpr int kTileSize = 192;
constexpr int kTileCell = kTileSize + 8;
constexpr int kSheetColumns = 4;

QImage Sheet(int width, int height) {
  QImage sheet(width, height, QImage::Format_RGB32);
  if (!sheet.isNull()) {
    sheet.fill(kPaper);
  }
  return sheet;
}

// Centres `picture` in a cell of the sheet.
void PlaceInCell(QImage& sheet, const QImage& picture, const QRect& cell) {
  QPainter painter(&sheet);
  painter.drawImage(cell.left() + (cell.width() - picture.width()) / 2,
                    cell.top() + (cell.height() - picture.height()) / 2, picture);
}

}  // namespace

std::array<ImageSettings, 16> SettingsOfDepth(int colorDepth) {
  std::array<ImageSettings, 16> all{};
  for (int i = 0; i < 16; ++i) {
    ImageSettings& settings = all[static_cast<std::size_t>(i)];
    settings.colorDepth = colorDepth;
    settings.msbFirst = (i & 8) != 0;
    settings.columnFirst = (i & 4) != 0;
    settings.rowRightToLeft = (i & 2) != 0;
    settings.columnBottomToTop = (i & 1) != 0;
  }
  return all;
}

std::string SettingsLabel(const ImageSettings& settings) {
  return std::string(settings.msbFirst ? "MSB" : "LSB") + (settings.rowRightToLeft ? " ←" : " →") +
         (settings.columnBottomToTop ? " ↑" : " ↓") +
         (settings.columnFirst ? Tr("inspect", " 列") : Tr("inspect", " 行"));
}

QSize FittedSize(int width, int height, int box) {
  if (width <= 0 || height <= 0 || box <= 0) {
    return {};
  }
  if (width <= box && height <= box) {
    const int factor = std::min(box / width, box / height);
    return {width * factor, height * factor};
  }
  const long long longer = std::max(width, height);
  return {std::max(1, static_cast<int>(width * static_cast<long long>(box) / longer)),
          std::max(1, static_cast<int>(height * static_cast<long long>(box) / longer))};
}

QImage FitPicture(const QImage& picture, int box) {
  const QSize size = FittedSize(picture.width(), picture.height(), box);
  if (size.isEmpty() || size == picture.size()) {
    return size.isEmpty() ? QImage() : picture;
  }
  // Growing keeps every pixel a sharp square; shrinking averages.
  const bool grows = size.width() > picture.width();
  return picture.scaled(size, Qt::IgnoreAspectRatio,
                        grows ? Qt::FastTransformation : Qt::SmoothTransformation);
}

QImage ComposeContactSheet(const std::vector<QImage>& thumbnails, const LabelPainter& label) {
  const int count = std::min(static_cast<int>(thumbnails.size()), kMaxContactSheetPictures);
  const int columns = std::clamp(count, 1, kContactColumns);
  const int rows = std::max(1, (count + columns - 1) / columns);
  const int rowHeight = kContactCell + kLabelHeight;
  QImage sheet = Sheet(2 * kMargin + columns * kContactCell, 2 * kMargin + rows * rowHeight);
  if (sheet.isNull()) {
    return sheet;
  }
  for (int i = 0; i < count; ++i) {
    const int left = kMargin + (i % columns) * kContactCell;
    const int top = kMargin + (i / columns) * rowHeight;
    const QImage& thumbnail = thumbnails[static_cast<std::size_t>(i)];
    if (thumbnail.isNull()) {
      QPainter(&sheet).fillRect(left + 6, top + 6, kThumbnailSize, kThumbnailSize, kEmptyCell);
    } else {
      PlaceInCell(sheet, thumbnail, QRect(left, top, kContactCell, kContactCell));
    }
    label(sheet, QRect(left, top + kContactCell, kContactCell, kLabelHeight), NumberedName(i));
  }
  return sheet;
}

Result<QImage> ComposeSettingsSheet(const CDataFileReader& data, const PictureEntry& entry,
                                    const LabelPainter& label) {
  const int bytesPerPixel = entry.BytesPerPixel();
  if (bytesPerPixel == 0) {
    return Status::Failure(
        Fill(Tr("inspect", "图片 %1 的每像素字节数不明"), std::to_string(entry.position)));
  }
  const int headerHeight = 3 * kLabelHeight + kMargin;
  const int width = 2 * kMargin + kSheetColumns * kTileCell;
  // Every reading has the picture's own size, so one row height fits all.
  const int tileHeight = FittedSize(entry.width, entry.height, kTileSize).height() + 8;
  QImage sheet = Sheet(width, headerHeight + 4 * (tileHeight + kLabelHeight) + kMargin);
  if (sheet.isNull()) {
    return Status::Failure(Tr("inspect", "内存不足"));
  }
  const std::string depth =
      bytesPerPixel == 2 ? Tr("inspect", "16 位（RGB565）") : Tr("inspect", "24 位（RGB）");
  label(sheet, QRect(kMargin, kMargin, width - 2 * kMargin, kLabelHeight),
        Fill(Tr("inspect", "图片 %1：%2 × %3，%4"), std::to_string(entry.position),
             std::to_string(entry.width), std::to_string(entry.height), depth));
  label(sheet, QRect(kMargin, kMargin + kLabelHeight, width - 2 * kMargin, kLabelHeight),
        Tr("inspect",
           "LSB/MSB：低/高字节在前 (--msb-first)   →/←：行从左/从右扫描 (--row-right-to-left)"));
  label(
      sheet, QRect(kMargin, kMargin + 2 * kLabelHeight, width - 2 * kMargin, kLabelHeight),
      Tr("inspect",
         "↓/↑：列从上/从下扫描 (--column-bottom-to-top)   行/列：行优先/列优先 (--column-first)"));
  const std::array<ImageSettings, 16> all = SettingsOfDepth(bytesPerPixel - 2);
  for (int i = 0; i < 16; ++i) {
    const ImageSettings& settings = all[static_cast<std::size_t>(i)];
    Result<QImage> picture = ReadPicture(data, entry, settings);
    if (!picture) {
      return picture.status();
    }
    const int left = kMargin + (i % kSheetColumns) * kTileCell;
    const int top = headerHeight + (i / kSheetColumns) * (tileHeight + kLabelHeight);
    PlaceInCell(sheet, FitPicture(picture.value(), kTileSize),
                QRect(left, top, kTileCell, tileHeight));
    label(sheet, QRect(left, top + tileHeight, kTileCell, kLabelHeight),
          std::to_string(i + 1) + ". " + SettingsLabel(settings));
  }
  return sheet;
}

}  // namespace zentora
