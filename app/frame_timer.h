// Frame gating of the main loop: a frame runs on an idle pass only when more
// than FrameThreshold seconds of the high-resolution counter have passed
// since the last frame, and it then gets the whole time since that frame.
#ifndef APP_FRAME_TIMER_H
#define APP_FRAME_TIMER_H

const double FrameThreshold = 0.0005045408615842462;   // about 1982 frames a second at most

class CFrameTimer {
public:
    CFrameTimer();

    void Start(long long now, long long frequency);
    // True when a frame is due; dt is then the time since the last frame,
    // and the next frame is measured from now.
    bool Poll(long long now, float& dt);

private:
    long long last;
    long long frequency;
};

#endif
