#include "image/gallery_geometry.h"

#include <gtest/gtest.h>

#include <string>

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
           Case{0, {270, 50}, "bcad", 2, {299, 20, 3, 60}},  // right half of c
           Case{3, {120, 50}, "adbc", 1, {99, 20, 3, 60}},   // left half of b
           Case{1, {170, 50}, "abcd", 1, {199, 20, 3, 60}},  // its own right half
           Case{1, {220, 50}, "abcd", 1, {199, 20, 3, 60}},  // the next cell's left half
           Case{1, {150, 50}, "abcd", 1, {99, 20, 3, 60}},   // its own centre: before
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
