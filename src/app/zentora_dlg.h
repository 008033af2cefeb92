#pragma once

#include <QDialog>
#include <QMap>

#include <filesystem>
#include <memory>
#include <span>

#include "download/build_worker.h"
#include "image/image_settings.h"
#include "project/project.h"
#include "project/project_path_dlg.h"
#include "ui/shell_services.h"

class QAction;
class QCheckBox;
class QComboBox;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QTabBar;

namespace zentora {

class CCycleWatch;
class CDialogUnits;
class CDownloadDlg;
class CFontExplorerDlg;
class CFontTempDlg;
class CImageGallery;
class CInspectDlg;
class CModulePreviewDlg;
class COutputList;
class CQueuedStatusSink;
class StatusSink;

// The main window: the command buttons and picture settings on the left,
// the output list, the progress bar, and three tab pages (picture gallery,
// sound gallery, the maker's page). It owns the project, the settings and
// the build-and-download worker, and runs the close procedure.
class CZentoraDlg : public QDialog {
  Q_OBJECT

 public:
  // Tab indexes.
  enum Page : int { kPicturePage = 0, kSoundPage = 1, kWebPage = 2 };

  // defaultFolder: where files go while the project has no folder; empty for
  // the user's data folder + "Zentora助手/".
  explicit CZentoraDlg(QWidget* parent = nullptr, std::filesystem::path defaultFolder = {});
  ~CZentoraDlg() override;

  CProject& Project() { return project_; }
  ProjectLists Lists();
  CImageGallery& PictureGallery() { return *pictureGallery_; }
  CImageGallery& SoundGallery() { return *soundGallery_; }
  const ImageSettings& Settings() const { return settings_; }
  CBuildWorker& Worker() { return *worker_; }
  CProjectPathDlg& PathDialog() { return pathDialog_; }
  std::filesystem::path GetWorkingFolder() const { return project_.GetWorkingFolder(); }

  // The action of a command id; menu items and buttons share it.
  QAction* Action(int id) const { return actions_.value(id); }
  QWidget* ClientArea() const { return client_; }
  QWidget* Page(int index) const;

  // Shows the page of the selected tab; called after the program changes it.
  void OnTabChanged();
  // Selects a tab from the program's side and shows its page.
  void ShowPage(int index);
  // The output list and progress bar, for work run on the interface thread.
  StatusSink& OutputSink();
  // Adds a line to the output list behind every line reported before it.
  void AppendOutputLine(const QString& line);
  // Names the project and whether it has unsaved changes: "Demo[*] - Zentora助手",
  // or the program's name alone while the project has no file.
  void UpdateWindowTitle();
  // Opens a project file as "打开工程" does once the file is chosen. A file
  // that cannot be opened is named with the reason in a message box, and the
  // project stays as it was.
  bool OpenProjectFile(const std::filesystem::path& file);
  // Places the pages and the progress bar for the client area's size.
  void LayoutPages();

  // Fields to controls (false) or controls to fields (true).
  void DoDataExchange(bool saveAndValidate);

  // Whether the close procedure has let the window go.
  bool CloseApproved() const { return closeApproved_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  // One command of the menu bar: its id (shared by the button that does the
  // same), its menu, caption and handler. The menu bar, the actions and their
  // bindings are built from the table of these.
  struct CommandRow;
  static std::span<const CommandRow> Commands();

  void OnInitDialog();
  void CreateMenu();
  void CreateControls();
  CDialogUnits CreateClientArea();
  void CreateCommandButtons(const CDialogUnits& du);
  void CreateImageSettings(const CDialogUnits& du);
  void CreateOutputArea(const CDialogUnits& du);
  void SetTabOrder();
  void BindCommands();

  void OnNewProject();
  void OnOpenProject();
  void OnSaveProject();
  void OnSaveProjectAs();
  void OnGalleryDragged();
  void OnOpenWorkingFolder();
  void OnAppExit();
  void OnPreviewImage();
  void OnEditImage();
  void OnAbout();
  void OnMakerWebPage();
  void OnCompileDownload();
  void OnDownloadResources();
  void OnGlyphModelling();
  void OnFontLibraryViewer();
  void OnInspectResources();
  void OnModulePreview();
  // A settings control changed: the resource viewer and the module preview
  // draw their pictures again.
  void OnImageSettingsChanged();
  // The module preview shows the picture selected now.
  void OnPictureSelectionChanged();
  // A cycle started or ended: the commands that start one follow, and a
  // close that waited for the end goes on.
  void OnCycleStarted();
  void OnCycleEnded();
  void OnProjectChanged();
  void OnToolWindowLine(const QString& line);
  // A command whose handler lives outside the window and acts on it.
  template <void (*Handler)(CZentoraDlg&)>
  void OnCommand() {
    Handler(*this);
  }
  // Hands a request to the desktop; a failure is shown with failureText,
  // whose %1 is the target and the reason.
  void ReportShellRequest(ShellVerb verb, const QString& target, const QString& failureText);
  bool RunCloseProcedure();
  // Asks what to do with a cycle under way. True when the window may close
  // now: no cycle, 否, or a cycle that ended while the question was up.
  bool MayInterruptCycle();
  // Saves as "保存工程" does, or as "工程另存为" with `askAlways`; true only
  // when the file was written.
  bool SaveProject(bool askAlways = false);
  // Asks whether to save a modified project, as closing and opening do.
  // True when the caller may go on: nothing to save, No, or a save that
  // succeeded.
  bool OfferToSave();

  CProject project_;
  ImageSettings settings_;
  CProjectPathDlg pathDialog_;

  QMenuBar* menuBar_ = nullptr;
  QWidget* client_ = nullptr;
  QTabBar* tabs_ = nullptr;
  CImageGallery* pictureGallery_ = nullptr;
  CImageGallery* soundGallery_ = nullptr;
  QWidget* webView_ = nullptr;
  QProgressBar* progress_ = nullptr;
  COutputList* outputList_ = nullptr;
  // The output list's place at the template's size; it grows downwards with
  // the client area.
  QRect outputListRect_;
  int templateClientHeight_ = 0;
  QComboBox* colorDepth_ = nullptr;
  QComboBox* dither_ = nullptr;
  QCheckBox* msbFirst_ = nullptr;
  QCheckBox* rowRightToLeft_ = nullptr;
  QCheckBox* columnBottomToTop_ = nullptr;
  QCheckBox* columnFirst_ = nullptr;
  QMap<int, QPushButton*> buttons_;
  QMap<int, QAction*> actions_;

  std::shared_ptr<CQueuedStatusSink> sink_;
  std::unique_ptr<CBuildWorker> worker_;
  // Reads the worker's command word; declared after it, so it goes first.
  std::unique_ptr<CCycleWatch> cycleWatch_;
  bool closeApproved_ = false;
  // 是 was answered to the question about a running cycle.
  bool closeWhenCycleEnds_ = false;

  // The modeless tool windows, made at their first use; declared after the
  // worker so that they go before it.
  std::unique_ptr<CDownloadDlg> downloadDlg_;
  std::unique_ptr<CFontTempDlg> fontTempDlg_;
  std::unique_ptr<CFontExplorerDlg> fontExplorerDlg_;
  std::unique_ptr<CInspectDlg> inspectDlg_;
  std::unique_ptr<CModulePreviewDlg> modulePreviewDlg_;
};

// The folder used while a project has none, created with its parents when
// missing: folder, or when empty the user's data folder + "Zentora助手/".
std::filesystem::path CreateDefaultFolder(std::filesystem::path folder = {});

}  // namespace zentora
