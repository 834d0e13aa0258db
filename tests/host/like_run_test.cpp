#include "core/like_run.h"

#include <gtest/gtest.h>

#include "tests/host/fake_desktop.h"
#include "tests/host/fake_table.h"

namespace {

using Log = std::vector<std::string>;

const std::string kFind = std::string("find ") + ProfileWindowClass + " " + ProfileTitleFragment;

std::string Url(const std::string& number) { return "url " + std::string(ProfileUrlPrefix) + number; }

// The steps for one row whose card is found at once as window w.
Log LikedRow(const std::string& number, WindowHandle w) {
  Log log = {Url(number), "wait 1000", kFind};
  for (int k = 0; k < 10; ++k) {
    log.push_back("click " + std::to_string(w) + " 336 329");
    log.push_back("wait 300");
  }
  log.push_back("close " + std::to_string(w));
  return log;
}

Log Concat(std::initializer_list<Log> parts) {
  Log all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

class LikeRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFake();
    ResetDesktop();
  }
  static void AddNumbers(std::initializer_list<AnsiText> numbers) {
    for (const auto& n : numbers) Fake().Add({{"", n, ""}});
  }
};

TEST_F(LikeRunTest, OneRowInTheExactOrder) {
  AddNumbers({"10001"});
  Desktop().lookups = {7};
  LikeRun();
  EXPECT_EQ(Desktop().log, LikedRow("10001", 7));
  EXPECT_EQ(Fake().Column(kColumnStatus), (std::vector<AnsiText>{StatusLiked}));
}

TEST_F(LikeRunTest, EmptyTableOpensNothing) {
  LikeRun();
  EXPECT_TRUE(Desktop().log.empty());
}

TEST_F(LikeRunTest, NumberGoesIntoTheUrlUnchanged) {
  AddNumbers({" 12 ab\t", ""});
  Desktop().lookups = {1, 2};
  LikeRun();
  EXPECT_EQ(Desktop().log, Concat({LikedRow(" 12 ab\t", 1), LikedRow("", 2)}));
}

TEST_F(LikeRunTest, RowsAppendedAfterTheStartAreNotVisited) {
  AddNumbers({"1"});
  Desktop().lookups = {5, 6};
  Desktop().onWait = [] {
    if (Fake().rows.size() == 1) AddNumbers({"2"});
  };
  LikeRun();
  EXPECT_EQ(Desktop().log, LikedRow("1", 5));
  EXPECT_EQ(Fake().Column(kColumnStatus), (std::vector<AnsiText>{StatusLiked, ""}));
}

TEST_F(LikeRunTest, RowsRemovedDuringTheRunAreWalkedByIndex) {
  AddNumbers({"1", "2", "3"});
  Desktop().lookups = {5, 6, 7};
  Desktop().onWait = [] {
    if (Fake().rows.size() == 3) Fake().rows.resize(1);
  };
  LikeRun();
  // Indices 1 and 2 are past the end now: empty numbers, and no status lands.
  EXPECT_EQ(Desktop().log, Concat({LikedRow("1", 5), LikedRow("", 6), LikedRow("", 7)}));
  EXPECT_EQ(Fake().Column(kColumnStatus), (std::vector<AnsiText>{StatusLiked}));
}

TEST_F(LikeRunTest, StatusLandsOnTheHandledRowAfterRowsAboveWentAway) {
  AddNumbers({"A", "B", "C", "D"});
  Desktop().lookups = {1, 2, 3, 4};
  int waits = 0;
  // During the second row's waits the user deletes the first row.
  Desktop().onWait = [&] {
    if (++waits == 12) Fake().rows.erase(Fake().rows.begin());
  };
  LikeRun();
  EXPECT_EQ(Fake().Column(kColumnNumber), (std::vector<AnsiText>{"B", "C", "D"}));
  // B was handled and marked; C moved up past the walk and was never liked.
  // The third step reads index 2, which is D now.
  EXPECT_EQ(Fake().Column(kColumnStatus), (std::vector<AnsiText>{StatusLiked, "", StatusLiked}));
  EXPECT_EQ(Desktop().log, Concat({LikedRow("A", 1), LikedRow("B", 2), LikedRow("D", 3), LikedRow("", 4)}));
}

TEST_F(LikeRunTest, NoCardMeansNoClickNoCloseAndNotFound) {
  AddNumbers({"404", "1"});
  Desktop().lookups = {0, 0, 0, 0, 0, 0, 0, 0, 0, 9};
  LikeRun();
  Log notFound = {Url("404"), "wait 1000", kFind};
  for (int k = 0; k < 8; ++k) {
    notFound.push_back("wait 250");
    notFound.push_back(kFind);
  }
  EXPECT_EQ(Desktop().log, Concat({notFound, LikedRow("1", 9)}));
  EXPECT_EQ(Fake().Column(kColumnStatus), (std::vector<AnsiText>{StatusCardNotFound, StatusLiked}));
}

TEST_F(LikeRunTest, SlowCardIsClickedOnceItShowsUp) {
  AddNumbers({"5"});
  Desktop().lookups = {0, 3};
  LikeRun();
  Log expected = {Url("5"), "wait 1000", kFind, "wait 250"};
  const Log liked = LikedRow("5", 3);
  expected.insert(expected.end(), liked.begin() + 2, liked.end());
  EXPECT_EQ(Desktop().log, expected);
  EXPECT_EQ(Fake().Column(kColumnStatus), (std::vector<AnsiText>{StatusLiked}));
}

TEST_F(LikeRunTest, HiddenCardIsNotClickedAndAClosedCardStopsTheClicks) {
  AddNumbers({"1", "2"});
  // Row 1: a hidden card (one still closing) first, then the shown one.
  // Row 2: its card goes away after the third click.
  Desktop().lookups = {4, 5, 6};
  Desktop().hidden = {4};
  int clicks = 0;
  Desktop().onWait = [&] {
    if (Desktop().log.back() == "wait 300" && ++clicks == 13) Desktop().hidden.push_back(6);
  };
  LikeRun();
  Log expected = {Url("1"), "wait 1000", kFind, "wait 250"};
  const Log liked = LikedRow("1", 5);
  expected.insert(expected.end(), liked.begin() + 2, liked.end());
  expected.insert(expected.end(), {Url("2"), "wait 1000", kFind});
  for (int k = 0; k < 3; ++k) expected.insert(expected.end(), {"click 6 336 329", "wait 300"});
  EXPECT_EQ(Desktop().log, expected);
  EXPECT_EQ(Fake().Column(kColumnStatus), (std::vector<AnsiText>{StatusLiked, StatusCardNotFound}));
}

TEST_F(LikeRunTest, AlreadyLikedRowsAreHandledAgain) {
  Fake().Add({{"1", "7", StatusLiked}});
  Desktop().lookups = {2};
  LikeRun();
  EXPECT_EQ(Desktop().log, LikedRow("7", 2));
}

}  // namespace
