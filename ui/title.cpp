#include "ui/title.h"

#include "app/state_manager.h"
#include "render/backend.h"
#include "ui/campaign.h"
#include "ui/menu.h"

CTitle::CTitle() : menu(new CMenu) {
    menu->Load("data\\menu\\CTitle.txt");
}

CTitle::~CTitle() {
    delete menu;
}

void CTitle::Update(float) {
    switch (menu->Update()) {
    case TITLE_CHOICE_CAMPAIGN:
        // Replaced, not covered: the stack never holds both menu states.
        CStateManager::Pop();
        CStateManager::Push(new CCampaign(CAMPAIGN_PAGE_PROFILE));
        break;
    case TITLE_CHOICE_QUIT:
        // The empty stack ends the program at the next frame.
        CStateManager::PopAll();
        break;
    default:
        break;
    }
}

void CTitle::Draw() {
    ClearFrame(0, true, true, false);
    menu->Draw();
}
