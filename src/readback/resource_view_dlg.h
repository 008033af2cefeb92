#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stop_token>
#include <thread>

#include "image/image_settings.h"
#include "readback/resource_listing.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;

namespace zentora {

// "资源查看": reads a folder of compiled resources back. The pictures show
// as numbered thumbnails unpacked under the main window's image settings,
// the sounds as a list with their lengths, and the faults of the files below
// them. Reading and unpacking run on a worker thread with a progress bar;
// the window stays usable meanwhile. Closing only hides it.
class CInspectDlg : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int {
    IDC_INSPECT_FOLDER = 1001,
    IDC_INSPECT_BROWSE = 1002,
    IDC_INSPECT_OPEN = 1003,
    IDC_INSPECT_PICTURES = 1004,
    IDC_INSPECT_SOUNDS = 1005,
    IDC_INSPECT_FINDINGS = 1006,
    IDC_INSPECT_PROGRESS = 1007,
  };

  CInspectDlg(const ImageSettings& settings, QWidget* parent);
  ~CInspectDlg() override;

  // The folder to read.
  QString folderPath;

  // Fields to controls (false) or controls to fields (true).
  void DoDataExchange(bool saveAndValidate);

  // The main window's settings changed: the thumbnails are drawn again.
  void SetImageSettings(const ImageSettings& settings);

 Q_SIGNALS:
  // A reading, or a redraw after a settings change, has ended.
  void ReadingFinished();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Reads the folder in the field, when it is one.
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  void BindControls();
  void OnBrowse();
  void OnOpen();
  // A double click: the picture at full size beside its settings sheet.
  void OnPictureActivated(QListWidgetItem* item);

  // Starts the worker: it reads the folder again when `reread`, then unpacks
  // every thumbnail under the current settings.
  void StartWorker(bool reread);
  // The worker's body: touches no member, hands every result over by a
  // queued call tagged with its generation.
  void Work(std::stop_token stop, const std::filesystem::path& folder,
            const ImageSettings& settings, std::shared_ptr<const ResourceListing> listing,
            std::uint64_t generation);
  void ShowListing(std::shared_ptr<const ResourceListing> listing, std::uint64_t generation);
  // The listing's findings, after the one on the depth the settings disagree
  // with.
  void ShowFindings();
  void ShowThumbnail(int position, const QImage& thumbnail, std::uint64_t generation);
  void ShowProgress(int position, std::uint64_t generation);
  void FinishReading(const QString& failure, std::uint64_t generation);

  ImageSettings settings_;
  std::filesystem::path folder_;
  std::shared_ptr<const ResourceListing> listing_;
  std::uint64_t generation_ = 0;
  bool reading_ = false;

  QLineEdit* folderEdit_ = nullptr;
  QPushButton* browseButton_ = nullptr;
  QPushButton* openButton_ = nullptr;
  QListWidget* pictures_ = nullptr;
  QListWidget* sounds_ = nullptr;
  QListWidget* findings_ = nullptr;
  QProgressBar* progress_ = nullptr;

  // Declared last: it goes first, and its results never reach a window that
  // is being torn down.
  std::jthread worker_;
};

}  // namespace zentora
