#include "readback/module_preview_dlg.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#include "app/zentora_dlg.h"
#include "image/image_gallery.h"
#include "readback/preview_pair_view.h"
#include "ui/control_ids.h"

namespace zentora {

namespace {

std::filesystem::path SavePixels(const QTemporaryDir& root, const char* name,
                                 std::initializer_list<QRgb> pixels) {
  QImage image(static_cast<int>(pixels.size()), 1, QImage::Format_ARGB32);
  int x = 0;
  for (const QRgb pixel : pixels) {
    image.setPixel(x++, 0, pixel);
  }
  const std::filesystem::path path = root.filePath(name).toStdString();
  image.save(QString::fromStdString(path.string()));
  return path;
}

QString TextOf(const QWidget& window, int id) {
  return FindControl<QLabel>(&window, id)->text();
}

}  // namespace

class ModulePreviewDlgTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir root_;

  // The main window with the pictures listed and the first selected, and
  // the preview opened from the menu.
  static CModulePreviewDlg& Open(CZentoraDlg& window,
                                 const std::vector<std::filesystem::path>& pictures) {
    CImageGallery& gallery = window.PictureGallery();
    for (const std::filesystem::path& picture : pictures) {
      gallery.Items().Add(picture);
    }
    gallery.Items().SetSelected(0);
    gallery.Layout();
    window.Action(ID_MODULE_PREVIEW)->trigger();
    return *window.findChild<CModulePreviewDlg*>();
  }

 private Q_SLOTS:
  void followsSettingsAndSelection() {
    CZentoraDlg window(nullptr, root_.path().toStdString());
    CModulePreviewDlg& dialog =
        Open(window, {SavePixels(root_, "dark.png", {0xFF070307, 0xFF070307}),
                      SavePixels(root_, "red.png", {0xFFFF0000})});
    QVERIFY(dialog.isVisible());
    QCOMPARE(TextOf(dialog, CModulePreviewDlg::IDC_PREVIEW_NAME), QStringLiteral("图片：dark.png"));
    QCOMPARE(TextOf(dialog, CModulePreviewDlg::IDC_PREVIEW_SHOWN_FIGURES),
             QStringLiteral("最大误差 R 7 G 3 B 7 · PSNR 32.61 dB"));
    auto* pair = FindControl<CPreviewPairView>(&dialog, CModulePreviewDlg::IDC_PREVIEW_PAIR);
    QCOMPARE(pair->Right().pixel(0, 0), qRgb(0, 0, 0));

    // At 24 bits the module keeps every bit.
    FindControl<QComboBox>(&window, IDC_COLOR_DEPTH)->setCurrentIndex(1);
    QCOMPARE(TextOf(dialog, CModulePreviewDlg::IDC_PREVIEW_SHOWN_FIGURES),
             QStringLiteral("与原图完全相同 · PSNR ∞"));
    QCOMPARE(pair->Right().pixel(0, 0), qRgb(7, 3, 7));

    // The gallery's keys move the selection, and the preview follows.
    QTest::keyClick(&window.PictureGallery(), Qt::Key_End);
    QCOMPARE(TextOf(dialog, CModulePreviewDlg::IDC_PREVIEW_NAME), QStringLiteral("图片：red.png"));
    QCOMPARE(pair->Left().pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(TextOf(dialog, CModulePreviewDlg::IDC_PREVIEW_DRAWN_FIGURES),
             QStringLiteral("1 × 1 像素"));
  }

  void showsTheTransparencyLine_data() {
    QTest::addColumn<uint>("alpha");
    QTest::addColumn<bool>("shown");
    QTest::newRow("opaque") << 0xFFu << false;
    QTest::newRow("half clear") << 0x80u << true;
  }
  void showsTheTransparencyLine() {
    QFETCH(uint, alpha);
    QFETCH(bool, shown);
    CZentoraDlg window(nullptr, root_.path().toStdString());
    CModulePreviewDlg& dialog =
        Open(window, {SavePixels(root_, "alpha.png", {0xFF00FF00, (alpha << 24) | 0xFF0000})});
    QCOMPARE(FindControl<QLabel>(&dialog, CModulePreviewDlg::IDC_PREVIEW_TRANSPARENCY)->isVisible(),
             shown);
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::ModulePreviewDlgTest)
#include "module_preview_dlg_test.moc"
