#include "font/font_explorer_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "base/path_text.h"
#include "font/library_length_hint.h"
#include "font/library_table_image.h"
#include "ui/control_ids.h"
#include "ui/dialog_units.h"
#include "ui/shell_dialogs.h"
#include "ui/window_font.h"

namespace zentora {

namespace {

constexpr int kExtentCount = 6;
constexpr int kLabelPixelHeight = 16;

// The template, in dialog units: the band of controls across the top, the
// table under it with this margin all round.
constexpr int kWidthDu = 522;
constexpr int kHeightDu = 340;
constexpr int kMarginDu = 7;
constexpr int kBandTopDu = 3;
constexpr int kBandHeightDu = 27;
// The line under the band that says when the chosen size does not fit.
constexpr int kHintHeightDu = 10;

QComboBox* MakeExtentList(QWidget* parent, int id, const QRect& rect) {
  auto* list = new QComboBox(parent);
  SetControlId(list, id);
  for (int index = 0; index < kExtentCount; ++index) {
    list->addItem(QString::number(GlyphExtentOfIndex(index)));
  }
  list->setGeometry(rect.x(), rect.y(), rect.width(),
                    std::max(rect.height(), list->sizeHint().height()));
  return list;
}

}  // namespace

QFont GlyphRowLabelFont() {
  // A height given for a font names its line, not its em square: scale the
  // em so that ascent and descent together come to the height asked for.
  QFont font = WindowFont();
  font.setPixelSize(kLabelPixelHeight);
  const QFontMetricsF metrics(font);
  const qreal line = metrics.ascent() + metrics.descent();
  if (line > 0) {
    font.setPixelSize(std::max(1, qRound(kLabelPixelHeight * kLabelPixelHeight / line)));
  }
  return font;
}

QString GlyphRowLabel(std::uint64_t row) {
  return QString::asprintf("0x%04llX", static_cast<unsigned long long>(row * kGlyphsPerRow));
}

CFontExplorerDlg::CFontExplorerDlg(QWidget* parent)
    : QDialog(parent), labelFont_(GlyphRowLabelFont()) {
  setWindowTitle(tr("字库查看"));
  CreateControls();
  DoDataExchange(false);
  BindControls();
}

CFontExplorerDlg::~CFontExplorerDlg() {
  // The table outlives this part of the object; it must not paint through
  // it any more.
  table_->SetDrawCell(nullptr);
}

void CFontExplorerDlg::CreateControls() {
  const CDialogUnits du = CDialogUnits::ForWidget(this);
  band_ = new QGroupBox(this);
  // Children of the band are placed in the dialog's units, less its corner.
  const QPoint corner = du.Rect(kMarginDu, kBandTopDu, 0, 0).topLeft();
  auto place = [&](QWidget* control, int x, int y, int width, int height) {
    control->setGeometry(du.Rect(x, y, width, height).translated(-corner));
  };
  openButton_ = MakeButton(band_, tr("打开字库..."), IDC_OPEN_LIBRARY, {});
  place(openButton_, 13, 9, 54, 17);
  closeButton_ = MakeButton(band_, tr("关闭字库"), IDC_CLOSE_LIBRARY, {});
  place(closeButton_, 71, 9, 54, 17);
  place(new QLabel(tr("字模宽度"), band_), 136, 12, 34, 10);
  widthList_ = MakeExtentList(band_, IDC_GLYPH_WIDTH, du.Rect(172, 10, 38, 14).translated(-corner));
  place(new QLabel(tr("字模高度"), band_), 220, 12, 34, 10);
  heightList_ =
      MakeExtentList(band_, IDC_GLYPH_HEIGHT, du.Rect(256, 10, 38, 14).translated(-corner));
  horizontalButton_ = new QRadioButton(tr("横向取模"), band_);
  SetControlId(horizontalButton_, IDC_HORIZONTAL);
  place(horizontalButton_, 306, 12, 50, 11);
  verticalButton_ = new QRadioButton(tr("纵向取模"), band_);
  SetControlId(verticalButton_, IDC_VERTICAL);
  place(verticalButton_, 358, 12, 50, 11);
  bit7FirstBox_ = new QCheckBox(tr("从bit7到bit0存放字节"), band_);
  SetControlId(bit7FirstBox_, IDC_BIT7_FIRST);
  place(bit7FirstBox_, 412, 12, 100, 11);

  lengthHint_ = new QLabel(this);
  SetControlId(lengthHint_, IDC_LENGTH_HINT);
  QPalette hintPalette = lengthHint_->palette();
  hintPalette.setColor(QPalette::WindowText, QColor(176, 0, 0));
  lengthHint_->setPalette(hintPalette);
  lengthHint_->hide();

  table_ = new CFontListCtrl(this);
  SetControlId(table_, IDC_TABLE);
  table_->SetDrawCell(this);

  // Wide enough for all 17 columns beside the scroll bar.
  const int tableWidth = kAddressColumnWidth + kGlyphsPerRow * kGlyphColumnWidth +
                         style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                         2 * table_->frameWidth();
  setMinimumSize(du.X(kWidthDu), du.Y(kBandTopDu + kBandHeightDu + 60));
  resize(std::max(du.X(kWidthDu), tableWidth + 2 * du.X(kMarginDu)), du.Y(kHeightDu));
}

void CFontExplorerDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const CDialogUnits du = CDialogUnits::ForWidget(this);
  const int margin = du.X(kMarginDu);
  band_->setGeometry(margin, du.Y(kBandTopDu), width() - 2 * margin, du.Y(kBandHeightDu));
  const int hintTop = du.Y(kBandTopDu + kBandHeightDu) + du.Y(2);
  lengthHint_->setGeometry(margin, hintTop, width() - 2 * margin, du.Y(kHintHeightDu));
  const int tableTop = hintTop + du.Y(kHintHeightDu) + du.Y(2);
  table_->setGeometry(margin, tableTop, width() - 2 * margin,
                      height() - tableTop - du.Y(kMarginDu));
}

void CFontExplorerDlg::BindControls() {
  connect(openButton_, &QPushButton::clicked, this, &CFontExplorerDlg::OnOpenLibrary);
  connect(closeButton_, &QPushButton::clicked, this, &CFontExplorerDlg::OnCloseLibrary);
  connect(widthList_, &QComboBox::currentIndexChanged, this, &CFontExplorerDlg::OnLayoutChanged);
  connect(heightList_, &QComboBox::currentIndexChanged, this, &CFontExplorerDlg::OnLayoutChanged);
  connect(horizontalButton_, &QRadioButton::clicked, this, &CFontExplorerDlg::OnLayoutChanged);
  connect(verticalButton_, &QRadioButton::clicked, this, &CFontExplorerDlg::OnLayoutChanged);
  connect(bit7FirstBox_, &QCheckBox::clicked, this, &CFontExplorerDlg::OnLayoutChanged);
}

void CFontExplorerDlg::DoDataExchange(bool saveAndValidate) {
  if (saveAndValidate) {
    widthIndex = std::max(0, widthList_->currentIndex());
    heightIndex = std::max(0, heightList_->currentIndex());
    layoutChoice = horizontalButton_->isChecked() ? 0 : 1;
    bit7First = bit7FirstBox_->isChecked() ? 1 : 0;
    return;
  }
  const QSignalBlocker quietWidth(widthList_);
  const QSignalBlocker quietHeight(heightList_);
  widthList_->setCurrentIndex(widthIndex);
  heightList_->setCurrentIndex(heightIndex);
  horizontalButton_->setChecked(layoutChoice == 0);
  verticalButton_->setChecked(layoutChoice != 0);
  bit7FirstBox_->setChecked(bit7First != 0);
}

GlyphLayout CFontExplorerDlg::CurrentLayout() const {
  return ViewerGlyphLayout(widthIndex, heightIndex, layoutChoice, bit7First != 0);
}

void CFontExplorerDlg::SetupColumns() {
  if (table_->ColumnCount() > 0) {
    return;
  }
  // The list paints through the window's back buffer, so a redraw never
  // flickers.
  table_->InsertColumn(tr("地址"), kAddressColumnWidth);
  for (int column = 0; column < kGlyphsPerRow; ++column) {
    table_->InsertColumn(QString::number(column), kGlyphColumnWidth);
  }
  table_->SetRowHeight(kRowHeight);
}

void CFontExplorerDlg::ShowRows() {
  // The view measures its rows in int pixels; a file too long for that
  // shows as many rows as fit.
  const std::uint64_t limit = static_cast<std::uint64_t>(INT_MAX / kRowHeight);
  table_->SetRowCount(static_cast<int>(std::min(library_.RowCount(CurrentLayout()), limit)));
  ShowLengthHint();
}

void CFontExplorerDlg::ShowLengthHint() {
  const QString hint =
      library_.IsOpen()
          ? QString::fromStdString(LibraryLengthHint(
                library_.Length(), GlyphExtentOfIndex(widthIndex), GlyphExtentOfIndex(heightIndex)))
          : QString();
  lengthHint_->setText(hint);
  lengthHint_->setVisible(!hint.isEmpty());
}

void CFontExplorerDlg::OnOpenLibrary() {
  DoDataExchange(true);
  FileDialogRequest ask;
  ask.kind = FileDialogRequest::Kind::OpenFile;
  ask.title = tr("打开字库");
  ask.fileName = tr("字库");
  ask.filter = tr("字库(*.bin)");
  ask.defaultSuffix = QStringLiteral("bin");
  const QStringList chosen = AskFileDialog(this, ask);
  if (chosen.isEmpty()) {
    return;
  }
  library_.Close();
  if (!library_.Open(PathFromText(chosen.first()))) {
    // The library shown before is closed now: its rows must go, so that
    // nothing reads from it any more.
    table_->SetRowCount(0);
    ShowLengthHint();
    return;
  }
  SetupColumns();
  ShowRows();
}

void CFontExplorerDlg::OnCloseLibrary() {
  if (library_.IsOpen()) {
    library_.Close();
    table_->SetRowCount(0);
    ShowLengthHint();
  }
}

void CFontExplorerDlg::OnLayoutChanged() {
  if (!library_.IsOpen()) {
    return;
  }
  DoDataExchange(true);
  ShowRows();
}

void CFontExplorerDlg::DrawCell(QPainter& dc, int row, int column, QRect cell) {
  if (row < 0) {
    return;
  }
  if (column == 0) {
    const QString label = GlyphRowLabel(static_cast<std::uint64_t>(row));
    dc.setFont(labelFont_);
    dc.setPen(palette().color(QPalette::Text));
    dc.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, label);
    return;
  }
  if (column > kGlyphsPerRow || !library_.IsOpen()) {
    return;
  }
  const GlyphLayout layout = CurrentLayout();
  const Result<std::vector<std::uint8_t>> glyph =
      library_.ReadCell(static_cast<std::uint64_t>(row), column, layout);
  if (!glyph) {
    return;
  }
  const CellOrigin origin = GlyphOriginInCell(cell.left(), cell.top(), cell.left() + cell.width(),
                                              cell.top() + cell.height(), layout);
  std::vector<QPoint> points;
  points.reserve(static_cast<std::size_t>(layout.cellWidth * layout.cellHeight));
  for (int x = 0; x < layout.cellWidth; ++x) {
    for (int y = 0; y < layout.cellHeight; ++y) {
      if (GlyphPixel(glyph.value(), layout, x, y)) {
        points.emplace_back(origin.x + x, origin.y + y);
      }
    }
  }
  dc.setRenderHint(QPainter::Antialiasing, false);
  dc.setPen(QPen(Qt::black, 1));
  dc.drawPoints(points.data(), static_cast<int>(points.size()));
}

}  // namespace zentora
