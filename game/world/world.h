// CWorld: the owner of one running battle. Soldiers, vehicles and props are
// owned through pointers, dropped items, projectiles, messages and hit
// records are values in lists, scrap entries own their node and collision
// part. A game state creates a world, fills it with LoadLevel, updates it
// once a frame and deletes it when it goes.
#ifndef GAME_WORLD_WORLD_H
#define GAME_WORLD_WORLD_H

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "game/collision/body_grid.h"
#include "game/collision/collision_body.h"
#include "game/collision/collision_phases.h"
#include "game/particles/particle_system.h"
#include "game/terrain/terrain.h"
#include "game/weapons/battle_world.h"
#include "game/world/physics_body.h"
#include "game/world/team_ai_seam.h"
#include "game/world/terrain_view.h"
#include "render/text_block.h"
#include "render/visibility.h"

class CGenericObject;
struct LevelFile;

// The sections a world loads; each byte is ANDed with LoadLevel's mask.
struct WorldLoadMask {
    uint8_t all = 255;
    uint8_t terrain = 1;
    uint8_t soldiers = 2;
    uint8_t generic = 4;
    uint8_t droppedItems = 8;
    uint8_t vehicles = 16;
};

const float MessageDisplayTime = 5.0f;
const float MessageWidth = 200.0f;
const float HitRecordTime = 5.0f;
// The projection the main game draws with; the culling planes are built
// from it until a state sets another.
const float WorldCullAspect = 0.75f;
const float WorldCullNear = 1.0f;
const float WorldCullFar = 2500.0f;
const float WorldCullDistance = 2500.0f;
// Culling sphere of a piece of scrap around its body.
const float ScrapCullRadius = 1.0f;

struct WorldMessage {
    int id = 0;
    std::string name;
    std::string image;
    CTextBlock block;
    float displayTime = MessageDisplayTime;
};

struct WorldHitRecord {
    Vector3 point;
    std::string text;
    float remaining = HitRecordTime;
};

// A torn-off limb or vehicle part: owns its node and its collision part tree.
struct ScrapEntry {
    CNode* node = nullptr;
    PhysicsBody body;
    CCollisionPart* part = nullptr;
};

// An entry of the further-object list: only a collision body.
struct FurtherObject {
    CCollisionBody collision;
};

class CWorld : public CBattleWorld, public CCullSource {
public:
    CWorld();
    ~CWorld() override;
    CWorld(const CWorld&) = delete;
    CWorld& operator=(const CWorld&) = delete;

    // Deletes every soldier, vehicle, prop, dropped item and piece of scrap,
    // and the projectiles, particle effects and the team AI's lists that
    // could point at them. Messages and hit records stay.
    void Clear();
    void Update(float dt);

    // Level and message files (world_load.cpp). LoadLevel is false, with the
    // world unchanged, for a file that cannot be opened or holds none of the
    // sections asked for.
    bool LoadLevel(const std::string& path, int mask);
    void LoadMessages(const std::string& path);
    // Builds the objects of a read level into this (already cleared) world,
    // after the terrain refusing the rows placed far off it.
    void ApplyLevel(LevelFile& level, const std::string& fileName);

    // Teams 0..MaxTeams-1; another team is reported and the soldier is
    // listed in no team (the world still owns it).
    void AddSoldierToTeam(CSoldier* soldier, int team);
    void RemoveSoldier(CSoldier* soldier);
    void AddVehicle(CVehicle* vehicle);
    void RemoveVehicle(CVehicle* vehicle);
    void AddGeneric(CGenericObject* generic);
    void RemoveGeneric(CGenericObject* generic);

    void AddMessage(const std::string& name, const std::string& image, const std::string& format,
                    const std::string& arguments);
    void SetMessagesEnabled(bool enabled);
    void SetObjectsRun(bool run) { objectsRun = run; }
    void SetSoldiersRun(bool run) { soldiersRun = run; }
    void ResetLoadMask() { loadMask = WorldLoadMask(); }
    void UpdateScrap(float dt);
    // Null while the world has no team AI.
    CTeamAISeam* GetTeamAI() { return teamAI.get(); }
    void SetTeamAI(std::unique_ptr<CTeamAISeam> ai) { teamAI = std::move(ai); }

    // CBattleWorld hooks.
    void OnProjectileRemoved(CProjectile* projectile) override;
    void OnSoldierAttacked(CSoldier* soldier, CCollisionProjectile* attacker) override;
    void OnSoldierLeavesTeamAI(CSoldier* soldier) override;
    void AddMessage(const std::string& speaker, const std::string& image,
                    const std::string& text) override;

    // CWorldAccess.
    CTerrainAccess* GetTerrain() override;
    CBodyGrid* GetBodyGrid() override;
    // Off: the queries test every body (for comparing the two).
    void SetBodyGridEnabled(bool on) { bodyGridEnabled = on; }
    void CollectProps(std::vector<CGenericObject*>& out) override;
    void CollectFurtherObjects(std::vector<WorldBodyEntry>& out) override;
    void AddHitRecord(const char* text, const Vector3& point) override;
    void AddSoldierScrap(CNode* node, CCollisionPart* part, const Vector3& velocity) override;
    CParticleSystem* GetParticleSystem() override { return &particles; }
    bool IsPointOutsideView(const Vector3& point) override;

    // CCullSource.
    void GetCullEntries(VisibilityList collection, std::vector<CullEntry>& out) override;

    WorldLoadMask loadMask;
    bool soldiersRun;
    bool objectsRun;
    bool messagesEnabled;
    std::vector<std::list<CSoldier*>> teams;   // not owned
    std::list<CGenericObject*> generics;        // owned
    std::list<FurtherObject> furtherObjects;
    float messageTimer;
    bool messageShowing;
    std::list<WorldMessage> messages;           // front is shown
    CCollisionPhases phases;
    CVisibilityLists visibility;
    CParticleSystem particles;
    CTerrain terrain;
    std::vector<ScrapEntry> soldierScrap;
    std::vector<ScrapEntry> vehicleScrap;
    std::list<WorldHitRecord> hitRecords;

private:
    void AppendMessage(int id, const std::string& name, const std::string& image,
                       const std::string& format, const std::string& arguments);
    void UpdateItems(float objectTime);
    void UpdateMessages(float objectTime);
    void UpdateHitRecords(float dt);
    void PublishCounts();
    static void DeleteScrap(std::vector<ScrapEntry>& scrap);
    void UpdateScrapList(std::vector<ScrapEntry>& scrap, float dt);

    void ListInBodyGrid(int set);

    CTerrainView ground;
    std::unique_ptr<CTeamAISeam> teamAI;
    // Bodies join when their object is added and leave when they are
    // destroyed; a list changed behind the world's back is listed again.
    CBodyGrid bodyGrid;
    bool bodyGridEnabled = true;
};

#endif
