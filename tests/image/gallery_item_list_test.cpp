#include "image/gallery_item_list.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace zentora {
namespace {

CGalleryItemList ListOf(std::initializer_list<const char*> names) {
  CGalleryItemList list;
  for (const char* name : names) {
    list.Add(name);
  }
  return list;
}

std::string Order(const CGalleryItemList& list) {
  std::string order;
  for (int i = 0; i < list.GetCount(); ++i) {
    order += list.GetPath(i).string();
  }
  return order;
}

TEST(GalleryItemList, StartsEmptyWithoutSelection) {
  CGalleryItemList list;
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetSelected(), -1);
  EXPECT_TRUE(list.GetPath(0).empty());
}

TEST(GalleryItemList, AddKeepsDuplicatesAndSelection) {
  CGalleryItemList list = ListOf({"a", "b"});
  list.SetSelected(1);
  list.Add("/w/x.png");
  list.Add("/w/x.png");
  EXPECT_EQ(list.GetCount(), 4);
  EXPECT_EQ(list.GetPath(2), list.GetPath(3));
  EXPECT_EQ(list.GetSelected(), 1);
}

TEST(GalleryItemList, OutOfRangeIndicesDoNothing) {
  CGalleryItemList list = ListOf({"a", "b"});
  list.SetSelected(0);
  list.SetPath(2, "z");
  list.SetPath(-1, "z");
  list.Remove(2);
  list.Remove(-1);
  list.Move(5, 0);
  list.Move(0, 3);
  list.SetSelected(2);
  EXPECT_EQ(Order(list), "ab");
  EXPECT_EQ(list.GetSelected(), 0);
  list.SetSelected(-1);
  EXPECT_EQ(list.GetSelected(), -1);
}

TEST(GalleryItemList, SetPathReplacesInPlace) {
  CGalleryItemList list = ListOf({"a", "b", "c"});
  list.SetPath(1, "B");
  EXPECT_EQ(Order(list), "aBc");
}

struct MoveCase {
  const char* name;
  int selected;
  int source;
  int target;
  const char* order;
  int selectedAfter;
};

void PrintTo(const MoveCase& c, std::ostream* out) {
  *out << c.name;
}

class GalleryItemListMove : public ::testing::TestWithParam<MoveCase> {};

TEST_P(GalleryItemListMove, ReordersAndSelectionFollows) {
  const MoveCase& c = GetParam();
  CGalleryItemList list = ListOf({"a", "b", "c", "d"});
  list.SetSelected(c.selected);
  list.Move(c.source, c.target);
  EXPECT_EQ(Order(list), c.order);
  EXPECT_EQ(list.GetSelected(), c.selectedAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, GalleryItemListMove,
                         ::testing::Values(MoveCase{"FirstToBeforeLast", 0, 0, 3, "bcad", 2},
                                           MoveCase{"LastToSecond", 3, 3, 1, "adbc", 1},
                                           MoveCase{"OntoItself", 1, 1, 1, "abcd", 1},
                                           MoveCase{"JustAfterItself", 1, 1, 2, "abcd", 1},
                                           MoveCase{"ToTheEnd", 0, 0, 4, "bcda", 3},
                                           MoveCase{"ToTheStart", 2, 2, 0, "cabd", 0}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(GalleryItemList, RemovingSelectedLastSelectsThePrevious) {
  CGalleryItemList list = ListOf({"a", "b", "c"});
  list.SetSelected(2);
  list.Remove(2);
  EXPECT_EQ(Order(list), "ab");
  EXPECT_EQ(list.GetSelected(), 1);
}

TEST(GalleryItemList, RemovingSelectedMiddleSelectsTheFollower) {
  CGalleryItemList list = ListOf({"a", "b", "c"});
  list.SetSelected(1);
  list.Remove(1);
  EXPECT_EQ(Order(list), "ac");
  EXPECT_EQ(list.GetSelected(), 1);
  EXPECT_EQ(list.GetPath(list.GetSelected()), "c");
}

TEST(GalleryItemList, RemovingTheOnlyEntryLeavesNoSelection) {
  CGalleryItemList list = ListOf({"a"});
  list.SetSelected(0);
  list.Remove(0);
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetSelected(), -1);
}

TEST(GalleryItemList, RemoveAllClearsTheSelection) {
  CGalleryItemList list = ListOf({"a", "b"});
  list.SetSelected(1);
  list.RemoveAll();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetSelected(), -1);
}

TEST(GalleryItemList, SnapshotIsIndependentOfLaterEdits) {
  CGalleryItemList list = ListOf({"a", "b"});
  const std::vector<std::filesystem::path> snapshot = list.Snapshot();
  list.RemoveAll();
  ASSERT_EQ(snapshot.size(), 2u);
  EXPECT_EQ(snapshot[1], "b");
}

}  // namespace
}  // namespace zentora
