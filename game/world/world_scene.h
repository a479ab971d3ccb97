// The battle as the world renderer sees it: CWorld's visible lists, the
// nodes behind their entries, and its terrain, grass and particles.
#ifndef GAME_WORLD_WORLD_SCENE_H
#define GAME_WORLD_WORLD_SCENE_H

#include "render/world_render.h"

class CWorld;

class CWorldDrawScene : public CWorldScene {
public:
    explicit CWorldDrawScene(CWorld& world) : world(world) {}

    const CVisibilityLists& GetVisibility() override;
    void DrawTerrain() override;
    void DrawGrass() override;
    void DrawParticles() override;
    CNode* GetNode(VisibilityList list, void* object) override;
    CNode* GetWeaponNode(void* soldier) override;
    CNode* GetPartNode(const CCullTree* part) override;
    int GetProjectileKind(void* projectile) override;

private:
    CWorld& world;
};

#endif
