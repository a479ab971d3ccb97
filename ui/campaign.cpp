#include "ui/campaign.h"

#include "app/state_manager.h"
#include "render/backend.h"
#include "ui/game.h"
#include "ui/menu.h"
#include "ui/title.h"

const char* const CAMPAIGN_NEW_PROFILE = "Create New Profile";

CCampaign::CCampaign(int startPage)
    : profileMenu(new CMenu), missionMenu(new CMenu), unitMenu(new CMenu),
      page(CAMPAIGN_PAGE_PROFILE), nameCursorTime(0.0f), nameEditing(0), nameCursorShown(0) {
    profileMenu->Load("data\\menu\\CCampaign_Profile.txt");
    missionMenu->Load("data\\menu\\CCampaign_Mission.txt");
    unitMenu->Load("data\\menu\\CCampaign_Unit.txt");
    label.AddColour(CAMPAIGN_ROW_COLOUR);
    label.SetSize(CAMPAIGN_ROW_SIZE);
    if (startPage == CAMPAIGN_PAGE_PROFILE) {
        ShowProfilePage();
    } else if (startPage == CAMPAIGN_PAGE_MISSION || startPage == CAMPAIGN_PAGE_UNIT) {
        // From a battle: the name box stays empty until the profile page shows.
        page = startPage;
    }
}

CCampaign::~CCampaign() {
    delete profileMenu;
    delete missionMenu;
    delete unitMenu;
}

CMenu* CCampaign::GetPageMenu() const {
    switch (page) {
    case CAMPAIGN_PAGE_MISSION:
        return missionMenu;
    case CAMPAIGN_PAGE_UNIT:
        return unitMenu;
    default:
        return profileMenu;
    }
}

void CCampaign::ShowProfilePage() {
    page = CAMPAIGN_PAGE_PROFILE;
    nameEditing = 0;
    nameCursorShown = 0;
    nameCursorTime = 0.0f;
    newProfileName = CAMPAIGN_NEW_PROFILE;
}

void CCampaign::StartBattle() {
    // The battle replaces the campaign; its pause menu brings a new one back.
    CStateManager::Pop();
    CStateManager::Push(new CGame());
}

void CCampaign::Update(float) {
    switch (GetPageMenu()->Update()) {
    case CAMPAIGN_CHOICE_BACK:
        if (page == CAMPAIGN_PAGE_UNIT) {
            page = CAMPAIGN_PAGE_MISSION;
        } else if (page == CAMPAIGN_PAGE_MISSION) {
            ShowProfilePage();
        } else {
            // Replaced, not covered: the stack never holds both menu states.
            CStateManager::Pop();
            CStateManager::Push(new CTitle());
        }
        break;
    case CAMPAIGN_CHOICE_MISSION:
        page = CAMPAIGN_PAGE_MISSION;
        break;
    case CAMPAIGN_CHOICE_START:
        StartBattle();
        break;
    case CAMPAIGN_CHOICE_UNIT:
        page = CAMPAIGN_PAGE_UNIT;
        break;
    default:
        break;
    }
}

void CCampaign::EditProfileName(int code, float dt) {
    if (!nameEditing) {
        // The placeholder goes with the first key.
        nameEditing = 1;
        nameCursorShown = 1;
        nameCursorTime = 0.0f;
        newProfileName.clear();
    }
    if (code >= 32 && code <= 126) {
        newProfileName += (char)code;
    } else if (code == -1 && !newProfileName.empty()) {
        newProfileName.pop_back();
    }
    nameCursorTime += dt;
    if (!(nameCursorTime >= 0.0f)) {
        nameCursorTime = 0.0f;
    }
    if (nameCursorTime >= CAMPAIGN_CURSOR_BLINK) {
        nameCursorTime = 0.0f;
        nameCursorShown = nameCursorShown ? 0 : 1;
    }
}

std::string CCampaign::GetProfileRowText(int row) const {
    if (row != 0) {
        return "Profile";
    }
    if (nameEditing && nameCursorShown) {
        return newProfileName + "|";
    }
    return newProfileName;
}

void CCampaign::DrawProfilePage() {
    profileMenu->Draw();
    const CMenuButton* anchor = profileMenu->FindButton(CAMPAIGN_PROFILE_ANCHOR);
    if (!anchor) {
        return;
    }
    float h = (float)anchor->height;
    for (int row = 0; row < CAMPAIGN_PROFILE_ROWS; row++) {
        label = GetProfileRowText(row);
        label.SetPosition(anchor->x, anchor->y + h * (float)(row + 1));
        label.Draw();
    }
}

void CCampaign::Draw() {
    ClearFrame(0, true, true, false);
    if (page == CAMPAIGN_PAGE_PROFILE) {
        DrawProfilePage();
    } else {
        GetPageMenu()->Draw();
    }
}
