#include "readback/module_preview_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

#include "base/path_text.h"
#include "readback/preview_pair_view.h"
#include "ui/control_ids.h"

namespace zentora {

namespace {

template <typename T>
T* Tagged(T* control, int id) {
  SetControlId(control, id);
  return control;
}

QString FromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

CModulePreviewDlg::CModulePreviewDlg(const ImageSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setWindowTitle(tr("模块效果预览"));
  CreateControls();
  BindControls();
  DoDataExchange(false);
  resize(900, 560);
  Refresh();
}

void CModulePreviewDlg::CreateControls() {
  auto* frame = new QVBoxLayout(this);
  auto* band = new QHBoxLayout;
  name_ = Tagged(new QLabel(this), IDC_PREVIEW_NAME);
  band->addWidget(name_, 1);
  auto* zoomLabel = new QLabel(tr("缩放(&Z)："), this);
  band->addWidget(zoomLabel);
  zoom_ = Tagged(new QComboBox(this), IDC_PREVIEW_ZOOM);
  for (const int zoom : kZooms) {
    zoom_->addItem(tr("%1 ×").arg(zoom));
  }
  zoomLabel->setBuddy(zoom_);
  band->addWidget(zoom_);
  frame->addLayout(band);

  // The captions and figures sit in two equal columns over and under the
  // two halves of the view.
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(CPreviewPairView::kGap);
  grid->addWidget(new QLabel(tr("原图（画在蓝色背景上）"), this), 0, 0);
  grid->addWidget(new QLabel(tr("模块显示"), this), 0, 1);
  pair_ = Tagged(new CPreviewPairView(this), IDC_PREVIEW_PAIR);
  grid->addWidget(pair_, 1, 0, 1, 2);
  grid->setRowStretch(1, 1);
  drawnFigures_ = Tagged(new QLabel(this), IDC_PREVIEW_DRAWN_FIGURES);
  shownFigures_ = Tagged(new QLabel(this), IDC_PREVIEW_SHOWN_FIGURES);
  shownFigures_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  grid->addWidget(drawnFigures_, 2, 0);
  grid->addWidget(shownFigures_, 2, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  frame->addLayout(grid, 1);
  transparency_ = Tagged(new QLabel(FromUtf8(TransparencyLine()), this), IDC_PREVIEW_TRANSPARENCY);
  transparency_->hide();
  frame->addWidget(transparency_);
}

void CModulePreviewDlg::BindControls() {
  connect(zoom_, &QComboBox::currentIndexChanged, this, &CModulePreviewDlg::OnZoomChanged);
}

void CModulePreviewDlg::DoDataExchange(bool saveAndValidate) {
  if (saveAndValidate) {
    zoomIndex = zoom_->currentIndex();
  } else {
    zoom_->setCurrentIndex(zoomIndex);
  }
}

void CModulePreviewDlg::keyPressEvent(QKeyEvent* event) {
  // Enter has nothing to confirm here and must not close the window.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    return;
  }
  QDialog::keyPressEvent(event);
}

void CModulePreviewDlg::OnZoomChanged() {
  DoDataExchange(true);
  pair_->SetZoom(kZooms[std::clamp(zoomIndex, 0, static_cast<int>(std::size(kZooms)) - 1)]);
}

void CModulePreviewDlg::SetImageSettings(const ImageSettings& settings) {
  if (settings == settings_) {
    return;
  }
  settings_ = settings;
  Refresh();
}

void CModulePreviewDlg::SetPicture(const std::filesystem::path& path) {
  path_ = path;
  Refresh();
}

void CModulePreviewDlg::ShowFailure(const QString& text) {
  pair_->SetPictures({}, {});
  drawnFigures_->clear();
  shownFigures_->setText(text);
  transparency_->hide();
}

void CModulePreviewDlg::Refresh() {
  if (path_.empty()) {
    name_->setText(tr("未选中图片"));
    ShowFailure({});
    return;
  }
  name_->setText(tr("图片：%1").arg(TextFromPath(path_.filename())));
  const Result<std::shared_ptr<const PreviewSource>> source = sources_.Get(path_);
  if (!source) {
    ShowFailure(FromUtf8(source.error()));
    return;
  }
  const Result<ModulePreview> preview = PreviewOnModule(*source.value(), settings_);
  if (!preview) {
    ShowFailure(FromUtf8(preview.error()));
    return;
  }
  const ModulePreview& shown = preview.value();
  pair_->SetPictures(shown.drawn, shown.shown);
  drawnFigures_->setText(tr("%1 × %2 像素").arg(shown.drawn.width()).arg(shown.drawn.height()));
  shownFigures_->setText(FromUtf8(FiguresLine(shown.figures)));
  transparency_->setVisible(shown.transparent);
}

}  // namespace zentora
