// The per-frame world pass: terrain, then each visible object group under
// the program that suits it, then grass and particles. What is drawn comes
// from the visible lists the world's culling pass filled, not from the
// world's own lists.
//
// The renderer knows the world only through CWorldScene, so rendering stays
// below the battle code: the battle supplies the scene (game/world/world_scene.h).
#ifndef RENDER_WORLD_RENDER_H
#define RENDER_WORLD_RENDER_H

#include <cstdint>

#include "core/matrix.h"
#include "render/shader.h"
#include "render/visibility.h"

class CNode;

// What the renderer needs of a world.
class CWorldScene {
public:
    virtual const CVisibilityLists& GetVisibility() = 0;
    virtual void DrawTerrain() = 0;
    virtual void DrawGrass() = 0;
    virtual void DrawParticles() = 0;
    // The node that draws an entry of a visible list, or null. Soldiers:
    // the soldier's own node; GetWeaponNode gives the weapon in its hands.
    virtual CNode* GetNode(VisibilityList list, void* object) = 0;
    virtual CNode* GetWeaponNode(void* soldier) = 0;
    // The node behind a piece of a part list, or null.
    virtual CNode* GetPartNode(const CCullTree* part) = 0;
    // Projectiles: their kind (kinds 1 and 3 are never drawn).
    virtual int GetProjectileKind(void* projectile) = 0;

protected:
    ~CWorldScene() {}
};

// Packed red 0, green 127, blue 204: the sky behind the battle.
const uint32_t SkyColour = 0xffcc7f00u;

const char* const SoldierProgramPath = "data\\shaders\\soldier_full";
const char* const SoldierFallbackPath = "data\\shaders\\soldier_bad";
const char* const VehicleProgramPath = "data\\shaders\\vehicle_full";
const char* const WeaponProgramPath = "data\\shaders\\weapon_full";

class CWorldRenderer {
public:
    explicit CWorldRenderer(CWorldScene* scene);
    ~CWorldRenderer();

    void Draw();
    // The weapon program's "time": nothing in the game advances it, so the
    // glow of items on the ground stays steady.
    void AddTime(float dt) { time += dt; }
    float GetTime() const { return time; }
    bool HasFullSoldierProgram() const { return soldierFull; }

private:
    CWorldRenderer(const CWorldRenderer&) = delete;
    CWorldRenderer& operator=(const CWorldRenderer&) = delete;

    void DrawList(VisibilityList list);
    void DrawParts(VisibilityList list);
    void DrawSoldiers();
    void DrawProjectiles();

    CWorldScene* scene;   // not owned
    CShaderProgram soldierProgram;
    bool soldierFull;
    CShaderProgram vehicleProgram;
    CShaderProgram weaponProgram;
    float time;
};

// The AI test state's marker: a cube of 12 coloured triangles around centre,
// its axes the rotation's rows scaled by size.
void DrawWorldDebug(const Vector3& centre, const Matrix3& rotation, float size);
void DrawDebugLine(const Vector3& from, uint32_t fromColour, const Vector3& to, uint32_t toColour);

#endif
