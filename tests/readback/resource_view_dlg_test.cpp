#include "readback/resource_view_dlg.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <vector>

#include "app/zentora_dlg.h"
#include "base/status_sink.h"
#include "image/image_compiler.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"

namespace zentora {

namespace {

class CSilentSink final : public StatusSink {
 public:
  void ClearLines() override {}
  void AppendLine(std::string_view) override {}
  void SetProgress(int) override {}
  void ShowProgress(bool) override {}
};

QStringList Texts(const QListWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) {
    texts << list->item(i)->text();
  }
  return texts;
}

}  // namespace

class InspectDlgTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir root_;
  std::filesystem::path folder_;

  // Presses "打开" and waits until the thumbnails are drawn.
  static bool Open(CInspectDlg& dialog) {
    QSignalSpy finished(&dialog, &CInspectDlg::ReadingFinished);
    FindControl<QPushButton>(&dialog, CInspectDlg::IDC_INSPECT_OPEN)->click();
    return finished.wait(20000);
  }

 private Q_SLOTS:
  // Two pictures (a red-left and blue-right 2 × 1, a 3 × 3 green) around a
  // missing one, compiled with the default settings into the default
  // folder's output folder.
  void initTestCase() {
    folder_ = std::filesystem::path(root_.path().toStdString()) / "output";
    std::filesystem::create_directories(folder_);
    QImage halves(2, 1, QImage::Format_RGB32);
    halves.setPixel(0, 0, qRgb(255, 0, 0));
    halves.setPixel(1, 0, qRgb(0, 0, 255));
    QVERIFY(halves.save(QString::fromStdString((folder_ / "halves.png").string())));
    QImage green(3, 3, QImage::Format_RGB32);
    green.fill(qRgb(0, 255, 0));
    QVERIFY(green.save(QString::fromStdString((folder_ / "green.png").string())));
    CSilentSink sink;
    QCOMPARE(GenerateImageResources(
                 {folder_ / "halves.png", folder_ / "missing.png", folder_ / "green.png"},
                 ImageSettings{}, folder_ / "image.bin", folder_ / "image.idx", sink),
             CompileOutcome::WrittenWithWarnings);  // missing.png is named
  }

  void showsTheCompiledFolder() {
    CZentoraDlg window(nullptr, root_.path().toStdString());
    window.Action(ID_INSPECT_RESOURCES)->trigger();
    auto* shown = window.findChild<CInspectDlg*>();
    QVERIFY(shown != nullptr && shown->isVisible());
    CInspectDlg& dialog = *shown;
    QCOMPARE(FindControl<QLineEdit>(&dialog, CInspectDlg::IDC_INSPECT_FOLDER)->text(),
             QString::fromStdString(folder_.string()));
    QVERIFY(Open(dialog));
    auto* pictures = FindControl<QListWidget>(&dialog, CInspectDlg::IDC_INSPECT_PICTURES);
    QCOMPARE(Texts(pictures), (QStringList{"0000", "0001 空", "0002"}));
    QCOMPARE(Texts(FindControl<QListWidget>(&dialog, CInspectDlg::IDC_INSPECT_SOUNDS)),
             QStringList{});
    QCOMPARE(Texts(FindControl<QListWidget>(&dialog, CInspectDlg::IDC_INSPECT_FINDINGS)),
             QStringList{"未发现问题"});
    QVERIFY(!FindControl<QWidget>(&dialog, CInspectDlg::IDC_INSPECT_PROGRESS)->isVisible());

    // Read mirrored, the red half of the first picture moves to the right.
    const QImage before = pictures->item(0)->icon().pixmap(88).toImage();
    QSignalSpy finished(&dialog, &CInspectDlg::ReadingFinished);
    FindControl<QCheckBox>(&window, IDC_ROW_RIGHT_TO_LEFT)->setChecked(true);
    QVERIFY(finished.wait(20000));
    const QImage after = pictures->item(0)->icon().pixmap(88).toImage();
    QCOMPARE(before.pixel(30, 44), qRgb(255, 0, 0));
    QCOMPARE(after.pixel(30, 44), qRgb(0, 0, 255));

    // A folder that is not there is refused; the one shown stays readable.
    QStringList messages;
    SetAppMessageResponder([&messages](const AppMessage& message) {
      messages << message.text;
      return QMessageBox::Ok;
    });
    FindControl<QLineEdit>(&dialog, CInspectDlg::IDC_INSPECT_FOLDER)->setText(root_.filePath("no"));
    FindControl<QPushButton>(&dialog, CInspectDlg::IDC_INSPECT_OPEN)->click();
    pictures->itemDoubleClicked(pictures->item(2));
    SetAppMessageResponder({});
    QCOMPARE(messages, QStringList{"目录不存在！"});
    const auto windows = dialog.findChildren<QDialog*>();
    QCOMPARE(windows.size(), 1);
    QCOMPARE(windows.first()->windowTitle(), QStringLiteral("图片 2"));
  }

  // Settings changed before the listing is in still reach every thumbnail.
  void settingsChangedWhileReadingReachTheThumbnails() {
    CInspectDlg dialog(ImageSettings{}, nullptr);
    FindControl<QLineEdit>(&dialog, CInspectDlg::IDC_INSPECT_FOLDER)
        ->setText(QString::fromStdString(folder_.string()));
    QSignalSpy finished(&dialog, &CInspectDlg::ReadingFinished);
    FindControl<QPushButton>(&dialog, CInspectDlg::IDC_INSPECT_OPEN)->click();
    ImageSettings mirrored;
    mirrored.rowRightToLeft = true;
    dialog.SetImageSettings(mirrored);
    QVERIFY(finished.wait(20000));
    auto* pictures = FindControl<QListWidget>(&dialog, CInspectDlg::IDC_INSPECT_PICTURES);
    QCOMPARE(pictures->item(0)->icon().pixmap(88).toImage().pixel(30, 44), qRgb(0, 0, 255));
  }

  // Opening the window reads the folder in its field; the pictures are drawn
  // at the files' depth, and a depth chosen otherwise is named.
  void opensAtTheFilesDepth_data() {
    QTest::addColumn<int>("compiledDepth");
    QTest::addColumn<int>("viewedDepth");
    QTest::addColumn<QStringList>("findings");
    QTest::newRow("16-bit files viewed as 24")
        << 0 << 1 << QStringList{"资源文件是 16 位色彩，与所选的 24 位不同；按文件的 16 位显示"};
    QTest::newRow("24-bit files viewed as 16")
        << 1 << 0 << QStringList{"资源文件是 24 位色彩，与所选的 16 位不同；按文件的 24 位显示"};
    QTest::newRow("matching") << 0 << 0 << QStringList{"未发现问题"};
  }

  void opensAtTheFilesDepth() {
    QFETCH(int, compiledDepth);
    QFETCH(int, viewedDepth);
    QTemporaryDir compiled;
    const std::filesystem::path folder(compiled.path().toStdString());
    ImageSettings settings;
    settings.colorDepth = compiledDepth;
    CSilentSink sink;
    QCOMPARE(GenerateImageResources({folder_ / "halves.png"}, settings, folder / "image.bin",
                                    folder / "image.idx", sink),
             CompileOutcome::Written);
    settings.colorDepth = viewedDepth;
    CInspectDlg dialog(settings, nullptr);
    dialog.folderPath = compiled.path();
    dialog.DoDataExchange(false);
    QSignalSpy finished(&dialog, &CInspectDlg::ReadingFinished);
    dialog.show();
    QVERIFY(finished.wait(20000));
    QTEST(Texts(FindControl<QListWidget>(&dialog, CInspectDlg::IDC_INSPECT_FINDINGS)), "findings");
    auto* pictures = FindControl<QListWidget>(&dialog, CInspectDlg::IDC_INSPECT_PICTURES);
    QCOMPARE(pictures->item(0)->icon().pixmap(88).toImage().pixel(30, 44), qRgb(255, 0, 0));
  }

  void aBrokenFolderListsItsFindings() {
    QTemporaryDir broken;
    QFile index(broken.filePath("image.idx"));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write(QByteArray(15, '\0'));
    index.close();
    CInspectDlg dialog(ImageSettings{}, nullptr);
    FindControl<QLineEdit>(&dialog, CInspectDlg::IDC_INSPECT_FOLDER)->setText(broken.path());
    QVERIFY(Open(dialog));
    QCOMPARE(Texts(FindControl<QListWidget>(&dialog, CInspectDlg::IDC_INSPECT_FINDINGS)),
             QStringList{"image.idx：长度 15 字节，不是 16 的倍数，末尾 15 字节不成条目"});
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::InspectDlgTest)
#include "resource_view_dlg_test.moc"
