#pragma once

#include <QDialog>

#include <filesystem>

#include "image/image_settings.h"
#include "readback/module_preview.h"

class QComboBox;
class QLabel;

namespace zentora {

class CPreviewPairView;

// "模块效果预览": the selected picture as drawn beside the picture as the
// module will show it at the main window's settings, enlarged together, with
// how far the two differ. It follows the settings and the selection as they
// change. Closing only hides it.
class CModulePreviewDlg : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int {
    IDC_PREVIEW_NAME = 1101,
    IDC_PREVIEW_ZOOM = 1102,
    IDC_PREVIEW_PAIR = 1103,
    IDC_PREVIEW_DRAWN_FIGURES = 1104,
    IDC_PREVIEW_SHOWN_FIGURES = 1105,
    IDC_PREVIEW_TRANSPARENCY = 1106,
  };

  // The zoom factors offered, smallest first.
  static constexpr int kZooms[] = {1, 2, 4, 8};

  CModulePreviewDlg(const ImageSettings& settings, QWidget* parent);

  // The zoom drop-down's index into kZooms.
  int zoomIndex = 0;

  // Fields to controls (false) or controls to fields (true).
  void DoDataExchange(bool saveAndValidate);

  // The main window's settings changed, or another picture was selected
  // (an empty path: none); the preview is made again at once.
  void SetImageSettings(const ImageSettings& settings);
  void SetPicture(const std::filesystem::path& path);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateControls();
  void BindControls();
  void OnZoomChanged();
  // Draws the picture again under the current settings; only a picture
  // whose file changed is decoded again.
  void Refresh();
  void ShowFailure(const QString& text);

  ImageSettings settings_;
  std::filesystem::path path_;
  CPreviewSourceCache sources_;

  QLabel* name_ = nullptr;
  QComboBox* zoom_ = nullptr;
  CPreviewPairView* pair_ = nullptr;
  QLabel* drawnFigures_ = nullptr;
  QLabel* shownFigures_ = nullptr;
  QLabel* transparency_ = nullptr;
};

}  // namespace zentora
