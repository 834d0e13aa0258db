// Start, Pause and Resume with real threads; the run's body here just counts
// its waits, so that the state table can be checked without a QQ client.
#include <gtest/gtest.h>

#include <atomic>

#include "app/run_control.h"
#include "core/desktop.h"

namespace {

std::atomic<int> g_steps{0};
std::atomic<int> g_runs{0};

void CountingRun() {
  ++g_runs;
  for (int i = 0; i < 12; ++i) {
    ++g_steps;
    RunWait(100);
  }
}

void EndsAtOnce() { ++g_runs; }

// Steps made in the next `ms` milliseconds.
int StepsDuring(DWORD ms) {
  const int before = g_steps;
  Sleep(ms);
  return g_steps - before;
}

void WaitForEnd() {
  for (int i = 0; i < 200 && RunIsGoing(); ++i) Sleep(25);
  ASSERT_FALSE(RunIsGoing());
}

class RunControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_steps = 0;
    g_runs = 0;
  }
  void TearDown() override {
    for (int i = 0; i < 10; ++i) ResumeRun();
    WaitForEnd();
  }
};

TEST_F(RunControlTest, PauseAndResumeBeforeAnyRunDoNothing) {
  ASSERT_EQ(RunThreadHandle, nullptr);  // the first test of this program
  PauseRun();
  ResumeRun();
  ResumeRun();
  StartRunWith(CountingRun);
  EXPECT_GT(StepsDuring(200), 0);  // no pause was left behind
}

TEST_F(RunControlTest, TwoPausesNeedTwoResumes) {
  StartRunWith(CountingRun);
  Sleep(60);
  PauseRun();
  PauseRun();
  Sleep(100);  // the wait in progress ends and holds
  EXPECT_EQ(StepsDuring(400), 0);
  ResumeRun();
  EXPECT_EQ(StepsDuring(300), 0);
  ResumeRun();
  EXPECT_GT(StepsDuring(300), 0);
}

TEST_F(RunControlTest, ResumeWhileRunningDoesNothing) {
  StartRunWith(CountingRun);
  ResumeRun();
  ResumeRun();
  PauseRun();  // one pause still holds: the count never went below 0
  Sleep(100);
  EXPECT_EQ(StepsDuring(300), 0);
}

TEST_F(RunControlTest, StartWhileGoingOrPausedStartsNothing) {
  StartRunWith(CountingRun);
  const HANDLE first = RunThreadHandle;
  StartRunWith(CountingRun);
  EXPECT_EQ(RunThreadHandle, first);
  PauseRun();
  StartRunWith(CountingRun);
  EXPECT_EQ(RunThreadHandle, first);
  Sleep(100);
  EXPECT_EQ(StepsDuring(200), 0);  // still paused: the Start resumed nothing
  EXPECT_EQ(g_runs, 1);
}

TEST_F(RunControlTest, StartAfterTheEndStartsANewRunAndPauseAfterItDoesNothing) {
  StartRunWith(EndsAtOnce);
  WaitForEnd();
  PauseRun();  // after the end: nothing
  StartRunWith(CountingRun);
  EXPECT_GT(StepsDuring(200), 0);
  EXPECT_EQ(g_runs.load(), 2);
}

TEST_F(RunControlTest, ResumedWaitWhoseTimeHasPassedEndsAtOnce) {
  StartRunWith(CountingRun);
  Sleep(20);
  PauseRun();
  Sleep(300);
  const int before = g_steps;
  ResumeRun();
  Sleep(40);  // less than a whole wait: the paused one is over already
  EXPECT_EQ(g_steps, before + 1);
}

}  // namespace
