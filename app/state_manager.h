// The game-state stack and the frame driver. One stack per program; the top
// state (the front) is the one updated and drawn. The stack owns its states:
// a popped state is deleted at the end of the frame driver, never inside its
// own Update.
#ifndef APP_STATE_MANAGER_H
#define APP_STATE_MANAGER_H

#include <cstdint>
#include <list>
#include <string>

class CGameState;
class CText;

struct StateTiming {
    std::string name;
    int32_t frames;
    float total;     // seconds of clamped frame time
};

class CStateManager {
public:
    // A null state does nothing (the first call still registers the
    // device-lost and device-reset handlers).
    static void Push(CGameState* state);
    static void Pop();
    static void PopAll();
    static void SwitchTo(CGameState* state);
    static void DeletePending();
    static void GetCurrentName(std::string& out);
    static void Shutdown();
    static void OnGraphicsLost();
    static void OnGraphicsRestored();

    // The frame driver: dt is the raw elapsed time of the frame in seconds.
    static void Update(float dt);
    // The draw pass, under the render lock.
    static void Draw();

    // Inspection.
    static CGameState* Top();
    static int StackSize();
    static int PendingCount();
    static CText* GetFpsText();
    static const std::list<StateTiming>& GetTiming();
    // Tests: deletes every state and the frame-rate text and reopens the
    // accounting, as at start-up.
    static void ResetForTests();

    // True when the text holds a character other than the digits, '-', '.'
    // and 'e' (a number test), or other than the digits and '-'.
    static bool HasNonNumberChar(const std::string& text);
    static bool HasNonIntegerChar(const std::string& text);
};

// The frame-rate text's integer part of a rate; 0 for a rate that is not a
// positive finite number (a zero frame time), capped to stay in range.
int RateToInt(float rate);

#endif
