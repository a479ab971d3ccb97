// A game state: the title, the campaign menus, a battle, a test scene. The
// state stack owns its states; only the state on top is updated and drawn.
#ifndef APP_GAME_STATE_H
#define APP_GAME_STATE_H

#include <string>

class CGameState {
public:
    CGameState() {}

    virtual void Update(float dt) = 0;
    virtual void Draw() = 0;            // under the render lock
    virtual void Enter() {}             // just pushed
    virtual void Exit() {}              // covered by a push, or popped
    virtual void OnGraphicsLost() {}
    virtual void OnGraphicsRestored() {}
    virtual void GetName(std::string& out) { out = "Unknown"; }
    virtual ~CGameState() {}

private:
    CGameState(const CGameState&) = delete;
    CGameState& operator=(const CGameState&) = delete;
};

#endif
