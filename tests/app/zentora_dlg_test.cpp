#include "app/zentora_dlg.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#include "base/ui_language.h"
#include "image/image_gallery.h"
#include "modsim_control.h"
#include "ui/control_ids.h"
#include "ui/dialog_units.h"
#include "ui/message_box.h"
#include "ui/shell_dialogs.h"
#include "ui/shell_services.h"
#include "ui/tool_window.h"

namespace zentora {

namespace {

std::filesystem::path FsPath(const QString& path) {
  return path.toStdString();
}

QStringList Lines(const CZentoraDlg& window) {
  QStringList lines;
  const auto* list = FindControl<QListWidget>(&window, IDC_OUTPUT_LIST);
  for (int i = 0; i < list->count(); ++i) {
    lines << list->item(i)->text();
  }
  return lines;
}

// A menu as the bar shows it: "caption=id" per item, "-" per separator.
QStringList MenuItems(QMenu* menu) {
  QStringList items;
  for (QAction* action : menu->actions()) {
    items << (action->isSeparator() ? QStringLiteral("-")
                                    : action->text() + "=" + QString::number(ControlIdOf(action)));
  }
  return items;
}

// The Alt keys of the captions; a caption without one gives "(none)".
QStringList Mnemonics(const QStringList& captions) {
  QStringList keys;
  for (const QString& caption : captions) {
    const QString key = QKeySequence::mnemonic(caption).toString();
    keys << (key.isEmpty() ? QStringLiteral("(none) ") + caption : key);
  }
  return keys;
}

// Empty when every caption has an Alt key of its own, else the keys.
QString Clashes(const QStringList& captions) {
  const QStringList keys = Mnemonics(captions);
  const bool clear = QSet<QString>(keys.begin(), keys.end()).size() == keys.size() &&
                     !keys.join(' ').contains("(none)");
  return clear ? QString() : keys.join(", ");
}

}  // namespace

class ZentoraDlgTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir root_;
  QStringList questions_;
  QMessageBox::StandardButton answer_ = QMessageBox::No;

  std::filesystem::path DefaultFolder() const { return FsPath(root_.filePath("default")); }

 private Q_SLOTS:
  void init() {
    questions_.clear();
    SetAppMessageResponder([this](const AppMessage& message) {
      questions_ << message.text;
      return answer_;
    });
    SetShellResponder([](ShellVerb, const QString&) { return Status::Ok(); });
  }

  void cleanup() {
    SetAppMessageResponder({});
    SetFileDialogResponder({});
    SetModalDialogResponder({});
    SetShellResponder({});
  }

  void startsOnTheWebPageWithDefaultSettings() {
    CZentoraDlg window(nullptr, DefaultFolder());
    QVERIFY(std::filesystem::is_directory(DefaultFolder()));
    QCOMPARE(FindControl<QTabBar>(&window, IDC_TABS)->currentIndex(), int(CZentoraDlg::kWebPage));
    QVERIFY(window.Page(CZentoraDlg::kPicturePage)->isHidden());
    QVERIFY(window.Page(CZentoraDlg::kSoundPage)->isHidden());
    QVERIFY(!window.Page(CZentoraDlg::kWebPage)->isHidden());
    QCOMPARE(FindControl<QComboBox>(&window, IDC_COLOR_DEPTH)->currentText(),
             QStringLiteral("16位(RGB565)"));
    for (int id :
         {IDC_MSB_FIRST, IDC_ROW_RIGHT_TO_LEFT, IDC_COLUMN_BOTTOM_TO_TOP, IDC_COLUMN_FIRST}) {
      QVERIFY(!FindControl<QCheckBox>(&window, id)->isChecked());
    }
    QVERIFY(FindControl<QProgressBar>(&window, IDC_PROGRESS)->isHidden());
    QCOMPARE(window.GetWorkingFolder(), DefaultFolder() / "");
  }

  void ditherIsReadForSixteenBitsOnly() {
    CZentoraDlg window(nullptr, DefaultFolder());
    auto* dither = FindControl<QComboBox>(&window, IDC_DITHER);
    QCOMPARE(dither->currentText(), QStringLiteral("不抖动"));
    dither->setCurrentIndex(2);
    window.DoDataExchange(true);
    QCOMPARE(window.Settings().dither, Dither::kDiffusion);
    FindControl<QComboBox>(&window, IDC_COLOR_DEPTH)->setCurrentIndex(1);
    QVERIFY(!dither->isEnabled());
    window.DoDataExchange(true);
    QCOMPARE(window.Settings().dither, Dither::kNone);
  }

  void layoutPlacesPagesAndProgressBar() {
    CZentoraDlg window(nullptr, DefaultFolder());
    window.ClientArea()->resize(1000, 700);
    QCOMPARE(window.ClientArea()->size(), QSize(1000, 700));
    // A hidden window gets its resize event when shown; run it now.
    window.LayoutPages();
    for (int page = CZentoraDlg::kPicturePage; page <= CZentoraDlg::kWebPage; ++page) {
      QCOMPARE(window.Page(page)->geometry(), QRect(200, 30, 795, 650));
    }
    QCOMPARE(FindControl<QProgressBar>(&window, IDC_PROGRESS)->geometry(),
             QRect(200, 685, 795, 15));
  }

  void outputListGrowsDownwardsWithTheWindow() {
    CZentoraDlg window(nullptr, DefaultFolder());
    const CDialogUnits du = CDialogUnits::ForWidget(&window);
    const QRect placed = du.Rect(6, 235, 97, 87);
    auto* list = FindControl<QListWidget>(&window, IDC_OUTPUT_LIST);
    window.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const int margin = du.Y(337) - placed.height() - placed.y();
    QTRY_VERIFY(window.ClientArea()->height() > du.Y(337));
    QCOMPARE(list->geometry(),
             QRect(placed.topLeft(),
                   QSize(placed.width(), window.ClientArea()->height() - margin - placed.y())));
    // Back to a window no taller than the template: the client area is the
    // template's, and so is the list.
    window.showNormal();
    QTRY_COMPARE(window.ClientArea()->height(), du.Y(337));
    QCOMPARE(list->geometry(), placed);
  }

  void titleNamesTheProjectAndItsChanges() {
    CZentoraDlg window(nullptr, DefaultFolder());
    const QString bare = QStringLiteral("Zentora助手");
    QCOMPARE(window.windowTitle(), bare);
    window.Project().SetModified();
    QCOMPARE(window.windowTitle(), bare);
    QVERIFY(!window.isWindowModified());

    window.Project().AdoptFolder(DefaultFolder(), "Demo.zentoraprj");
    QCOMPARE(window.windowTitle(), QStringLiteral("Demo[*] - Zentora助手"));
    QVERIFY(window.isWindowModified());
    window.Action(ID_SAVE_PROJECT)->trigger();
    QVERIFY(!window.isWindowModified());
    window.Project().SetModified();
    QVERIFY(window.isWindowModified());
    window.Project().Forget(window.Lists());
    QCOMPARE(window.windowTitle(), bare);
    QVERIFY(!window.isWindowModified());
  }

  void aShellFailureIsShownWithThePath_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("message");
    QTest::newRow("preview") << int(ID_PREVIEW_IMAGE)
                             << QStringLiteral("无法预览图片：/pictures/a.png（没有程序）");
    QTest::newRow("edit") << int(ID_EDIT_IMAGE)
                          << QStringLiteral("无法编辑图片：/pictures/a.png（没有程序）");
    QTest::newRow("working folder")
        << int(ID_OPEN_WORKING_FOLDER)
        << QStringLiteral("无法打开工作目录：%1（没有程序）")
               .arg(QString::fromStdString((DefaultFolder() / "").string()));
  }

  void aShellFailureIsShownWithThePath() {
    QFETCH(int, command);
    QFETCH(QString, message);
    CZentoraDlg window(nullptr, DefaultFolder());
    window.PictureGallery().Items().Add("/pictures/a.png");
    window.PictureGallery().Items().SetSelected(0);
    SetShellResponder([](ShellVerb, const QString&) { return Status::Failure("没有程序"); });
    window.Action(command)->trigger();
    QCOMPARE(questions_, QStringList{message});
  }

  void tabsShowOnePage() {
    CZentoraDlg window(nullptr, DefaultFolder());
    auto* tabs = FindControl<QTabBar>(&window, IDC_TABS);
    for (int selected : {0, 1, 2, 0}) {
      tabs->setCurrentIndex(selected);
      for (int page = 0; page <= 2; ++page) {
        QCOMPARE(window.Page(page)->isHidden(), page != selected);
      }
    }
  }

  void menuBarHoldsEveryCommand() {
    CZentoraDlg window(nullptr, DefaultFolder());
    QStringList titles;
    QList<QStringList> items;
    for (QAction* entry : window.findChild<QMenuBar*>()->actions()) {
      titles << entry->menu()->title();
      items << MenuItems(entry->menu());
    }
    QCOMPARE(titles,
             (QStringList{"文件(&F)", "图片(&E)", "声音(&W)", "字库(&T)", "下载(&D)", "帮助(&H)"}));
    QCOMPARE(items[0], (QStringList{"新建工程(&N)=57600", "打开工程(&O)=32795",
                                    "保存工程(&S)=32796", "工程另存为(&A)...=57604",
                                    "打开工作目录(&W)...=32804", "-", "退出(&Q)=57665"}));
    QCOMPARE(items[1], (QStringList{"添加图片(&A)=1018", "-", "导出图片(&X)=1004",
                                    "预览图片(&V)=32783", "模块效果预览(&M)...=32830",
                                    "编辑图片(&E)=32784", "调整图片(&J)...=32785", "-",
                                    "删除选中图片(&D)=32781", "删除所有图片(&L)=32782"}));
    QCOMPARE(items[2], (QStringList{"添加声音(&U)=1020", "-", "删除选中声音(&D)=32809",
                                    "删除所有声音(&L)=32801"}));
    QCOMPARE(items[3], (QStringList{"字库取模(&G)...=32814", "字库查看(&V)...=32816"}));
    QCOMPARE(items[4], (QStringList{"编译下载(&C)=1022", "-", "下载资源文件(&D)...=32806",
                                    "资源查看(&R)...=32818"}));
    QCOMPARE(items[5], (QStringList{"关于 Zentora助手(&A)=57664", "关于 Morvane科技(&M)=32808"}));
    for (const QList<QAction*>& actions : {window.findChildren<QAction*>()}) {
      for (QAction* action : actions) {
        QVERIFY(action->isEnabled());
      }
    }
  }

  void tabFollowsTheLayout() {
    CZentoraDlg window(nullptr, DefaultFolder());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QList<QWidget*> expected;
    for (int id : {IDC_ADD_PICTURES, IDC_ADD_SOUNDS, IDC_EXPORT_IMAGES, IDC_COMPILE_DOWNLOAD}) {
      expected << FindControl<QPushButton>(window.ClientArea(), id);
    }
    for (int id : {IDC_COLOR_DEPTH, IDC_DITHER, IDC_MSB_FIRST, IDC_ROW_RIGHT_TO_LEFT,
                   IDC_COLUMN_BOTTOM_TO_TOP, IDC_COLUMN_FIRST, IDC_OUTPUT_LIST, IDC_TABS}) {
      expected << FindControl<QWidget>(window.ClientArea(), id);
    }
    // The page shown at start; the hidden galleries are passed over.
    expected << window.Page(CZentoraDlg::kWebPage);
    expected.first()->setFocus();
    QList<QWidget*> visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
      visited << QApplication::focusWidget();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, expected);
  }

  void commandHasItsShortcut_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("keys");
    QTest::newRow("new project") << int(ID_NEW_PROJECT) << "Ctrl+N";
    QTest::newRow("open project") << int(ID_OPEN_PROJECT) << "Ctrl+O";
    QTest::newRow("save project") << int(ID_SAVE_PROJECT) << "Ctrl+S";
    QTest::newRow("save project as") << int(ID_SAVE_PROJECT_AS) << "Ctrl+Shift+S";
    QTest::newRow("quit") << int(ID_APP_EXIT) << "Ctrl+Q";
    QTest::newRow("about") << int(ID_APP_ABOUT) << "F1";
  }

  void commandHasItsShortcut() {
    QFETCH(int, id);
    QFETCH(QString, keys);
    SetModalDialogResponder([](QDialog&) { return int(QDialog::Rejected); });
    SetFileDialogResponder([](const FileDialogRequest&) { return QStringList{}; });
    CZentoraDlg window(nullptr, DefaultFolder());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy triggered(window.Action(id), &QAction::triggered);
    QTest::keySequence(&window, QKeySequence(keys));
    QCOMPARE(triggered.size(), 1);
    QCOMPARE(window.Action(id)->shortcut().toString(), keys);
  }

  void everyMenuItemHasItsOwnMnemonic_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("firstMenu");
    QTest::newRow("Chinese") << int(UiLanguage::Chinese) << "文件(&F)";
    QTest::newRow("English") << int(UiLanguage::English) << "&File";
  }

  void everyMenuItemHasItsOwnMnemonic() {
    QFETCH(int, language);
    InstallTranslations(UiLanguage(language));
    CZentoraDlg window(nullptr, DefaultFolder());
    InstallTranslations(UiLanguage::Chinese);
    // With no menu open, Alt goes to the menu titles and the buttons alike.
    QStringList barCaptions;
    for (QAction* entry : window.findChild<QMenuBar*>()->actions()) {
      barCaptions << entry->menu()->title();
      QStringList items;
      for (QAction* action : entry->menu()->actions()) {
        if (!action->isSeparator()) {
          items << action->text();
        }
      }
      QVERIFY2(Clashes(items).isEmpty(), qPrintable(Clashes(items)));
    }
    QTEST(barCaptions.value(0), "firstMenu");
    for (QPushButton* button : window.ClientArea()->findChildren<QPushButton*>()) {
      barCaptions << button->text();
    }
    QVERIFY2(Clashes(barCaptions).isEmpty(), qPrintable(Clashes(barCaptions)));
  }

  void newProjectOffersToSaveFirst_data() {
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("emptied");
    QTest::newRow("unmodified") << false << int(QMessageBox::Cancel) << 0 << true;
    QTest::newRow("modified: No") << true << int(QMessageBox::No) << 1 << true;
    QTest::newRow("modified: Cancel") << true << int(QMessageBox::Cancel) << 1 << false;
  }

  void newProjectOffersToSaveFirst() {
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(bool, emptied);
    CZentoraDlg window(nullptr, DefaultFolder());
    window.Project().AdoptFolder(FsPath(root_.filePath("P")), "P.zentoraprj");
    window.PictureGallery().Items().Add("/pictures/a.png");
    window.SoundGallery().Items().Add("/sounds/s.wav");
    if (modified) {
      window.Project().SetModified();
    }
    answer_ = QMessageBox::StandardButton(answer);
    window.Action(ID_NEW_PROJECT)->trigger();
    QTEST(int(questions_.size()), "questions");
    QCOMPARE(window.PictureGallery().Items().GetCount(), emptied ? 0 : 1);
    QCOMPARE(window.SoundGallery().Items().GetCount(), emptied ? 0 : 1);
    QCOMPARE(window.Project().ProjectFilePath().empty(), emptied);
    QCOMPARE(window.GetWorkingFolder() == DefaultFolder() / "", emptied);
  }

  void saveAsAsksThoughTheProjectHasAPath() {
    CZentoraDlg window(nullptr, DefaultFolder());
    std::filesystem::copy_file(FsPath(ZENTORA_TEST_DATA_DIR "/images/picture_4x3.png"),
                               DefaultFolder() / "a.png",
                               std::filesystem::copy_options::overwrite_existing);
    window.PictureGallery().Items().Add(DefaultFolder() / "a.png");
    QStringList offered;
    QString answer = "Demo";
    SetModalDialogResponder([&](QDialog& dialog) {
      auto& path = static_cast<CProjectPathDlg&>(dialog);
      offered << path.projectName;
      path.projectName = answer;
      path.projectLocation = root_.path();
      return int(QDialog::Accepted);
    });
    window.Action(ID_SAVE_PROJECT)->trigger();
    answer = "Copy";
    window.Action(ID_SAVE_PROJECT_AS)->trigger();
    // The second question starts from the project's own name.
    QCOMPARE(offered, (QStringList{"Project", "Demo"}));
    const std::filesystem::path copy = FsPath(root_.filePath("Copy"));
    QVERIFY(std::filesystem::exists(copy / "Copy.zentoraprj"));
    QVERIFY(std::filesystem::exists(copy / "a.png"));
    QCOMPARE(window.Project().ProjectFilePath(), copy / "Copy.zentoraprj");
    QCOMPARE(window.PictureGallery().Items().GetPath(0), copy / "a.png");
  }

  void windowMayBeSmallerThanTheTemplateAndFitsTheScreen() {
    CZentoraDlg window(nullptr, DefaultFolder());
    const QSize client = window.ClientArea()->minimumSize();
    QVERIFY(window.minimumWidth() <= client.width() / 2);
    QVERIFY(window.minimumHeight() < client.height());
    // The test screen (800 x 600) is smaller than the template.
    const QRect available = window.screen()->availableGeometry();
    QVERIFY(client.width() > available.width());
    QVERIFY(available.contains(QRect(available.topLeft(), window.size())));
    // The controls keep the template's places; the area scrolls instead.
    window.show();
    QCOMPARE(window.ClientArea()->size(), client);
  }

  void shellCommandsActOnTheSelectedPicture() {
    CZentoraDlg window(nullptr, DefaultFolder());
    QList<QPair<ShellVerb, QString>> requests;
    SetShellResponder([&](ShellVerb verb, const QString& target) {
      requests << qMakePair(verb, target);
      return Status::Ok();
    });
    window.Action(ID_PREVIEW_IMAGE)->trigger();
    window.Action(ID_EDIT_IMAGE)->trigger();
    QVERIFY(requests.isEmpty());

    window.PictureGallery().Items().Add("/pictures/a.png");
    window.PictureGallery().Items().SetSelected(0);
    FindControl<QTabBar>(&window, IDC_TABS)->setCurrentIndex(CZentoraDlg::kSoundPage);
    window.Action(ID_PREVIEW_IMAGE)->trigger();
    window.Action(ID_EDIT_IMAGE)->trigger();
    window.Action(ID_OPEN_WORKING_FOLDER)->trigger();
    window.Action(ID_MAKER_WEB_PAGE)->trigger();
    QCOMPARE(requests.size(), 4);
    QCOMPARE(requests[0], qMakePair(ShellVerb::Open, QStringLiteral("/pictures/a.png")));
    QCOMPARE(requests[1], qMakePair(ShellVerb::EditPicture, QStringLiteral("/pictures/a.png")));
    QCOMPARE(FsPath(requests[2].second), DefaultFolder() / "");
    QVERIFY(requests[3].second.startsWith("https://"));

    int aboutShown = 0;
    SetModalDialogResponder([&](QDialog& dialog) {
      aboutShown += dialog.windowTitle() == QStringLiteral("关于 Zentora助手");
      return int(QDialog::Accepted);
    });
    window.Action(ID_APP_ABOUT)->trigger();
    QCOMPARE(aboutShown, 1);
  }

  void toolWindowIsCentredOnceThenKeepsItsPlace() {
    CZentoraDlg window(nullptr, DefaultFolder());
    window.move(100, 50);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QDialog tool(&window);
    tool.resize(200, 100);
    bool placed = false;
    ShowToolWindow(tool, *window.ClientArea(), placed);
    const QRect client(window.ClientArea()->mapToGlobal(QPoint()), window.ClientArea()->size());
    // The whole window, frame included, sits on the client area's centre.
    const QRect outer = tool.frameGeometry();
    QCOMPARE(outer.size(), QSize(200, 100) + (window.frameGeometry().size() - window.size()));
    QCOMPARE(outer.topLeft(),
             QPoint((2 * client.left() + client.width()) / 2 - outer.width() / 2,
                    (2 * client.top() + client.height()) / 2 - outer.height() / 2));
    tool.hide();
    tool.move(10, 20);
    ShowToolWindow(tool, *window.ClientArea(), placed);
    QCOMPARE(tool.pos(), QPoint(10, 20));
    QVERIFY(tool.isVisible());
  }

  void closeAsksOnlyWhenModified() {
    CZentoraDlg window(nullptr, DefaultFolder());
    window.show();
    QVERIFY(window.close());
    QVERIFY(questions_.isEmpty());
    QCOMPARE(window.Worker().Command(), int(CMD_EXIT));
  }

  void cancelKeepsTheWindowAndTheWorker() {
    CZentoraDlg window(nullptr, DefaultFolder());
    window.show();
    window.Project().SetModified();
    answer_ = QMessageBox::Cancel;
    QVERIFY(!window.close());
    QCOMPARE(questions_, QStringList{"文档被修改，是否保存？"});
    QVERIFY(window.isVisible());
    QCOMPARE(window.Worker().Command(), int(CMD_IDLE));

    // Esc asks the same; Enter does nothing at all.
    window.setFocus();
    QTest::keyClick(&window, Qt::Key_Return);
    QCOMPARE(questions_.size(), 1);
    QTest::keyClick(&window, Qt::Key_Escape);
    QCOMPARE(questions_.size(), 2);
    QVERIFY(window.isVisible());
  }

  void saveThenOpenThroughTheDialogs() {
    CZentoraDlg window(nullptr, DefaultFolder());
    const QString picture = QStringLiteral(ZENTORA_TEST_DATA_DIR "/images/picture_4x3.png");
    std::filesystem::copy_file(FsPath(picture), DefaultFolder() / "a.png",
                               std::filesystem::copy_options::overwrite_existing);
    window.PictureGallery().Items().Add(DefaultFolder() / "a.png");
    window.Project().SetModified();
    SetModalDialogResponder([&](QDialog& dialog) {
      auto& path = static_cast<CProjectPathDlg&>(dialog);
      path.projectName = QStringLiteral("Demo");
      path.projectLocation = root_.path();
      return int(QDialog::Accepted);
    });
    window.Action(ID_SAVE_PROJECT)->trigger();
    const std::filesystem::path project = FsPath(root_.filePath("Demo/Demo.zentoraprj"));
    QVERIFY(std::filesystem::exists(project));
    QTRY_COMPARE(Lines(window),
                 QStringList{"工程已保存：" + QString::fromStdString(project.string())});
    QCOMPARE(window.Project().Modified(), 0);
    QCOMPARE(window.PictureGallery().Items().GetPath(0), project.parent_path() / "a.png");

    // Opening an unmodified project asks nothing.
    CZentoraDlg other(nullptr, DefaultFolder());
    other.SoundGallery().Items().Add("/elsewhere/s.wav");
    SetFileDialogResponder([&](const FileDialogRequest& request) {
      return request.filter.contains("*.zentoraprj")
                 ? QStringList{QString::fromStdString(project.string())}
                 : QStringList{};
    });
    other.Action(ID_OPEN_PROJECT)->trigger();
    QVERIFY(questions_.isEmpty());
    QCOMPARE(other.PictureGallery().Items().GetCount(), 1);
    QCOMPARE(other.SoundGallery().Items().GetCount(), 0);
    QCOMPARE(other.GetWorkingFolder(), project.parent_path() / "");
    QCOMPARE(other.Project().Modified(), 0);
  }

  void browseKeepsTheLocationButNotAnUnacceptedName() {
    CProjectPathDlg dialog;
    dialog.show();
    FindControl<QLineEdit>(&dialog, CProjectPathDlg::IDC_PROJECT_NAME)
        ->setText(QStringLiteral("Typed"));
    SetFileDialogResponder([&](const FileDialogRequest&) { return QStringList{root_.path()}; });
    FindControl<QPushButton>(&dialog, CProjectPathDlg::IDC_BROWSE)->click();
    QCOMPARE(FindControl<QLineEdit>(&dialog, CProjectPathDlg::IDC_PROJECT_NAME)->text(),
             QStringLiteral("Typed"));
    FindControl<QPushButton>(&dialog, 2)->click();
    QCOMPARE(dialog.projectName, QStringLiteral("Project"));
    QCOMPARE(dialog.projectLocation, QDir::toNativeSeparators(root_.path()));
    dialog.show();
    QCOMPARE(FindControl<QLineEdit>(&dialog, CProjectPathDlg::IDC_PROJECT_NAME)->text(),
             QStringLiteral("Project"));
  }

  void pathDialogMakesTheLocation_data() {
    QTest::addColumn<QString>("location");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("missing with its parents") << "made/with/parents" << true;
    QTest::newRow("under a file") << "a-file/below" << false;
  }

  void pathDialogMakesTheLocation() {
    QFETCH(QString, location);
    QFETCH(bool, accepted);
    QFile(root_.filePath("a-file")).open(QIODevice::WriteOnly);
    CProjectPathDlg dialog;
    dialog.show();
    FindControl<QLineEdit>(&dialog, CProjectPathDlg::IDC_PROJECT_LOCATION)
        ->setText(root_.filePath(location));
    FindControl<QPushButton>(&dialog, IDOK_)->click();
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(dialog.isVisible(), !accepted);
    QCOMPARE(QFileInfo(root_.filePath(location)).isDir(), accepted);
    QCOMPARE(questions_.size(), accepted ? 0 : 1);
    if (!accepted) {
      QVERIFY2(questions_[0].startsWith("无法创建文件夹：" + root_.filePath(location)),
               qPrintable(questions_[0]));
    }
  }

  void compileDownloadOfAnEmptyProject() {
    CZentoraDlg window(nullptr, DefaultFolder());
    FindControl<QPushButton>(&window, IDC_COMPILE_DOWNLOAD)->click();
    QTRY_COMPARE_WITH_TIMEOUT(Lines(window).value(Lines(window).size() - 1), QStringLiteral("结束"),
                              10000);
    QCOMPARE(Lines(window), (QStringList{"开始", "没有图片资源！", "没有声音资源！", "结束"}));
    QVERIFY(FindControl<QProgressBar>(&window, IDC_PROGRESS)->isHidden());
  }

  void compileDownloadToTheSimulatedModule() {
    const ModsimControl modsim = ModsimControl::Find();
    if (!modsim.Loaded()) {
      QSKIP("the simulated module is not preloaded");
    }
    QTemporaryDir received;
    qputenv("ZENTORA_MODSIM_DIR", received.path().toLocal8Bit());
    // Slow transfers keep the cycle running when the second click comes.
    qputenv("ZENTORA_MODSIM_LATENCY_US", "2000");
    modsim.reset();
    CZentoraDlg window(nullptr, DefaultFolder());
    for (const char* name : {"level.bmp", "beep.wav"}) {
      const std::filesystem::path source = std::filesystem::path(ZENTORA_SAMPLES_DIR) / name;
      std::filesystem::copy_file(source, DefaultFolder() / name,
                                 std::filesystem::copy_options::overwrite_existing);
    }
    window.PictureGallery().Items().Add(DefaultFolder() / "level.bmp");
    window.SoundGallery().Items().Add(DefaultFolder() / "beep.wav");
    // A second click during the cycle changes nothing.
    window.Action(IDC_COMPILE_DOWNLOAD)->trigger();
    window.Action(IDC_COMPILE_DOWNLOAD)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(Lines(window).value(Lines(window).size() - 1), QStringLiteral("结束"),
                              30000);
    QCOMPARE(Lines(window),
             (QStringList{"开始", "生成图片资源...", "生成图片资源成功！", "生成声音资源...",
                          "生成声音资源成功！", "下载图片索引...", "下载图片索引成功！",
                          "下载图片数据...", "下载图片数据成功！", "下载声音索引...",
                          "下载声音索引成功！", "下载声音数据...", "下载声音数据成功！", "结束"}));
    QVERIFY(QFile::exists(received.filePath("image.bin")));
    QVERIFY(QFile::exists(received.filePath("wave.bin")));
    QTest::qWait(200);
    QCOMPARE(Lines(window).size(), 14);
    qunsetenv("ZENTORA_MODSIM_LATENCY_US");
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::ZentoraDlgTest)
#include "zentora_dlg_test.moc"
