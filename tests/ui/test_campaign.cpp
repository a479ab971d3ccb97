// The title and campaign states on the state stack with the shipped menu
// files: every transition of the title and of the three campaign pages.
#include <gtest/gtest.h>

#include "app/shell.h"
#include "app/state_manager.h"
#include "render/null/null_backend.h"
#include "test_menu_input.h"
#include "ui/campaign.h"
#include "ui/menu.h"
#include "ui/title.h"

namespace {

class FlowTest : public ::testing::Test {
protected:
    void SetUp() override { CStateManager::ResetForTests(); }
    void TearDown() override { CStateManager::ResetForTests(); }

    CTitle* Title() { return dynamic_cast<CTitle*>(CStateManager::Top()); }
    CCampaign* Campaign() { return dynamic_cast<CCampaign*>(CStateManager::Top()); }

    MenuInput input;
};

}  // namespace

TEST_F(FlowTest, TitleLeadsToTheCampaignOrOut) {
    CStateManager::Push(new CTitle());
    ASSERT_NE(Title(), nullptr);
    input.Choose(Title()->GetMenu(), 0);   // nowhere
    input.Choose(Title()->GetMenu(), 0);
    ASSERT_NE(Title(), nullptr);

    input.Choose(Title()->GetMenu(), TITLE_CHOICE_CAMPAIGN);
    ASSERT_NE(Campaign(), nullptr);
    EXPECT_EQ(CStateManager::StackSize(), 1);
    EXPECT_EQ(CStateManager::PendingCount(), 0);   // the title went at the end of that frame
    EXPECT_EQ(Campaign()->GetPage(), CAMPAIGN_PAGE_PROFILE);
    EXPECT_EQ(Campaign()->GetNewProfileName(), "Create New Profile");

    input.Choose(Campaign()->GetPageMenu(), CAMPAIGN_CHOICE_BACK);
    ASSERT_NE(Title(), nullptr);
    EXPECT_EQ(CStateManager::StackSize(), 1);

    g_running = true;
    input.Choose(Title()->GetMenu(), TITLE_CHOICE_QUIT);
    EXPECT_EQ(CStateManager::StackSize(), 0);
    CStateManager::Update(0.016f);
    EXPECT_FALSE(g_running);   // the empty stack ends the program
}

TEST_F(FlowTest, EveryCampaignChoiceOnEveryPage) {
    struct Row {
        int page, choice, pageAfter;   // -1: the title replaced the campaign, -2: a battle
    };
    const Row table[] = {
        {0, 2, -1}, {0, 3, 1}, {0, 4, 0}, {0, 5, -2}, {0, 6, 2}, {0, 7, 0}, {0, 0, 0},
        {1, 2, 0},  {1, 3, 1}, {1, 4, 1}, {1, 5, -2}, {1, 6, 2}, {1, 7, 1}, {1, 0, 1},
        {2, 2, 1},  {2, 3, 1}, {2, 4, 2}, {2, 5, -2}, {2, 6, 2}, {2, 7, 2}, {2, 0, 2},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(testing::Message() << "page " << row.page << " choice " << row.choice);
        CStateManager::ResetForTests();
        CCampaign* campaign = new CCampaign(row.page);
        CStateManager::Push(campaign);
        CMenu* menu = campaign->GetPageMenu();
        if (row.choice == 7) {
            // An id no page gives a meaning to.
            CMenuButton* extra = new CMenuButton;
            extra->id = 7;
            extra->x = 700;
            extra->y = 300;
            extra->width = extra->height = 20;
            ASSERT_TRUE(menu->AddButton(extra));
        }
        input.Choose(menu, row.choice);
        ASSERT_EQ(CStateManager::StackSize(), 1);
        if (row.pageAfter == -1) {
            EXPECT_NE(Title(), nullptr);
            continue;
        }
        if (row.pageAfter == -2) {
            std::string name;
            CStateManager::GetCurrentName(name);
            EXPECT_EQ(name, "CGame");
            continue;
        }
        ASSERT_EQ(Campaign(), campaign);
        EXPECT_EQ(campaign->GetPage(), row.pageAfter);
    }
}

TEST_F(FlowTest, StartPagesAndTheNameBox) {
    // From a battle: the mission page at once, the name empty until the
    // profile page is shown.
    CCampaign fromBattle(CAMPAIGN_PAGE_MISSION);
    EXPECT_EQ(fromBattle.GetPage(), CAMPAIGN_PAGE_MISSION);
    EXPECT_EQ(fromBattle.GetNewProfileName(), "");
    fromBattle.ShowProfilePage();
    EXPECT_EQ(fromBattle.GetNewProfileName(), "Create New Profile");
    for (int odd : {-1, 3, 1000}) {
        CCampaign campaign(odd);
        EXPECT_EQ(campaign.GetPage(), CAMPAIGN_PAGE_PROFILE);
        EXPECT_EQ(campaign.GetNewProfileName(), "");
        EXPECT_FALSE(campaign.IsNameEditing());
        EXPECT_FALSE(campaign.IsNameCursorShown());
    }

    CCampaign campaign(CAMPAIGN_PAGE_PROFILE);
    EXPECT_EQ(campaign.GetProfileRowText(0), "Create New Profile");
    EXPECT_EQ(campaign.GetProfileRowText(3), "Profile");
    campaign.EditProfileName('A', 0.1f);   // the placeholder goes
    for (int code : {(int)'b', 31, 127, 200, -2, (int)'c', -1}) campaign.EditProfileName(code, 0.1f);
    EXPECT_EQ(campaign.GetNewProfileName(), "Ab");
    EXPECT_TRUE(campaign.IsNameEditing());
    // 0.8 s so far: the cursor went off once at 0.5 s.
    EXPECT_FALSE(campaign.IsNameCursorShown());
    EXPECT_EQ(campaign.GetProfileRowText(0), "Ab");
    campaign.EditProfileName(0, 0.3f);
    EXPECT_TRUE(campaign.IsNameCursorShown());
    EXPECT_EQ(campaign.GetProfileRowText(0), "Ab|");
    for (int i = 0; i < 5; i++) campaign.EditProfileName(-1, 0.0f);
    EXPECT_EQ(campaign.GetNewProfileName(), "");
    campaign.ShowProfilePage();
    EXPECT_FALSE(campaign.IsNameEditing());
    EXPECT_EQ(campaign.GetNewProfileName(), "Create New Profile");
}

TEST_F(FlowTest, PagesDrawOnAClearedFrame) {
    CTitle title;
    CCampaign campaign(CAMPAIGN_PAGE_PROFILE);
    NullResetCounters();
    title.Draw();
    EXPECT_EQ(NullRenderCounters().clears, 1);
    EXPECT_EQ(NullLastClearColour(), 0u);
    EXPECT_EQ(NullRenderCounters().primitives, 2);   // one rectangle per title button
    NullResetCounters();
    campaign.Draw();
    // Five profile-page buttons and their labels, then five profile rows.
    EXPECT_EQ(NullRenderCounters().primitives, 5);
    EXPECT_EQ(NullRenderCounters().drawCalls, 10);
}
