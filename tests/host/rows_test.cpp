#include "app/rows.h"

#include <gtest/gtest.h>

#include "tests/host/fake_table.h"

namespace {

class RowsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFake(); }

  // Appends rows numbered 1.. with the given statuses.
  static void AddStatuses(const std::vector<AnsiText>& statuses) {
    for (std::size_t i = 0; i < statuses.size(); ++i) {
      Fake().Add({{IntToText(static_cast<int32_t>(i + 1)), "n" + IntToText(static_cast<int32_t>(i + 1)),
                   statuses[i]}});
    }
  }
};

TEST_F(RowsTest, PurgeRemovesEveryLikedRunWhateverItsLength) {
  for (int k : {1, 2, 31, 32, 100}) {
    ResetFake();
    std::vector<AnsiText> statuses = {""};
    statuses.insert(statuses.end(), k, StatusLiked);
    statuses.push_back("");
    AddStatuses(statuses);
    PurgeLikedRows();
    EXPECT_EQ(Fake().Column(kColumnNumber), (std::vector<AnsiText>{"n1", "n" + IntToText(k + 2)})) << k;
  }
}

TEST_F(RowsTest, PurgeKeepsOtherStatusesOrderAndNumbers) {
  const AnsiText liked = StatusLiked;
  AddStatuses(
      {liked, liked, "", liked, liked, liked, "", liked + " ", StatusCardNotFound, "x" + liked, liked});
  PurgeLikedRows();
  EXPECT_EQ(Fake().Column(kColumnRowNumber), (std::vector<AnsiText>{"3", "7", "8", "9", "10"}));
  EXPECT_EQ(Fake().Column(kColumnStatus),
            (std::vector<AnsiText>{"", "", liked + " ", StatusCardNotFound, "x" + liked}));
}

TEST_F(RowsTest, PurgeCrossesToTheTableThreadInBatchesNotPerRow) {
  std::vector<AnsiText> statuses;
  for (int i = 0; i < 10000; ++i) statuses.push_back(i % 2 ? AnsiText(StatusLiked) : AnsiText());
  AddStatuses(statuses);
  PurgeLikedRows();
  EXPECT_EQ(Fake().rows.size(), 5000u);
  EXPECT_LE(Fake().tableTrips, 4);
  EXPECT_EQ(Fake().yields, Fake().tableTrips);
}

TEST_F(RowsTest, PurgeOfAnEmptyOrVanishedTableEnds) {
  PurgeLikedRows();
  EXPECT_EQ(Fake().yields, 1);
  Fake().gone = true;
  PurgeLikedRows();
  EXPECT_EQ(Fake().tableTrips, 1);
}

TEST_F(RowsTest, PurgeRangeStopsAfterItsRowsAndResumesByIndex) {
  const AnsiText liked = StatusLiked;
  AddStatuses({liked, "", liked, "", liked});
  int32_t next = PurgeLikedRange(0, 3);  // looks at rows 1..3, deletes 1 and 3
  EXPECT_EQ(next, 1);
  EXPECT_EQ(Fake().rows.size(), 3u);
  next = PurgeLikedRange(next, 3);
  EXPECT_EQ(next, -1);
  EXPECT_EQ(Fake().Column(kColumnRowNumber), (std::vector<AnsiText>{"2", "4"}));
}

TEST_F(RowsTest, DeleteSelectedRowDeletesYieldsAndRenumbersEverything) {
  AddStatuses({"", "", ""});
  Fake().Add({{"1", "m1", ""}, {"2", "m2", ""}});
  Fake().selected = 1;
  DeleteSelectedRow();
  EXPECT_EQ(Fake().Column(kColumnNumber), (std::vector<AnsiText>{"n1", "n3", "m1", "m2"}));
  EXPECT_EQ(Fake().Column(kColumnRowNumber), (std::vector<AnsiText>{"1", "2", "3", "4"}));
  EXPECT_EQ(Fake().yields, 1);
}

TEST_F(RowsTest, DeleteSelectedRowWithoutSelectionStillRenumbers) {
  Fake().Add({{"7", "a", ""}, {"1", "b", ""}});
  DeleteSelectedRow();
  EXPECT_EQ(Fake().Column(kColumnRowNumber), (std::vector<AnsiText>{"1", "2"}));
  Fake().selected = 0;
  DeleteSelectedRow();
  Fake().selected = 0;
  DeleteSelectedRow();
  EXPECT_TRUE(Fake().rows.empty());
}

TEST_F(RowsTest, ClearRemovesAllRows) {
  AddStatuses({"", StatusLiked});
  ClearAllRows();
  EXPECT_TRUE(Fake().rows.empty());
  ClearAllRows();
  EXPECT_TRUE(Fake().rows.empty());
}

TEST_F(RowsTest, RowIdentityFollowsTheRowAcrossDeletions) {
  AddStatuses({"", "", ""});
  RowId id = 0;
  EXPECT_EQ(ReadCellWithId(2, kColumnNumber, &id), "n3");
  DeleteRow(0);
  EXPECT_TRUE(SetCellTextOfRow(id, kColumnStatus, StatusLiked));
  EXPECT_EQ(Fake().Column(kColumnStatus), (std::vector<AnsiText>{"", StatusLiked}));
  DeleteRow(1);
  EXPECT_FALSE(SetCellTextOfRow(id, kColumnStatus, StatusLiked));
  EXPECT_EQ(ReadCellWithId(5, kColumnNumber, &id), "");
  EXPECT_EQ(id, 0);
}

}  // namespace
