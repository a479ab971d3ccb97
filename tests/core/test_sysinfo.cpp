#include <gtest/gtest.h>

#include <cstring>

#include "core/sysinfo.h"

TEST(SysInfo, VersionCodes) {
    // {major, minor, platform id, code}
    const int cases[][4] = {{3, 51, 2, 1}, {4, 0, 1, 3}, {4, 0, 2, 2}, {4, 10, 1, 4}, {4, 90, 1, 5}, {4, 95, 1, 0},
                            {5, 0, 2, 6},  {5, 1, 2, 7}, {5, 2, 2, 8}, {5, 3, 2, 9},  {10, 0, 2, 9}};
    for (const auto& c : cases) EXPECT_EQ(WindowsVersionCode(c[0], c[1], c[2]), c[3]) << c[0] << "." << c[1];
}

TEST(SysInfo, SystemMessagesLoseLineEndAndStop) {
    EXPECT_EQ(TrimSystemMessage("Access is denied.\r\n"), "Access is denied");
    EXPECT_EQ(TrimSystemMessage("ok"), "ok");
    EXPECT_EQ(TrimSystemMessage("\r\n"), "");
    EXPECT_EQ(TrimSystemMessage(""), "");
}

TEST(SysInfo, CpuInfoIsAlwaysFilled) {
    CpuInfo info;
    memset(&info, 0x55, sizeof(info));
    bool ok = GetCpuInfo(info);
    EXPECT_EQ(strlen(info.vendor), ok ? 12u : 7u);
    if (ok && info.hasSSE2) {
        EXPECT_TRUE(info.hasSSE);
        EXPECT_TRUE(info.hasMMX);
    }
}
