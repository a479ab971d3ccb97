// The debug console: commands and their replies, flags, watched values.
#include <gtest/gtest.h>

#include "app/console.h"
#include "app/typed_keys.h"
#include "render/null/null_backend.h"
#include "tests/ui/test_menu_input.h"

namespace {

const uint32_t ECHO = 0xFFCC4C4C;        // (0.3, 0.3, 0.8)
const uint32_t ERROR_RED = 0xFF7F7FFF;   // (1, 0.5, 0.5)
const uint32_t PLAIN = TEXT_DEFAULT_COLOUR;
const char* const Unreadable = "(CRASH trying to evaluate)";

typedef std::vector<std::string> Replies;

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_keyboard.InitWithDevice(new ScriptKeyboard(&script));
        g_mouse.InitWithDevice(new ScriptMouse(&script), true);
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
        for (bool down : {true, false}) {
            script.keys[KEY_F8] = down ? 0x80 : 0;
            Frame();
        }
    }
    void Wheel(int dz) {
        script.dz = dz;
        Frame();
    }
    // Types the line and Enter; returns the lines it added to the output.
    Replies Run(const std::string& line) {
        int before = console->GetOutput().GetLineCount();
        for (char c : line) g_typedKeys.Push((uint8_t)c);
        g_typedKeys.Push(TK_ENTER);
        Frame();
        Replies added;
        const CTextBox& out = console->GetOutput();
        for (int i = before; i < out.GetLineCount(); i++) added.push_back(out.GetLine(i).GetString());
        return added;
    }
    uint32_t LastColour() {
        const CTextBox& out = console->GetOutput();
        const CText& last = out.GetLine(out.GetLineCount() - 1);
        return last.GetColourRuns().empty() ? PLAIN : last.GetColourRuns()[0].colour;
    }
    std::string Value(const char* hook) { return console->FindHook(hook)->FormatValue(); }

    InputScript script;
    CDebugConsole* console = nullptr;
};

}  // namespace

TEST_F(ConsoleTest, CommandsAndTheirReplies) {
    ASSERT_TRUE(console->IsOpen());
    const struct {
        const char* line;
        const char* reply;   // null: the echo only
        uint32_t colour;     // of the last line
    } cases[] = {
        {"enable", "Need a state name for enable.", PLAIN},
        {"disable", "Need a state name for disable.", PLAIN},
        {"check", "Need a state name for check.", PLAIN},
        {"show", "Need a hook name for show.", PLAIN},
        {"hide", "Need a hook name for hide.", PLAIN},
        {"reload", "Need a thingy name for reload.", PLAIN},
        {"reload shaders", "shaders thingy not available in Release.", PLAIN},
        {"reload mesh", "Thingy name not found: mesh", ERROR_RED},
        {"check ai", "enabled", PLAIN},
        {"check debugcam", "disabled", PLAIN},
        {"check bogus", "State not found: bogus", ERROR_RED},
        {"show nothere", "Hook name not found: nothere", ERROR_RED},
        {"hide nothere", "Hook name not found: nothere", ERROR_RED},
        {"Enable time", "Unknown Command", PLAIN},   // commands are exact
        {"", nullptr, ECHO},
        {"  ", nullptr, ECHO},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.line), (c.reply ? Replies{c.line, c.reply} : Replies{c.line}));
        EXPECT_EQ(LastColour(), c.colour) << c.line;
    }
}

TEST_F(ConsoleTest, FlagsIgnoreCaseAndExtraWords) {
    EXPECT_TRUE(ConsoleTimeOn());
    EXPECT_EQ(Run("disable Time"), (Replies{"disable Time"}));
    EXPECT_FALSE(ConsoleTimeOn());
    for (const char* line : {"enable FAST now please", "enable wireframe", "enable debugcam", "disable ai",
                             "disable sound"})
        Run(line);
    EXPECT_TRUE(ConsoleFastOn() && ConsoleWireframeOn() && ConsoleDebugCamOn());
    EXPECT_FALSE(ConsoleAIOn() || ConsoleSoundOn());
    EXPECT_EQ(Run("check TIME"), (Replies{"check TIME", "disabled"}));

    DestroyDebugConsole();   // start values without a console
    EXPECT_TRUE(ConsoleTimeOn() && ConsoleAIOn() && ConsoleSoundOn());
    EXPECT_FALSE(ConsoleFastOn() || ConsoleDebugCamOn() || ConsoleWireframeOn());
}

TEST_F(ConsoleTest, TypingEditingAndClosing) {
    g_typedKeys.Push(TK_BACKSPACE);   // on an empty line: nothing
    for (int c : {(int)'a', (int)'b', 200, 9, (int)TK_LEFT, (int)TK_BACKSPACE, 8, (int)'c'}) g_typedKeys.Push(c);
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
    const float clicked = 100 * 0.004878049f;   // a click at y 110 on the track
    EXPECT_FALSE(g_mouse.IsRecentreEnabled());   // free cursor while open
    script.dx = 785;
    script.dy = 110;
    script.left = true;
    Frame();
    EXPECT_NEAR(console->GetScroll(), clicked, 1e-6);
    EXPECT_FALSE(g_mouse.IsLeftDown());   // swallowed
    EXPECT_EQ(g_mouse.GetX(), 785);       // not recentred
    script.left = false;
    Wheel(-120);
    EXPECT_NEAR(console->GetScroll(), clicked + 0.1f, 1e-6);
    Wheel(240);
    Wheel(120);
    EXPECT_NEAR(console->GetScroll(), clicked - 0.1f, 1e-6);
    for (int i = 0; i < 10; i++) Wheel(120);
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
    count = 43;   // pointer hooks read it now, value hooks kept a copy
    pos.z = 4.0f;
    const char* const colourText = "(0.500000, 0.250000, 0.000000, 1.000000)";
    const std::pair<const char*, const char*> values[] = {
        {"flagptr", "true"},   {"countptr", "43"},          {"speedptr", "1.500000"},
        {"flag", "false"},     {"particlecount", "-7"},     {"speed", "0.250000"},
        {"colourptr", colourText}, {"colour", colourText},
        {"posptr", "(1.000000, 2.000000, 4.000000)"},       {"pos", "(1.000000, 2.000000, 3.000000)"}};
    for (const auto& v : values) EXPECT_EQ(Value(v.first), v.second) << v.first;

    EXPECT_EQ(Run("show particlecount"), (Replies{"show particlecount"}));
    for (int i = 0; i < 5; i++) HookInt(console, "particlecount", i);
    EXPECT_EQ(console->GetHooks().size(), 10u);
    EXPECT_EQ(console->FindHook("particlecount")->shown, 1);
    EXPECT_EQ(Value("particlecount"), "4");
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
    for (int drawn : {2, 0}) {
        PressF8();
        ASSERT_FALSE(console->IsOpen());
        int before = NullRenderCounters().drawCalls;
        console->Draw();
        EXPECT_EQ(NullRenderCounters().drawCalls, before + drawn);
        PressF8();
        Run("hide soldiercount");
        Run("hide vehiclecount");
    }
}

TEST_F(ConsoleTest, PublisherThatDiesNeutralisesItsHook) {
    struct Player {
        Vector3 position{5.0f, 6.0f, 7.0f};
        Player() { HookVector3Ptr(g_debugConsole, "playerpos", &position); }
        ~Player() { NeutraliseHookRange(this, sizeof(*this)); }
    };
    Player* player = new Player;
    Run("show playerpos");
    delete player;
    EXPECT_EQ(Value("playerpos"), Unreadable);
    console->Draw();   // still shown, reads nothing freed

    Player next;   // a new game publishes again
    EXPECT_EQ(Value("playerpos"), "(5.000000, 6.000000, 7.000000)");
    EXPECT_EQ(console->FindHook("playerpos")->shown, 1);

    int32_t other = 9;
    HookIntPtr(console, "other", &other);
    NeutraliseHookPointer(&other);
    EXPECT_EQ(Value("other"), Unreadable);
    HookIntPtr(console, "null", nullptr);
    EXPECT_EQ(Value("null"), Unreadable);
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
    script.dx = 785;
    script.dy = 110;
    script.left = true;
    Frame();
    script.left = false;
    console->Draw();
    EXPECT_NEAR(NullLastPrimitive().vertices[0].position[1], 105.5f, 1e-3f);
}
