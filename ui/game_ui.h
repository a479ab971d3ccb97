// CGameUI: the battle's overlay. The player's status, a radar of the
// soldiers around the player, the dialogue box for the world's messages,
// short lines about what can be picked up or which seat is held, and the
// regular, pause and game-over menus. The regular menu's buttons are the
// layout: each element is drawn at the top-left corner of a fixed button.
#ifndef UI_GAME_UI_H
#define UI_GAME_UI_H

#include <cstdint>
#include <istream>
#include <list>
#include <string>
#include <vector>

#include "render/resources.h"
#include "render/text.h"
#include "render/text_block.h"

class CMenu;
class CSoldier;
class CWorld;

const char* const DialogueFile = "data\\dialogue\\ui.txt";
const char* const RegularMenuFile = "data\\menu\\CGameUI_Regular.txt";
const char* const PauseMenuFile = "data\\menu\\CGameUI_Pause.txt";
const char* const GameOverMenuFile = "data\\menu\\CGameUI_Gameover.txt";

// Regular-menu buttons whose corners place the overlay's elements.
const int ANCHOR_RADAR = 1;
const int ANCHOR_STATUS = 2;
const int ANCHOR_LINES = 3;
const int ANCHOR_DIALOGUE = 5;

const int UI_MODE_REGULAR = 0;
const int UI_MODE_PAUSE = 1;
const int UI_MODE_GAMEOVER = 2;

const int KEY_ESCAPE = 1;
const float RadarReach = 60.0f;       // 2 x distance; 30 units out
const size_t DialogueEntryLength = 199;
const float DialogueLineTime = 5.0f;
// Pick-up notice kinds at and above this are grenades.
const int NoticeGrenadeKind = 6;

struct DialogueEntry {
    std::string format;
    std::string arguments;
};

// The text between the first pair of quotes of the line after the key, and
// the word after the closing quote. A missing key leaves the entry empty.
DialogueEntry ReadDialogueEntry(std::istream& in, const std::string& key);

struct TimedLine {
    CTextBlock block;
    float remaining = 0.0f;
};

struct CUIDialogue {
    void Load(std::istream& in);
    // Notice kind to ammunition line: weapons by type, grenades (kind 6 and
    // above) to the grenade line; null for a kind with no line.
    const DialogueEntry* AmmoLine(int kind) const;

    std::vector<DialogueEntry> ammoLines;     // weapons, then grenade 0
    std::vector<DialogueEntry> pickupLines;
    std::vector<std::vector<DialogueEntry>> vehicleLines;
    std::list<TimedLine> timedLines;
    std::list<CTextBlock> currentLines;
    float lineTime = DialogueLineTime;
};

struct RadarDot {
    float x, y;
    int32_t kind;   // 0 the player, 1 the player's team, 2 others
};

class CGameUI {
public:
    CGameUI();
    ~CGameUI();

    void Init(CWorld* world);
    int32_t Update(float dt);
    void UpdatePauseMenu();
    void UpdateGameOverMenu();
    void OpenPauseMenu();
    void ClosePauseMenu();
    void OpenGameOverMenu();
    void CloseGameOverMenu();
    void Draw();

    int GetMode() const { return mode; }
    CMenu* GetRegularMenu() const { return regularMenu; }
    CMenu* GetOverlayMenu() const { return overlayMenu; }
    const std::vector<RadarDot>& GetRadarDots() const { return radarDots; }
    const CUIDialogue& GetDialogue() const { return dialogue; }
    float GetDialogueFade() const { return dialogueFade; }
    // The pause menu's Escape: control and the objects back.
    void Resume();

private:
    CGameUI(const CGameUI&) = delete;
    CGameUI& operator=(const CGameUI&) = delete;

    void UpdateDialogue(CSoldier* player, float dt);
    void UpdateRadar(CSoldier* player);
    void DrawStatus(CSoldier* player, float x, float y);
    void DrawDialogueBox(float x, float y);
    void DrawRadar(float x, float y);
    void DrawLines(float x, float y);
    bool Anchor(int id, float& x, float& y) const;
    CSoldier* Player() const;
    void CloseOverlay();

    CWorld* world;
    CText label;
    CUIDialogue dialogue;
    std::vector<RadarDot> radarDots;
    CMenu* regularMenu;
    CMenu* overlayMenu;
    CTexture radar, groupIcon, healthBar, grenadePicture, avatar;
    CTexture redDot, yellowDot, greenDot, target;
    CTexture grenadeIcon, weaponPicture, roundIcon;
    std::string grenadeIconName, weaponPictureName, roundIconName;
    float dialogBoxWidth;   // of the decoded image, which need not be a texture
    float dialogueFade;
    int32_t mode;
};

#endif
