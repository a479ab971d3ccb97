// The title state: the title menu on a cleared screen, leading to the
// campaign or out of the game.
#ifndef UI_TITLE_H
#define UI_TITLE_H

#include "app/game_state.h"

class CMenu;

// Choices of "data\menu\CTitle.txt".
const int TITLE_CHOICE_CAMPAIGN = 2;
const int TITLE_CHOICE_QUIT = 5;

class CTitle : public CGameState {
public:
    CTitle();
    ~CTitle() override;

    void Update(float dt) override;
    void Draw() override;

    CMenu* GetMenu() const { return menu; }

private:
    CMenu* menu;
};

#endif
