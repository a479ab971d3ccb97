#include "app/console.h"

#include "app/keyboard.h"
#include "app/mouse.h"
#include "app/typed_keys.h"
#include "core/strings.h"
#include "render/backend.h"
#include "render/render_setup.h"
#include "render/shader.h"
#include "render/text.h"

CDebugConsole* g_debugConsole = nullptr;

namespace {

// Scroll bar: the knob's track on the right of the pane.
const int SCROLL_LEFT = 780;
const int SCROLL_RIGHT = 796;
const int SCROLL_TOP = 5;
const int SCROLL_BOTTOM = 210;
const float SCROLL_RANGE = 205.0f;

const uint32_t HOOK_COLOUR = 0xFFA0A0A0;
const uint32_t INPUT_COLOUR = 0xFFFFFFFF;

uint32_t ErrorColour() {
    return PackColour(1.0f, 0.5f, 0.5f, 1.0f);
}

void LoadPaneTexture(CTexture& texture, const char* fileName) {
    if (LoadTexture(texture, fileName, false, 1, false)) {
        SetTextureWrap(texture, false, false, false);
    }
}

}  // namespace

CDebugConsole::CDebugConsole()
    : timeFlag(1), debugcamFlag(0), aiFlag(1), soundFlag(1), fastFlag(0), wireframeFlag(0),
      scroll(1.0f), open(0), output("", 5.0f, 0.0f, 220.0f, 775.0f, 35, 16.0f, false, 0.5f) {
    // A missing image leaves its texture empty; the console works without it.
    LoadPaneTexture(paneBackground, "data\\debug\\paneBG.png");
    LoadPaneTexture(paneDot, "data\\debug\\paneDot.png");
}

CDebugConsole::~CDebugConsole() {
}

void CDebugConsole::Print(const std::string& text) {
    output.AddLine(CText(text));
}

void CDebugConsole::Print(const std::string& text, uint32_t colour) {
    CText line;
    line.AddColour(colour);
    line = text;
    output.AddLine(line);
}

void CDebugConsole::Update() {
    if (open) {
        while (!g_typedKeys.IsEmpty()) {
            int code = g_typedKeys.Pop();
            if (code >= 32 && code <= 126) {
                inputLine += (char)code;
            } else if (code == TK_BACKSPACE) {
                if (!inputLine.empty()) {
                    inputLine.erase(inputLine.size() - 1);
                }
            } else if (code == TK_ENTER) {
                ExecuteCommand();
            }
        }

        if (g_mouse.IsLeftDown() &&
            g_mouse.IsCursorInRect(SCROLL_LEFT, SCROLL_RIGHT, SCROLL_TOP, SCROLL_BOTTOM)) {
            scroll = (g_mouse.GetY() - 10) * 0.004878049f;
        }
        if (g_mouse.GetWheel() < g_mouse.GetPreviousWheel()) {
            scroll += 0.1f;
        } else if (g_mouse.GetWheel() > g_mouse.GetPreviousWheel()) {
            scroll -= 0.1f;
        }
        if (scroll < 0.0f) scroll = 0.0f;
        if (scroll > 1.0f) scroll = 1.0f;
        output.SetScroll(scroll);

        // The game sees no clicks or wheel while the console is open. The
        // cursor stays free: recentring is off while open.
        g_mouse.ClearClicks();
        g_mouse.SetCursorPosition(400, 300);
    }

    if (g_keyboard.IsKeyPressed(KEY_F8)) {
        open = !open;
    }
    g_mouse.SetRecentreEnabled(!open);
}

void CDebugConsole::ExecuteCommand() {
    std::vector<std::string> words;
    SplitString(inputLine, words, " \n");
    Print(inputLine, PackColour(0.3f, 0.3f, 0.8f, 1.0f));

    if (!words.empty()) {
        const std::string& command = words[0];
        bool hasArgument = words.size() > 1;
        std::string argument = hasArgument ? words[1] : "";
        if (command == "enable") {
            if (!hasArgument) {
                Print("Need a state name for enable.");
            } else if (uint8_t* flag = FindState(argument)) {
                *flag = 1;
            }
        } else if (command == "disable") {
            if (!hasArgument) {
                Print("Need a state name for disable.");
            } else if (uint8_t* flag = FindState(argument)) {
                *flag = 0;
            }
        } else if (command == "check") {
            if (!hasArgument) {
                Print("Need a state name for check.");
            } else if (uint8_t* flag = FindState(argument)) {
                Print(*flag ? "enabled" : "disabled");
            }
        } else if (command == "show") {
            if (!hasArgument) {
                Print("Need a hook name for show.");
            } else {
                SetHookShown(argument, 1);
            }
        } else if (command == "hide") {
            if (!hasArgument) {
                Print("Need a hook name for hide.");
            } else {
                SetHookShown(argument, 0);
            }
        } else if (command == "reload") {
            if (!hasArgument) {
                Print("Need a thingy name for reload.");
            } else {
                ReloadThingy(argument);
            }
        } else {
            Print("Unknown Command");
        }
    }
    inputLine.clear();
}

uint8_t* CDebugConsole::FindState(const std::string& name) {
    std::string lower = ToLowerCase(name);
    if (lower == "time") return &timeFlag;
    if (lower == "debugcam") return &debugcamFlag;
    if (lower == "ai") return &aiFlag;
    if (lower == "sound") return &soundFlag;
    if (lower == "fast") return &fastFlag;
    if (lower == "wireframe") return &wireframeFlag;
    Print("State not found: " + name, ErrorColour());
    return nullptr;
}

void CDebugConsole::ReloadThingy(const std::string& name) {
    if (name == "shaders") {
        Print("shaders thingy not available in Release.");
        return;
    }
    Print("Thingy name not found: " + name, ErrorColour());
}

void CDebugConsole::Draw() {
    if (open) {
        UnbindShaderProgram();
        SetScreenProjection();
        DrawTexture(paneBackground, 0.0f, 0.0f, 0.5f);
        output.Draw();
        DrawString(inputLine, 35.0f, 235.0f, INPUT_COLOUR, 16.0f, "");
        DrawTexture(paneDot, (float)SCROLL_LEFT, scroll * SCROLL_RANGE + 5.0f, 0.6f);
    }

    // Shown hooks stay on screen while the console is closed; set the 2D
    // projection here too, since nothing else may have this frame.
    bool projectionSet = false;
    float y = 300.0f;
    for (const CConsoleHook& hook : hooks) {
        if (!hook.shown) {
            continue;
        }
        if (!projectionSet) {
            UnbindShaderProgram();
            SetScreenProjection();
            projectionSet = true;
        }
        DrawString(hook.name + ": " + hook.FormatValue(), 20.0f, y, HOOK_COLOUR, 16.0f, "");
        y += 20.0f;
    }
}

void CreateDebugConsole() {
    if (!g_debugConsole) {
        g_debugConsole = new CDebugConsole;
    }
}

void DestroyDebugConsole() {
    delete g_debugConsole;
    g_debugConsole = nullptr;
}

bool ConsoleTimeOn() {
    return g_debugConsole ? g_debugConsole->timeFlag != 0 : true;
}

bool ConsoleDebugCamOn() {
    return g_debugConsole ? g_debugConsole->debugcamFlag != 0 : false;
}

bool ConsoleAIOn() {
    return g_debugConsole ? g_debugConsole->aiFlag != 0 : true;
}

bool ConsoleSoundOn() {
    return g_debugConsole ? g_debugConsole->soundFlag != 0 : true;
}

bool ConsoleFastOn() {
    return g_debugConsole ? g_debugConsole->fastFlag != 0 : false;
}

bool ConsoleWireframeOn() {
    return g_debugConsole ? g_debugConsole->wireframeFlag != 0 : false;
}
