// The debug console: commands and their replies, flags, watched values.
#include <gtest/gtest.h>

#include <cstring>

#include "app/console.h"
#include "app/keyboard.h"
#include "app/mouse.h"
#include "app/typed_keys.h"
#include "render/null/null_backend.h"

namespace {

struct Keys : CKeyboardDevice {
    uint8_t* state;
    explicit Keys(uint8_t* s) : state(s) {}
    bool Acquire() override { return true; }
    bool Poll() override { return true; }
    bool ReadState(uint8_t keys[256]) override { memcpy(keys, state, 256); return true; }
};

struct Mouse : CMouseDevice {
    MouseState* next;
    explicit Mouse(MouseState* n) : next(n) {}
    bool Acquire() override { return true; }
    void Unacquire() override {}
    PollResult Poll() override { return POLL_OK; }
    bool ReadState(MouseState& out) override {
        out = *next;
        next->dx = next->dy = next->dz = 0;
        return true;
    }
};

const uint32_t ECHO = 0xFFCC4C4C;
const uint32_t ERROR_RED = 0xFF7F7FFF;

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        memset(keys, 0, sizeof(keys));
        mouse = MouseState{};
        g_keyboard.InitWithDevice(new Keys(keys));
        g_mouse.InitWithDevice(new Mouse(&mouse), true);
        g_typedKeys.Clear();
        CreateDebugConsole();
        console = g_debugConsole;
        PressF8();
    }
    void TearDown() override {
        DestroyDebugConsole();
        g_keyboard.Release();
        g_mouse.Release();
    }
    void Frame() {
        g_keyboard.Poll();
        g_mouse.Update(0.01f);
        console->Update();
    }
    void PressF8() {
        keys[KEY_F8] = 0x80;
        Frame();
        keys[KEY_F8] = 0;
        Frame();
    }
    // Types the line and Enter; returns the lines it added to the output.
    std::vector<std::string> Run(const std::string& line) {
        int before = console->GetOutput().GetLineCount();
        for (char c : line) g_typedKeys.Push((uint8_t)c);
        g_typedKeys.Push(TK_ENTER);
        Frame();
        std::vector<std::string> added;
        const CTextBox& out = console->GetOutput();
        for (int i = before; i < out.GetLineCount(); i++) added.push_back(out.GetLine(i).GetString());
        return added;
    }
    uint32_t LastColour() {
        const CTextBox& out = console->GetOutput();
        const CText& last = out.GetLine(out.GetLineCount() - 1);
        return last.GetColourRuns().empty() ? TEXT_DEFAULT_COLOUR : last.GetColourRuns()[0].colour;
    }

    uint8_t keys[256];
    MouseState mouse;
    CDebugConsole* console = nullptr;
};

typedef std::vector<std::string> Replies;

}  // namespace

TEST_F(ConsoleTest, CommandsAndTheirReplies) {
    ASSERT_TRUE(console->IsOpen());
    EXPECT_EQ(Run("enable"), (Replies{"enable", "Need a state name for enable."}));
    EXPECT_EQ(Run("disable"), (Replies{"disable", "Need a state name for disable."}));
    EXPECT_EQ(Run("check"), (Replies{"check", "Need a state name for check."}));
    EXPECT_EQ(Run("show"), (Replies{"show", "Need a hook name for show."}));
    EXPECT_EQ(Run("hide"), (Replies{"hide", "Need a hook name for hide."}));
    EXPECT_EQ(Run("reload"), (Replies{"reload", "Need a thingy name for reload."}));
    EXPECT_EQ(LastColour(), TEXT_DEFAULT_COLOUR);
    EXPECT_EQ(Run("reload shaders"), (Replies{"reload shaders", "shaders thingy not available in Release."}));
    EXPECT_EQ(Run("reload mesh"), (Replies{"reload mesh", "Thingy name not found: mesh"}));
    EXPECT_EQ(LastColour(), ERROR_RED);
    EXPECT_EQ(Run("check ai"), (Replies{"check ai", "enabled"}));
    EXPECT_EQ(Run("check debugcam"), (Replies{"check debugcam", "disabled"}));
    EXPECT_EQ(Run("check bogus"), (Replies{"check bogus", "State not found: bogus"}));
    EXPECT_EQ(LastColour(), ERROR_RED);
    EXPECT_EQ(Run("show nothere"), (Replies{"show nothere", "Hook name not found: nothere"}));
    EXPECT_EQ(Run("hide nothere"), (Replies{"hide nothere", "Hook name not found: nothere"}));
    EXPECT_EQ(Run("Enable time"), (Replies{"Enable time", "Unknown Command"}));
    EXPECT_EQ(Run("frobnicate"), (Replies{"frobnicate", "Unknown Command"}));
    EXPECT_EQ(Run(""), (Replies{""}));
    Run("  ");
    EXPECT_EQ(LastColour(), ECHO);
    EXPECT_EQ(PackColour(0.3f, 0.3f, 0.8f, 1.0f), ECHO);
    EXPECT_EQ(PackColour(1.0f, 0.5f, 0.5f, 1.0f), ERROR_RED);
}

TEST_F(ConsoleTest, FlagsIgnoreCaseAndExtraWords) {
    EXPECT_TRUE(ConsoleTimeOn());
    EXPECT_EQ(Run("disable Time"), (Replies{"disable Time"}));
    EXPECT_FALSE(ConsoleTimeOn());
    Run("enable FAST now please");
    EXPECT_TRUE(ConsoleFastOn());
    Run("enable wireframe");
    Run("enable debugcam");
    Run("disable ai");
    Run("disable sound");
    EXPECT_TRUE(ConsoleWireframeOn() && ConsoleDebugCamOn());
    EXPECT_FALSE(ConsoleAIOn() || ConsoleSoundOn());
    EXPECT_EQ(Run("check TIME"), (Replies{"check TIME", "disabled"}));
    EXPECT_EQ(console->FindState("Sound"), &console->soundFlag);

    DestroyDebugConsole();   // start values without a console
    EXPECT_TRUE(ConsoleTimeOn() && ConsoleAIOn() && ConsoleSoundOn());
    EXPECT_FALSE(ConsoleFastOn() || ConsoleDebugCamOn() || ConsoleWireframeOn());
}

TEST_F(ConsoleTest, TypingEditingAndClosing) {
    g_typedKeys.Push(TK_BACKSPACE);   // on an empty line: nothing
    for (int c : std::vector<int>{'a', 'b', 200, 9, TK_LEFT, TK_BACKSPACE, 8, 'c'}) g_typedKeys.Push(c);
    Frame();
    EXPECT_EQ(console->InputLine(), "ac");

    PressF8();
    EXPECT_FALSE(console->IsOpen());
    g_typedKeys.Push('x');
    Frame();   // closed: typed keys are left for the game
    EXPECT_EQ(console->InputLine(), "ac");
    EXPECT_FALSE(g_typedKeys.IsEmpty());
}

TEST_F(ConsoleTest, ScrollBarWheelAndSwallowedMouse) {
    EXPECT_FALSE(g_mouse.IsRecentreEnabled());   // free cursor while open
    mouse.dx = 785;
    mouse.dy = 110;
    mouse.buttons[0] = 0x80;
    Frame();
    EXPECT_NEAR(console->GetScroll(), 100 * 0.004878049f, 1e-6);
    EXPECT_FALSE(g_mouse.IsLeftDown());   // swallowed
    EXPECT_EQ(g_mouse.GetX(), 785);       // not recentred
    mouse.buttons[0] = 0;
    mouse.dz = -120;
    Frame();
    EXPECT_NEAR(console->GetScroll(), 100 * 0.004878049f + 0.1f, 1e-6);
    mouse.dz = 240;
    Frame();
    mouse.dz = 120;
    Frame();
    EXPECT_NEAR(console->GetScroll(), 100 * 0.004878049f - 0.1f, 1e-6);
    for (int i = 0; i < 10; i++) {
        mouse.dz = 120;
        Frame();
    }
    EXPECT_EQ(console->GetScroll(), 0.0f);
    PressF8();
    EXPECT_TRUE(g_mouse.IsRecentreEnabled());
}

TEST_F(ConsoleTest, HookValuesAndReRegistration) {
    bool flag = true;
    int32_t count = 42;
    float speed = 1.5f;
    Vector3 pos{1.0f, 2.0f, 3.0f};
    Vector4 colour{0.5f, 0.25f, 0.0f, 1.0f};
    HookBoolPtr(console, "flagptr", &flag);
    HookIntPtr(console, "countptr", &count);
    HookFloatPtr(console, "speedptr", &speed);
    HookVector3Ptr(console, "posptr", &pos);
    HookVector4Ptr(console, "colourptr", &colour);
    HookBool(console, "flag", false);
    HookInt(console, "particlecount", -7);
    HookFloat(console, "speed", 0.25f);
    HookVector3(console, "pos", pos);
    HookVector4(console, "colour", colour);
    count = 43;
    pos.z = 4.0f;
    EXPECT_EQ(console->FindHook("flagptr")->FormatValue(), "true");
    EXPECT_EQ(console->FindHook("countptr")->FormatValue(), "43");
    EXPECT_EQ(console->FindHook("speedptr")->FormatValue(), "1.500000");
    EXPECT_EQ(console->FindHook("posptr")->FormatValue(), "(1.000000, 2.000000, 4.000000)");
    EXPECT_EQ(console->FindHook("colourptr")->FormatValue(), "(0.500000, 0.250000, 0.000000, 1.000000)");
    EXPECT_EQ(console->FindHook("flag")->FormatValue(), "false");
    EXPECT_EQ(console->FindHook("particlecount")->FormatValue(), "-7");
    EXPECT_EQ(console->FindHook("speed")->FormatValue(), "0.250000");
    EXPECT_EQ(console->FindHook("pos")->FormatValue(), "(1.000000, 2.000000, 3.000000)");
    EXPECT_EQ(console->FindHook("colour")->FormatValue(), "(0.500000, 0.250000, 0.000000, 1.000000)");

    EXPECT_EQ(Run("show particlecount"), (Replies{"show particlecount"}));
    for (int i = 0; i < 5; i++) HookInt(console, "particlecount", i);
    EXPECT_EQ(console->GetHooks().size(), 10u);
    EXPECT_EQ(console->FindHook("particlecount")->shown, 1);
    EXPECT_EQ(console->FindHook("particlecount")->FormatValue(), "4");
    Run("show Particlecount");   // hook names are exact
    EXPECT_EQ(LastColour(), ERROR_RED);

    CConsoleHook bad;
    bad.name = "weird";
    bad.type = 12;
    EXPECT_EQ(bad.FormatValue(), "erm... oops?  bad type for hook: weird");
}

TEST_F(ConsoleTest, ShownHooksDrawWhileClosedAndHideStops) {
    HookInt(console, "soldiercount", 3);
    HookInt(console, "vehiclecount", 1);
    Run("show soldiercount");
    Run("show vehiclecount");
    PressF8();
    ASSERT_FALSE(console->IsOpen());
    int before = NullRenderCounters().drawCalls;
    console->Draw();
    EXPECT_EQ(NullRenderCounters().drawCalls, before + 2);
    PressF8();
    Run("hide soldiercount");
    Run("hide vehiclecount");
    PressF8();
    before = NullRenderCounters().drawCalls;
    console->Draw();
    EXPECT_EQ(NullRenderCounters().drawCalls, before);
}

TEST_F(ConsoleTest, PublisherThatDiesNeutralisesItsHook) {
    struct Player {
        Vector3 position{5.0f, 6.0f, 7.0f};
        Player() { HookVector3Ptr(g_debugConsole, "playerpos", &position); }
        ~Player() { NeutraliseHookRange(this, sizeof(*this)); }
    };
    Player* player = new Player;
    Run("show playerpos");
    EXPECT_EQ(console->FindHook("playerpos")->FormatValue(), "(5.000000, 6.000000, 7.000000)");
    delete player;
    EXPECT_EQ(console->FindHook("playerpos")->FormatValue(), "(CRASH trying to evaluate)");
    console->Draw();   // still shown, reads nothing freed

    Player next;   // a new game publishes again
    EXPECT_EQ(console->FindHook("playerpos")->FormatValue(), "(5.000000, 6.000000, 7.000000)");
    EXPECT_EQ(console->FindHook("playerpos")->shown, 1);

    int32_t other = 9;
    HookIntPtr(console, "other", &other);
    NeutraliseHookPointer(&other);
    EXPECT_EQ(console->FindHook("other")->FormatValue(), "(CRASH trying to evaluate)");
    HookIntPtr(console, "null", nullptr);
    EXPECT_EQ(console->FindHook("null")->FormatValue(), "(CRASH trying to evaluate)");
}

TEST_F(ConsoleTest, PaneInputLineAndKnobPositions) {
    Run("check debugcam");
    for (char c : std::string("abc")) g_typedKeys.Push((uint8_t)c);
    Frame();
    console->Draw();
    // The newest reply sits on the pane's bottom edge (220), left at 5.
    const CTextBox& out = console->GetOutput();
    const CText& newest = out.GetLine(out.GetLineCount() - 1);
    EXPECT_EQ(newest.GetX(), 5.0f);
    EXPECT_EQ(newest.GetY() + out.GetLineHeight(out.GetLineCount() - 1), 220.0f);
    // The input line is the last string drawn before the knob.
    EXPECT_EQ(GetScratchText()->GetString(), "abc");
    EXPECT_EQ(GetScratchText()->GetX(), 35.0f);
    EXPECT_EQ(GetScratchText()->GetY(), 235.0f);
    // The knob at the foot of its track (scroll 1), then where a click puts
    // it; sprites sit on pixel centres (+0.5).
    const NullPrimitive& knob = NullLastPrimitive();
    ASSERT_EQ(knob.vertices.size(), 4u);
    EXPECT_EQ(knob.vertices[0].position[0], 780.5f);
    EXPECT_EQ(knob.vertices[0].position[1], 210.5f);
    mouse.dx = 785;
    mouse.dy = 110;
    mouse.buttons[0] = 0x80;
    Frame();
    mouse.buttons[0] = 0;
    console->Draw();
    EXPECT_NEAR(NullLastPrimitive().vertices[0].position[1], 5.5f + console->GetScroll() * 205.0f, 1e-4f);
    EXPECT_NEAR(NullLastPrimitive().vertices[0].position[1], 105.5f, 1e-3f);
}
