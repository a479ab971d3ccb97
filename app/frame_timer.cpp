#include "app/frame_timer.h"

CFrameTimer::CFrameTimer() : last(0), frequency(1) {
}

void CFrameTimer::Start(long long now, long long counterFrequency) {
    last = now;
    frequency = counterFrequency > 0 ? counterFrequency : 1;
}

bool CFrameTimer::Poll(long long now, float& dt) {
    double elapsed = (double)(now - last) / (double)frequency;
    if (!(elapsed > FrameThreshold)) {
        return false;
    }
    dt = (float)elapsed;
    last = now;
    return true;
}
