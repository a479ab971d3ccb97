// The debug console: a pane over the top of the screen, opened with F8, with
// six debug flags other subsystems read every frame, a command line, and
// watched values (hooks) that other subsystems publish by name.
#ifndef APP_CONSOLE_H
#define APP_CONSOLE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/vector.h"
#include "render/resources.h"
#include "render/textbox.h"

enum ConsoleHookType {
    HOOK_BOOL_PTR = 0,
    HOOK_BOOL = 1,
    HOOK_INT_PTR = 2,
    HOOK_INT = 3,
    HOOK_FLOAT_PTR = 4,
    HOOK_FLOAT = 5,
    HOOK_VECTOR3_PTR = 6,
    HOOK_VECTOR3 = 7,
    HOOK_VECTOR4_PTR = 8,
    HOOK_VECTOR4 = 9
};

// A watched value. Even types point at the publisher's variable, odd types
// hold a copy. A pointer the publisher withdrew is null and shows as
// "(CRASH trying to evaluate)".
class CConsoleHook {
public:
    CConsoleHook();

    std::string FormatValue() const;

    std::string name;
    int32_t type;
    int32_t shown;
    union {
        const void* pointer;
        bool boolValue;
        int32_t intValue;
        float floatValue;
        float vector[4];
    } value;
};

class CDebugConsole {
public:
    CDebugConsole();
    ~CDebugConsole();

    void AddHook(const CConsoleHook& hook);
    void Update();
    void Draw();
    void ExecuteCommand();
    // Address of the named flag (any case), or null after saying so.
    uint8_t* FindState(const std::string& name);
    void SetHookShown(const std::string& name, int shown);
    void ReloadThingy(const std::string& name);
    // Pointer hooks into [begin, begin + size) stop reading it.
    void NeutraliseHooks(const void* begin, size_t size);

    // A reply line, in the default text colour or the given one.
    void Print(const std::string& text);
    void Print(const std::string& text, uint32_t colour);

    bool IsOpen() const { return open != 0; }
    float GetScroll() const { return scroll; }
    std::string& InputLine() { return inputLine; }
    const CTextBox& GetOutput() const { return output; }
    const std::vector<CConsoleHook>& GetHooks() const { return hooks; }
    const CConsoleHook* FindHook(const std::string& name) const;

    // The flags, plain bytes in this order; read directly by the game.
    uint8_t timeFlag;        // "time": game time runs
    uint8_t debugcamFlag;    // "debugcam": the free camera replaces the game camera
    uint8_t aiFlag;          // "ai": soldier and team AI run
    uint8_t soundFlag;       // "sound": sound is played
    uint8_t fastFlag;        // "fast": game time runs four times as fast
    uint8_t wireframeFlag;   // "wireframe": the top state is drawn as lines

private:
    CDebugConsole(const CDebugConsole&) = delete;
    CDebugConsole& operator=(const CDebugConsole&) = delete;

    CTexture paneBackground;
    CTexture paneDot;
    float scroll;
    uint8_t open;
    std::string inputLine;
    CTextBox output;
    std::vector<CConsoleHook> hooks;
};

// The one console; null before CreateDebugConsole and after DestroyDebugConsole.
extern CDebugConsole* g_debugConsole;
void CreateDebugConsole();
void DestroyDebugConsole();

// Flag reads that give the start values while there is no console.
bool ConsoleTimeOn();
bool ConsoleDebugCamOn();
bool ConsoleAIOn();
bool ConsoleSoundOn();
bool ConsoleFastOn();
bool ConsoleWireframeOn();

// Publishing; each does nothing without a console. A publisher of a pointer
// hook must withdraw it (NeutraliseHookPointer / NeutraliseHookRange) before
// the variable goes away, or publish by value instead.
void HookBoolPtr(CDebugConsole* console, const std::string& name, const bool* pointer);
void HookBool(CDebugConsole* console, const std::string& name, bool value);
void HookIntPtr(CDebugConsole* console, const std::string& name, const int32_t* pointer);
void HookInt(CDebugConsole* console, const std::string& name, int32_t value);
void HookFloatPtr(CDebugConsole* console, const std::string& name, const float* pointer);
void HookFloat(CDebugConsole* console, const std::string& name, float value);
void HookVector3Ptr(CDebugConsole* console, const std::string& name, const Vector3* pointer);
void HookVector3(CDebugConsole* console, const std::string& name, const Vector3& value);
void HookVector4Ptr(CDebugConsole* console, const std::string& name, const Vector4* pointer);
void HookVector4(CDebugConsole* console, const std::string& name, const Vector4& value);

// On the global console: every pointer hook at this address, or into this
// object, shows "(CRASH trying to evaluate)" from now on.
void NeutraliseHookPointer(const void* pointer);
void NeutraliseHookRange(const void* begin, size_t size);

#endif
