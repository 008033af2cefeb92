#include "image/image_gallery.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace zentora {

namespace {

namespace fs = std::filesystem;

void SaveFilled(const fs::path& path, QSize size, QColor colour) {
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(colour);
  QVERIFY(picture.save(QString::fromStdString(path.string()), "PNG"));
}

std::string Order(const CImageGallery& gallery) {
  std::string order;
  for (int i = 0; i < gallery.Items().GetCount(); ++i) {
    order += gallery.Items().GetPath(i).stem().string();
  }
  return order;
}

// Mouse events as the window system delivers them to the gallery's client
// area, with the buttons held at that moment.
void Mouse(CImageGallery& gallery, QEvent::Type type, QPoint point,
           Qt::MouseButtons held = Qt::LeftButton) {
  QWidget* client = gallery.viewport();
  QMouseEvent event(type, QPointF(point), QPointF(client->mapToGlobal(point)), Qt::LeftButton, held,
                    Qt::NoModifier);
  QApplication::sendEvent(client, &event);
}

void Wheel(CImageGallery& gallery, int delta, QWidget* target = nullptr) {
  QWidget* client = target != nullptr ? target : gallery.viewport();
  const QPoint point(5, 50);
  QWheelEvent event(QPointF(point), QPointF(client->mapToGlobal(point)), QPoint(), QPoint(0, delta),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(client, &event);
}

}  // namespace

class ImageGalleryTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  fs::path File(const char* name) const { return fs::path(dir_.filePath(name).toStdString()); }

  // A gallery of `count` 80 × 80 pictures named a, b, c ... in one row of
  // four columns, shown on the offscreen screen.
  void Fill(CImageGallery& gallery, int count) {
    gallery.SetDragSwitches(true, true);
    gallery.resize(430, 250);
    for (int i = 0; i < count; ++i) {
      const std::string name =
          i < 26 ? std::string(1, static_cast<char>('a' + i)) : "z" + std::to_string(i);
      SaveFilled(File((name + ".png").c_str()), QSize(80, 80), QColor(i * 20, 0, 0));
      gallery.Items().Add(File((name + ".png").c_str()));
    }
    gallery.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gallery));
    gallery.Layout();
    QCOMPARE(gallery.Geometry().Columns(), 4);
  }

  static QPoint CentreOf(const CImageGallery& gallery, int index) {
    return gallery.Geometry().CellRectOfIndex(index, gallery.ScrollPosition()).center();
  }

 private Q_SLOTS:
  void clickSelectsAndClickOutsideClears() {
    CImageGallery gallery;
    Fill(gallery, 3);
    Mouse(gallery, QEvent::MouseButtonPress, CentreOf(gallery, 1));
    Mouse(gallery, QEvent::MouseButtonRelease, CentreOf(gallery, 1), Qt::NoButton);
    QCOMPARE(gallery.Items().GetSelected(), 1);
    QCOMPARE(Order(gallery), std::string("abc"));

    // The caption below the thumbnail is outside every thumbnail box.
    for (const QPoint outside : {CentreOf(gallery, 1) + QPoint(0, 45), QPoint(350, 50)}) {
      gallery.Items().SetSelected(1);
      Mouse(gallery, QEvent::MouseButtonPress, outside);
      Mouse(gallery, QEvent::MouseButtonRelease, outside, Qt::NoButton);
      QCOMPARE(gallery.Items().GetSelected(), -1);
    }
  }

  void dragReordersAndShowsTheDragWindowPastTheThreshold() {
    CImageGallery gallery;
    Fill(gallery, 4);
    const QPoint start = CentreOf(gallery, 0);
    Mouse(gallery, QEvent::MouseButtonPress, start);
    QVERIFY(gallery.Dragging());
    Mouse(gallery, QEvent::MouseMove, start + QPoint(3, 3));
    QVERIFY(!gallery.DragImage().isVisible());
    Mouse(gallery, QEvent::MouseMove, start + QPoint(5, 5));
    QVERIFY(gallery.DragImage().isVisible());
    QCOMPARE(gallery.DragImage().size(), QSize(80, 80));
    QCOMPARE(gallery.DragImage().Path(), File("a.png"));

    // Onto the right half of c.
    const QPoint drop = CentreOf(gallery, 2) + QPoint(20, 0);
    Mouse(gallery, QEvent::MouseMove, drop);
    Mouse(gallery, QEvent::MouseButtonRelease, drop, Qt::NoButton);
    QVERIFY(!gallery.DragImage().isVisible());
    QVERIFY(!gallery.Dragging());
    QCOMPARE(Order(gallery), std::string("bcad"));
    QCOMPARE(gallery.Items().GetSelected(), 2);
  }

  void dragOutRemovesTheEntryAndKeepsTheFile() {
    CImageGallery gallery;
    Fill(gallery, 3);
    Mouse(gallery, QEvent::MouseButtonPress, CentreOf(gallery, 2));
    Mouse(gallery, QEvent::MouseMove, QPoint(-60, 40));
    Mouse(gallery, QEvent::MouseButtonRelease, QPoint(-60, 40), Qt::NoButton);
    QCOMPARE(Order(gallery), std::string("ab"));
    QCOMPARE(gallery.Items().GetSelected(), 1);  // the one before the removed last
    QVERIFY(fs::exists(File("c.png")));
  }

  void releaseLostElsewhereEndsTheDragWithoutChange() {
    CImageGallery gallery;
    Fill(gallery, 3);
    Mouse(gallery, QEvent::MouseButtonPress, CentreOf(gallery, 0));
    Mouse(gallery, QEvent::MouseMove, QPoint(-60, 40));
    Mouse(gallery, QEvent::MouseMove, QPoint(-70, 40), Qt::NoButton);
    QVERIFY(!gallery.Dragging());
    QVERIFY(!gallery.DragImage().isVisible());
    QCOMPARE(Order(gallery), std::string("abc"));
  }

  void keysMoveTheSelectionIntoViewAndRunTheCommands() {
    CImageGallery gallery;
    Fill(gallery, 40);  // ten rows of four
    QAction open;
    QAction remove;
    int opened = 0;
    int removed = 0;
    connect(&open, &QAction::triggered, [&] { ++opened; });
    connect(&remove, &QAction::triggered, [&] { ++removed; });
    gallery.SetCommands({&open, &remove, {&open, nullptr, &remove}});
    QVERIFY(gallery.focusPolicy() & Qt::TabFocus);
    QScrollBar* bar = gallery.verticalScrollBar();
    struct Press {
      Qt::Key key;
      int selected;
      bool scrolled;  // the selected cell's bottom lies below the top of the view
      int opened, removed;
    };
    for (const Press& press :
         {Press{Qt::Key_Return, -1, false, 0, 0}, Press{Qt::Key_Right, 0, false, 0, 0},
          Press{Qt::Key_Down, 4, false, 0, 0}, Press{Qt::Key_End, 39, true, 0, 0},
          Press{Qt::Key_Return, 39, true, 1, 0}, Press{Qt::Key_Delete, 39, true, 1, 1},
          Press{Qt::Key_Home, 0, false, 1, 1}}) {
      QTest::keyClick(&gallery, press.key);
      QCOMPARE(gallery.Items().GetSelected(), press.selected);
      QCOMPARE(bar->value() > 0, press.scrolled);
      const QRect cell =
          gallery.Geometry().CellRectOfIndex(std::max(0, press.selected), gallery.ScrollPosition());
      QVERIFY(gallery.viewport()->rect().contains(cell));
      QCOMPARE(opened, press.opened);
      QCOMPARE(removed, press.removed);
    }
  }

  void transparentPictureDragsOverTheGalleryBackground() {
    CImageGallery gallery;
    Fill(gallery, 1);
    QImage clear(QSize(80, 80), QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    QVERIFY(clear.save(QString::fromStdString(File("a.png").string()), "PNG"));
    Mouse(gallery, QEvent::MouseButtonPress, CentreOf(gallery, 0));
    const QColor shown =
        const_cast<CDragImage&>(gallery.DragImage()).grab().toImage().pixelColor(40, 40);
    // The background as the gallery paints it there (the gradient may round
    // a step apart).
    const QColor under = gallery.viewport()->grab().toImage().pixelColor(CentreOf(gallery, 0));
    QVERIFY(std::abs(shown.red() - under.red()) + std::abs(shown.green() - under.green()) +
                std::abs(shown.blue() - under.blue()) <=
            3);
    QVERIFY(shown != QColor(Qt::black));
    Mouse(gallery, QEvent::MouseButtonRelease, CentreOf(gallery, 0), Qt::NoButton);
  }

  void notesUnderTheCaptionMakeTheirRowTaller() {
    CImageGallery gallery;
    Fill(gallery, 2);
    const int plain = gallery.Geometry().VerticalMaximum();
    gallery.SetFileLook(QIcon(), [](const fs::path& path) {
      return path.stem() == "a" ? QStringLiteral("0:02 · 16 位 · 单声道 · 8000 Hz") : QString();
    });
    // Two lines of text more than a row of plain captions.
    QVERIFY(gallery.Geometry().VerticalMaximum() > plain + 20);
  }

  void wheelScrollsOneLinePerNotch() {
    CImageGallery gallery;
    Fill(gallery, 40);  // ten rows
    QScrollBar* bar = gallery.verticalScrollBar();
    struct Step {
      int delta;
      int position;
    };
    for (const Step step : {Step{-120, 40}, Step{-40, 40}, Step{-40, 40}, Step{-40, 80},
                            Step{0, 80}, Step{+60, 80}, Step{+60, 40}, Step{-480, 200}}) {
      Wheel(gallery, step.delta);
      QCOMPARE(bar->value(), step.position);
    }
    // Over the scroll bar a notch is still one line.
    Wheel(gallery, -120, bar);
    QCOMPARE(bar->value(), 240);
  }

  void picturesNearTheViewAreDecodedAheadOfScrolling() {
    CImageGallery gallery;
    Fill(gallery, 40);  // ten rows, three in view
    QVERIFY(!gallery.grab().isNull());
    const int decoded = gallery.Thumbnails().Decodes();
    gallery.WaitForPrefetch();
    CThumbnailCache& cache = gallery.Thumbnails();
    QVERIFY(!cache.NeedsDecoding(gallery.Items().GetPath(12)));  // the page below
    QVERIFY(!cache.NeedsDecoding(gallery.Items().GetPath(23)));
    QVERIFY(cache.NeedsDecoding(gallery.Items().GetPath(39)));  // far below

    gallery.verticalScrollBar()->setValue(gallery.verticalScrollBar()->pageStep());
    QVERIFY(!gallery.grab().isNull());
    QCOMPARE(gallery.Thumbnails().Decodes(), decoded);
  }

  void rewrittenPictureShowsAtTheNextRepaint() {
    CImageGallery gallery;
    Fill(gallery, 1);
    const QPoint centre = CentreOf(gallery, 0);
    QCOMPARE(gallery.viewport()->grab().toImage().pixelColor(centre), QColor(0, 0, 0));
    SaveFilled(File("a.png"), QSize(40, 40), QColor(0, 200, 0));
    QCOMPARE(gallery.viewport()->grab().toImage().pixelColor(centre), QColor(0, 200, 0));
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::ImageGalleryTest)
#include "image_gallery_test.moc"
