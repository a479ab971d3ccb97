// The overlay's drawing: status panel, dialogue box, radar, dialogue lines
// and the menus, each at its anchor button of the regular menu.
#include "ui/game_ui.h"

#include "game/soldiers/soldier.h"
#include "game/stats.h"
#include "game/weapons/weapon.h"
#include "game/world/world.h"
#include "render/backend.h"
#include "render/text.h"
#include "ui/menu.h"

namespace {

const uint32_t BarTop = 0xFFC8C8C8;
const uint32_t BarBottom = 0xFFC8C800;
const float BarLength = 120.0f;
const float BarHeight = 10.0f;
const uint32_t CountColour = 0xFF00C800;
const float CountSize = 25.0f;
const float IconRowWidth = 100.0f;
const float DotScale = 0.25f;

// Reloads a per-frame picture only when the stats name another file.
void LoadNamed(CTexture& texture, std::string& loadedName, const std::string& name) {
    if (name == loadedName) {
        return;
    }
    texture = CTexture();
    loadedName = name;
    if (!name.empty()) {
        LoadTextureClamped(texture, name);
    }
}

}  // namespace

void CGameUI::DrawStatus(CSoldier* player, float x, float y) {
    if (player->type >= 0 && size_t(player->type) < g_soldierTypes.size()) {
        float maxArmour = g_soldierTypes[player->type].maxArmour;
        if (maxArmour > 0.0f) {
            float width = player->GetArmour() / maxArmour * BarLength;
            DrawShadedRect(x, y, width, BarHeight, BarTop, BarTop, BarBottom, BarBottom);
        }
    }
    LoadNamed(grenadeIcon, grenadeIconName, g_grenadeTypes.empty() ? std::string() : g_grenadeTypes[0].icon);
    float gw = float(grenadeIcon.GetWidth()), gh = float(grenadeIcon.GetHeight());
    DrawTexture(grenadeIcon, x, y - 20.0f - gh / 2.0f, 1.0f);
    DrawString("x " + std::to_string(player->grenades.size()), x + gw / 2.0f + 15.0f, y - 36.0f,
               CountColour, CountSize, "");
    if (player->weapons.empty()) {
        return;
    }
    CWeapon& weapon = player->GetCurrentWeapon();
    if (weapon.type < 0 || size_t(weapon.type) >= g_weaponTypes.size()) {
        return;
    }
    const WeaponType& row = g_weaponTypes[weapon.type];
    LoadNamed(weaponPicture, weaponPictureName, row.image);
    float wh = float(weaponPicture.GetHeight());
    float weaponCentre = y - (gh + 20.0f);
    DrawTexture(weaponPicture, x, weaponCentre - wh / 2.0f, 1.0f);
    // The round icon comes from the projectile row numbered like the weapon.
    std::string icon;
    if (size_t(weapon.type) < g_projectileTypes.size()) {
        icon = g_projectileTypes[weapon.type].image;
    }
    LoadNamed(roundIcon, roundIconName, icon);
    if (icon.empty() || roundIcon.GetWidth() <= 0 || roundIcon.GetHeight() <= 0) {
        return;
    }
    float iw = float(roundIcon.GetWidth()), ih = float(roundIcon.GetHeight());
    float top = weaponCentre - wh / 2.0f - ih;
    float left = x;
    for (int round = 0; round < row.clipSize; round++) {
        if (left - x >= IconRowWidth) {
            left = x;
            top -= ih;
        }
        // Rows climb the screen: a clip of thousands stops at its top edge.
        if (top + ih <= 0.0f) {
            break;
        }
        DrawTexture(roundIcon, left, top, round < weapon.clip ? 1.0f : 0.2f);
        left += iw;
    }
}

void CGameUI::DrawDialogueBox(float x, float y) {
    float ah = float(avatar.GetHeight()), aw = float(avatar.GetWidth());
    uint32_t shade = (uint32_t(dialogueFade * 100.0f) << 24) | 0x323232u;
    float left = x - dialogBoxWidth / 2.0f;
    DrawShadedRect(left, y - ah / 2.0f, 450.0f, 128.0f, shade, shade, shade, shade);
    DrawTexture(avatar, left - aw / 2.0f - aw / 2.0f, y - ah / 2.0f, dialogueFade);
    if (world && world->messageShowing && !world->messages.empty()) {
        world->messages.front().block.Draw(left + 16.0f, y - ah / 2.0f + 32.0f);
    }
}

void CGameUI::DrawRadar(float x, float y) {
    DrawTexture(radar, x - radar.GetWidth() / 2.0f, y - radar.GetHeight() / 2.0f, 1.0f);
    DrawLine2D(x, y, 0xFFFFFFFF, x, y - 25.0f, 0xFFFFFFFF);
    for (const RadarDot& dot : radarDots) {
        const CTexture& texture = dot.kind == 0 ? greenDot : (dot.kind == 1 ? yellowDot : redDot);
        DrawSprite(texture, x + dot.x, y + dot.y, 0.0f, DotScale, 1.0f);
    }
}

void CGameUI::DrawLines(float x, float y) {
    float top = y + 35.0f;
    for (CTextBlock& line : dialogue.currentLines) {
        line.Draw(x, top);
        top += 20.0f;
    }
    for (TimedLine& line : dialogue.timedLines) {
        line.block.Draw(x, top);
        top += 16.0f;
    }
}

void CGameUI::Draw() {
    if (mode != UI_MODE_REGULAR) {
        if (overlayMenu) {
            overlayMenu->Draw();
        }
        return;
    }
    float x = 0.0f, y = 0.0f;
    CSoldier* player = Player();
    if (player && Anchor(ANCHOR_STATUS, x, y)) {
        DrawStatus(player, x, y);
    }
    if (dialogueFade > 0.0f && Anchor(ANCHOR_DIALOGUE, x, y)) {
        DrawDialogueBox(x, y);
    }
    if (player && Anchor(ANCHOR_RADAR, x, y)) {
        DrawRadar(x, y);
    }
    if (Anchor(ANCHOR_LINES, x, y)) {
        DrawLines(x, y);
    }
    if (regularMenu) {
        regularMenu->Draw();
    }
}
