#include "readback/resource_view_dlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <system_error>
#include <utility>

#include "base/path_text.h"
#include "readback/data_file_reader.h"
#include "readback/files_depth.h"
#include "readback/picture_unpacking.h"
#include "readback/readback_output.h"
#include "readback/readback_sheets.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/shell_dialogs.h"
#include "ui/window_font.h"

namespace zentora {

namespace {

void PaintLabel(QImage& sheet, const QRect& box, std::string_view text) {
  QPainter painter(&sheet);
  painter.setFont(WindowFont());
  painter.setPen(Qt::black);
  painter.drawText(box, Qt::AlignCenter,
                   QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

// Hands a call to the window's thread; it is dropped if the window has gone.
template <typename Call>
void Post(QObject* window, Call call) {
  QMetaObject::invokeMethod(window, std::move(call), Qt::QueuedConnection);
}

template <typename T>
T* Tagged(T* control, int id) {
  SetControlId(control, id);
  return control;
}

QScrollArea* Scrolled(const QImage& image) {
  auto* label = new QLabel;
  label->setPixmap(QPixmap::fromImage(image));
  auto* area = new QScrollArea;
  area->setWidget(label);
  return area;
}

// The picture at full size beside its 16-setting sheet, in a window of its
// own that goes when closed.
void OpenPictureWindow(QWidget* parent, const QString& title, const QImage& picture,
                       const QImage& sheet) {
  auto* window = new QDialog(parent);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(title);
  auto* layout = new QHBoxLayout(window);
  // Each side gets room in proportion to its width; the window is as large
  // as both need, within the screen.
  layout->addWidget(Scrolled(picture), picture.width());
  layout->addWidget(Scrolled(sheet), sheet.width());
  const QSize wanted(picture.width() + sheet.width() + 100,
                     std::max(picture.height(), sheet.height()) + 48);
  window->resize(wanted.boundedTo(parent->screen()->availableGeometry().size() * 9 / 10));
  window->show();
}

}  // namespace

CInspectDlg::CInspectDlg(const ImageSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setWindowTitle(tr("资源查看"));
  CreateControls();
  BindControls();
  DoDataExchange(false);
  resize(760, 620);
}

CInspectDlg::~CInspectDlg() = default;

void CInspectDlg::CreateControls() {
  auto* frame = new QVBoxLayout(this);
  auto* band = new QHBoxLayout;
  band->addWidget(new QLabel(tr("资源文件夹："), this));
  folderEdit_ = Tagged(new QLineEdit(this), IDC_INSPECT_FOLDER);
  band->addWidget(folderEdit_, 1);
  browseButton_ = MakeButton(this, tr("浏览..."), IDC_INSPECT_BROWSE, QRect());
  openButton_ = MakeButton(this, tr("打开"), IDC_INSPECT_OPEN, QRect());
  band->addWidget(browseButton_);
  band->addWidget(openButton_);
  frame->addLayout(band);

  pictures_ = Tagged(new QListWidget(this), IDC_INSPECT_PICTURES);
  pictures_->setViewMode(QListView::IconMode);
  pictures_->setIconSize(QSize(kThumbnailSize, kThumbnailSize));
  pictures_->setGridSize(QSize(kThumbnailSize + 16, kThumbnailSize + 28));
  pictures_->setResizeMode(QListView::Adjust);
  pictures_->setMovement(QListView::Static);
  pictures_->setUniformItemSizes(true);
  frame->addWidget(new QLabel(tr("图片（双击查看原大与 16 种设置）："), this));
  frame->addWidget(pictures_, 3);

  sounds_ = Tagged(new QListWidget(this), IDC_INSPECT_SOUNDS);
  frame->addWidget(new QLabel(tr("声音："), this));
  frame->addWidget(sounds_, 1);
  findings_ = Tagged(new QListWidget(this), IDC_INSPECT_FINDINGS);
  frame->addWidget(new QLabel(tr("检查结果："), this));
  frame->addWidget(findings_, 1);
  progress_ = Tagged(new QProgressBar(this), IDC_INSPECT_PROGRESS);
  progress_->setRange(0, 100);
  progress_->hide();
  frame->addWidget(progress_);
}

void CInspectDlg::BindControls() {
  connect(browseButton_, &QPushButton::clicked, this, &CInspectDlg::OnBrowse);
  connect(openButton_, &QPushButton::clicked, this, &CInspectDlg::OnOpen);
  connect(pictures_, &QListWidget::itemDoubleClicked, this, &CInspectDlg::OnPictureActivated);
}

void CInspectDlg::DoDataExchange(bool saveAndValidate) {
  if (saveAndValidate) {
    folderPath = folderEdit_->text();
  } else {
    folderEdit_->setText(folderPath);
  }
}

void CInspectDlg::keyPressEvent(QKeyEvent* event) {
  // Enter in the folder field reads it; elsewhere Enter does not close.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->animateClick();
    } else if (focusWidget() == folderEdit_) {
      OnOpen();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void CInspectDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The folder in the field is read as the window opens; one that is not
  // there (nothing compiled yet) waits for "打开" to be refused.
  if (event->spontaneous()) {
    return;
  }
  DoDataExchange(true);
  const std::filesystem::path folder = PathFromText(folderPath);
  if (std::error_code error; !folder.empty() && std::filesystem::is_directory(folder, error)) {
    folder_ = folder;
    StartWorker(true);
  }
}

void CInspectDlg::OnBrowse() {
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::Folder;
  DoDataExchange(true);
  request.directory = folderPath;
  const QStringList chosen = AskFileDialog(this, request);
  if (!chosen.isEmpty() && !chosen.first().isEmpty()) {
    folderPath = chosen.first();
    DoDataExchange(false);
  }
}

void CInspectDlg::OnOpen() {
  DoDataExchange(true);
  // A refused folder leaves the one shown, and what reads from it, alone.
  const std::filesystem::path folder = PathFromText(folderPath);
  if (std::error_code error; folder.empty() || !std::filesystem::is_directory(folder, error)) {
    ShowAppMessage(this, tr("目录不存在！"));
    return;
  }
  folder_ = folder;
  StartWorker(true);
}

void CInspectDlg::SetImageSettings(const ImageSettings& settings) {
  if (settings == settings_) {
    return;
  }
  settings_ = settings;
  // Pictures are drawn again with the new settings; a folder whose listing
  // is still being read starts over, so no thumbnail keeps the old ones.
  if (listing_ || reading_) {
    StartWorker(!listing_);
  }
}

void CInspectDlg::OnPictureActivated(QListWidgetItem* item) {
  const int position = pictures_->row(item);
  if (!listing_ || position < 0 || position >= static_cast<int>(listing_->pictures.size())) {
    return;
  }
  const PictureEntry& entry = listing_->pictures[static_cast<std::size_t>(position)];
  const ImageSettings settings = ReadingForFiles(listing_->pictures, settings_).settings;
  const Result<CDataFileReader> blocks = CDataFileReader::Open(folder_ / "image.bin");
  Result<QImage> picture = blocks ? ReadPicture(blocks.value(), entry, settings) : blocks.status();
  Result<QImage> sheet =
      blocks ? ComposeSettingsSheet(blocks.value(), entry, PaintLabel) : blocks.status();
  if (!picture || !sheet) {
    ShowAppMessage(this, QString::fromStdString(picture ? sheet.error() : picture.error()));
    return;
  }
  OpenPictureWindow(this, tr("图片 %1").arg(position), picture.value(), sheet.value());
}

void CInspectDlg::StartWorker(bool reread) {
  ++generation_;
  reading_ = true;
  progress_->setValue(0);
  progress_->show();
  if (reread) {
    listing_.reset();
    pictures_->clear();
    sounds_->clear();
    findings_->clear();
  } else {
    // The depth finding follows the settings.
    ShowFindings();
  }
  // Assigning stops and joins the worker that ran before: its results carry
  // an older generation and are ignored if any are still queued.
  worker_ = std::jthread([this, folder = folder_, settings = settings_,
                          listing = reread ? nullptr : listing_,
                          generation = generation_](std::stop_token stop) {
    Work(stop, folder, settings, listing, generation);
  });
}

void CInspectDlg::Work(std::stop_token stop, const std::filesystem::path& folder,
                       const ImageSettings& settings,
                       std::shared_ptr<const ResourceListing> listing, std::uint64_t generation) {
  if (!listing) {
    Result<ResourceListing> read = ReadResourceFolder(folder);
    if (!read) {
      Post(this, [this, failure = QString::fromStdString(read.error()), generation] {
        FinishReading(failure, generation);
      });
      return;
    }
    listing = std::make_shared<const ResourceListing>(std::move(read).value());
    Post(this, [this, listing, generation] { ShowListing(listing, generation); });
  }
  const ImageSettings drawn = ReadingForFiles(listing->pictures, settings).settings;
  const Result<CDataFileReader> blocks = CDataFileReader::Open(folder / "image.bin");
  const int count = static_cast<int>(listing->pictures.size());
  int shown = -1;
  for (int i = 0; i < count; ++i) {
    if (stop.stop_requested()) {
      return;
    }
    const PictureEntry& entry = listing->pictures[static_cast<std::size_t>(i)];
    QImage thumbnail;
    if (blocks && entry.inData && !entry.IsEmpty()) {
      if (const Result<QImage> picture = ReadPicture(blocks.value(), entry, drawn)) {
        thumbnail = FitPicture(picture.value(), kThumbnailSize);
      }
    }
    const int percent = (i + 1) * 100 / count;
    Post(this, [this, i, thumbnail, percent, report = percent != shown, generation] {
      ShowThumbnail(i, thumbnail, generation);
      if (report) {
        ShowProgress(percent, generation);
      }
    });
    shown = percent;
  }
  Post(this, [this, generation] { FinishReading({}, generation); });
}

void CInspectDlg::ShowListing(std::shared_ptr<const ResourceListing> listing,
                              std::uint64_t generation) {
  if (generation != generation_) {
    return;
  }
  listing_ = std::move(listing);
  QPixmap blank(kThumbnailSize, kThumbnailSize);
  blank.fill(QColor(0xE8, 0xE8, 0xE8));
  for (const PictureEntry& entry : listing_->pictures) {
    const QString number = QString::fromStdString(NumberedName(entry.position));
    auto* item = new QListWidgetItem(QIcon(blank), entry.IsEmpty() ? number + tr(" 空") : number);
    item->setToolTip(QString::fromStdString(PictureLine(entry)));
    pictures_->addItem(item);
  }
  for (const SoundEntry& entry : listing_->sounds) {
    sounds_->addItem(QString::fromStdString(SoundLine(entry)));
  }
  ShowFindings();
}

void CInspectDlg::ShowFindings() {
  findings_->clear();
  const std::optional<Finding> depth = ReadingForFiles(listing_->pictures, settings_).finding;
  if (depth) {
    findings_->addItem(QString::fromStdString(depth->text));
  }
  for (const Finding& finding : listing_->findings) {
    findings_->addItem(QString::fromStdString(finding.text));
  }
  if (!depth && listing_->findings.empty()) {
    findings_->addItem(tr("未发现问题"));
  }
}

void CInspectDlg::ShowThumbnail(int position, const QImage& thumbnail, std::uint64_t generation) {
  QListWidgetItem* item = pictures_->item(position);
  if (generation != generation_ || item == nullptr) {
    return;
  }
  QPixmap icon(kThumbnailSize, kThumbnailSize);
  icon.fill(QColor(0xE8, 0xE8, 0xE8));
  if (!thumbnail.isNull()) {
    QPainter painter(&icon);
    painter.drawImage((kThumbnailSize - thumbnail.width()) / 2,
                      (kThumbnailSize - thumbnail.height()) / 2, thumbnail);
  }
  item->setIcon(QIcon(icon));
}

void CInspectDlg::ShowProgress(int position, std::uint64_t generation) {
  if (generation == generation_) {
    progress_->setValue(position);
  }
}

void CInspectDlg::FinishReading(const QString& failure, std::uint64_t generation) {
  if (generation != generation_) {
    return;
  }
  reading_ = false;
  progress_->hide();
  if (!failure.isEmpty()) {
    findings_->addItem(failure);
  }
  Q_EMIT ReadingFinished();
}

}  // namespace zentora
