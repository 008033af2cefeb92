#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "base/outcome.h"
#include "font/charset.h"
#include "font/font_desc.h"
#include "font/glyph_layout.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace zentora {

class CDialogUnits;
class CFontPreviewCtrl;
class CLibraryWorker;
class CQueuedStatusSink;

// "字库取模": renders characters of an installed font into packed 1-bit
// glyphs, shows the first one enlarged, builds the C array of the input
// text, and writes whole font libraries on a worker thread of its own.
// Closing only hides it; a generation under way goes on.
class CFontTempDlg : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int {
    IDC_FONT_LIST = 1003,
    IDC_FONT_SIZE = 1004,
    IDC_CHARSET = 1005,
    IDC_OUTPUT = 1006,
    IDC_GLYPH_SIZE = 1007,
    IDC_PROGRESS = 1017,
    IDC_PREVIEW = 1029,
    IDC_INPUT = 1030,
    IDC_GENERATE_GLYPHS = 1031,
    IDC_COPY_GLYPHS = 1032,
    IDC_GENERATE_LIBRARY = 1033,
    IDC_HORIZONTAL = 1034,
    IDC_VERTICAL = 1035,
    IDC_BIT7_FIRST = 1036,
    IDC_MONOCHROME = 1040,
    IDC_SIZE_NOTICE = 1041,
    IDC_MISSING_NOTICE = 1042,
    IDC_STALE_NOTICE = 1043,
    IDC_READ_TEXT_FILE = 1044,
  };

  explicit CFontTempDlg(QWidget* parent = nullptr);
  // Stops a generation under way; its temporary file goes with it.
  ~CFontTempDlg() override;

  // The selected entries of the font and size lists; empty when none.
  QString fontName;
  QString fontSize;
  int charsetIndex = 1;
  int glyphSizeIndex = 1;
  int horizontal = 1;
  int bit7First = 1;
  // "单色点阵": glyphs drawn from outlines are hinted and black and white.
  int monochrome = 0;
  QString inputText = tr("在此输入文字");
  // The C array, with CR LF line ends.
  QString outputText;
  // Where "生成字库..." proposes to save: the project's working folder.
  QString workingFolder;

  // Fields to controls (false) or controls to fields (true).
  void DoDataExchange(bool saveAndValidate);

  // Fills the font list the first time only, then selects the defaults
  // where nothing is selected yet. The main window calls it at every show.
  void InitFontList();
  // Makes the font, size, character set and cell of the controls the
  // preview's.
  void ApplyFontSettings();
  // Sets in dest the bits of ch's glyph, drawn by the preview's font and
  // cell, packed as the controls last read say.
  void ModelChar(char16_t ch, std::span<std::uint8_t> dest);

  // From an accepted "生成字库..." until its outcome has been shown.
  bool IsGeneratingLibrary() const { return generating_; }

 Q_SIGNALS:
  // A line for the main window's output list once a library is written.
  void OutcomeLine(const QString& line);

 private:
  void CreateControls();
  void CreateSettingsGroup(const CDialogUnits& du);
  void CreatePackingGroup(const CDialogUnits& du);
  void CreateTextControls(const CDialogUnits& du);
  void CreateNotices(const CDialogUnits& du);
  void SetTabOrder();
  void BindControls();
  void OnInputChanged();
  void OnGenerateGlyphs();
  void OnCopyGlyphs();
  void OnReadTextFile();
  void OnGenerateLibrary();

  GlyphLayout CurrentLayout() const;
  CharsetKind CurrentCharset() const;
  // Shows what the preview and the C array cannot: a font size that
  // overflows the cell, characters the font lacks, and an array built
  // under other settings than the controls now hold.
  void UpdateNotices();
  void LibraryFinished(const Outcome& outcome);

  QComboBox* fontList_ = nullptr;
  QComboBox* sizeList_ = nullptr;
  QComboBox* charsetList_ = nullptr;
  QComboBox* glyphSizeList_ = nullptr;
  QRadioButton* horizontalButton_ = nullptr;
  QRadioButton* verticalButton_ = nullptr;
  QCheckBox* bit7FirstBox_ = nullptr;
  QCheckBox* monochromeBox_ = nullptr;
  QLineEdit* inputEdit_ = nullptr;
  QPlainTextEdit* outputEdit_ = nullptr;
  CFontPreviewCtrl* preview_ = nullptr;
  QPushButton* generateGlyphsButton_ = nullptr;
  QPushButton* copyGlyphsButton_ = nullptr;
  QPushButton* readTextFileButton_ = nullptr;
  QPushButton* generateLibraryButton_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* sizeNotice_ = nullptr;
  QLabel* missingNotice_ = nullptr;
  QLabel* staleNotice_ = nullptr;

  // Everything the C array in the output box was built from; none until
  // "生成字模" first runs.
  struct ArraySettings {
    FontDesc font;
    GlyphLayout layout;
    QString text;
    bool operator==(const ArraySettings&) const = default;
  };
  std::optional<ArraySettings> arraySettings_;

  // The generation: the interface thread hands one request at a time to the
  // worker, which reports progress through the sink and its outcome as a
  // queued call back on the interface thread.
  std::shared_ptr<CQueuedStatusSink> librarySink_;
  std::unique_ptr<CLibraryWorker> libraryWorker_;
  bool generating_ = false;  // interface thread only
  QString libraryPath_;      // the file of the generation under way
};

}  // namespace zentora
