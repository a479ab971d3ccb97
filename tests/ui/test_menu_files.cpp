// The shipped menu files: the ids the game gives meaning to, and layouts in
// which no two buttons of a menu overlap (so no sub-page can take another
// page's click, and the profile rows stay clear of the buttons).
#include <gtest/gtest.h>

#include <set>

#include "ui/menu.h"

namespace {

struct Rect {
    float x0, y0, x1, y1;
};

Rect Area(const CMenuButton& b) {
    return Rect{b.x, b.y, b.x + (float)b.width, b.y + (float)b.height};
}

bool Overlap(const Rect& a, const Rect& b) {
    return a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1;
}

std::set<int> Ids(const CMenu& menu) {
    std::set<int> ids;
    for (const auto& entry : menu.GetButtons()) ids.insert(entry.first);
    return ids;
}

void ExpectNoOverlap(const CMenu& menu, std::vector<Rect> extra = {}) {
    std::vector<Rect> areas = extra;
    for (const auto& entry : menu.GetButtons()) areas.push_back(Area(*entry.second));
    for (size_t i = 0; i < areas.size(); i++)
        for (size_t j = i + 1; j < areas.size(); j++)
            EXPECT_FALSE(Overlap(areas[i], areas[j])) << menu.GetName() << ": areas " << i << " and " << j;
}

}  // namespace

TEST(MenuFilesTest, IdsAndLayouts) {
    struct Expected {
        const char* file;
        std::set<int> ids;
    };
    const Expected files[] = {
        {"data\\menu\\CTitle.txt", {2, 5}},
        {"data\\menu\\CCampaign_Profile.txt", {2, 3, 4, 5, 6}},
        {"data\\menu\\CCampaign_Mission.txt", {2, 3, 4, 5, 6}},
        {"data\\menu\\CCampaign_Unit.txt", {2, 3, 4, 5, 6}},
        {"data\\menu\\CGameUI_Regular.txt", {1, 2, 3, 5}},
        {"data\\menu\\CGameUI_Pause.txt", {1, 2, 3, 4, 5, 6, 7}},
        {"data\\menu\\CGameUI_Gameover.txt", {1, 2, 3}},
    };
    for (const Expected& e : files) {
        CMenu menu;
        ASSERT_TRUE(menu.Load(e.file)) << e.file;
        EXPECT_EQ(Ids(menu), e.ids) << e.file;
        ExpectNoOverlap(menu);
        bool anchors = menu.GetName() == "data\\menu\\CGameUI_Regular.txt";
        for (const auto& entry : menu.GetButtons()) {
            // The display's anchors are hidden so a click in battle never
            // picks one up; every other button shows.
            EXPECT_EQ(entry.second->hidden != 0, anchors) << e.file << " id " << entry.first;
            EXPECT_FALSE(entry.second->name.empty());
        }
    }
    // The five profile rows are written under button 4, one button height apart.
    CMenu profile;
    ASSERT_TRUE(profile.Load("data\\menu\\CCampaign_Profile.txt"));
    const CMenuButton* anchor = profile.FindButton(4);
    ASSERT_NE(anchor, nullptr);
    Rect rows{anchor->x, anchor->y + anchor->height + 1.0f, anchor->x + anchor->width,
              anchor->y + anchor->height * 6.0f};
    ExpectNoOverlap(profile, {rows});
}
