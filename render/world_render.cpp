// The world pass in its fixed order; see world_render.h.
#include "render/world_render.h"

#include "render/backend.h"
#include "render/camera.h"
#include "render/node.h"
#include "render/resources.h"

CWorldRenderer::CWorldRenderer(CWorldScene* scene) : scene(scene), soldierFull(false), time(0.0f) {
    soldierProgram.Load(SoldierProgramPath, SoldierProgramPath);
    soldierFull = soldierProgram.IsLoaded();
    if (!soldierFull)
        soldierProgram.Load(SoldierFallbackPath, "");
    vehicleProgram.Load(VehicleProgramPath, VehicleProgramPath);
    weaponProgram.Load(WeaponProgramPath, WeaponProgramPath);
}

CWorldRenderer::~CWorldRenderer() {
    weaponProgram.Release();
    vehicleProgram.Release();
    soldierProgram.Release();
}

// Binding a program that failed to load leaves none bound (fixed pipeline).
static void BindProgram(CShaderProgram& program) {
    if (!ShadersAvailable())
        return;
    if (program.IsLoaded())
        program.Bind();
    else
        UnbindShaderProgram();
}

static void BindNoProgram() {
    if (ShadersAvailable())
        UnbindShaderProgram();
}

// Scrap and dropped items: world matrices brought up to date, drawn only
// when the node's own mesh has chunks.
static void DrawLooseNode(CNode* node) {
    if (!node)
        return;
    node->GetWorldMatrix();
    if (node->mesh.GetChunkCount() > 0)
        node->Draw(true);
}

void CWorldRenderer::DrawList(VisibilityList list) {
    bool loose = list == VisSoldierScrap || list == VisVehicleScrap || list == VisWeapons ||
                 list == VisGrenades;
    for (void* object : scene->GetVisibility().GetList(list)) {
        CNode* node = scene->GetNode(list, object);
        if (loose)
            DrawLooseNode(node);
        else if (node)
            node->Draw(true);
    }
}

// The part lists hold pieces of model trees; their meshes are drawn at each
// piece's own world matrix (never filled in the shipped flow).
void CWorldRenderer::DrawParts(VisibilityList list) {
    const CVisibilityLists& visibility = scene->GetVisibility();
    if (!visibility.IsHierarchical())
        return;
    for (const CCullTree* part : visibility.GetPartList(list)) {
        CNode* node = scene->GetPartNode(part);
        if (node && node->mesh.GetChunkCount() > 0) {
            SetWorldMatrix(node->GetWorldMatrix());
            SetStandardMatrices();
            node->mesh.Draw();
        }
    }
}

void CWorldRenderer::DrawSoldiers() {
    for (void* soldier : scene->GetVisibility().GetList(VisSoldiers)) {
        if (CNode* node = scene->GetNode(VisSoldiers, soldier))
            node->Draw(true);
        if (CNode* weapon = scene->GetWeaponNode(soldier))
            weapon->Draw(true);
    }
}

void CWorldRenderer::DrawProjectiles() {
    for (void* projectile : scene->GetVisibility().GetList(VisProjectiles)) {
        int kind = scene->GetProjectileKind(projectile);
        if (kind == 1 || kind == 3)
            continue;
        CNode* node = scene->GetNode(VisProjectiles, projectile);
        if (!node || node->mesh.GetChunkCount() == 0)
            continue;
        SetWorldMatrix(node->GetWorldMatrix());
        SetStandardMatrices();
        node->mesh.Draw();
    }
}

void CWorldRenderer::Draw() {
    if (!scene)
        return;
    SetRenderSwitch(RS_DEPTH_TEST, true);
    SetRenderSwitch(RS_DEPTH_WRITE, true);
    SetCullMode(CULL_CLOCKWISE);
    ClearFrame(SkyColour, true, true, false);
    scene->DrawTerrain();

    BindProgram(soldierProgram);
    // No camera applied yet: camPos keeps its last value.
    if (soldierFull && ShadersAvailable() && CurrentCamera) {
        const Vector3* eye = CurrentCamera->GetPosition();
        if (eye)
            soldierProgram.SetVector3("camPos", &eye->x);
    }
    DrawSoldiers();
    DrawParts(VisSoldierParts);
    DrawList(VisSoldierScrap);

    BindProgram(vehicleProgram);
    DrawList(VisVehicles);
    DrawParts(VisVehicleParts);
    DrawList(VisVehicleScrap);

    BindNoProgram();
    DrawList(VisGenerics);
    DrawParts(VisGenericParts);

    BindProgram(weaponProgram);
    if (ShadersAvailable() && weaponProgram.IsLoaded())
        weaponProgram.SetFloat("time", &time);
    DrawList(VisWeapons);
    DrawList(VisGrenades);

    BindNoProgram();
    DrawProjectiles();
    scene->DrawGrass();
    scene->DrawParticles();
}
