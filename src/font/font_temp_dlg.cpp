#include "font/font_temp_dlg.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/path_text.h"
#include "font/font_catalog.h"
#include "font/font_preview_ctrl.h"
#include "font/glyph_model.h"
#include "font/glyph_text.h"
#include "font/library_worker.h"
#include "font/missing_glyphs.h"
#include "ui/control_ids.h"
#include "ui/dialog_units.h"
#include "ui/message_box.h"
#include "ui/queued_status_sink.h"
#include "ui/shell_dialogs.h"

namespace zentora {

namespace {

// The template, in dialog units.
constexpr int kWidthDu = 330;
constexpr int kHeightDu = 318;

constexpr int kLargestFontSize = 48;
constexpr int kGlyphSizeCount = 6;
constexpr char kDefaultFontSize[] = "16";

QComboBox* MakeList(QWidget* parent, int id, const QRect& rect) {
  auto* list = new QComboBox(parent);
  SetControlId(list, id);
  list->setGeometry(rect.x(), rect.y(), rect.width(),
                    std::max(rect.height(), list->sizeHint().height()));
  return list;
}

// A line that appears only when something needs saying.
QLabel* MakeNotice(QWidget* parent, int id, const QRect& rect) {
  auto* notice = new QLabel(parent);
  SetControlId(notice, id);
  notice->setGeometry(rect);
  QPalette palette = notice->palette();
  palette.setColor(QPalette::WindowText, QColor(176, 0, 0));
  notice->setPalette(palette);
  notice->hide();
  return notice;
}

void ShowNotice(QLabel* notice, const QString& text) {
  notice->setText(text);
  notice->setToolTip(text);
  notice->setVisible(!text.isEmpty());
}

// Selects the entry with exactly that text, or none.
void SelectText(QComboBox* list, const QString& text) {
  list->setCurrentIndex(
      text.isEmpty() ? -1 : list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

}  // namespace

CFontTempDlg::CFontTempDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("字库取模"));
  CreateControls();
  DoDataExchange(false);
  BindControls();
  librarySink_ = CQueuedStatusSink::Create(
      this, {[] {}, [](const QString&) {}, [this](int position) { progress_->setValue(position); },
             [this](bool visible) { progress_->setVisible(visible); }});
  libraryWorker_ = std::make_unique<CLibraryWorker>(librarySink_, [this](Outcome outcome) {
    // Queued behind the progress calls; dropped if the dialog goes first.
    QMetaObject::invokeMethod(
        this, [this, outcome = std::move(outcome)] { LibraryFinished(outcome); },
        Qt::QueuedConnection);
  });
}

CFontTempDlg::~CFontTempDlg() {
  // The generation under way stops at its next glyph and removes its
  // temporary file; an existing library stays as it was.
  libraryWorker_.reset();
  librarySink_->Detach();
}

void CFontTempDlg::CreateControls() {
  const CDialogUnits du = CDialogUnits::ForWidget(this);
  setFixedSize(du.X(kWidthDu), du.Y(kHeightDu));

  preview_ = new CFontPreviewCtrl(this);
  SetControlId(preview_, IDC_PREVIEW);
  // Holds the largest cell, 48 pixels at six screen pixels each.
  preview_->setGeometry(du.Rect(7, 7, 166, 166));

  CreateSettingsGroup(du);
  CreatePackingGroup(du);
  generateLibraryButton_ =
      MakeButton(this, tr("生成字库..."), IDC_GENERATE_LIBRARY, du.Rect(180, 157, 143, 17));
  CreateTextControls(du);
  CreateNotices(du);
  SetTabOrder();
}

void CFontTempDlg::CreateSettingsGroup(const CDialogUnits& du) {
  auto* settings = new QGroupBox(tr("字模设置"), this);
  // Room under the lists for the line about a size larger than the cell.
  settings->setGeometry(du.Rect(180, 3, 143, 98));
  auto addRow = [&](const QString& caption, int id, int top) {
    (new QLabel(caption, this))->setGeometry(du.Rect(188, top + 2, 40, 10));
    return MakeList(this, id, du.Rect(230, top, 86, 14));
  };
  fontList_ = addRow(tr("字体类型"), IDC_FONT_LIST, 17);
  sizeList_ = addRow(tr("字体大小"), IDC_FONT_SIZE, 34);
  charsetList_ = addRow(tr("字  符  集"), IDC_CHARSET, 51);
  glyphSizeList_ = addRow(tr("字模大小"), IDC_GLYPH_SIZE, 68);
  fontList_->setMaxVisibleItems(20);
  for (int size = 8; size <= kLargestFontSize; size += 2) {
    sizeList_->addItem(QString::number(size));
  }
  sizeList_->setCurrentIndex(-1);
  sizeList_->setMaxVisibleItems(12);
  for (const CharsetKind kind : {CharsetKind::kAscii, CharsetKind::kGb2312, CharsetKind::kGbk}) {
    charsetList_->addItem(QString::fromLatin1(CharsetName(kind)));
  }
  for (int index = 0; index < kGlyphSizeCount; ++index) {
    glyphSizeList_->addItem(QString::number(GlyphExtentOfIndex(index)));
  }
}

void CFontTempDlg::CreatePackingGroup(const CDialogUnits& du) {
  auto* packing = new QGroupBox(tr("取模方式"), this);
  packing->setGeometry(du.Rect(180, 104, 143, 50));
  horizontalButton_ = new QRadioButton(tr("横向取模"), packing);
  SetControlId(horizontalButton_, IDC_HORIZONTAL);
  verticalButton_ = new QRadioButton(tr("纵向取模"), packing);
  SetControlId(verticalButton_, IDC_VERTICAL);
  bit7FirstBox_ = new QCheckBox(tr("从bit7到bit0存放字节"), packing);
  SetControlId(bit7FirstBox_, IDC_BIT7_FIRST);
  monochromeBox_ = new QCheckBox(tr("单色点阵"), packing);
  SetControlId(monochromeBox_, IDC_MONOCHROME);
  const QPoint origin = du.Rect(180, 104, 0, 0).topLeft();
  horizontalButton_->setGeometry(du.Rect(188, 115, 60, 11).translated(-origin));
  verticalButton_->setGeometry(du.Rect(252, 115, 60, 11).translated(-origin));
  bit7FirstBox_->setGeometry(du.Rect(188, 127, 128, 11).translated(-origin));
  monochromeBox_->setGeometry(du.Rect(188, 139, 128, 11).translated(-origin));
}

void CFontTempDlg::CreateTextControls(const CDialogUnits& du) {
  inputEdit_ = new QLineEdit(this);
  SetControlId(inputEdit_, IDC_INPUT);
  inputEdit_->setGeometry(du.Rect(7, 181, 143, 15));
  readTextFileButton_ =
      MakeButton(this, tr("从文件读入..."), IDC_READ_TEXT_FILE, du.Rect(153, 180, 64, 17));
  generateGlyphsButton_ =
      MakeButton(this, tr("生成字模"), IDC_GENERATE_GLYPHS, du.Rect(220, 180, 50, 17));
  copyGlyphsButton_ = MakeButton(this, tr("复制字模"), IDC_COPY_GLYPHS, du.Rect(273, 180, 50, 17));

  outputEdit_ = new QPlainTextEdit(this);
  SetControlId(outputEdit_, IDC_OUTPUT);
  outputEdit_->setReadOnly(true);
  outputEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  outputEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  outputEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // Columns of hexadecimal items line up in a fixed-pitch font.
  outputEdit_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // Two lines of notices lie between the input box and the array.
  outputEdit_->setGeometry(du.Rect(7, 220, 316, 80));

  progress_ = new QProgressBar(this);
  SetControlId(progress_, IDC_PROGRESS);
  progress_->setRange(0, 100);
  progress_->setTextVisible(false);
  progress_->setGeometry(du.Rect(7, 304, 316, 8));
  progress_->hide();
}

void CFontTempDlg::CreateNotices(const CDialogUnits& du) {
  sizeNotice_ = MakeNotice(this, IDC_SIZE_NOTICE, du.Rect(188, 85, 128, 12));
  missingNotice_ = MakeNotice(this, IDC_MISSING_NOTICE, du.Rect(7, 199, 316, 10));
  staleNotice_ = MakeNotice(this, IDC_STALE_NOTICE, du.Rect(7, 209, 316, 10));
}

// The template's order, which is the keyboard's.
void CFontTempDlg::SetTabOrder() {
  const QList<QWidget*> order = {
      fontList_,         sizeList_,           charsetList_,
      glyphSizeList_,    horizontalButton_,   verticalButton_,
      bit7FirstBox_,     monochromeBox_,      generateLibraryButton_,
      inputEdit_,        readTextFileButton_, generateGlyphsButton_,
      copyGlyphsButton_, outputEdit_,
  };
  for (qsizetype i = 1; i < order.size(); ++i) {
    QWidget::setTabOrder(order[i - 1], order[i]);
  }
}

void CFontTempDlg::BindControls() {
  for (QComboBox* list : {fontList_, sizeList_, charsetList_, glyphSizeList_}) {
    connect(list, &QComboBox::currentIndexChanged, this, &CFontTempDlg::ApplyFontSettings);
  }
  // Black and white changes what the preview draws: it redraws at once.
  connect(monochromeBox_, &QCheckBox::toggled, this, &CFontTempDlg::ApplyFontSettings);
  connect(inputEdit_, &QLineEdit::textChanged, this, &CFontTempDlg::OnInputChanged);
  // The packing repaints nothing, but an array packed the other way no
  // longer matches.
  for (QAbstractButton* packing : {static_cast<QAbstractButton*>(horizontalButton_),
                                   static_cast<QAbstractButton*>(bit7FirstBox_)}) {
    connect(packing, &QAbstractButton::toggled, this, [this] {
      DoDataExchange(true);
      UpdateNotices();
    });
  }
  connect(generateGlyphsButton_, &QPushButton::clicked, this, &CFontTempDlg::OnGenerateGlyphs);
  connect(copyGlyphsButton_, &QPushButton::clicked, this, &CFontTempDlg::OnCopyGlyphs);
  connect(readTextFileButton_, &QPushButton::clicked, this, &CFontTempDlg::OnReadTextFile);
  connect(generateLibraryButton_, &QPushButton::clicked, this, &CFontTempDlg::OnGenerateLibrary);
}

void CFontTempDlg::DoDataExchange(bool saveAndValidate) {
  if (saveAndValidate) {
    fontName = fontList_->currentText();
    fontSize = sizeList_->currentText();
    charsetIndex = std::max(0, charsetList_->currentIndex());
    glyphSizeIndex = std::max(0, glyphSizeList_->currentIndex());
    horizontal = horizontalButton_->isChecked() ? 1 : 0;
    bit7First = bit7FirstBox_->isChecked() ? 1 : 0;
    monochrome = monochromeBox_->isChecked() ? 1 : 0;
    inputText = inputEdit_->text();
    // The output box is read-only and shows only what was written into it;
    // the field stays the authority, CR LF line ends included.
    return;
  }
  // Writing the controls is not a user's change: no handler runs.
  const QSignalBlocker quietFonts(fontList_);
  const QSignalBlocker quietSizes(sizeList_);
  const QSignalBlocker quietCharsets(charsetList_);
  const QSignalBlocker quietCells(glyphSizeList_);
  const QSignalBlocker quietMonochrome(monochromeBox_);
  const QSignalBlocker quietHorizontal(horizontalButton_);
  const QSignalBlocker quietVertical(verticalButton_);
  const QSignalBlocker quietBitOrder(bit7FirstBox_);
  const QSignalBlocker quietInput(inputEdit_);
  SelectText(fontList_, fontName);
  SelectText(sizeList_, fontSize);
  charsetList_->setCurrentIndex(charsetIndex);
  glyphSizeList_->setCurrentIndex(glyphSizeIndex);
  horizontalButton_->setChecked(horizontal != 0);
  verticalButton_->setChecked(horizontal == 0);
  bit7FirstBox_->setChecked(bit7First != 0);
  monochromeBox_->setChecked(monochrome != 0);
  if (inputEdit_->text() != inputText) {
    inputEdit_->setText(inputText);
  }
  // The box separates lines by itself; rewriting unchanged text would only
  // scroll it back to the top.
  const QString shown = QString(outputText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (outputEdit_->toPlainText() != shown) {
    outputEdit_->setPlainText(shown);
  }
}

void CFontTempDlg::InitFontList() {
  if (fontList_->count() > 0) {
    return;
  }
  fontList_->setUpdatesEnabled(false);
  {
    const QSignalBlocker quiet(fontList_);
    for (const std::string& name : InstalledFontNames()) {
      fontList_->addItem(QString::fromStdString(name));
    }
    // The first entry added became the selection; nothing is chosen yet.
    fontList_->setCurrentIndex(-1);
  }
  // The open list is as wide as its longest family name.
  fontList_->view()->setMinimumWidth(fontList_->view()->sizeHintForColumn(0) +
                                     fontList_->view()->verticalScrollBar()->sizeHint().width());
  fontList_->setUpdatesEnabled(true);

  DoDataExchange(true);
  if (fontName.isEmpty()) {
    if (const std::optional<std::string> name = DefaultFontName()) {
      fontName = QString::fromStdString(*name);
    }
  }
  if (fontSize.isEmpty()) {
    fontSize = QString::fromLatin1(kDefaultFontSize);
  }
  DoDataExchange(false);
  ApplyFontSettings();
}

void CFontTempDlg::ApplyFontSettings() {
  DoDataExchange(true);
  // An unparsable size gives 0, the default height.
  preview_->fontDesc = FontDesc{fontName.toStdString(),
                                fontSize.toInt(),
                                charsetIndex == 0 ? kAnsiCharset : kGb2312Charset,
                                {},
                                monochrome != 0};
  preview_->cellWidth = GlyphExtentOfIndex(glyphSizeIndex);
  preview_->cellHeight = GlyphExtentOfIndex(glyphSizeIndex);
  preview_->previewText = inputText;
  preview_->update();
  UpdateNotices();
}

GlyphLayout CFontTempDlg::CurrentLayout() const {
  return {preview_->cellWidth, preview_->cellHeight, horizontal != 0, bit7First != 0};
}

CharsetKind CFontTempDlg::CurrentCharset() const {
  return static_cast<CharsetKind>(std::clamp(charsetIndex, 0, 2));
}

void CFontTempDlg::ModelChar(char16_t ch, std::span<std::uint8_t> dest) {
  ModelCell(preview_->RenderChar(ch), CurrentLayout(), dest);
}

void CFontTempDlg::UpdateNotices() {
  const int height = preview_->fontDesc.height > 0 ? preview_->fontDesc.height : kDefaultFontHeight;
  ShowNotice(sizeNotice_,
             height > preview_->cellHeight ? tr("字号大于字模尺寸，字形会被裁切") : QString());
  ShowNotice(missingNotice_,
             QString::fromStdString(MissingGlyphsLine(preview_->MissingCharacters(inputText))));

  const bool stale = arraySettings_ && *arraySettings_ != ArraySettings{preview_->fontDesc,
                                                                        CurrentLayout(), inputText};
  ShowNotice(staleNotice_, stale ? tr("字模数组与当前设置不符，请重新生成") : QString());
  QPalette output = palette();
  if (stale) {
    output.setColor(QPalette::Text, palette().color(QPalette::Disabled, QPalette::Text));
  }
  outputEdit_->setPalette(output);
}

void CFontTempDlg::OnInputChanged() {
  DoDataExchange(true);
  preview_->previewText = inputText;
  preview_->update();
  UpdateNotices();
}

void CFontTempDlg::OnGenerateGlyphs() {
  DoDataExchange(true);
  preview_->previewText = inputText;
  preview_->update();

  const std::size_t b = static_cast<std::size_t>(BytesPerGlyph(CurrentLayout()));
  const std::u16string text = inputText.toStdU16String();
  std::vector<std::uint8_t> glyphs(text.size() * b, 0);
  for (std::size_t k = 0; k < text.size(); ++k) {
    // Each UTF-16 code unit is one glyph, surrogate halves included.
    ModelChar(text[k], std::span(glyphs).subspan(k * b, b));
  }
  outputText = QString::fromStdString(FormatGlyphArray(glyphs, static_cast<int>(b)));
  arraySettings_ = ArraySettings{preview_->fontDesc, CurrentLayout(), inputText};
  DoDataExchange(false);
  UpdateNotices();
}

void CFontTempDlg::OnCopyGlyphs() {
  DoDataExchange(true);
  QApplication::clipboard()->setText(outputText);
}

// The characters of a product's texts, each once in the code order of the
// chosen set, as `zentora-cli glyphs --text-file` models them.
void CFontTempDlg::OnReadTextFile() {
  DoDataExchange(true);
  FileDialogRequest ask;  // an open-file dialog
  ask.title = tr("从文件读入");
  ask.directory = workingFolder;
  ask.filter = tr("文本文件(*.txt);;所有文件(*)");
  const QStringList chosen = AskFileDialog(this, ask);
  if (chosen.isEmpty()) {
    return;
  }
  const Result<std::u16string> text = ReadGlyphTextFile(PathFromText(chosen.first()));
  if (!text) {
    ShowAppMessage(this, QString::fromStdString(text.error()));
    return;
  }
  const CharsetKind charset = CurrentCharset();
  const GlyphSelection selection = SelectGlyphCharacters(text.value(), charset);
  inputText = QString::fromStdU16String({selection.characters.begin(), selection.characters.end()});
  DoDataExchange(false);
  OnInputChanged();
  if (!selection.unencodable.empty()) {
    ShowAppMessage(
        this, QString::fromStdString(UnencodableCharactersLine(selection.unencodable, charset)));
  }
}

void CFontTempDlg::OnGenerateLibrary() {
  if (generating_) {
    // One file at a time: a second request would otherwise wait unseen
    // behind the first, or replace it.
    ShowAppMessage(this, tr("字库正在生成，请等它完成后再试！"));
    return;
  }
  DoDataExchange(true);
  FileDialogRequest ask;
  ask.kind = FileDialogRequest::Kind::SaveFile;
  ask.title = tr("生成字库");
  ask.directory = workingFolder;
  ask.fileName = tr("字库");
  ask.filter = tr("字库(*.bin)");
  ask.defaultSuffix = QStringLiteral("bin");
  ask.confirmOverwrite = true;
  const QStringList chosen = AskFileDialog(this, ask);
  if (chosen.isEmpty()) {
    return;
  }
  // The worker gets its own copy of everything it uses, so the dialog may
  // change while it runs: one font, cell and packing for the whole file.
  generating_ = true;
  libraryPath_ = chosen.first();
  libraryWorker_->Request(
      {preview_->fontDesc, CurrentLayout(), CurrentCharset(), PathFromText(chosen.first())});
}

void CFontTempDlg::LibraryFinished(const Outcome& outcome) {
  generating_ = false;
  if (outcome.failed()) {
    ShowAppMessage(this, QString::fromStdString(outcome.message()));
  } else if (outcome.done()) {
    Q_EMIT OutcomeLine(tr("字库已生成：%1").arg(libraryPath_));
  }
}

}  // namespace zentora
