// Menus are data: a set of labelled rectangular buttons read from a text file
// under "data\menu\", chosen with the left mouse button. The owner gets the
// chosen button's id and decides what it means; hiding and showing buttons by
// id switches between the sub-pages of one menu. A small layout editor moves
// a button picked up with the right button and resizes it with K and L.
#ifndef UI_MENU_H
#define UI_MENU_H

#include <cstdint>
#include <istream>
#include <map>
#include <string>

#include "render/text.h"

class CMenuButton {
public:
    CMenuButton();

    // Borders included: x <= px <= x + width, y <= py <= y + height.
    bool Contains(float px, float py) const;

    int32_t id;        // what the menu returns when the button is chosen
    float x, y;        // top-left corner in screen pixels
    std::string name;  // the label
    uint32_t width;
    uint32_t height;   // clickable height, and the label's text size
    uint8_t hidden;    // neither drawn nor chosen while set
};

// Scan codes of the layout editor's keys.
const int MENU_KEY_WIDER = 38;     // L
const int MENU_KEY_NARROWER = 37;  // K

// Longest line of a menu file the reader keeps; the rest of a longer line is dropped.
const size_t MENU_MAX_LINE = 999;
const int MENU_MAX_SIZE = 4096;   // button heights and widths read from a file

class CMenu {
public:
    CMenu();
    ~CMenu();

    // Reads the file into this menu. False when it cannot be opened (the
    // menu stays as it was: a fresh menu stays empty).
    bool Load(const std::string& fileName);
    // The reader behind Load. Each value line follows one label line; a
    // button is seven pairs: name, x, y, id, hidden, height, width. An empty
    // name or the end of the input ends the list; a button cut short by the
    // end is dropped.
    void Read(std::istream& in);

    // The id of the button chosen this frame, or 0.
    int32_t Update();
    void Draw();

    void SetButtonHidden(int32_t id, bool hidden);
    void SetAllHidden(bool hidden);

    // Takes the button; false (and the button is deleted) when its id is taken.
    bool AddButton(CMenuButton* button);
    void RemoveButton(int32_t id);
    CMenuButton* FindButton(int32_t id) const;
    void SetButtonPosition(int32_t id, float x, float y);
    void SetButtonName(int32_t id, const std::string& name);
    void MoveDraggedToCursor();
    // False while the menu waits for both mouse buttons to be released.
    bool IsReady() const { return waitForRelease == 0; }
    // The first visible button under the cursor (ascending id), or 0.
    int32_t GetButtonUnderCursor() const;

    const std::string& GetName() const { return name; }
    int32_t GetButtonCount() const { return buttonCount; }
    const std::map<int32_t, CMenuButton*>& GetButtons() const { return buttons; }
    CMenuButton* GetDragged() const { return dragged; }
    bool IsDragging() const { return dragging != 0; }

private:
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    CMenuButton* FindVisibleAt(float px, float py) const;

    std::string name;
    CText title;         // made with the menu, never drawn
    CText label;         // scratch text the labels are drawn with
    std::map<int32_t, CMenuButton*> buttons;   // owned, ascending id
    int32_t buttonCount;
    CMenuButton* dragged;
    uint8_t dragging;
    uint8_t waitForRelease;
    float dragOffsetX, dragOffsetY;
};

#endif
