#include "app/zentora_dlg.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTabBar>
#include <QVBoxLayout>

#include <system_error>

#include "app/about_dlg.h"
#include "app/web_page.h"
#include "base/path_text.h"
#include "base/translation.h"
#include "download/compile_input_check.h"
#include "download/cycle_watch.h"
#include "download/download_dlg.h"
#include "font/font_explorer_dlg.h"
#include "font/font_temp_dlg.h"
#include "image/image_gallery.h"
#include "readback/module_preview_dlg.h"
#include "readback/resource_view_dlg.h"
#include "ui/control_ids.h"
#include "ui/dialog_units.h"
#include "ui/message_box.h"
#include "ui/output_list.h"
#include "ui/queued_status_sink.h"
#include "ui/screen_fit.h"
#include "ui/shell_dialogs.h"
#include "ui/shell_services.h"
#include "ui/tool_window.h"
#include "ui/window_font.h"

namespace zentora {

namespace {

// The template's client area in dialog units.
constexpr int kClientWidthDu = 515;
constexpr int kClientHeightDu = 337;

// LayoutPages' margins, in pixels.
constexpr int kPageLeft = 200;
constexpr int kPageTop = 30;
constexpr int kPageRightMargin = 5;
constexpr int kPageBottomMargin = 20;
constexpr int kProgressHeight = 15;

// A command button's place in the template, in dialog units.
struct CommandButton {
  int id;
  int x;
  int y;
  int width;
  int height;
};

constexpr CommandButton kCommandButtons[] = {
    {IDC_ADD_PICTURES, 7, 5, 96, 22},
    {IDC_EXPORT_IMAGES, 7, 59, 96, 22},
    {IDC_COMPILE_DOWNLOAD, 7, 86, 96, 22},
    {IDC_ADD_SOUNDS, 7, 32, 96, 22},
};

QCheckBox* MakeCheckBox(QWidget* parent, const QString& caption, int id, const QRect& rect) {
  auto* box = new QCheckBox(caption, parent);
  SetControlId(box, id);
  box->setGeometry(rect);
  return box;
}

}  // namespace

std::filesystem::path CreateDefaultFolder(std::filesystem::path folder) {
  if (folder.empty()) {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    folder = PathFromText(data) / "Zentora助手";
  }
  folder = AsFolder(std::move(folder));
  // With its parents: a fresh account has no data folder yet. A failure
  // shows later, when a copy into it fails.
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return folder;
}

CZentoraDlg::CZentoraDlg(QWidget* parent, std::filesystem::path defaultFolder)
    : QDialog(parent), project_(CreateDefaultFolder(std::move(defaultFolder))), pathDialog_(this) {
  setWindowTitle(QString::fromUtf8(kAppTitle));
  setWindowIcon(QIcon(QStringLiteral(":/zentora/zentora.svg")));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setFont(WindowFont());
  OnInitDialog();
  UpdateWindowTitle();
}

CZentoraDlg::~CZentoraDlg() {
  project_.SetChangeObserver({});
  // A worker still running (the window was destroyed without closing) is
  // stopped here; the sink drops whatever it reports after this point.
  if (worker_) {
    worker_->Stop();
  }
  if (sink_) {
    sink_->Detach();
  }
}

ProjectLists CZentoraDlg::Lists() {
  return {pictureGallery_->Items(), soundGallery_->Items()};
}

QWidget* CZentoraDlg::Page(int index) const {
  switch (index) {
    case kPicturePage:
      return pictureGallery_;
    case kSoundPage:
      return soundGallery_;
    case kWebPage:
      return webView_;
    default:
      return nullptr;
  }
}

void CZentoraDlg::OnInitDialog() {
  CreateMenu();
  CreateControls();
  DoDataExchange(false);

  progress_->setRange(0, 100);
  tabs_->addTab(tr("图片资源"));
  tabs_->addTab(tr("声音资源"));
  tabs_->addTab(tr("Morvane科技"));

  pictureGallery_ = new CImageGallery(client_);
  pictureGallery_->SetDragSwitches(true, true);
  pictureGallery_->hide();
  soundGallery_ = new CImageGallery(client_);
  soundGallery_->SetDragSwitches(true, true);
  soundGallery_->hide();
  webView_ = CreateMakerPage(client_);

  {
    // The web page is the page shown at start; no change notice is wanted.
    const QSignalBlocker quiet(tabs_);
    tabs_->setCurrentIndex(kWebPage);
  }
  OnTabChanged();
  LayoutPages();
  SetTabOrder();

  sink_ = CQueuedStatusSink::Create(this,
                                    {[this] { outputList_->clear(); },
                                     [this](const QString& line) { outputList_->AppendLine(line); },
                                     [this](int position) { progress_->setValue(position); },
                                     [this](bool visible) { progress_->setVisible(visible); }});
  worker_ = std::make_unique<CBuildWorker>(sink_);
  cycleWatch_ = std::make_unique<CCycleWatch>(*worker_);
  BindCommands();
  worker_->Start();
}

void CZentoraDlg::CreateControls() {
  const CDialogUnits du = CreateClientArea();
  CreateCommandButtons(du);
  CreateImageSettings(du);
  CreateOutputArea(du);
  tabs_ = new QTabBar(client_);
  SetControlId(tabs_, IDC_TABS);
  tabs_->setDrawBase(false);
  tabs_->setGeometry(du.Rect(114, 2, 198, 13));
}

// The client area under the menu bar, at least the template's size; its
// dialog units place the controls. It scrolls inside a window that may be
// smaller, down to half the template, so that the window fits screens the
// template at a large scale does not.
CDialogUnits CZentoraDlg::CreateClientArea() {
  auto* frame = new QVBoxLayout(this);
  frame->setContentsMargins(0, 0, 0, 0);
  frame->setSpacing(0);
  frame->setMenuBar(menuBar_);
  auto* scroller = new QScrollArea(this);
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setFocusPolicy(Qt::NoFocus);
  scroller->setWidgetResizable(true);
  client_ = new QWidget;
  scroller->setWidget(client_);
  frame->addWidget(scroller);
  client_->installEventFilter(this);

  const CDialogUnits du = CDialogUnits::ForWidget(this);
  const QSize clientSize(du.X(kClientWidthDu), du.Y(kClientHeightDu));
  client_->setMinimumSize(clientSize);
  const int menuHeight = menuBar_->sizeHint().height();
  setMinimumSize(clientSize.width() / 2, clientSize.height() / 2 + menuHeight);
  const QScreen* shownOn = screen();
  setGeometry(PlaceOnScreen(QSize(clientSize.width(), clientSize.height() + menuHeight),
                            shownOn->availableGeometry(),
                            GuessedWindowFrame(shownOn->devicePixelRatio())));
  return du;
}

// Each button shows the caption of its command, whose action it triggers.
void CZentoraDlg::CreateCommandButtons(const CDialogUnits& du) {
  for (const CommandButton& place : kCommandButtons) {
    buttons_.insert(place.id, MakeButton(client_, Action(place.id)->text(), place.id,
                                         du.Rect(place.x, place.y, place.width, place.height)));
  }
}

void CZentoraDlg::CreateImageSettings(const CDialogUnits& du) {
  auto* group = new QGroupBox(tr("图像设置"), client_);
  group->setGeometry(du.Rect(6, 120, 97, 91));
  colorDepth_ = new QComboBox(client_);
  SetControlId(colorDepth_, IDC_COLOR_DEPTH);
  colorDepth_->addItems({tr("16位(RGB565)"), tr("24位(RGB)")});
  // The template's 60 units hold "16位(RGB565)" in the narrow glyphs of its
  // own font; the substitutes here are wider, so the list reaches to the
  // group's frame and its text is a point smaller.
  const QRect depthRect = du.Rect(40, 135, 62, 12);
  QFont depthFont = font();
  depthFont.setPointSizeF(depthFont.pointSizeF() - 1);
  colorDepth_->setFont(depthFont);
  colorDepth_->setGeometry(depthRect.x(), depthRect.y() - 2, depthRect.width(),
                           std::max(depthRect.height(), colorDepth_->sizeHint().height()));
  (new QLabel(tr("色彩深度"), client_))->setGeometry(du.Rect(8, 138, 31, 8));

  // Dithering only has low bits to make up for at 16 bits.
  dither_ = new QComboBox(client_);
  SetControlId(dither_, IDC_DITHER);
  dither_->addItems({tr("不抖动"), tr("有序抖动"), tr("误差扩散")});
  dither_->setFont(depthFont);
  const QRect ditherRect = du.Rect(40, 149, 62, 12);
  dither_->setGeometry(ditherRect.x(), ditherRect.y() - 2, ditherRect.width(),
                       std::max(ditherRect.height(), dither_->sizeHint().height()));
  (new QLabel(tr("抖动"), client_))->setGeometry(du.Rect(8, 152, 31, 8));
  connect(colorDepth_, &QComboBox::currentIndexChanged, dither_,
          [this](int depth) { dither_->setEnabled(depth == 0); });

  // The four switches stand closer than the template's 14 units to leave
  // the dither its row.
  msbFirst_ =
      MakeCheckBox(client_, tr("高字节在前    MSB"), IDC_MSB_FIRST, du.Rect(8, 164, 81, 10));
  rowRightToLeft_ =
      MakeCheckBox(client_, tr("行从右至左扫描 ←"), IDC_ROW_RIGHT_TO_LEFT, du.Rect(8, 176, 79, 10));
  columnBottomToTop_ = MakeCheckBox(client_, tr("列从下至上扫描 ↑"), IDC_COLUMN_BOTTOM_TO_TOP,
                                    du.Rect(8, 188, 79, 10));
  columnFirst_ =
      MakeCheckBox(client_, tr("列优先扫描    |||"), IDC_COLUMN_FIRST, du.Rect(8, 200, 81, 10));
}

void CZentoraDlg::CreateOutputArea(const CDialogUnits& du) {
  (new QLabel(tr("输出信息"), client_))->setGeometry(du.Rect(7, 223, 31, 8));
  outputList_ = new COutputList(client_);
  SetControlId(outputList_, IDC_OUTPUT_LIST);
  outputListRect_ = du.Rect(6, 235, 97, 87);
  templateClientHeight_ = du.Y(kClientHeightDu);
  outputList_->setGeometry(outputListRect_);

  progress_ = new QProgressBar(client_);
  SetControlId(progress_, IDC_PROGRESS);
  progress_->setTextVisible(false);
  progress_->setGeometry(du.Rect(114, 325, 395, 10));
  progress_->hide();
}

// The keyboard follows the layout: the left column top to bottom, then the
// tabs and the page they show (the hidden pages are passed over).
void CZentoraDlg::SetTabOrder() {
  const QList<QWidget*> order = {buttons_.value(IDC_ADD_PICTURES),
                                 buttons_.value(IDC_ADD_SOUNDS),
                                 buttons_.value(IDC_EXPORT_IMAGES),
                                 buttons_.value(IDC_COMPILE_DOWNLOAD),
                                 colorDepth_,
                                 dither_,
                                 msbFirst_,
                                 rowRightToLeft_,
                                 columnBottomToTop_,
                                 columnFirst_,
                                 outputList_,
                                 tabs_,
                                 pictureGallery_,
                                 soundGallery_,
                                 webView_};
  for (qsizetype i = 1; i < order.size(); ++i) {
    QWidget::setTabOrder(order[i - 1], order[i]);
  }
}

void CZentoraDlg::DoDataExchange(bool saveAndValidate) {
  if (saveAndValidate) {
    settings_.colorDepth = std::max(0, colorDepth_->currentIndex());
    settings_.dither =
        settings_.colorDepth == 0 ? static_cast<Dither>(dither_->currentIndex()) : Dither::kNone;
    settings_.msbFirst = msbFirst_->isChecked();
    settings_.rowRightToLeft = rowRightToLeft_->isChecked();
    settings_.columnBottomToTop = columnBottomToTop_->isChecked();
    settings_.columnFirst = columnFirst_->isChecked();
  } else {
    colorDepth_->setCurrentIndex(settings_.colorDepth);
    dither_->setCurrentIndex(static_cast<int>(settings_.dither));
    msbFirst_->setChecked(settings_.msbFirst);
    rowRightToLeft_->setChecked(settings_.rowRightToLeft);
    columnBottomToTop_->setChecked(settings_.columnBottomToTop);
    columnFirst_->setChecked(settings_.columnFirst);
  }
}

void CZentoraDlg::LayoutPages() {
  if (pictureGallery_ == nullptr) {
    return;
  }
  const int width = client_->width();
  const int height = client_->height();
  const QRect page(QPoint(kPageLeft, kPageTop),
                   QPoint(width - kPageRightMargin - 1, height - kPageBottomMargin - 1));
  for (QWidget* widget :
       {static_cast<QWidget*>(pictureGallery_), static_cast<QWidget*>(soundGallery_), webView_}) {
    widget->setGeometry(page);
  }
  progress_->setGeometry(QRect(QPoint(kPageLeft, height - kProgressHeight),
                               QPoint(width - kPageRightMargin - 1, height - 1)));
  // The list keeps the template's margin below it, so it is the template's
  // at the default size and takes the rest of a taller window.
  QRect list = outputListRect_;
  list.setHeight(std::max(outputListRect_.height(),
                          outputListRect_.height() + height - templateClientHeight_));
  outputList_->setGeometry(list);
}

void CZentoraDlg::OnTabChanged() {
  const int selected = tabs_->currentIndex();
  if (selected < kPicturePage || selected > kWebPage) {
    return;
  }
  for (int index = kPicturePage; index <= kWebPage; ++index) {
    Page(index)->setVisible(index == selected);
  }
}

void CZentoraDlg::ShowPage(int index) {
  tabs_->setCurrentIndex(index);
  OnTabChanged();
}

StatusSink& CZentoraDlg::OutputSink() {
  return *sink_;
}

void CZentoraDlg::AppendOutputLine(const QString& line) {
  // Through the sink, so that the line comes after those still queued.
  sink_->AppendLine(line.toStdString());
}

void CZentoraDlg::UpdateWindowTitle() {
  const QString appTitle = QString::fromUtf8(kAppTitle);
  if (project_.ProjectFileName().empty()) {
    setWindowTitle(appTitle);
    setWindowModified(false);
    return;
  }
  const QString name = TextFromPath(std::filesystem::path(project_.ProjectFileName()).stem());
  setWindowTitle(QStringLiteral("%1[*] - %2").arg(name, appTitle));
  setWindowModified(project_.Modified() != 0);
}

void CZentoraDlg::OnProjectChanged() {
  UpdateWindowTitle();
}

void CZentoraDlg::OnToolWindowLine(const QString& line) {
  AppendOutputLine(line);
}

bool CZentoraDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize) {
    LayoutPages();
  }
  return QDialog::eventFilter(watched, event);
}

void CZentoraDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // Enter presses only the push button that has the focus; it never ends
    // the window.
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->animateClick();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void CZentoraDlg::reject() {
  // Esc goes through the close procedure like the close box.
  if (closeApproved_) {
    QDialog::reject();
  } else {
    close();
  }
}

void CZentoraDlg::closeEvent(QCloseEvent* event) {
  if (!closeApproved_) {
    if (!RunCloseProcedure()) {
      event->ignore();
      return;
    }
    closeApproved_ = true;
  }
  QDialog::closeEvent(event);
}

bool CZentoraDlg::OfferToSave() {
  if (project_.Modified() != 1) {
    return true;
  }
  const QMessageBox::StandardButton answer = ShowAppMessage(
      this, tr("文档被修改，是否保存？"), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  // A save that failed or whose path dialog was cancelled is as good as
  // Cancel: going on would lose the lists the user wanted kept.
  return answer == QMessageBox::No || (answer == QMessageBox::Yes && SaveProject());
}

bool CZentoraDlg::MayInterruptCycle() {
  closeWhenCycleEnds_ = false;
  if (worker_->IsIdle()) {
    return true;
  }
  // Closing the download window only hides it and its transfer goes on;
  // the exit is what cuts a transfer off, so the question is asked here,
  // naming what runs.
  const QString question =
      worker_->Command() == kDownloadOnly
          ? tr("正在下载，现在退出会使模块中的资源不完整。是否等待完成后退出？")
          : tr("正在编译下载，现在退出会使模块中的资源不完整。是否等待完成后退出？");
  const QMessageBox::StandardButton answer =
      ShowAppMessage(this, question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (answer != QMessageBox::Yes) {
    return answer == QMessageBox::No;
  }
  // The cycle may have ended while the question was up, its end reported to
  // nobody waiting.
  if (worker_->IsIdle()) {
    return true;
  }
  closeWhenCycleEnds_ = true;
  OutputSink().AppendLine(tr("完成后退出…（再次关闭窗口可改变选择）").toStdString());
  return false;
}

bool CZentoraDlg::RunCloseProcedure() {
  // The cycle first: after 是 the window closes later through here again,
  // and the save question is then asked once, about the lists as they are.
  if (!MayInterruptCycle() || !OfferToSave()) {
    return false;
  }
  // A transfer that hangs may outlast the wait; the worker is then let go
  // and finishes on its own without touching the window.
  worker_->Stop();
  return true;
}

void CZentoraDlg::OnNewProject() {
  if (!OfferToSave()) {
    return;
  }
  project_.Forget(Lists());
  pictureGallery_->Layout();
  soundGallery_->Layout();
}

void CZentoraDlg::OnSaveProject() {
  SaveProject();
}

void CZentoraDlg::OnSaveProjectAs() {
  // The dialog offers the project's own name and location to start from.
  if (!project_.ProjectFolder().empty()) {
    pathDialog_.projectName =
        TextFromPath(std::filesystem::path(project_.ProjectFileName()).stem());
    pathDialog_.projectLocation =
        TextFromPath(project_.ProjectFolder().parent_path().parent_path());
  }
  SaveProject(true);
}

bool CZentoraDlg::SaveProject(bool askAlways) {
  const AskProjectPath ask = [this]() -> std::optional<ProjectPathAnswer> {
    if (RunModalDialog(pathDialog_) != QDialog::Accepted) {
      return std::nullopt;
    }
    return ProjectPathAnswer{pathDialog_.projectName.toStdString(),
                             PathFromText(pathDialog_.projectLocation)};
  };
  const Outcome outcome = askAlways ? project_.SaveAs(Lists(), ask) : project_.Save(Lists(), ask);
  pictureGallery_->Layout();
  soundGallery_->Layout();
  if (outcome.failed()) {
    ShowAppMessage(this, QString::fromStdString(SaveFailureMessage(outcome)));
  } else if (outcome.done()) {
    AppendOutputLine(tr("工程已保存：%1").arg(TextFromPath(project_.ProjectFilePath())));
  }
  return outcome.done();
}

void CZentoraDlg::OnOpenProject() {
  if (!OfferToSave()) {
    return;
  }
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::OpenFile;
  request.title = tr("打开工程");
  request.fileName = QStringLiteral("*.zentoraprj");
  request.filter = tr("工程文件(*.zentoraprj)");
  const QStringList chosen = AskFileDialog(this, request);
  if (!chosen.isEmpty()) {
    OpenProjectFile(PathFromText(chosen.first()));
  }
}

bool CZentoraDlg::OpenProjectFile(const std::filesystem::path& file) {
  // A file that cannot be read changes nothing: the project and its lists
  // stay as they were.
  if (const Status opened = project_.Open(file, Lists()); !opened) {
    ShowAppMessage(this,
                   tr("无法打开工程：%1")
                       .arg(QString::fromStdString(WithReason(file.string(), opened.message()))));
    return false;
  }
  pictureGallery_->Layout();
  soundGallery_->Layout();
  return true;
}

void CZentoraDlg::OnGalleryDragged() {
  project_.SetModified();
}

void CZentoraDlg::ReportShellRequest(ShellVerb verb, const QString& target,
                                     const QString& failureText) {
  if (const Status done = PerformShellRequest(verb, target); !done) {
    // The path in full, so that it can be opened by hand.
    ShowAppMessage(
        this,
        failureText.arg(QString::fromStdString(WithReason(target.toStdString(), done.message()))));
  }
}

void CZentoraDlg::OnOpenWorkingFolder() {
  ReportShellRequest(ShellVerb::Open, TextFromPath(GetWorkingFolder()), tr("无法打开工作目录：%1"));
}

void CZentoraDlg::OnAppExit() {
  close();
}

void CZentoraDlg::OnPreviewImage() {
  const CGalleryItemList& pictures = pictureGallery_->Items();
  if (pictures.GetSelected() >= 0) {
    ReportShellRequest(ShellVerb::Open, TextFromPath(pictures.GetPath(pictures.GetSelected())),
                       tr("无法预览图片：%1"));
  }
}

void CZentoraDlg::OnEditImage() {
  const CGalleryItemList& pictures = pictureGallery_->Items();
  if (pictures.GetSelected() >= 0) {
    ReportShellRequest(ShellVerb::EditPicture,
                       TextFromPath(pictures.GetPath(pictures.GetSelected())),
                       tr("无法编辑图片：%1"));
  }
}

void CZentoraDlg::OnAbout() {
  CAboutDlg about(this);
  RunModalDialog(about);
}

void CZentoraDlg::OnMakerWebPage() {
  ReportShellRequest(ShellVerb::Open, QString::fromLatin1(kMakerAddress), tr("无法打开网页：%1"));
}

void CZentoraDlg::OnCompileDownload() {
  DoDataExchange(true);
  const std::filesystem::path output = GetWorkingFolder() / "output/";
  if (Status refused = RefuseCompileOntoInputs(output, project_.ProjectFilePath(),
                                               pictureGallery_->Items().Snapshot(),
                                               soundGallery_->Items().Snapshot());
      !refused) {
    ShowAppMessage(this, QString::fromStdString(refused.message()));
    return;
  }
  // The trigger ignores a click while a cycle runs, as the command word
  // says; otherwise it makes the output folder and snapshots the lists.
  if (worker_->TriggerCompileDownload(output, pictureGallery_->Items(), soundGallery_->Items(),
                                      settings_)) {
    cycleWatch_->Watch();
  }
}

// A tool window is placed the first time it shows: the same moment it is
// made.
void CZentoraDlg::OnDownloadResources() {
  const bool made = downloadDlg_ == nullptr;
  if (made) {
    downloadDlg_ = std::make_unique<CDownloadDlg>(worker_.get(), cycleWatch_.get(), this);
  }
  // Every use starts from the compile output, whatever was browsed before.
  downloadDlg_->resourcePath = TextFromPath(GetWorkingFolder() / "output");
  downloadDlg_->DoDataExchange(false);
  bool placed = !made;
  ShowToolWindow(*downloadDlg_, *client_, placed);
}

void CZentoraDlg::OnGlyphModelling() {
  const bool made = fontTempDlg_ == nullptr;
  if (made) {
    fontTempDlg_ = std::make_unique<CFontTempDlg>(this);
    // Made at its first use, so bound here rather than with the commands.
    connect(fontTempDlg_.get(), &CFontTempDlg::OutcomeLine, this, &CZentoraDlg::OnToolWindowLine);
  }
  fontTempDlg_->workingFolder = TextFromPath(GetWorkingFolder());
  bool placed = !made;
  ShowToolWindow(*fontTempDlg_, *client_, placed);
  fontTempDlg_->InitFontList();
}

void CZentoraDlg::OnFontLibraryViewer() {
  const bool made = fontExplorerDlg_ == nullptr;
  if (made) {
    fontExplorerDlg_ = std::make_unique<CFontExplorerDlg>(this);
  }
  bool placed = !made;
  ShowToolWindow(*fontExplorerDlg_, *client_, placed);
}

void CZentoraDlg::OnInspectResources() {
  // The viewer unpacks under the settings the controls show now.
  DoDataExchange(true);
  const bool made = inspectDlg_ == nullptr;
  if (made) {
    inspectDlg_ = std::make_unique<CInspectDlg>(settings_, this);
  }
  // Every use starts from the compile output, as the download window does.
  inspectDlg_->folderPath = TextFromPath(GetWorkingFolder() / "output");
  inspectDlg_->DoDataExchange(false);
  bool placed = !made;
  ShowToolWindow(*inspectDlg_, *client_, placed);
}

void CZentoraDlg::OnCycleStarted() {
  // A click that the worker would ignore is refused where it is seen.
  Action(IDC_COMPILE_DOWNLOAD)->setEnabled(false);
  buttons_.value(IDC_COMPILE_DOWNLOAD)->setEnabled(false);
}

void CZentoraDlg::OnCycleEnded() {
  Action(IDC_COMPILE_DOWNLOAD)->setEnabled(true);
  buttons_.value(IDC_COMPILE_DOWNLOAD)->setEnabled(true);
  if (closeWhenCycleEnds_) {
    closeWhenCycleEnds_ = false;
    close();
  }
}

void CZentoraDlg::OnModulePreview() {
  // The preview shows the settings the controls show now.
  DoDataExchange(true);
  const bool made = modulePreviewDlg_ == nullptr;
  if (made) {
    modulePreviewDlg_ = std::make_unique<CModulePreviewDlg>(settings_, this);
  }
  modulePreviewDlg_->SetImageSettings(settings_);
  // Set again even when it is the same picture: the file may have been
  // edited meanwhile.
  const CGalleryItemList& pictures = pictureGallery_->Items();
  modulePreviewDlg_->SetPicture(pictures.GetPath(pictures.GetSelected()));
  bool placed = !made;
  ShowToolWindow(*modulePreviewDlg_, *client_, placed);
}

void CZentoraDlg::OnImageSettingsChanged() {
  if (inspectDlg_ == nullptr && modulePreviewDlg_ == nullptr) {
    return;
  }
  DoDataExchange(true);
  if (inspectDlg_ != nullptr) {
    inspectDlg_->SetImageSettings(settings_);
  }
  if (modulePreviewDlg_ != nullptr) {
    modulePreviewDlg_->SetImageSettings(settings_);
  }
}

void CZentoraDlg::OnPictureSelectionChanged() {
  if (modulePreviewDlg_ != nullptr) {
    const CGalleryItemList& pictures = pictureGallery_->Items();
    modulePreviewDlg_->SetPicture(pictures.GetPath(pictures.GetSelected()));
  }
}

}  // namespace zentora
