#include "core/sysinfo.h"

#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

int WindowsVersionCode(unsigned major, unsigned minor, unsigned platformId) {
    if (major <= 3) {
        return 1;
    }
    if (major == 4) {
        if (minor == 0) {
            return platformId == 1 ? 3 : 2;
        }
        if (minor >= 10 && minor <= 89) {
            return 4;
        }
        if (minor == 90) {
            return 5;
        }
        return 0;
    }
    if (major == 5) {
        if (minor == 0) {
            return 6;
        }
        if (minor == 1) {
            return 7;
        }
        if (minor == 2) {
            return 8;
        }
        return 9;
    }
    return 9;
}

bool GetCpuInfo(CpuInfo& info) {
    memset(&info, 0, sizeof(info));
    strcpy(info.vendor, "Unknown");
#if defined(__x86_64__)
    // CPUID always exists on x64; there is no ID flag to test.
    unsigned a, b, c, d;
    if (!__get_cpuid(0, &a, &b, &c, &d)) {
        return false;
    }
    memcpy(info.vendor, &b, 4);
    memcpy(info.vendor + 4, &d, 4);
    memcpy(info.vendor + 8, &c, 4);
    info.vendor[12] = 0;
    if (a >= 1 && __get_cpuid(1, &a, &b, &c, &d)) {
        info.hasMMX = (d >> 23) & 1;
        if (info.hasMMX) {
            info.hasSSE = (d >> 25) & 1;
        }
        if (info.hasSSE) {
            info.hasSSE2 = (d >> 26) & 1;
        }
    }
    return true;
#else
    return false;
#endif
}

std::string TrimSystemMessage(const std::string& message) {
    std::string text = message;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text;
}
