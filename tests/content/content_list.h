// The shipped files the game opens by fixed name, and the images the stats
// tables name. Shared by the native content test and the Windows program
// that compiles the shaders and draws the models on the OpenGL device.
#ifndef TESTS_CONTENT_CONTENT_LIST_H
#define TESTS_CONTENT_CONTENT_LIST_H

#include <string>
#include <vector>

#include "game/stats.h"

struct ShippedProgram {
    const char* vertexBase;     // "" for none
    const char* fragmentBase;   // "" for none
};

// Every program the renderer, the world renderer and the text code load.
inline std::vector<ShippedProgram> ShippedPrograms() {
    return {
        {"data\\shaders\\soldier_full", "data\\shaders\\soldier_full"},
        {"data\\shaders\\soldier_bad", ""},
        {"data\\shaders\\vehicle_full", "data\\shaders\\vehicle_full"},
        {"data\\shaders\\weapon_full", "data\\shaders\\weapon_full"},
        {"data\\shaders\\gbfont", "data\\shaders\\gbfont"},
        {"data\\shaders\\sphere", ""},
        {"data\\shaders\\explosion", "data\\shaders\\explosion"},
        {"data\\shaders\\land_full", "data\\shaders\\land_full"},
        {"data\\shaders\\land_bad", ""},
        {"data\\shaders\\grass_full", ""},
    };
}

// Images opened by fixed name: cursor, console, heads-up display, test
// states. The dialogue box is not among them: the display needs it 450
// pixels wide, so it is no texture.
inline std::vector<std::string> FixedImages() {
    return {
        "data\\ui\\target.png",      "data\\debug\\paneBG.png",   "data\\debug\\paneDot.png",
        "data\\ui\\avatar.png",      "data\\ui\\radar.png",       "data\\ui\\group_icon.png",
        "data\\ui\\health_bar.png",  "data\\ui\\grenade_pic.png", "data\\ui\\red_dot.png",
        "data\\ui\\yellow_dot.png",  "data\\ui\\green_dot.png",   "data\\ui\\spin0.png",
        "data\\ui\\item_block.png",
        "data\\particles\\flame.png", "data\\particles\\streak.png",
        "data\\particles\\rifle_stream.png", "data\\particles\\rifle_stream2.png",
        "data\\models\\land\\prettygrass.jpg", "data\\misc\\grass\\grass0.png",
    };
}

inline bool PowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

const char* const DialogBoxImage = "data\\ui\\dialog_box.png";
const int DialogBoxWidth = 450;

// The five tables loaded afresh from the shipped files.
inline bool LoadShippedStats(std::string& message) {
    g_soldierTypes.clear();
    g_weaponTypes.clear();
    g_grenadeTypes.clear();
    g_vehicleTypes.clear();
    g_projectileTypes.clear();
    return LoadStatsTables(message);
}

// The heads-up images the loaded stats tables name, in table order.
inline std::vector<std::string> StatsImages() {
    std::vector<std::string> images;
    for (const WeaponType& w : g_weaponTypes)
        images.push_back(w.image);
    for (const GrenadeType& g : g_grenadeTypes)
        images.push_back(g.icon);
    for (const ProjectileType& p : g_projectileTypes) {
        if (!p.image.empty())
            images.push_back(p.image);
    }
    return images;
}

// The props the level's Generic rows place.
inline std::vector<std::string> PropModels() {
    return {"data\\models\\props\\crate.mbm", "data\\models\\props\\wall.mbm",
            "data\\models\\props\\rock.mbm", "data\\models\\props\\tree.mbm"};
}

const char* const ExplosionSphereModel = "data\\particles\\sphere.mbm";

// The clips the soldier code plays by name.
inline std::vector<std::string> SoldierClips() {
    return {"run_f", "run_b", "strafe_l", "strafe_r", "hold_mg", "fire_mg", "throw_g"};
}

#endif
