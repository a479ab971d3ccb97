#include <gtest/gtest.h>

#include <cstdio>

#include "core/clock.h"
#include "core/error.h"
#include "core/files.h"
#include "core/random.h"

TEST(Random, WindowsRuntimeSequence) {
    // The first draws of the C runtime's rand() after srand(1).
    GameSrand(1);
    EXPECT_EQ(GameRand(), 41);
    EXPECT_EQ(GameRand(), 18467);
    EXPECT_EQ(GameRand(), 6334);
    for (int i = 0; i < 1000; i++) {
        int r = GameRand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, GameRandMax);
    }
}

TEST(Clock, OverrideDrivesBothClocks) {
    SetClockOverride(5000000);  // 5 s
    EXPECT_TRUE(ClockOverridden());
    EXPECT_EQ(TimeGetTime(), 5000u);
    long long c0 = QueryCounter();
    AdvanceClockOverride(250000);
    EXPECT_EQ(TimeGetTime(), 5250u);
    EXPECT_EQ(QueryCounter() - c0, CounterFrequency() / 4);
    // Ten hours in microseconds must not overflow the counter.
    SetClockOverride(36000000000LL);
    EXPECT_EQ(QueryCounter() / CounterFrequency(), 36000);
    ClearClockOverride();
    EXPECT_FALSE(ClockOverridden());
    unsigned t0 = TimeGetTime();
    long long q0 = QueryCounter();
    EXPECT_GE(QueryCounter(), q0);
    EXPECT_LE(TimeGetTime() - t0, 1000u);
}

TEST(Error, ReportsAppendOneLineEach) {
    SetErrorReportFile("coreutil_error.txt");
    int before = ErrorReportCount();
    ReportError("Error", "Test::Op()-first\nline");
    ReportError("Error", "Test::Op()-second");
    EXPECT_EQ(ErrorReportCount(), before + 2);
    EXPECT_EQ(LastErrorReport(), "Error: Test::Op()-second");
    EXPECT_EQ(ReadWholeFile(true, "coreutil_error.txt"),
              "Error: Test::Op()-first line\nError: Test::Op()-second\n");
    SetErrorReportFile("_error.txt");
    remove("coreutil_error.txt");
}
