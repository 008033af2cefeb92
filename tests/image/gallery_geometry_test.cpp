#include "image/gallery_geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/gallery_item_list.h"

namespace zentora {
namespace {

TEST(GalleryGeometryTest, ColumnsRowsAndScrollRangesFollowTheClientArea) {
  CGalleryGeometry geometry;
  struct Case {
    int width, count, columns, rows;
  };
  for (const Case& c : {Case{0, 3, 1, 3}, Case{99, 3, 1, 3}, Case{250, 5, 2, 3}, Case{795, 0, 7, 0},
                        Case{795, 7, 7, 1}, Case{795, 8, 7, 2}}) {
    geometry.Layout(QSize(c.width, 300), c.count);
    EXPECT_EQ(geometry.Columns(), c.columns) << c.width << " " << c.count;
    EXPECT_EQ(geometry.Rows(), c.rows) << c.width << " " << c.count;
    EXPECT_EQ(geometry.VerticalMaximum(), c.rows * 100);
    EXPECT_EQ(geometry.HorizontalMaximum(), c.columns * 100);
  }
}

TEST(GalleryGeometryTest, ThumbnailsFitEightyPixelsAndSitCentredWithEvenSides) {
  EXPECT_EQ(CGalleryGeometry::ThumbnailSize(QSize(800, 600)), QSize(80, 60));
  EXPECT_EQ(CGalleryGeometry::ThumbnailSize(QSize(400, 200)), QSize(80, 40));
  EXPECT_EQ(CGalleryGeometry::ThumbnailSize(QSize(10, 20)), QSize(40, 80));  // enlarged
  EXPECT_EQ(CGalleryGeometry::ThumbnailSize(QSize(3, 7)), QSize(34, 80));    // truncated
  EXPECT_EQ(CGalleryGeometry::ThumbnailSize(QSize()), QSize(32, 32));
  const QRect cell(100, 200, 100, 100);
  EXPECT_EQ(CGalleryGeometry::ThumbnailBox(cell, QSize(80, 60)), QRect(110, 220, 80, 60));
  EXPECT_EQ(CGalleryGeometry::ThumbnailBox(cell, QSize(33, 7)), QRect(134, 247, 32, 6));
}

TEST(GalleryGeometryTest, HitTestsCellsAndThumbnailBoxes) {
  CGalleryGeometry geometry;
  geometry.Layout(QSize(250, 300), 5);  // two columns, three rows
  const QPoint scrolled(0, 40);
  EXPECT_EQ(geometry.HitTestCell(QPoint(150, 70), QPoint()).index, 1);
  EXPECT_EQ(geometry.HitTestCell(QPoint(150, 70), scrolled).index, 3);
  EXPECT_EQ(geometry.HitTestCell(QPoint(150, 70), scrolled).rect, QRect(100, 60, 100, 100));
  EXPECT_EQ(geometry.HitTestCell(QPoint(150, 250), QPoint()).index, -1);  // past the end
  EXPECT_EQ(geometry.HitTestCell(QPoint(230, 50), QPoint()).index, -1);   // right of the grid
  EXPECT_EQ(geometry.HitTestCell(QPoint(199, 99), QPoint()).index, 1);
  EXPECT_EQ(geometry.HitTestCell(QPoint(200, 99), QPoint()).index, -1);

  const auto sizes = [](int index) { return index == 0 ? QSize(80, 40) : QSize(32, 32); };
  EXPECT_EQ(geometry.HitTestThumbnail(QPoint(50, 50), QPoint(), sizes).rect, QRect(10, 30, 80, 40));
  EXPECT_EQ(geometry.HitTestThumbnail(QPoint(50, 25), QPoint(), sizes).index, -1);
  EXPECT_EQ(geometry.HitTestThumbnail(QPoint(150, 50), QPoint(), sizes).index, 1);
  EXPECT_EQ(geometry.HitTestThumbnail(QPoint(120, 50), QPoint(), sizes).index, -1);
}

// The rectangle a painter at scale covers for a logical rectangle.
QRect DevicePixels(const QRect& rect, double scale) {
  return QRectF(rect.x() * scale, rect.y() * scale, rect.width() * scale, rect.height() * scale)
      .toAlignedRect();
}

TEST(GalleryGeometryTest, RowsAreAsTallAsTheirTallestCellSoNothingOverlaps) {
  struct Case {
    std::vector<int> heights;  // thumbnail heights, entry by entry
    int textHeight;            // caption and note lines, as the font measures them
    double scale;
    int columns;
    std::vector<int> rowTops;  // and the end of the last row
  };
  for (const Case& c : {
           Case{{80}, 14, 1, 3, {0, 124}},
           Case{{80, 32, 40}, 20, 1.5, 3, {0, 124}},
           Case{{32, 32, 32, 80, 20}, 20, 2, 3, {0, 100, 224}},
           Case{{40, 80, 10, 32, 32, 32, 80, 80}, 23, 1.5, 3, {0, 127, 230, 357}},
           Case{{80, 80, 80, 80}, 46, 2, 2, {0, 150, 300}},
       }) {
    const int count = static_cast<int>(c.heights.size());
    const auto thumbnail = [&](int i) { return QSize(60, c.heights[static_cast<std::size_t>(i)]); };
    CGalleryGeometry geometry;
    geometry.Layout(QSize(c.columns * 100 + 50, 300), count, [&](int i) {
      return CGalleryGeometry::CellHeight(thumbnail(i), c.textHeight);
    });
    std::vector<int> tops;
    for (int row = 0; row < geometry.Rows(); ++row) {
      tops.push_back(geometry.CellRect(row, 0, QPoint()).top());
    }
    tops.push_back(geometry.VerticalMaximum());
    EXPECT_EQ(tops, c.rowTops) << c.scale;
    std::vector<QRect> painted;
    for (int i = 0; i < count; ++i) {
      const QRect cell = geometry.CellRectOfIndex(i, QPoint());
      const QRect box = CGalleryGeometry::ThumbnailBox(cell, thumbnail(i));
      const QRect text = CGalleryGeometry::TextRect(cell, box, c.textHeight);
      EXPECT_TRUE(cell.contains(text)) << i << " at " << c.scale;
      painted.push_back(DevicePixels(box, c.scale));
      painted.push_back(DevicePixels(text, c.scale));
    }
    for (std::size_t a = 0; a < painted.size(); ++a) {
      for (std::size_t b = a + 1; b < painted.size(); ++b) {
        EXPECT_FALSE(painted[a].intersects(painted[b])) << a << " and " << b << " at " << c.scale;
      }
    }
  }
}

TEST(GalleryGeometryTest, KeysMoveTheSelectionAndTheViewFollows) {
  CGalleryGeometry geometry;
  geometry.Layout(QSize(350, 250), 8);  // three columns: 0 1 2 / 3 4 5 / 6 7
  using Step = CGalleryGeometry::Step;
  struct Case {
    int from;
    Step step;
    int to;
  };
  for (const Case& c : {Case{-1, Step::Right, 0}, Case{-1, Step::Up, 7}, Case{0, Step::Left, 0},
                        Case{2, Step::Right, 3}, Case{7, Step::Right, 7}, Case{1, Step::Down, 4},
                        Case{5, Step::Down, 7}, Case{7, Step::Down, 7}, Case{1, Step::Up, 1},
                        Case{7, Step::Up, 4}, Case{1, Step::PageDown, 7}, Case{7, Step::PageUp, 1},
                        Case{4, Step::First, 0}, Case{0, Step::Last, 7}}) {
    EXPECT_EQ(geometry.Stepped(c.from, c.step, 2), c.to) << c.from;
  }
  struct Scroll {
    int index, from, to;
  };
  for (const Scroll& c : {Scroll{0, 0, 0}, Scroll{7, 0, 50}, Scroll{0, 50, 0}, Scroll{4, 50, 50},
                          Scroll{4, 120, 100}}) {
    EXPECT_EQ(geometry.ScrollToShow(c.index, c.from), c.to) << c.index << " from " << c.from;
  }
}

TEST(GalleryGeometryTest, CaptionDropsFolderAndExtension) {
  EXPECT_EQ(GalleryCaption("/p/logo.final.png"), "logo.final");
  EXPECT_EQ(GalleryCaption("/p/图片.bmp"), "图片");
  EXPECT_EQ(GalleryCaption("/p/README"), "");
  EXPECT_EQ(GalleryCaption("/p/readme"), "");
  EXPECT_EQ(GalleryCaption("/p/a.b.png"), "a.b");
  EXPECT_EQ(GalleryCaption(""), "");
}

TEST(GalleryGeometryTest, DropsBeforeOrAfterTheCellUnderThePointer) {
  CGalleryGeometry geometry;
  geometry.Layout(QSize(400, 300), 4);  // a, b, c, d in one row
  struct Case {
    int source;
    QPoint point;
    std::string order;
    int selected;
    QRect bar;
  };
  for (const Case& c : {
           Case{0, {270, 50}, "bcad", 2, {299, 2, 3, 96}},  // right half of c
           Case{3, {120, 50}, "adbc", 1, {99, 2, 3, 96}},   // left half of b
           Case{1, {170, 50}, "abcd", 1, {199, 2, 3, 96}},  // its own right half
           Case{1, {220, 50}, "abcd", 1, {199, 2, 3, 96}},  // the next cell's left half
           Case{1, {150, 50}, "abcd", 1, {99, 2, 3, 96}},   // its own centre: before
       }) {
    CGalleryItemList list;
    for (const char* name : {"a", "b", "c", "d"}) {
      list.Add(name);
    }
    list.SetSelected(c.source);
    const CGalleryGeometry::DropTarget target = geometry.DropTargetAt(c.point, QPoint());
    list.Move(c.source, target.Position());
    std::string order;
    for (int i = 0; i < list.GetCount(); ++i) {
      order += list.GetPath(i).string();
    }
    EXPECT_EQ(order, c.order) << c.source << " onto " << c.point.x();
    EXPECT_EQ(list.GetSelected(), c.selected) << c.source << " onto " << c.point.x();
    EXPECT_EQ(CGalleryGeometry::InsertionBar(target), c.bar) << c.source << " onto " << c.point.x();
  }
  EXPECT_EQ(geometry.DropTargetAt(QPoint(50, 150), QPoint()).index, -1);  // below the last row
}

TEST(GalleryGeometryTest, DragWindowAndAutoScrollThresholds) {
  EXPECT_TRUE(CGalleryGeometry::ShowsDragWindow(QPoint(5, 5)));    // 50
  EXPECT_TRUE(CGalleryGeometry::ShowsDragWindow(QPoint(-5, 1)));   // 26
  EXPECT_FALSE(CGalleryGeometry::ShowsDragWindow(QPoint(5, 0)));   // 25
  EXPECT_FALSE(CGalleryGeometry::ShowsDragWindow(QPoint(3, -3)));  // 18

  using AutoScroll = CGalleryGeometry::AutoScroll;
  const QSize client(200, 300);
  struct Case {
    int y;
    AutoScroll expected;
  };
  for (const Case& c :
       {Case{-1, AutoScroll::Off}, Case{0, AutoScroll::Up}, Case{29, AutoScroll::Up},
        Case{30, AutoScroll::Idle}, Case{39, AutoScroll::Idle}, Case{40, AutoScroll::Off},
        Case{260, AutoScroll::Off}, Case{261, AutoScroll::Idle}, Case{271, AutoScroll::Down},
        Case{299, AutoScroll::Down}, Case{300, AutoScroll::Off}}) {
    EXPECT_EQ(CGalleryGeometry::AutoScrollAt(QPoint(100, c.y), client), c.expected) << c.y;
  }
  EXPECT_EQ(CGalleryGeometry::AutoScrollAt(QPoint(-3, 10), client), AutoScroll::Off);
}

}  // namespace
}  // namespace zentora
