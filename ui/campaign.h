// The campaign state: three menu pages (profile, mission, unit) between the
// title and a battle. The battle's pause and game-over menus come back here
// on the mission page.
#ifndef UI_CAMPAIGN_H
#define UI_CAMPAIGN_H

#include <cstdint>
#include <string>

#include "app/game_state.h"
#include "render/text.h"

class CMenu;

const int CAMPAIGN_PAGE_PROFILE = 0;
const int CAMPAIGN_PAGE_MISSION = 1;
const int CAMPAIGN_PAGE_UNIT = 2;

// Choices shared by the three page menus.
const int CAMPAIGN_CHOICE_BACK = 2;
const int CAMPAIGN_CHOICE_MISSION = 3;
const int CAMPAIGN_CHOICE_START = 5;
const int CAMPAIGN_CHOICE_UNIT = 6;

// The profile menu's button the profile rows are written under.
const int CAMPAIGN_PROFILE_ANCHOR = 4;
const int CAMPAIGN_PROFILE_ROWS = 5;
const uint32_t CAMPAIGN_ROW_COLOUR = 0xFFFFFFFF;
const float CAMPAIGN_ROW_SIZE = 16.0f;
const float CAMPAIGN_CURSOR_BLINK = 0.5f;   // seconds per on or off phase

extern const char* const CAMPAIGN_NEW_PROFILE;   // "Create New Profile"

class CCampaign : public CGameState {
public:
    // Page 1 or 2 opens that page; 0 opens the profile page with a fresh
    // name box; any other value shows page 0 but leaves the name empty.
    explicit CCampaign(int page);
    ~CCampaign() override;

    void Update(float dt) override;
    void Draw() override;

    void ShowProfilePage();
    // The name box of the first profile row: codes 32..126 are appended, -1
    // removes the last character; the first edit replaces the placeholder.
    void EditProfileName(int code, float dt);

    int GetPage() const { return page; }
    CMenu* GetPageMenu() const;
    const std::string& GetNewProfileName() const { return newProfileName; }
    bool IsNameEditing() const { return nameEditing != 0; }
    bool IsNameCursorShown() const { return nameCursorShown != 0; }
    // The text of a profile row as drawn, the blinking cursor included.
    std::string GetProfileRowText(int row) const;

private:
    void StartBattle();
    void DrawProfilePage();

    CMenu* profileMenu;
    CMenu* missionMenu;
    CMenu* unitMenu;
    int32_t page;
    std::string newProfileName;
    CText label;
    float nameCursorTime;
    uint8_t nameEditing;
    uint8_t nameCursorShown;
};

#endif
