#pragma once

#include <QDialog>
#include <QFont>
#include <QString>

#include <cstdint>

#include "font/font_list_ctrl.h"
#include "font/glyph_layout.h"
#include "font/library_reader.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace zentora {

// The address column's text for a row: "0x%04X" of its first glyph number.
QString GlyphRowLabel(std::uint64_t row);

// The address column's font: "宋体" (or its stand-in) whose line, ascent
// plus descent, is 16 pixels high.
QFont GlyphRowLabelFont();

// "字库查看": shows a font library 16 glyphs a row, under the cell size,
// modelling and bit order the user states (the file records none of them).
// Closing only hides it; the library stays open until "关闭字库", another
// open, or the end of the program.
class CFontExplorerDlg : public QDialog, public IDrawCell {
  Q_OBJECT

 public:
  enum ControlId : int {
    IDC_TABLE = 1000,
    IDC_OPEN_LIBRARY = 1015,
    IDC_CLOSE_LIBRARY = 1017,
    IDC_HORIZONTAL = 1034,
    IDC_VERTICAL = 1035,
    IDC_BIT7_FIRST = 1036,
    IDC_GLYPH_WIDTH = 1038,
    IDC_GLYPH_HEIGHT = 1039,
    IDC_LENGTH_HINT = 1040,
  };

  static constexpr int kAddressColumnWidth = 70;
  static constexpr int kGlyphColumnWidth = 50;
  static constexpr int kRowHeight = 50;

  explicit CFontExplorerDlg(QWidget* parent = nullptr);
  // Closes the library shown.
  ~CFontExplorerDlg() override;

  int widthIndex = 1;
  int heightIndex = 1;
  int layoutChoice = 0;  // 0 横向取模, 1 纵向取模
  int bit7First = 1;

  // Fields to controls (false) or controls to fields (true).
  void DoDataExchange(bool saveAndValidate);

  // The packing the fields state; the lists' labels name the other extent.
  GlyphLayout CurrentLayout() const;
  bool IsLibraryOpen() const { return library_.IsOpen(); }

  void DrawCell(QPainter& dc, int row, int column, QRect cell) override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateControls();
  void BindControls();
  void OnOpenLibrary();
  void OnCloseLibrary();
  void OnLayoutChanged();
  void SetupColumns();
  void ShowRows();
  // Says when the file is no whole number of glyphs of the chosen size.
  void ShowLengthHint();

  CFontLibraryReader library_;
  QFont labelFont_;

  QGroupBox* band_ = nullptr;
  QPushButton* openButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  QComboBox* widthList_ = nullptr;
  QComboBox* heightList_ = nullptr;
  QRadioButton* horizontalButton_ = nullptr;
  QRadioButton* verticalButton_ = nullptr;
  QCheckBox* bit7FirstBox_ = nullptr;
  QLabel* lengthHint_ = nullptr;
  CFontListCtrl* table_ = nullptr;
};

}  // namespace zentora
