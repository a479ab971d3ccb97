// The battle state and its overlay on the headless back-end with the
// shipped data: start-up of a battle, the pause flow, the radar, the
// dialogue lines and a battle without a player.
#include "tests/game/world/world_fixture.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/state_manager.h"
#include "core/files.h"
#include "game/player/player_controller.h"
#include "game/soldiers/vehicle.h"
#include "game/stats.h"
#include "game/weapons/weapon.h"
#include "render/null/null_backend.h"
#include "render/render_maths.h"
#include "tests/ui/test_menu_input.h"
#include "ui/campaign.h"
#include "ui/game.h"
#include "ui/menu.h"
#include "ui/test_states.h"

namespace {

class GameTest : public WorldTest {
protected:
    void TearDown() override {
        CStateManager::ResetForTests();
        g_playerController.Reset();
        WorldTest::TearDown();
    }
    void Escape() {
        for (bool down : {true, false}) {
            input.Key(KEY_ESCAPE, down);
            input.Frame(400, 300, false);
            CStateManager::Update(0.016f);
        }
    }
    // The overlay over the test world for `player` (none when null), the
    // cursor at rest.
    void StartUI(CGameUI& ui, CSoldier* player) {
        g_playerController.SetSoldier(player);
        ui.Init(world.get());
        input.Frame(400, 300, false);
    }
    MenuInput input;
};

// A recorded 2D picture: its colour and how far it reaches up and down.
struct Picture {
    uint32_t colour;
    float top, bottom;
};

// The recorded 2D pictures that show one image, in draw order.
std::vector<Picture> DrawnPictures(CGameUI& ui, const std::string& image) {
    NullStartRecording();
    ui.Draw();
    NullStopRecording();
    std::vector<Picture> pictures;
    size_t primitive = 0;
    for (const std::string& e : NullRecordedEvents()) {
        std::istringstream in(e);
        std::string word, type, vertices, colour, texture;
        in >> word >> type >> vertices >> colour;
        std::getline(in >> std::ws, texture);
        if (word != "primitive")
            continue;
        const NullPrimitive& p = NullRecordedPrimitives().at(primitive++);
        if (texture != image || p.vertices.empty())
            continue;
        Picture picture{uint32_t(std::stoul(colour, nullptr, 16)), p.vertices[0].position[1],
                        p.vertices[0].position[1]};
        for (const NullVertex& v : p.vertices) {
            picture.top = std::min(picture.top, v.position[1]);
            picture.bottom = std::max(picture.bottom, v.position[1]);
        }
        pictures.push_back(picture);
    }
    return pictures;
}

TEST(DialogueEntryTest, KeysFormatsArgumentsAndTruncation) {
    std::string longLine = "\"" + std::string(DialogueEntryLength, 'x') + "\" 5";
    std::istringstream in("Ammo Rifle\n  junk \"Picked up %i rounds\" 0 rest\nPickup Rifle\n"
                          "\"Take it\"\nammo rifle\n\"wrong case\" 1\nLong\n" + longLine + "\nNoQuote\nplain\n");
    DialogueEntry ammo = ReadDialogueEntry(in, "Ammo Rifle");
    EXPECT_EQ(ammo.format, "Picked up %i rounds");
    EXPECT_EQ(ammo.arguments, "0");
    DialogueEntry pickup = ReadDialogueEntry(in, "Pickup Rifle");   // searched from the start again
    EXPECT_EQ(pickup.format, "Take it");
    EXPECT_EQ(pickup.arguments, "");
    EXPECT_EQ(ReadDialogueEntry(in, "Ammo rifle").format, "");      // exact case only
    EXPECT_EQ(ReadDialogueEntry(in, "Missing").format, "");
    EXPECT_EQ(ReadDialogueEntry(in, "Long").format, "");            // the closing quote was cut off
    EXPECT_EQ(ReadDialogueEntry(in, "NoQuote").format, "");
}

TEST_F(GameTest, ShippedLinesCoverEveryWeaponGrenadeAndSeat) {
    std::ifstream file;
    ASSERT_TRUE(OpenInputFile(file, DialogueFile));
    CUIDialogue dialogue;
    dialogue.Load(file);
    ASSERT_EQ(dialogue.ammoLines.size(), g_weaponTypes.size() + 1);
    for (const DialogueEntry& e : dialogue.ammoLines) EXPECT_NE(e.format, "");
    for (const DialogueEntry& e : dialogue.pickupLines) EXPECT_NE(e.format, "");
    ASSERT_EQ(dialogue.vehicleLines.size(), g_vehicleTypes.size());
    for (size_t v = 0; v < g_vehicleTypes.size(); v++) {
        ASSERT_EQ(dialogue.vehicleLines[v].size(), g_vehicleTypes[v].seatBones.size());
        for (const DialogueEntry& e : dialogue.vehicleLines[v]) EXPECT_NE(e.format, "") << v;
    }
    EXPECT_EQ(dialogue.AmmoLine(-1), nullptr);
    EXPECT_EQ(dialogue.AmmoLine(NoticeGrenadeKind + 5), &dialogue.ammoLines.back());
}

TEST_F(GameTest, BattleStartsPausesResumesAndLeavesForTheCampaign) {
    CGame* game = new CGame();
    CStateManager::Push(game);
    CWorld& battle = game->GetWorld();
    ASSERT_FALSE(battle.soldiers.empty());
    EXPECT_EQ(g_playerController.GetSoldier(), battle.soldiers.front());
    EXPECT_EQ(g_playerController.GetCamera(), game->GetCameras().GetCamera(0));
    EXPECT_TRUE(g_playerController.IsActive());
    EXPECT_EQ(g_gameCameras, &game->GetCameras());
    for (int i = 0; i < 3; i++) {
        input.Frame(400, 300, false);
        CStateManager::Update(0.05f);
        CStateManager::Draw();
    }
    EXPECT_GT(game->GetPlayTime(), 0.05f);
    EXPECT_EQ(game->GetRenderer().GetTime(), 0.0f) << "items on the ground glow steadily";
    EXPECT_EQ(CurrentCamera, game->GetCameras().GetCamera(0));

    // Paused: the player has no control and the world's objects stand.
    auto expectPaused = [&](bool paused) {
        EXPECT_EQ(game->GetUI().GetMode(), paused ? UI_MODE_PAUSE : UI_MODE_REGULAR);
        EXPECT_EQ(g_playerController.IsActive(), !paused);
        EXPECT_EQ(battle.objectsRun, !paused);
    };
    Escape();
    expectPaused(true);
    CStateManager::Draw();
    Escape();
    expectPaused(false);
    // The resume button gives control back as Escape does.
    Escape();
    ASSERT_NE(game->GetUI().GetOverlayMenu(), nullptr);
    input.Choose(game->GetUI().GetOverlayMenu(), 1);
    expectPaused(false);
    game->GetUI().OpenGameOverMenu();   // never beside another overlay
    EXPECT_EQ(game->GetUI().GetMode(), UI_MODE_GAMEOVER);
    game->GetUI().OpenPauseMenu();
    EXPECT_EQ(game->GetUI().GetMode(), UI_MODE_GAMEOVER);
    game->GetUI().CloseGameOverMenu();

    Escape();
    input.Choose(game->GetUI().GetOverlayMenu(), 3);
    CCampaign* campaign = dynamic_cast<CCampaign*>(CStateManager::Top());
    ASSERT_NE(campaign, nullptr);
    EXPECT_EQ(campaign->GetPage(), CAMPAIGN_PAGE_MISSION);
    EXPECT_EQ(CStateManager::StackSize(), 1);
    // The battle is gone and nothing points into it.
    EXPECT_EQ(g_playerController.GetSoldier(), nullptr);
    EXPECT_EQ(g_playerController.GetCamera(), nullptr);
    EXPECT_EQ(g_gameCameras, nullptr);
}

// A battle started while the old one still exists takes the controller over;
// deleting the old one afterwards must leave it to the new battle.
TEST_F(GameTest, AnOldBattleDeletedLateLeavesTheControllerToTheNewOne) {
    CGame* old = new CGame();
    CGame* current = new CGame();
    CSoldier* player = g_playerController.GetSoldier();
    ASSERT_NE(player, nullptr);
    ASSERT_EQ(player->world, &current->GetWorld());
    delete old;
    delete new CTestParticles();   // a test world made and gone meanwhile
    EXPECT_EQ(g_playerController.GetSoldier(), player);
    EXPECT_EQ(g_playerController.GetCamera(), current->GetCameras().GetCamera(0));
    EXPECT_TRUE(g_playerController.IsActive());
    delete current;
    EXPECT_EQ(g_playerController.GetSoldier(), nullptr);
    EXPECT_EQ(g_playerController.GetCamera(), nullptr);
    EXPECT_FALSE(g_playerController.IsActive());
}

TEST_F(GameTest, RadarReachAndASoldierOnThePlayer) {
    CSoldier* player = AddSoldier(Vector3{0, 0, 0}, 0);
    player->facing = Vector3{1, 0, 0};
    AddSoldier(Vector3{0, 0, 0}, 1);      // on the player's spot
    AddSoldier(Vector3{30, 0, 5}, 0);     // height does not count
    AddSoldier(Vector3{0, 30.5f, 0}, 1);
    CSoldier* dead = AddSoldier(Vector3{5, 0, 0}, 1);
    dead->health = 0.0f;
    CGameUI ui;
    StartUI(ui, player);
    ui.Update(0.016f);
    const std::vector<RadarDot>& dots = ui.GetRadarDots();
    ASSERT_EQ(dots.size(), 2u);
    for (const RadarDot& d : dots) EXPECT_TRUE(std::isfinite(d.x) && std::isfinite(d.y));
    EXPECT_EQ(dots[0].kind, 1);
    // Ahead (+x) is up the radar.
    EXPECT_NEAR(dots[0].x, 0.0f, 1e-3f);
    EXPECT_NEAR(dots[0].y, -60.0f, 1e-3f);
    EXPECT_EQ(dots[1].kind, 0);
    EXPECT_EQ(DrawnPictures(ui, "data\\ui\\radar.png").size(), 1u);
}

TEST_F(GameTest, StatusPanelLightsTheRoundsLeftInTheClip) {
    CSoldier* player = AddSoldier(Vector3{0, 0, 0}, 0);
    CGameUI ui;
    StartUI(ui, player);
    CWeapon& rifle = player->GetCurrentWeapon();
    ASSERT_EQ(rifle.type, WeaponRifle);
    const int clipSize = GetWeaponType(rifle.type).clipSize;
    const std::string icon = GetProjectileType(rifle.type).image;
    ASSERT_FALSE(icon.empty());
    ASSERT_GT(clipSize, 3);
    for (int shot = 0; shot < 3; shot++) {
        rifle.coolDown = 0.0f;
        player->Fire();
    }
    ASSERT_EQ(rifle.clip, clipSize - 3);
    ui.Update(0.016f);
    std::vector<Picture> rounds = DrawnPictures(ui, icon);
    ASSERT_EQ(rounds.size(), size_t(clipSize));
    for (int i = 0; i < clipSize; i++)
        EXPECT_EQ(rounds[i].colour, AlphaToWhite(i < rifle.clip ? 1.0f : 0.2f)) << "round " << i;

    // The largest clip the stats accept: the rows stop at the top of the
    // screen, the last one still showing, the loaded rounds first.
    g_weaponTypes[rifle.type].clipSize = MaxRoundCount;
    rounds = DrawnPictures(ui, icon);
    g_weaponTypes[rifle.type].clipSize = clipSize;
    ASSERT_GT(rounds.size(), size_t(rifle.clip));
    ASSERT_LT(rounds.size(), 1000u);
    float highest = rounds[0].top;
    for (size_t i = 0; i < rounds.size(); i++) {
        EXPECT_GT(rounds[i].bottom, 0.0f) << "round " << i;
        EXPECT_EQ(rounds[i].colour, AlphaToWhite(int(i) < rifle.clip ? 1.0f : 0.2f)) << "round " << i;
        highest = std::min(highest, rounds[i].top);
    }
    EXPECT_LE(highest, 0.0f) << "a row that would still show was left out";
}

TEST_F(GameTest, NoticesBecomeOneTimedLineAndBadKindsAndSeatsAreIgnored) {
    CSoldier* player = AddSoldier(Vector3{0, 0, 0}, 0);
    CGameUI ui;
    StartUI(ui, player);
    player->pickupNotices.push_back(PickupNotice{1, 30});
    player->pickupNotices.push_back(PickupNotice{-3, 1});
    player->pickupNotices.push_back(PickupNotice{NoticeGrenadeKind + 40, 2});
    ui.Update(0.016f);
    ui.Update(0.016f);
    EXPECT_TRUE(player->pickupNotices.empty());
    ASSERT_EQ(ui.GetDialogue().timedLines.size(), 2u);
    EXPECT_EQ(ui.GetDialogue().timedLines.front().block.GetFormat(), ui.GetDialogue().ammoLines[1].format);
    ui.Update(DialogueLineTime);
    EXPECT_TRUE(ui.GetDialogue().timedLines.empty());

    CVehicle* vehicle = new CVehicle(world.get(), 0);
    world->AddVehicle(vehicle);
    player->vehicle = vehicle;
    player->seat = 99;
    ui.Update(0.016f);
    EXPECT_TRUE(ui.GetDialogue().currentLines.empty());
    player->seat = 0;
    ui.Update(0.016f);
    EXPECT_EQ(ui.GetDialogue().currentLines.size(), 1u);
    ui.Draw();
    player->vehicle = nullptr;
}

TEST_F(GameTest, NoPlayerSoldierSkipsThePlayerParts) {
    CGameUI ui;
    StartUI(ui, nullptr);
    world->messageShowing = true;
    ui.Update(0.5f);
    EXPECT_TRUE(ui.GetRadarDots().empty());
    EXPECT_FLOAT_EQ(ui.GetDialogueFade(), 0.5f);
    EXPECT_TRUE(DrawnPictures(ui, "data\\ui\\radar.png").empty()) << "no radar without a player";
}

TEST_F(GameTest, TestStatesRunAndGo) {
    // The triangle: D moves corner 0 along +x, K corner 2 along +y.
    Vector3 start0 = g_testTriangle[0], start2 = g_testTriangle[2];
    input.Key(0x20, true);
    input.Key(0x25, true);
    input.Frame(400, 300, false);
    CTestGeo geo;
    geo.Update(1.0f);
    geo.Draw();
    EXPECT_FLOAT_EQ(g_testTriangle[0].x, start0.x + TestGeoSpeed);
    EXPECT_FLOAT_EQ(g_testTriangle[2].y, start2.y + TestGeoSpeed);
    input.Key(0x20, false);
    input.Key(0x25, false);
    g_testTriangle[0] = start0;
    g_testTriangle[2] = start2;

    auto run = [&](CGameState* state, const char* name, const std::function<void()>& check) {
        CStateManager::Push(state);
        std::string got;
        CStateManager::GetCurrentName(got);
        EXPECT_EQ(got, name);
        for (int i = 0; i < 3; i++) {
            input.Key(0x22, i == 1);   // G
            input.Key(0x15, i == 1);   // Y
            input.Frame(400, 300, false);
            CStateManager::Update(0.05f);
            CStateManager::Draw();
        }
        input.Key(0x22, false);
        input.Key(0x15, false);
        check();
        CStateManager::ResetForTests();
    };
    run(new CTestParticles(), "CTestParticles", [] {});
    run(new CTestGameAI(), "CTestGameAI", [] {});
    EXPECT_EQ(g_playerController.GetSoldier(), nullptr);

    CTestPlayerGame* player = new CTestPlayerGame();
    CSoldier* soldier = g_playerController.GetSoldier();
    ASSERT_NE(soldier, nullptr);
    ASSERT_NE(soldier->ai.squad, nullptr);
    soldier->SetArmour(2.0f);
    soldier->SetHealth(3.0f);
    size_t items = player->GetWorld().droppedWeapons.size() + soldier->weapons.size();
    // Y: 5 points, the 2 of armour first, and the last 3 of health kill the
    // soldier as a hit would; G: one item at the origin.
    run(player, "CTestPlayerGame", [&] {
        EXPECT_EQ(soldier->GetHealth(), 0.0f);
        EXPECT_TRUE(soldier->weapons.empty());
        EXPECT_EQ(player->GetWorld().droppedWeapons.size(), items + 1);
        EXPECT_EQ(soldier->ai.squad, nullptr);
    });
    EXPECT_EQ(g_playerController.GetSoldier(), nullptr);
}

}  // namespace
