// The list commands of the main window, run through its actions, for the
// pictures and the sounds alike (QTest's data rows).
#include <QAction>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "app/zentora_dlg.h"
#include "image/image_gallery.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/shell_dialogs.h"

namespace zentora {

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const char* text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

class GalleryCommandsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir root_;
  QStringList messages_;
  QMessageBox::StandardButton answer_ = QMessageBox::No;
  QMessageBox::StandardButton defaultAnswer_ = QMessageBox::NoButton;
  QList<FileDialogRequest> requests_;
  QStringList chosen_;

  fs::path Root(const char* name) const { return fs::path(root_.filePath(name).toStdString()); }

  // Each row: the list's add, delete-selected and delete-all commands, its
  // tab, its question, and its file dialog's title and filter.
  static void Rows() {
    QTest::addColumn<int>("add");
    QTest::addColumn<int>("deleteSelected");
    QTest::addColumn<int>("deleteAll");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("pictures") << int(IDC_ADD_PICTURES) << int(ID_DELETE_SELECTED_PICTURE)
                              << int(ID_DELETE_ALL_PICTURES) << int(CZentoraDlg::kPicturePage)
                              << "确认删除2张图片?"
                              << "添加图片 图片文件(*.bmp *.jpg *.jpeg *.gif *.png *.tif)";
    QTest::newRow("sounds") << int(IDC_ADD_SOUNDS) << int(ID_DELETE_SELECTED_SOUND)
                            << int(ID_DELETE_ALL_SOUNDS) << int(CZentoraDlg::kSoundPage)
                            << "确认删除2个声音文件?"
                            << "添加声音 声音文件(*.wav)";
  }

  static CImageGallery& GalleryOf(CZentoraDlg& window, int page) {
    return page == CZentoraDlg::kPicturePage ? window.PictureGallery() : window.SoundGallery();
  }

 private Q_SLOTS:
  void init() {
    messages_.clear();
    requests_.clear();
    chosen_.clear();
    SetAppMessageResponder([this](const AppMessage& message) {
      messages_ << message.text;
      defaultAnswer_ = message.defaultButton;
      return answer_;
    });
    SetFileDialogResponder([this](const FileDialogRequest& request) {
      requests_ << request;
      return chosen_;
    });
  }

  void cleanup() {
    SetAppMessageResponder({});
    SetFileDialogResponder({});
  }

  void addCopiesIntoTheWorkingFolder_data() { Rows(); }
  void addCopiesIntoTheWorkingFolder() {
    QFETCH(int, add);
    QFETCH(int, page);
    QFETCH(QString, dialog);
    CZentoraDlg window(nullptr, Root("default"));
    CImageGallery& gallery = GalleryOf(window, page);
    fs::create_directories(Root("one"));
    Write(Root("one/x.dat"), "first");

    // Started from the other list's tab. Cancelled: nothing at all.
    const int otherPage = CZentoraDlg::kSoundPage - page;
    window.ShowPage(otherPage);
    window.Action(add)->trigger();
    QCOMPARE(requests_.size(), 1);
    QCOMPARE(requests_[0].kind, FileDialogRequest::Kind::OpenFiles);
    QCOMPARE(requests_[0].title + ' ' + requests_[0].filter, dialog);
    QCOMPARE(window.Project().Modified(), 0);
    QCOMPARE(FindControl<QTabBar>(&window, IDC_TABS)->currentIndex(), otherPage);

    // The same file twice: one copy and two entries with its path.
    chosen_ = QStringList{root_.filePath("one/x.dat"), root_.filePath("one/x.dat")};
    window.Action(add)->trigger();
    const fs::path copy = Root("default") / "x.dat";
    QCOMPARE(gallery.Items().GetCount(), 2);
    for (int i = 0; i < 2; ++i) {
      QCOMPARE(gallery.Items().GetPath(i), copy);
    }
    std::ifstream in(copy);
    QCOMPARE(std::string(std::istreambuf_iterator<char>(in), {}), std::string("first"));
    QVERIFY(fs::exists(Root("one/x.dat")));
    QCOMPARE(window.Project().Modified(), 1);
    QCOMPARE(FindControl<QTabBar>(&window, IDC_TABS)->currentIndex(), page);
    QVERIFY(GalleryOf(window, page).isVisibleTo(&window));
    QVERIFY(messages_.isEmpty());
  }

  void addLeavesOutWhatCannotBeCopied_data() { Rows(); }
  void addLeavesOutWhatCannotBeCopied() {
    QFETCH(int, add);
    QFETCH(int, page);
    CZentoraDlg window(nullptr, Root("default"));
    Write(Root("ok.dat"), "ok");
    chosen_ = QStringList{root_.filePath("gone.dat"), root_.filePath("ok.dat")};
    window.Action(add)->trigger();
    QCOMPARE(GalleryOf(window, page).Items().GetCount(), 1);
    QCOMPARE(GalleryOf(window, page).Items().GetPath(0), Root("default") / "ok.dat");
    QCOMPARE(messages_.size(), 1);
    QVERIFY(messages_[0].startsWith(QStringLiteral("以下文件未能加入工程：\n")));
    QVERIFY(messages_[0].contains(root_.filePath("gone.dat")));
    QVERIFY(!messages_[0].contains(QStringLiteral("ok.dat")));
  }

  void deleteSelected_data() { Rows(); }
  void deleteSelected() {
    QFETCH(int, deleteSelected);
    QFETCH(int, page);
    CZentoraDlg window(nullptr, Root("default"));
    CImageGallery& gallery = GalleryOf(window, page);
    for (const char* name : {"/a", "/b", "/c"}) {
      gallery.Items().Add(name);
    }
    window.Action(deleteSelected)->trigger();
    QCOMPARE(gallery.Items().GetCount(), 3);
    QCOMPARE(window.Project().Modified(), 0);

    gallery.Items().SetSelected(1);
    window.Action(deleteSelected)->trigger();
    QCOMPARE(gallery.Items().GetCount(), 2);
    QCOMPARE(gallery.Items().GetPath(gallery.Items().GetSelected()), fs::path("/c"));
    QCOMPARE(window.Project().Modified(), 1);
    QVERIFY(messages_.isEmpty());
  }

  void galleryKeysAndMenuUseTheWindowsCommands_data() { Rows(); }
  void galleryKeysAndMenuUseTheWindowsCommands() {
    QFETCH(int, add);
    QFETCH(int, deleteSelected);
    QFETCH(int, deleteAll);
    QFETCH(int, page);
    CZentoraDlg window(nullptr, Root("default"));
    CImageGallery& gallery = GalleryOf(window, page);
    for (const char* name : {"/a", "/b", "/c"}) {
      gallery.Items().Add(name);
    }
    gallery.Items().SetSelected(0);
    QTest::keyClick(&gallery, Qt::Key_Delete);
    QCOMPARE(gallery.Items().GetCount(), 2);
    QCOMPARE(window.Project().Modified(), 1);

    const CImageGallery::Commands& commands = gallery.GetCommands();
    QCOMPARE(commands.open,
             page == CZentoraDlg::kPicturePage ? window.Action(ID_PREVIEW_IMAGE) : nullptr);
    for (const int id : {add, deleteSelected, deleteAll}) {
      QVERIFY(commands.menu.contains(window.Action(id)));
    }
  }

  void deleteAll_data() { Rows(); }
  void deleteAll() {
    QFETCH(int, deleteAll);
    QFETCH(int, page);
    QFETCH(QString, question);
    CZentoraDlg window(nullptr, Root("default"));
    CImageGallery& gallery = GalleryOf(window, page);
    window.Action(deleteAll)->trigger();
    QVERIFY(messages_.isEmpty());
    QCOMPARE(window.Project().Modified(), 0);

    gallery.Items().Add("/a");
    gallery.Items().Add("/b");
    answer_ = QMessageBox::No;
    window.Action(deleteAll)->trigger();
    QCOMPARE(messages_, QStringList{question});
    QCOMPARE(defaultAnswer_, QMessageBox::No);  // Enter keeps the list
    QCOMPARE(gallery.Items().GetCount(), 2);
    QCOMPARE(window.Project().Modified(), 1);

    answer_ = QMessageBox::Yes;
    window.Action(deleteAll)->trigger();
    QCOMPARE(gallery.Items().GetCount(), 0);
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::GalleryCommandsTest)
#include "gallery_commands_test.moc"
