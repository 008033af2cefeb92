// The main window's commands: one row each, from which its menu bar, the
// actions its buttons share and their bindings are built.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>

#include "app/gallery_commands.h"
#include "app/picture_commands.h"
#include "app/sound_commands.h"
#include "app/zentora_dlg.h"
#include "download/cycle_watch.h"
#include "image/image_gallery.h"
#include "ui/control_ids.h"

namespace zentora {

namespace {

enum class Menu { kFile, kPictures, kSounds, kFonts, kDownload, kHelp };

// The titles and the captions below are the window's texts, translated
// where the menu is built.

const char* MenuTitle(Menu menu) {
  switch (menu) {
    case Menu::kFile:
      return QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "文件(&F)");
    case Menu::kPictures:
      return QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "图片(&E)");
    case Menu::kSounds:
      return QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "声音(&W)");
    case Menu::kFonts:
      return QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "字库(&T)");
    case Menu::kDownload:
      return QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "下载(&D)");
    case Menu::kHelp:
      return QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "帮助(&H)");
  }
  return "";
}

// Marks the rows that a separator line parts from the item above them.
constexpr bool kAfterLine = true;

}  // namespace

struct CZentoraDlg::CommandRow {
  int id;
  Menu menu;
  const char* caption;
  void (CZentoraDlg::*handler)();
  const char* shortcut = nullptr;  // in QKeySequence's portable text
  bool afterLine = false;
};

std::span<const CZentoraDlg::CommandRow> CZentoraDlg::Commands() {
  using W = CZentoraDlg;
  // Each menu's mnemonics differ, and those of the buttons (添加图片, 添加声音,
  // 导出图片, 编译下载) differ from the menu titles', in both languages.
  static const CommandRow kCommands[] = {
      {ID_NEW_PROJECT, Menu::kFile, QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "新建工程(&N)"),
       &W::OnNewProject, "Ctrl+N"},
      {ID_OPEN_PROJECT, Menu::kFile, QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "打开工程(&O)"),
       &W::OnOpenProject, "Ctrl+O"},
      {ID_SAVE_PROJECT, Menu::kFile, QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "保存工程(&S)"),
       &W::OnSaveProject, "Ctrl+S"},
      {ID_SAVE_PROJECT_AS, Menu::kFile,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "工程另存为(&A)..."), &W::OnSaveProjectAs,
       "Ctrl+Shift+S"},
      {ID_OPEN_WORKING_FOLDER, Menu::kFile,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "打开工作目录(&W)..."), &W::OnOpenWorkingFolder},
      {ID_APP_EXIT, Menu::kFile, QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "退出(&Q)"),
       &W::OnAppExit, "Ctrl+Q", kAfterLine},
      {IDC_ADD_PICTURES, Menu::kPictures, QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "添加图片(&A)"),
       &W::OnCommand<AddPictures>},
      {IDC_EXPORT_IMAGES, Menu::kPictures,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "导出图片(&X)"), &W::OnCommand<ExportImages>,
       nullptr, kAfterLine},
      {ID_PREVIEW_IMAGE, Menu::kPictures, QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "预览图片(&V)"),
       &W::OnPreviewImage},
      {ID_MODULE_PREVIEW, Menu::kPictures,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "模块效果预览(&M)..."), &W::OnModulePreview},
      {ID_EDIT_IMAGE, Menu::kPictures, QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "编辑图片(&E)"),
       &W::OnEditImage},
      {ID_ADJUST_IMAGES, Menu::kPictures,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "调整图片(&J)..."), &W::OnCommand<AdjustImages>},
      {ID_DELETE_SELECTED_PICTURE, Menu::kPictures,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "删除选中图片(&D)"),
       &W::OnCommand<DeleteSelectedPicture>, nullptr, kAfterLine},
      {ID_DELETE_ALL_PICTURES, Menu::kPictures,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "删除所有图片(&L)"),
       &W::OnCommand<DeleteAllPictures>},
      {IDC_ADD_SOUNDS, Menu::kSounds, QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "添加声音(&U)"),
       &W::OnCommand<AddSounds>},
      {ID_DELETE_SELECTED_SOUND, Menu::kSounds,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "删除选中声音(&D)"),
       &W::OnCommand<DeleteSelectedSound>, nullptr, kAfterLine},
      {ID_DELETE_ALL_SOUNDS, Menu::kSounds,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "删除所有声音(&L)"),
       &W::OnCommand<DeleteAllSounds>},
      {ID_GLYPH_MODELLING, Menu::kFonts,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "字库取模(&G)..."), &W::OnGlyphModelling},
      {ID_FONT_LIBRARY_VIEWER, Menu::kFonts,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "字库查看(&V)..."), &W::OnFontLibraryViewer},
      {IDC_COMPILE_DOWNLOAD, Menu::kDownload,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "编译下载(&C)"), &W::OnCompileDownload},
      {ID_DOWNLOAD_RESOURCES, Menu::kDownload,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "下载资源文件(&D)..."), &W::OnDownloadResources,
       nullptr, kAfterLine},
      {ID_INSPECT_RESOURCES, Menu::kDownload,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "资源查看(&R)..."), &W::OnInspectResources},
      {ID_APP_ABOUT, Menu::kHelp, QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "关于 Zentora助手(&A)"),
       &W::OnAbout, "F1"},
      {ID_MAKER_WEB_PAGE, Menu::kHelp,
       QT_TRANSLATE_NOOP("zentora::CZentoraDlg", "关于 Morvane科技(&M)"), &W::OnMakerWebPage},
  };
  return kCommands;
}

void CZentoraDlg::CreateMenu() {
  menuBar_ = new QMenuBar(this);
  QMenu* menu = nullptr;
  std::optional<Menu> current;
  for (const CommandRow& row : Commands()) {
    if (row.menu != current) {
      current = row.menu;
      menu = menuBar_->addMenu(tr(MenuTitle(row.menu)));
    }
    if (row.afterLine) {
      menu->addSeparator();
    }
    auto* action = new QAction(tr(row.caption), this);
    SetControlId(action, row.id);
    if (row.shortcut != nullptr) {
      action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
    }
    menu->addAction(action);
    actions_.insert(row.id, action);
  }
}

void CZentoraDlg::BindCommands() {
  for (const CommandRow& row : Commands()) {
    connect(Action(row.id), &QAction::triggered, this, row.handler);
  }
  // Each button runs the action of its id, so menu and button share one
  // handler.
  for (auto it = buttons_.begin(); it != buttons_.end(); ++it) {
    connect(it.value(), &QPushButton::clicked, Action(it.key()), &QAction::trigger);
  }
  connect(tabs_, &QTabBar::currentChanged, this, &CZentoraDlg::OnTabChanged);
  for (CImageGallery* gallery : {pictureGallery_, soundGallery_}) {
    connect(gallery, &CImageGallery::ListChangedByDragging, this, &CZentoraDlg::OnGalleryDragged);
  }
  ConnectGalleryCommands(*this);
  connect(cycleWatch_.get(), &CCycleWatch::CycleStarted, this, &CZentoraDlg::OnCycleStarted);
  connect(cycleWatch_.get(), &CCycleWatch::CycleEnded, this, &CZentoraDlg::OnCycleEnded);
  project_.SetChangeObserver([this] { OnProjectChanged(); });
  connect(colorDepth_, &QComboBox::currentIndexChanged, this, &CZentoraDlg::OnImageSettingsChanged);
  connect(dither_, &QComboBox::currentIndexChanged, this, &CZentoraDlg::OnImageSettingsChanged);
  connect(pictureGallery_, &CImageGallery::SelectionChanged, this,
          &CZentoraDlg::OnPictureSelectionChanged);
  for (QCheckBox* box : {msbFirst_, rowRightToLeft_, columnBottomToTop_, columnFirst_}) {
    connect(box, &QCheckBox::toggled, this, &CZentoraDlg::OnImageSettingsChanged);
  }
}

}  // namespace zentora
