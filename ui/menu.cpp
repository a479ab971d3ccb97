#include "ui/menu.h"

#include <fstream>

#include "app/keyboard.h"
#include "app/mouse.h"
#include "core/files.h"
#include "core/sections.h"
#include "core/strings.h"
#include "render/backend.h"

static const uint32_t BUTTON_TINT = 0x37FFFFFF;          // translucent white
static const uint32_t BUTTON_TINT_HOVERED = 0x370000FF;  // translucent red

CMenuButton::CMenuButton()
    : id(0), x(0.0f), y(0.0f), width(0), height(0), hidden(0) {
}

bool CMenuButton::Contains(float px, float py) const {
    return x <= px && px <= x + (float)width && y <= py && py <= y + (float)height;
}

CMenu::CMenu()
    : buttonCount(0), dragged(nullptr), dragging(0), waitForRelease(1),
      dragOffsetX(0.0f), dragOffsetY(0.0f) {
}

CMenu::~CMenu() {
    for (auto& entry : buttons) {
        delete entry.second;
    }
    buttons.clear();
}

// ---- menu file ------------------------------------------------------------

// One pair: the label line (ignored), then the value line.
static bool ReadPair(std::istream& in, std::string& value) {
    std::string labelLine;
    if (!ReadTextLine(in, labelLine) || !ReadTextLine(in, value)) {
        return false;
    }
    if (value.size() > MENU_MAX_LINE) {
        value.resize(MENU_MAX_LINE);
    }
    return true;
}

// A size from the file; a negative one would wrap to a rectangle covering the
// rest of the screen, so it counts as 0, and one past any screen is cut to
// MENU_MAX_SIZE (the height becomes a label's text size).
static uint32_t ReadSize(const std::string& text) {
    int n = TextToInt(text);
    return n < 0 ? 0u : n > MENU_MAX_SIZE ? (uint32_t)MENU_MAX_SIZE : (uint32_t)n;
}

bool CMenu::Load(const std::string& fileName) {
    name = fileName;
    std::ifstream in;
    if (!OpenInputFile(in, fileName)) {
        return false;
    }
    Read(in);
    return true;
}

void CMenu::Read(std::istream& in) {
    for (;;) {
        std::string text;
        if (!ReadPair(in, text) || text.empty()) {
            return;
        }
        CMenuButton* button = new CMenuButton;
        button->name = text;
        std::string values[6];
        for (int i = 0; i < 6; i++) {
            if (!ReadPair(in, values[i])) {
                // Cut short by the end of the file: not a button.
                delete button;
                return;
            }
        }
        button->x = (float)TextToInt(values[0]);
        button->y = (float)TextToInt(values[1]);
        button->id = TextToInt(values[2]);
        button->hidden = TextToInt(values[3]) != 0 ? 1 : 0;
        button->height = ReadSize(values[4]);
        button->width = ReadSize(values[5]);
        AddButton(button);
    }
}

// ---- buttons --------------------------------------------------------------

bool CMenu::AddButton(CMenuButton* button) {
    if (!button) {
        return false;
    }
    // The first button of an id keeps it; a second one would be lost anyway.
    if (!buttons.emplace(button->id, button).second) {
        delete button;
        return false;
    }
    buttonCount = (int32_t)buttons.size();
    return true;
}

void CMenu::RemoveButton(int32_t id) {
    auto it = buttons.find(id);
    if (it == buttons.end()) {
        return;
    }
    if (it->second == dragged) {
        dragged = nullptr;
        dragging = 0;
    }
    delete it->second;
    buttons.erase(it);
    buttonCount = (int32_t)buttons.size();
}

CMenuButton* CMenu::FindButton(int32_t id) const {
    auto it = buttons.find(id);
    return it == buttons.end() ? nullptr : it->second;
}

void CMenu::SetButtonPosition(int32_t id, float x, float y) {
    CMenuButton* button = FindButton(id);
    if (button) {
        button->x = x;
        button->y = y;
    }
}

void CMenu::SetButtonName(int32_t id, const std::string& newName) {
    CMenuButton* button = FindButton(id);
    if (button) {
        button->name = newName;
    }
}

void CMenu::SetButtonHidden(int32_t id, bool hidden) {
    CMenuButton* button = FindButton(id);
    if (button) {
        button->hidden = hidden ? 1 : 0;
    }
}

void CMenu::SetAllHidden(bool hidden) {
    for (auto& entry : buttons) {
        entry.second->hidden = hidden ? 1 : 0;
    }
}

// Hidden buttons belong to another sub-page (or are layout anchors): they can
// neither be chosen nor picked up, even where they overlap a visible one.
CMenuButton* CMenu::FindVisibleAt(float px, float py) const {
    for (const auto& entry : buttons) {
        CMenuButton* button = entry.second;
        if (!button->hidden && button->Contains(px, py)) {
            return button;
        }
    }
    return nullptr;
}

int32_t CMenu::GetButtonUnderCursor() const {
    CMenuButton* button = FindVisibleAt((float)g_mouse.GetX(), (float)g_mouse.GetY());
    return button ? button->id : 0;
}

void CMenu::MoveDraggedToCursor() {
    if (dragged) {
        dragged->x = (float)g_mouse.GetX() + dragOffsetX;
        dragged->y = (float)g_mouse.GetY() + dragOffsetY;
    }
}

// ---- input ------------------------------------------------------------------

int32_t CMenu::Update() {
    // The click that opened the menu (or made the last choice) must end first.
    if (waitForRelease) {
        if (g_mouse.IsLeftDown() || g_mouse.IsRightDown() || g_mouse.WasLeftDown() ||
            g_mouse.WasRightDown()) {
            return 0;
        }
        waitForRelease = 0;
    }
    float cursorX = (float)g_mouse.GetX();
    float cursorY = (float)g_mouse.GetY();

    if (dragged) {
        if (g_keyboard.IsKeyDown(MENU_KEY_WIDER)) {
            dragged->width++;
        }
        // Stops at 0: below it the width would wrap to a huge hit area.
        if (g_keyboard.IsKeyDown(MENU_KEY_NARROWER) && dragged->width > 0) {
            dragged->width--;
        }
    }
    if (dragging) {
        MoveDraggedToCursor();
    }

    if (g_mouse.IsRightDown()) {
        if (!dragged) {
            CMenuButton* picked = FindVisibleAt(cursorX, cursorY);
            if (picked) {
                dragged = picked;
                dragging = 1;
                dragOffsetX = picked->x - cursorX;
                dragOffsetY = picked->y - cursorY;
                waitForRelease = 1;
                return 0;
            }
        } else {
            dragged = nullptr;
            dragging = 0;
            waitForRelease = 1;
        }
    }

    if (!g_mouse.IsLeftDown()) {
        return 0;
    }
    CMenuButton* chosen = FindVisibleAt(cursorX, cursorY);
    if (!chosen) {
        return 0;
    }
    waitForRelease = 1;
    return chosen->id;
}

// ---- drawing ------------------------------------------------------------------

void CMenu::Draw() {
    if (buttons.empty()) {
        return;
    }
    float cursorX = (float)g_mouse.GetX();
    float cursorY = (float)g_mouse.GetY();
    for (const auto& entry : buttons) {
        const CMenuButton* button = entry.second;
        if (button->hidden) {
            continue;
        }
        label = button->name;
        label.SetSize((float)button->height);
        label.SetPosition(0.0f, 0.0f);
        float left, top, right, bottom;
        label.GetBounds(left, top, right, bottom);
        float labelWidth = right - left;
        float labelHeight = bottom - top;
        label.SetPosition(button->x + (float)button->width * 0.5f - labelWidth * 0.5f, button->y);

        uint32_t tint = button->Contains(cursorX, cursorY) ? BUTTON_TINT_HOVERED : BUTTON_TINT;
        DrawShadedRect(button->x, button->y, (float)button->width, labelHeight, tint, tint, tint, tint);
        label.Draw();
    }
}
