#include "font/font_temp_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "app/zentora_dlg.h"
#include "base/exclusive_file.h"
#include "font/font_catalog.h"
#include "font/font_explorer_dlg.h"
#include "font/font_preview_ctrl.h"
#include "font/glyph_model.h"
#include "font/glyph_renderer.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/shell_dialogs.h"

namespace zentora {

namespace {

using Bytes = std::vector<std::uint8_t>;
using Id = CFontTempDlg::ControlId;
using ViewerId = CFontExplorerDlg::ControlId;
using Pixels = QSet<QPair<int, int>>;

template <typename T>
T* Control(const QWidget& dialog, int id) {
  return FindControl<T>(&dialog, id);
}

CFontPreviewCtrl& Preview(const CFontTempDlg& dialog) {
  return *Control<CFontPreviewCtrl>(dialog, Id::IDC_PREVIEW);
}

// Every glyph pixel's 6 × 6 square black or white as the renderer draws ch,
// and grey beyond the grid.
bool PreviewShows(CFontPreviewCtrl& preview, char16_t ch) {
  const QImage shown = preview.grab().toImage();
  const CellBitmap cell = RenderChar(preview.fontDesc, preview.cellWidth, preview.cellHeight, ch);
  for (int y = 0; y < cell.height; ++y) {
    for (int x = 0; x < cell.width; ++x) {
      if (shown.pixelColor(6 * x + 3, 6 * y + 3) != (cell.IsSet(x, y) ? Qt::black : Qt::white)) {
        return false;
      }
    }
  }
  return shown.pixelColor(6 * cell.width + 1, 6 * cell.height + 1) == QColor(150, 150, 150);
}

QString ExpectedArray(const CFontPreviewCtrl& preview, const GlyphLayout& layout,
                      const QString& text) {
  CGlyphRenderer renderer;
  return QString::fromStdString(FormatGlyphArray(
      ModelText(renderer, preview.fontDesc, layout, text.toStdU16String()), BytesPerGlyph(layout)));
}

class CShowCounter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    shows += event->type() == QEvent::Show;
    return QObject::eventFilter(watched, event);
  }
  int shows = 0;
};

// The texts of the glyph dialog's notices that show.
QStringList Notices(const CFontTempDlg& dialog) {
  QStringList shown;
  for (const int id : {Id::IDC_SIZE_NOTICE, Id::IDC_MISSING_NOTICE, Id::IDC_STALE_NOTICE}) {
    if (const auto* notice = Control<QLabel>(dialog, id); notice->isVisible()) {
      shown << notice->text();
    }
  }
  return shown;
}

Bytes ReadFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Counts the cells a list asks to be painted.
class CCountingPainter final : public IDrawCell {
 public:
  void DrawCell(QPainter&, int row, int, QRect) override {
    ++cells;
    lastRow = std::max(lastRow, row);
  }
  int cells = 0;
  int lastRow = -1;
};

CFontListCtrl& Table(const CFontExplorerDlg& viewer) {
  return *Control<CFontListCtrl>(viewer, ViewerId::IDC_TABLE);
}

// The black pixels of one cell painted into a white 50 × 50 square.
Pixels PaintedCell(CFontExplorerDlg& viewer, int row, int column) {
  QImage image(50, 50, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    viewer.DrawCell(painter, row, column, QRect(0, 0, 50, 50));
  }
  Pixels black;
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 50; ++x) {
      if (image.pixelColor(x, y) == Qt::black) {
        black.insert({x, y});
      }
    }
  }
  return black;
}

}  // namespace

// The glyph dialog with its library generation, and the viewer.
class FontDialogsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir root_;
  QStringList messages_;
  QList<FileDialogRequest> asked_;
  QString answer_;

  QString Path(const char* name) const { return root_.filePath(QString::fromUtf8(name)); }

  static void Show(CFontTempDlg& dialog) {
    dialog.show();
    dialog.InitFontList();
  }

  static void Generate(CFontTempDlg& dialog, const QString& text) {
    Control<QLineEdit>(dialog, Id::IDC_INPUT)->setText(text);
    Control<QPushButton>(dialog, Id::IDC_GENERATE_GLYPHS)->click();
  }

  // "生成字库..." to answer_, until its outcome is in (the limit only
  // guards against a hang).
  static bool GenerateLibrary(CFontTempDlg& dialog) {
    Control<QPushButton>(dialog, Id::IDC_GENERATE_LIBRARY)->click();
    return QTest::qWaitFor([&] { return !dialog.IsGeneratingLibrary(); }, 60000);
  }

  void Open(CFontExplorerDlg& viewer, const QString& path) {
    answer_ = path;
    Control<QPushButton>(viewer, ViewerId::IDC_OPEN_LIBRARY)->click();
  }

 private Q_SLOTS:
  void initTestCase() {
    // 3072 bytes: 4 rows of 48-byte glyphs or 6 of 32-byte ones. Glyph 0
    // has two pixels set, glyph 1 all of them.
    std::string glyphs(3072, '\0');
    glyphs[0] = '\x80';
    glyphs[2] = '\x01';
    std::fill(glyphs.begin() + 48, glyphs.begin() + 96, '\xFF');
    std::ofstream(Path("wide.bin").toStdString(), std::ios::binary) << glyphs;
    std::ofstream(Path("gb2312.bin").toStdString(), std::ios::binary) << std::string(282752, '\0');
  }

  void init() {
    messages_.clear();
    asked_.clear();
    answer_.clear();
    SetAppMessageResponder([this](const AppMessage& message) {
      messages_ << message.text;
      return QMessageBox::Ok;
    });
    SetFileDialogResponder([this](const FileDialogRequest& request) {
      asked_ << request;
      return answer_.isEmpty() ? QStringList{} : QStringList{answer_};
    });
  }

  void cleanup() {
    SetAppMessageResponder({});
    SetFileDialogResponder({});
  }

  void firstShowSelectsTheDefaults() {
    CFontTempDlg dialog;
    auto* fonts = Control<QComboBox>(dialog, Id::IDC_FONT_LIST);
    QCOMPARE(fonts->count(), 0);
    QCOMPARE(Control<QComboBox>(dialog, Id::IDC_FONT_SIZE)->currentIndex(), -1);
    Show(dialog);
    QCOMPARE(fonts->count(), qsizetype(InstalledFontNames().size()));
    QCOMPARE(fonts->currentText().toStdString(), DefaultFontName().value_or("none"));
    for (auto [id, text] : {std::pair{Id::IDC_FONT_SIZE, "16"},
                            {Id::IDC_CHARSET, "GB2312"},
                            {Id::IDC_GLYPH_SIZE, "16"}}) {
      QCOMPARE(Control<QComboBox>(dialog, id)->currentText(), QString::fromUtf8(text));
    }
    QVERIFY(Control<QRadioButton>(dialog, Id::IDC_HORIZONTAL)->isChecked());
    QVERIFY(Control<QCheckBox>(dialog, Id::IDC_BIT7_FIRST)->isChecked());
    QVERIFY(!Control<QCheckBox>(dialog, Id::IDC_MONOCHROME)->isChecked());
    QCOMPARE(Control<QLineEdit>(dialog, Id::IDC_INPUT)->text(), QStringLiteral("在此输入文字"));
    QVERIFY(Control<QPlainTextEdit>(dialog, Id::IDC_OUTPUT)->toPlainText().isEmpty());
    QVERIFY(Control<QProgressBar>(dialog, Id::IDC_PROGRESS)->isHidden());
    CFontPreviewCtrl& preview = Preview(dialog);
    QCOMPARE(preview.fontDesc, (FontDesc{*DefaultFontName(), 16, kGb2312Charset, {}}));
    QCOMPARE(QSize(preview.cellWidth, preview.cellHeight), QSize(16, 16));
    QVERIFY(PreviewShows(preview, u'在'));
    QVERIFY(!PreviewShows(preview, u'中'));
    // Black and white reaches the preview as the box is ticked.
    Control<QCheckBox>(dialog, Id::IDC_MONOCHROME)->setChecked(true);
    QVERIFY(preview.fontDesc.monochrome);
  }

  void theMenuShowsOneWindowAndKeepsItsSelections() {
    CZentoraDlg window(nullptr, root_.filePath("default").toStdString());
    window.Action(ID_GLYPH_MODELLING)->trigger();
    auto* dialog = window.findChild<CFontTempDlg*>();
    auto* fonts = Control<QComboBox>(*dialog, Id::IDC_FONT_LIST);
    const int last = fonts->count() - 1;
    fonts->setCurrentIndex(last);
    Control<QComboBox>(*dialog, Id::IDC_FONT_SIZE)->setCurrentIndex(0);
    Control<QComboBox>(*dialog, Id::IDC_CHARSET)->setCurrentIndex(0);
    dialog->hide();

    window.Action(ID_GLYPH_MODELLING)->trigger();
    QCOMPARE(window.findChildren<CFontTempDlg*>().size(), 1);
    QVERIFY(dialog->isVisible());
    QCOMPARE(fonts->count(), last + 1);
    QCOMPARE(Preview(*dialog).fontDesc,
             (FontDesc{fonts->itemText(last).toStdString(), 8, kAnsiCharset, {}}));
  }

  void generatesOneLineOfItemsPerCharacter_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("bit7First");
    QTest::addColumn<int>("cellIndex");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty") << QString() << true << true << 1 << "中";
    QTest::newRow("three at 16") << "A中b" << true << true << 1 << "A";
    QTest::newRow("vertical, bit 0 first, 48") << "在F" << false << false << 5 << "在";
  }

  void generatesOneLineOfItemsPerCharacter() {
    QFETCH(QString, text);
    QFETCH(bool, horizontal);
    QFETCH(bool, bit7First);
    QFETCH(int, cellIndex);
    QFETCH(QString, shown);
    CFontTempDlg dialog;
    Show(dialog);
    Control<QComboBox>(dialog, Id::IDC_GLYPH_SIZE)->setCurrentIndex(cellIndex);
    Control<QRadioButton>(dialog, horizontal ? Id::IDC_HORIZONTAL : Id::IDC_VERTICAL)->click();
    Control<QCheckBox>(dialog, Id::IDC_BIT7_FIRST)->setChecked(bit7First);
    Generate(dialog, text);

    const int cell = GlyphExtentOfIndex(cellIndex);
    const QStringList lines = dialog.outputText.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), text.size() + 2);
    QCOMPARE(lines.first(), QStringLiteral("char data[]={"));
    QCOMPARE(lines.last(), QStringLiteral("};"));
    const QRegularExpression items(
        QStringLiteral("^    (0x[0-9A-F]{2},){%1}$").arg(cell * cell / 8));
    for (int i = 1; i <= text.size(); ++i) {
      QVERIFY2(items.match(lines[i]).hasMatch(), qPrintable(lines[i]));
    }
    QCOMPARE(dialog.outputText,
             ExpectedArray(Preview(dialog), {cell, cell, horizontal, bit7First}, text));
    QCOMPARE(Control<QPlainTextEdit>(dialog, Id::IDC_OUTPUT)->toPlainText(),
             QString(dialog.outputText).replace("\r\n", "\n"));
    QVERIFY(PreviewShows(Preview(dialog), shown.at(0).unicode()));
  }

  void packingAndTypingWaitForTheNextGeneration() {
    CFontTempDlg dialog;
    Show(dialog);
    Generate(dialog, QStringLiteral("在F"));
    const QString before = dialog.outputText;
    const QImage shown = Preview(dialog).grab().toImage();
    Control<QRadioButton>(dialog, Id::IDC_VERTICAL)->click();
    Control<QCheckBox>(dialog, Id::IDC_BIT7_FIRST)->click();
    QCOMPARE(dialog.outputText, before);
    QCOMPARE(Preview(dialog).grab().toImage(), shown);

    auto* input = Control<QLineEdit>(dialog, Id::IDC_INPUT);
    input->clear();
    QTest::keyClicks(input, QStringLiteral("W"));
    QVERIFY(PreviewShows(Preview(dialog), u'W'));
    QCOMPARE(dialog.outputText, before);

    // "复制字模" copies the whole array as it stands, CR LF line ends and all.
    Control<QPushButton>(dialog, Id::IDC_COPY_GLYPHS)->click();
    QCOMPARE(QApplication::clipboard()->text(), before);
  }

  // "从文件读入..." puts each character of the file in the field once, in the
  // set's code order, and says which the set lacks or why the file was not
  // read.
  void readsTheCharactersOfATextFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("charset");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("message");
    QTest::newRow("GB2312") << QByteArray("\xEF\xBB\xBF温度 25℃\r\n温度한\n") << 1
                            << QStringLiteral(" 25℃度温")
                            << QStringLiteral("字符集 GB2312 中没有这些字符，未取模：한");
    QTest::newRow("ASCII") << QByteArray("b\tA b") << 0 << QStringLiteral(" Ab") << QString();
    QTest::newRow("not UTF-8") << QByteArray("\xFF\xFE") << 1 << QStringLiteral("在此输入文字")
                               << QStringLiteral("无法读取文本文件：%1（不是 UTF-8 文本）");
  }

  void readsTheCharactersOfATextFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, charset);
    QFETCH(QString, field);
    QFETCH(QString, message);
    answer_ = Path("strings.txt");
    std::ofstream(answer_.toStdString(), std::ios::binary) << bytes.toStdString();
    CFontTempDlg dialog;
    Show(dialog);
    Control<QComboBox>(dialog, Id::IDC_CHARSET)->setCurrentIndex(charset);
    Control<QPushButton>(dialog, Id::IDC_READ_TEXT_FILE)->click();
    QCOMPARE(asked_.size(), 1);
    QCOMPARE(asked_[0].kind, FileDialogRequest::Kind::OpenFile);
    QCOMPARE(Control<QLineEdit>(dialog, Id::IDC_INPUT)->text(), field);
    QCOMPARE(Preview(dialog).previewText, field);
    QCOMPARE(messages_, message.isEmpty() ? QStringList()
                                          : QStringList{QString(message).replace("%1", answer_)});
  }

  // Every change leaves the array built before stale; some have more to say.
  void noticesSayWhatThePreviewAndTheArrayDoNot_data() {
    QTest::addColumn<int>("control");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QStringList>("notices");
    const QStringList over{"字号大于字模尺寸，字形会被裁切"};
    QTest::newRow("font") << int(Id::IDC_FONT_LIST) << "DejaVu Sans"
                          << QStringList{"字体缺少这些字符的字形：中文"};
    QTest::newRow("size") << int(Id::IDC_FONT_SIZE) << "18" << over;
    QTest::newRow("cell") << int(Id::IDC_GLYPH_SIZE) << "8" << over;
    QTest::newRow("text") << int(Id::IDC_INPUT) << "文" << QStringList();
    QTest::newRow("vertical") << int(Id::IDC_VERTICAL) << "" << QStringList();
    QTest::newRow("bit order") << int(Id::IDC_BIT7_FIRST) << "" << QStringList();
  }

  void noticesSayWhatThePreviewAndTheArrayDoNot() {
    QFETCH(int, control);
    QFETCH(QString, choice);
    QFETCH(QStringList, notices);
    CFontTempDlg dialog;
    Show(dialog);
    Generate(dialog, QStringLiteral("中文"));
    QCOMPARE(Notices(dialog), QStringList());
    if (auto* list = Control<QComboBox>(dialog, control)) {
      list->setCurrentText(choice);
    } else if (auto* input = Control<QLineEdit>(dialog, control)) {
      input->setText(choice);
    } else {
      Control<QAbstractButton>(dialog, control)->click();
    }
    QCOMPARE(Notices(dialog), notices + QStringList{"字模数组与当前设置不符，请重新生成"});
    auto* output = Control<QPlainTextEdit>(dialog, Id::IDC_OUTPUT);
    const QColor ink = dialog.palette().color(QPalette::Text);
    QVERIFY(output->palette().color(QPalette::Text) != ink);
    Control<QPushButton>(dialog, Id::IDC_GENERATE_GLYPHS)->click();
    QCOMPARE(Notices(dialog), notices);
    QCOMPARE(output->palette().color(QPalette::Text), ink);
  }

  void generatesALibraryOfTheSetsLength_data() {
    QTest::addColumn<int>("charset");
    QTest::addColumn<int>("cellIndex");
    QTest::addColumn<qint64>("length");
    // Black and white from outlines: the default font has no strike of 24.
    QTest::addColumn<QString>("fontSize");
    QTest::addColumn<bool>("monochrome");
    QTest::newRow("ASCII 16") << 0 << 1 << qint64(4096) << "16" << false;
    QTest::newRow("ASCII 48, mono") << 0 << 5 << qint64(36864) << "24" << true;
    QTest::newRow("GB2312 8") << 1 << 0 << qint64(70688) << "16" << false;
  }

  void generatesALibraryOfTheSetsLength() {
    QFETCH(int, charset);
    QFETCH(int, cellIndex);
    QFETCH(qint64, length);
    QFETCH(QString, fontSize);
    QFETCH(bool, monochrome);
    CFontTempDlg dialog;
    Show(dialog);
    Control<QComboBox>(dialog, Id::IDC_FONT_SIZE)->setCurrentText(fontSize);
    Control<QComboBox>(dialog, Id::IDC_CHARSET)->setCurrentIndex(charset);
    Control<QComboBox>(dialog, Id::IDC_GLYPH_SIZE)->setCurrentIndex(cellIndex);
    Control<QRadioButton>(dialog, Id::IDC_VERTICAL)->click();
    Control<QCheckBox>(dialog, Id::IDC_MONOCHROME)->setChecked(monochrome);
    answer_ = root_.filePath(QStringLiteral("字库-%1.bin").arg(QTest::currentDataTag()));
    auto* progress = Control<QProgressBar>(dialog, Id::IDC_PROGRESS);
    CShowCounter shown;
    progress->installEventFilter(&shown);
    QSignalSpy positions(progress, &QProgressBar::valueChanged);
    QSignalSpy outcomeLines(&dialog, &CFontTempDlg::OutcomeLine);
    QVERIFY(GenerateLibrary(dialog));
    QCOMPARE(outcomeLines.size(), 1);
    QCOMPARE(outcomeLines[0][0].toString(), "字库已生成：" + answer_);

    QVERIFY(messages_.isEmpty());
    const Bytes library = ReadFile(answer_);
    QCOMPARE(qint64(library.size()), length);
    QCOMPARE(shown.shows, 1);
    QVERIFY(progress->isHidden());
    QCOMPARE(positions.first().first().toInt(), 0);
    QCOMPARE(positions.last().first().toInt(), 100);
    QCOMPARE(asked_.size(), 1);
    QCOMPARE(asked_[0].kind, FileDialogRequest::Kind::SaveFile);
    QCOMPARE(asked_[0].fileName + asked_[0].filter + asked_[0].defaultSuffix,
             QStringLiteral("字库字库(*.bin)bin"));
    QVERIFY(asked_[0].confirmOverwrite);
    QCOMPARE(Preview(dialog).fontDesc.monochrome, monochrome);
    if (charset == 0) {
      // 'A' as the dialog models it at the click: vertical, bit 7 first,
      // black and white or not.
      const std::size_t b = static_cast<std::size_t>(length / 128);
      Bytes glyph(b, 0);
      dialog.ModelChar(u'A', glyph);
      QCOMPARE(Bytes(library.begin() + 0x41 * b, library.begin() + 0x42 * b), glyph);
      QVERIFY(glyph != Bytes(b, 0));
    }
  }

  void aFailedGenerationLeavesTheTargetAsItWas() {
    QTemporaryDir folder;
    answer_ = folder.filePath(QStringLiteral("held.bin"));
    std::ofstream(answer_.toStdString(), std::ios::binary) << std::string(4096, '\xAB');
    CFontExplorerDlg viewer;
    Control<QPushButton>(viewer, ViewerId::IDC_OPEN_LIBRARY)->click();
    QVERIFY(viewer.IsLibraryOpen());

    CFontTempDlg dialog;
    Show(dialog);
    Control<QComboBox>(dialog, Id::IDC_CHARSET)->setCurrentIndex(0);
    QSignalSpy outcomeLines(&dialog, &CFontTempDlg::OutcomeLine);
    QVERIFY(GenerateLibrary(dialog));
    QCOMPARE(messages_, QStringList{"操作失败，文件已被打开！"});
    QVERIFY(outcomeLines.isEmpty());
    QCOMPARE(ReadFile(answer_), Bytes(4096, 0xAB));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"held.bin"});

    // Any other failure names its reason.
    const QString held = answer_;
    answer_ = folder.filePath(QStringLiteral("no-such-folder/字库.bin"));
    QVERIFY(GenerateLibrary(dialog));
    QCOMPARE(messages_.size(), 2);
    QVERIFY2(messages_[1].startsWith(QStringLiteral("操作失败：")), qPrintable(messages_[1]));

    // Once the viewer lets go, the library is replaced.
    Control<QPushButton>(viewer, ViewerId::IDC_CLOSE_LIBRARY)->click();
    answer_ = held;
    QVERIFY(GenerateLibrary(dialog));
    QCOMPARE(messages_.size(), 2);
    QCOMPARE(ReadFile(answer_).size(), std::size_t(4096));
    QVERIFY(ReadFile(answer_) != Bytes(4096, 0xAB));
  }

  void aSecondRequestIsRefusedAndTheWorkerEndsWithTheDialog() {
    QTemporaryDir folder;
    answer_ = folder.filePath(QStringLiteral("big.bin"));
    {
      CFontTempDlg dialog;
      Show(dialog);
      Control<QComboBox>(dialog, Id::IDC_CHARSET)->setCurrentIndex(2);
      Control<QComboBox>(dialog, Id::IDC_GLYPH_SIZE)->setCurrentIndex(5);
      Control<QPushButton>(dialog, Id::IDC_GENERATE_LIBRARY)->click();
      QVERIFY(dialog.IsGeneratingLibrary());
      Control<QPushButton>(dialog, Id::IDC_GENERATE_LIBRARY)->click();
      QCOMPARE(messages_, QStringList{"字库正在生成，请等它完成后再试！"});
      QCOMPARE(asked_.size(), 1);
    }
    // The dialog's end stopped the worker: no temporary file is left, and
    // the target is absent or whole.
    const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    QVERIFY2(left.isEmpty() || left == QStringList{"big.bin"}, qPrintable(left.join(',')));
    QVERIFY(left.isEmpty() || QFileInfo(answer_).size() == 6894720);
  }

  void theAsciiLibraryShowsAUnderColumnOneOfRow0x40() {
    CFontTempDlg dialog;
    Show(dialog);
    Control<QComboBox>(dialog, Id::IDC_CHARSET)->setCurrentIndex(0);
    answer_ = Path("ascii.bin");
    QVERIFY(GenerateLibrary(dialog));

    CFontExplorerDlg viewer;
    Open(viewer, Path("ascii.bin"));
    CFontListCtrl& table = Table(viewer);
    QCOMPARE(table.RowCount(), 8);
    QCOMPARE(table.ColumnCount(), 17);
    QCOMPARE(table.ColumnCaption(0) + table.ColumnCaption(2) + table.ColumnCaption(16),
             QStringLiteral("地址115"));
    QCOMPARE(table.horizontalHeader()->sectionSize(0), 70);
    QCOMPARE(table.horizontalHeader()->sectionSize(16), 50);
    QCOMPARE(table.rowHeight(7), 50);
    QCOMPARE(GlyphRowLabel(4), QStringLiteral("0x0040"));
    QCOMPARE(GlyphRowLabel(0x1000), QStringLiteral("0x10000"));
    // 16 pixels is the label's line, not its em square.
    const QFontMetricsF labelMetrics(GlyphRowLabelFont());
    QVERIFY2(std::abs(labelMetrics.ascent() + labelMetrics.descent() - 16) <= 1,
             qPrintable(QString::number(labelMetrics.ascent() + labelMetrics.descent())));

    std::vector<std::uint8_t> glyph(32, 0);
    dialog.ModelChar(u'A', glyph);
    Pixels expected;  // about the cell's centre (25, 25): from (17, 17)
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        if (GlyphPixel(glyph, viewer.CurrentLayout(), x, y)) {
          expected.insert({17 + x, 17 + y});
        }
      }
    }
    QVERIFY(!expected.isEmpty());
    QCOMPARE(PaintedCell(viewer, 4, 2), expected);
  }

  void settingsApplyAtOnceOrAtTheNextOpen() {
    CFontExplorerDlg viewer;
    // "字模宽度" 16 and "字模高度" 24: glyphs 24 wide and 16 high.
    Control<QComboBox>(viewer, ViewerId::IDC_GLYPH_HEIGHT)->setCurrentIndex(2);
    QCOMPARE(Table(viewer).ColumnCount(), 0);
    Open(viewer, Path("wide.bin"));
    QCOMPARE(Table(viewer).RowCount(), 4);
    QCOMPARE(viewer.CurrentLayout(), (GlyphLayout{24, 16, true, true}));
    // Byte 0's bit 7 is pixel (0, 0), byte 2's bit 0 pixel (23, 0); drawn
    // from (13, 17).
    QCOMPARE(PaintedCell(viewer, 0, 1), (Pixels{{13, 17}, {36, 17}}));
    Pixels whole;
    for (int y = 17; y < 33; ++y) {
      for (int x = 13; x < 37; ++x) {
        whole.insert({x, y});
      }
    }
    QCOMPARE(PaintedCell(viewer, 0, 2), whole);

    Control<QComboBox>(viewer, ViewerId::IDC_GLYPH_HEIGHT)->setCurrentIndex(1);
    QCOMPARE(Table(viewer).RowCount(), 6);
    Control<QComboBox>(viewer, ViewerId::IDC_GLYPH_WIDTH)->setCurrentIndex(2);
    Control<QRadioButton>(viewer, ViewerId::IDC_VERTICAL)->click();
    Control<QCheckBox>(viewer, ViewerId::IDC_BIT7_FIRST)->click();
    QCOMPARE(Table(viewer).RowCount(), 4);
    // 16 wide, 24 high, vertical, bit 0 first: pixels (0, 7) and (0, 16),
    // drawn from (17, 13).
    QCOMPARE(PaintedCell(viewer, 0, 1), (Pixels{{17, 20}, {17, 29}}));
  }

  void aSizeThatDoesNotDivideTheFileIsNamed() {
    CFontExplorerDlg viewer;
    Control<QComboBox>(viewer, ViewerId::IDC_GLYPH_WIDTH)->setCurrentIndex(2);
    Control<QComboBox>(viewer, ViewerId::IDC_GLYPH_HEIGHT)->setCurrentIndex(2);
    Open(viewer, Path("wide.bin"));
    const auto* hint = Control<QLabel>(viewer, ViewerId::IDC_LENGTH_HINT);
    QVERIFY(!hint->isHidden());
    QCOMPARE(hint->text(), "文件长度 3072 字节不是 24×24 字模的整数倍；可用的字模尺寸：8、16、32");
    Control<QComboBox>(viewer, ViewerId::IDC_GLYPH_WIDTH)->setCurrentIndex(1);
    QVERIFY(hint->isHidden());
  }

  void openingAndClosingKeepTheColumnsAndReadNoClosedFile() {
    CFontExplorerDlg viewer;
    auto* close = Control<QPushButton>(viewer, ViewerId::IDC_CLOSE_LIBRARY);
    close->click();
    QCOMPARE(Table(viewer).ColumnCount(), 0);

    Open(viewer, Path("wide.bin"));
    QVERIFY(!CExclusiveFile::OpenForReading(Path("wide.bin").toStdString()).ok());
    Open(viewer, Path("gb2312.bin"));
    QCOMPARE(Table(viewer).ColumnCount(), 17);
    QCOMPARE(Table(viewer).RowCount(), 552);
    QVERIFY(CExclusiveFile::OpenForReading(Path("wide.bin").toStdString()).ok());

    Open(viewer, QString());  // cancelled: the library stays
    QVERIFY(viewer.IsLibraryOpen());
    close->click();
    QVERIFY(!viewer.IsLibraryOpen());
    QCOMPARE(Table(viewer).RowCount(), 0);
    QCOMPARE(Table(viewer).ColumnCount(), 17);

    Open(viewer, Path("wide.bin"));
    Open(viewer, Path("missing.bin"));
    QVERIFY(!viewer.IsLibraryOpen());
    QCOMPARE(Table(viewer).RowCount(), 0);
    QVERIFY(PaintedCell(viewer, 0, 1).isEmpty());
  }

  void theListPaintsOnlyTheRowsInView() {
    CCountingPainter painter;
    CFontListCtrl list;
    list.SetDrawCell(&painter);
    for (int column = 0; column < 17; ++column) {
      list.InsertColumn(QString::number(column), 50);
    }
    list.SetRowCount(23940 / 16);
    list.resize(900, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    painter = {};
    list.viewport()->repaint();
    QVERIFY(painter.cells > 0);
    QVERIFY(painter.lastRow < 7);
    QVERIFY(painter.cells <= 7 * 17);
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::FontDialogsTest)
#include "font_dialogs_test.moc"
