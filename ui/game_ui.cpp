#include "ui/game_ui.h"

#include <cmath>
#include <sstream>

#include "app/keyboard.h"
#include "app/state_manager.h"
#include "core/files.h"
#include "core/sections.h"
#include "game/player/player_controller.h"
#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/stats.h"
#include "game/weapons/weapon.h"
#include "game/world/world.h"
#include "render/backend.h"
#include "render/image.h"
#include "ui/campaign.h"
#include "ui/menu.h"

DialogueEntry ReadDialogueEntry(std::istream& in, const std::string& key) {
    DialogueEntry entry;
    std::string line;
    if (!FindSection(in, key) || !ReadTextLine(in, line) || !ReadTextLine(in, line)) {
        return entry;
    }
    if (line.size() > DialogueEntryLength) {
        line.resize(DialogueEntryLength);
    }
    size_t open = line.find('"');
    size_t close = open == std::string::npos ? open : line.find('"', open + 1);
    if (close == std::string::npos) {
        return entry;
    }
    entry.format = line.substr(open + 1, close - open - 1);
    size_t start = line.find_first_not_of(' ', close + 1);
    if (start != std::string::npos) {
        entry.arguments = line.substr(start, line.find(' ', start) - start);
    }
    return entry;
}

void CUIDialogue::Load(std::istream& in) {
    ammoLines.clear();
    pickupLines.clear();
    vehicleLines.clear();
    for (const WeaponType& weapon : g_weaponTypes) {
        ammoLines.push_back(ReadDialogueEntry(in, "Ammo " + weapon.name));
        pickupLines.push_back(ReadDialogueEntry(in, "Pickup " + weapon.name));
    }
    if (!g_grenadeTypes.empty()) {
        ammoLines.push_back(ReadDialogueEntry(in, "Ammo " + g_grenadeTypes[0].name));
    }
    for (const VehicleType& vehicle : g_vehicleTypes) {
        vehicleLines.emplace_back();
        for (const std::string& seat : vehicle.seatBones) {
            vehicleLines.back().push_back(ReadDialogueEntry(in, "Vehicle " + vehicle.name + " " + seat));
        }
    }
}

const DialogueEntry* CUIDialogue::AmmoLine(int kind) const {
    if (kind < 0) {
        return nullptr;
    }
    // Only the first grenade type has a line; every grenade kind shares it.
    size_t index = kind >= NoticeGrenadeKind ? g_weaponTypes.size() : size_t(kind);
    return index < ammoLines.size() ? &ammoLines[index] : nullptr;
}

CGameUI::CGameUI()
    : world(nullptr), regularMenu(nullptr), overlayMenu(nullptr), dialogBoxWidth(0.0f),
      dialogueFade(0.0f), mode(UI_MODE_REGULAR) {}

CGameUI::~CGameUI() {
    delete overlayMenu;
    delete regularMenu;
}

void CGameUI::Init(CWorld* battle) {
    world = battle;
    std::ifstream file;
    if (OpenInputFile(file, DialogueFile)) {
        dialogue.Load(file);
    } else {
        std::istringstream none;
        dialogue.Load(none);
    }
    radarDots.clear();
    dialogueFade = 0.0f;
    mode = UI_MODE_REGULAR;
    delete regularMenu;
    regularMenu = new CMenu;
    regularMenu->Load(RegularMenuFile);
    LoadTextureClamped(radar, "data\\ui\\radar.png");
    LoadTextureClamped(groupIcon, "data\\ui\\group_icon.png");
    LoadTextureClamped(healthBar, "data\\ui\\health_bar.png");
    LoadTextureClamped(grenadePicture, "data\\ui\\grenade_pic.png");
    LoadTextureClamped(avatar, "data\\ui\\avatar.png");
    LoadTextureClamped(redDot, "data\\ui\\red_dot.png");
    LoadTextureClamped(yellowDot, "data\\ui\\yellow_dot.png");
    LoadTextureClamped(greenDot, "data\\ui\\green_dot.png");
    LoadTextureClamped(target, "data\\ui\\target.png");
    // The box is placed by the image's width but never drawn, so it is only
    // decoded: its width need not suit a texture.
    CImage box;
    dialogBoxWidth = box.LoadFromFile("data\\ui\\dialog_box.png") ? float(box.GetWidth()) : 0.0f;
}

CSoldier* CGameUI::Player() const {
    return world ? g_playerController.GetSoldier() : nullptr;
}

bool CGameUI::Anchor(int id, float& x, float& y) const {
    CMenuButton* button = regularMenu ? regularMenu->FindButton(id) : nullptr;
    if (!button) {
        return false;
    }
    x = button->x;
    y = button->y;
    return true;
}

void CGameUI::OpenPauseMenu() {
    if (overlayMenu) {
        return;
    }
    overlayMenu = new CMenu;
    overlayMenu->Load(PauseMenuFile);
    overlayMenu->SetButtonHidden(6, true);
    overlayMenu->SetButtonHidden(5, true);
    mode = UI_MODE_PAUSE;
}

void CGameUI::CloseOverlay() {
    delete overlayMenu;
    overlayMenu = nullptr;
    mode = UI_MODE_REGULAR;
}

void CGameUI::ClosePauseMenu() {
    if (mode == UI_MODE_PAUSE) {
        CloseOverlay();
    }
}

void CGameUI::OpenGameOverMenu() {
    if (overlayMenu) {
        return;
    }
    overlayMenu = new CMenu;
    overlayMenu->Load(GameOverMenuFile);
    mode = UI_MODE_GAMEOVER;
}

void CGameUI::CloseGameOverMenu() {
    if (mode == UI_MODE_GAMEOVER) {
        CloseOverlay();
    }
}

void CGameUI::Resume() {
    g_playerController.SetActive(true);
    if (world) {
        world->SetObjectsRun(true);
    }
}

void CGameUI::UpdatePauseMenu() {
    if (g_keyboard.IsKeyPressed(KEY_ESCAPE)) {
        Resume();
        ClosePauseMenu();
        return;
    }
    if (!overlayMenu) {
        return;
    }
    switch (overlayMenu->Update()) {
    case 1:
        // The button resumes as Escape does.
        Resume();
        ClosePauseMenu();
        break;
    case 2:
        overlayMenu->SetAllHidden(true);
        overlayMenu->SetButtonHidden(6, false);
        overlayMenu->SetButtonHidden(5, false);
        overlayMenu->SetButtonHidden(7, false);
        break;
    case 3:
        CStateManager::SwitchTo(new CCampaign(CAMPAIGN_PAGE_MISSION));
        break;
    case 6:
        overlayMenu->SetAllHidden(false);
        overlayMenu->SetButtonHidden(6, true);
        overlayMenu->SetButtonHidden(5, true);
        break;
    default:
        break;
    }
}

void CGameUI::UpdateGameOverMenu() {
    if (!overlayMenu) {
        return;
    }
    switch (overlayMenu->Update()) {
    case 1:
        Resume();
        CloseGameOverMenu();
        break;
    case 2:
        CStateManager::SwitchTo(new CCampaign(CAMPAIGN_PAGE_MISSION));
        break;
    default:
        break;
    }
}

static void SetLine(CTextBlock& block, const DialogueEntry& entry, const std::string& arguments) {
    CTextBlock::SetFormatFromString(block, entry.format, arguments);
}

void CGameUI::UpdateDialogue(CSoldier* player, float dt) {
    for (auto it = dialogue.timedLines.begin(); it != dialogue.timedLines.end();) {
        it->remaining -= dt;
        it = it->remaining < 0.0f ? dialogue.timedLines.erase(it) : std::next(it);
    }
    dialogue.currentLines.clear();
    const DialogueEntry* current = nullptr;
    if (player->vehicle) {
        int type = player->vehicle->type;
        if (type >= 0 && size_t(type) < dialogue.vehicleLines.size() && player->seat >= 0 &&
            size_t(player->seat) < dialogue.vehicleLines[type].size()) {
            current = &dialogue.vehicleLines[type][player->seat];
        }
    } else if (player->weaponInReach) {
        int type = player->weaponInReach->type;
        if (type >= 0 && size_t(type) < dialogue.pickupLines.size()) {
            current = &dialogue.pickupLines[type];
        }
    }
    if (current) {
        dialogue.currentLines.emplace_back();
        SetLine(dialogue.currentLines.back(), *current, current->arguments);
    }
    // Each notice becomes one line and is gone.
    for (const PickupNotice& notice : player->pickupNotices) {
        const DialogueEntry* line = dialogue.AmmoLine(notice.kind);
        if (!line) {
            continue;
        }
        dialogue.timedLines.emplace_back();
        dialogue.timedLines.back().remaining = dialogue.lineTime;
        SetLine(dialogue.timedLines.back().block, *line, std::to_string(notice.amount));
    }
    player->pickupNotices.clear();
}

void CGameUI::UpdateRadar(CSoldier* player) {
    radarDots.clear();
    Vector3 centre = player->GetPosition();
    float heading = std::atan2(player->facing.y, player->facing.x);
    float angle = -heading - 1.5707964f;
    float c = std::cos(angle), s = std::sin(angle);
    for (size_t team = 0; team < world->teams.size(); team++) {
        for (CSoldier* soldier : world->teams[team]) {
            if (soldier == player || soldier->GetHealth() <= 0.0f) {
                continue;
            }
            Vector3 p = soldier->GetPosition();
            float dx = p.x - centre.x, dy = p.y - centre.y;
            float l = std::sqrt(dx * dx + dy * dy);
            // A soldier standing on the player has no direction: no dot.
            if (2.0f * l > RadarReach || l <= 0.0f) {
                continue;
            }
            float ux = dx / l, uy = dy / l;
            RadarDot dot;
            dot.x = (ux * c - uy * s) * 2.0f * l;
            dot.y = (ux * s + uy * c) * 2.0f * l;
            dot.kind = int(team) == player->team ? 1 : 2;
            radarDots.push_back(dot);
        }
    }
    radarDots.push_back(RadarDot{0.0f, 0.0f, 0});
}

int32_t CGameUI::Update(float dt) {
    if (g_keyboard.IsKeyPressed(KEY_ESCAPE)) {
        g_playerController.SetActive(false);
        if (world) {
            world->SetObjectsRun(false);
        }
        OpenPauseMenu();
        return 0;
    }
    CSoldier* player = Player();
    if (player) {
        UpdateDialogue(player, dt);
    }
    bool showing = world && world->messageShowing;
    dialogueFade += showing ? dt : -dt;
    dialogueFade = dialogueFade < 0.0f ? 0.0f : (dialogueFade > 1.0f ? 1.0f : dialogueFade);
    if (player) {
        UpdateRadar(player);
    } else {
        radarDots.clear();
    }
    return regularMenu ? regularMenu->Update() : 0;
}
