// The player controller's frame: mouse aim, movement, actions, squad
// commands, view mode, then "playerpos" for the console.
#include "game/player/player_controller.h"

#include <cmath>

#include "app/console.h"
#include "game/player/player_input.h"
#include "game/soldiers/soldier.h"
#include "game/soldiers/vehicle.h"
#include "game/weapons/battle_world.h"
#include "game/world/world_query.h"
#include "render/backend.h"
#include "render/camera.h"

CPlayerController g_playerController;

// Jump speed = sqrt(JumpFactor x the body's jump value).
static const float JumpFactor = 196.0f;

CPlayerController::CPlayerController()
    : active(false), viewMode(0), switching(false), switchTimer(0.0f), soldier(nullptr),
      camera(nullptr), input(nullptr), commands(nullptr) {
    Reset();
}

void CPlayerController::Reset() {
    active = false;
    viewMode = 0;
    switching = false;
    switchTimer = 0.0f;
    // Forgotten, not touched: the world that held it may already be gone.
    soldier = nullptr;
    aimPoint = Vector3{};
    if (camera) {
        camera->SetPosition(Vector3{10.0f, 0.0f, 1.0f}, true);
        camera->SetTarget(Vector3{0.0f, 0.0f, 1.0f}, true);
        camera->SetUp(Vector3{0.0f, 0.0f, 1.0f}, true);
    }
}

// The controller's pointer is the one record of the player's soldier: the
// flag on the soldier and the world's pointer follow it.
void CPlayerController::SetSoldier(CSoldier* newSoldier) {
    if (soldier && soldier != newSoldier) {
        soldier->playerControlled = 0;
        if (soldier->world && soldier->world->playerSoldier == soldier)
            soldier->world->playerSoldier = nullptr;
    }
    soldier = newSoldier;
    if (soldier) {
        soldier->playerControlled = 1;
        if (soldier->world)
            soldier->world->playerSoldier = soldier;
    }
}

bool CPlayerController::HasLivingSoldier() const { return soldier && soldier->health > 0.0f; }

void CPlayerController::Update(float dt) {
    if (!active)
        return;
    HandleMouseAim();
    HandleMovement();
    HandleActions();
    HandleCommands();
    UpdateViewMode(dt);
    if (soldier)
        HookVector3(g_debugConsole, "playerpos", soldier->GetPosition());
}

static Vector3 Horizontal(const Vector3& v) {
    Vector3 h{v.x, v.y, 0.0f};
    float length = Vector3Length(h);
    if (!(length > 1e-6f))
        return Vector3{1.0f, 0.0f, 0.0f};   // straight up or down: any heading will do
    Vector3Scale(h, h, 1.0f / length);
    return h;
}

// Yaw about z, then pitch kept within the limit. dx, dy: cursor minus rest.
Vector3 CPlayerController::TurnView(const Vector3& view, int dx, int dy) const {
    Vector3 h = Horizontal(view);
    float elevation = std::asin(std::fmax(-1.0f, std::fmin(1.0f, view.z)));
    float yaw = std::atan2(h.y, h.x) - MouseTurnRate * float(dx);
    elevation -= MouseTurnRate * float(dy);
    elevation = std::fmax(-PitchLimit, std::fmin(PitchLimit, elevation));
    float c = std::cos(elevation);
    return Vector3{c * std::cos(yaw), c * std::sin(yaw), std::sin(elevation)};
}

void CPlayerController::HandleMouseAim() {
    if (!camera)
        return;
    ViewportRect viewport;
    GetViewport(viewport);
    int restX = viewport.width / 2, restY = viewport.height / 2;
    int dx = 0, dy = 0;
    if (input) {
        dx = input->GetCursorX() - restX;
        dy = input->GetCursorY() - restY;
    }
    Vector3 view;
    Vector3Subtract(view, *camera->GetTarget(), *camera->GetPosition());
    if (!(Vector3Length(view) > 1e-6f))
        view = Vector3{1.0f, 0.0f, 0.0f};
    Vector3NormalizeInPlace(view);
    view = TurnView(view, dx, dy);

    Vector3 eye = *camera->GetPosition();
    Vector3 farPoint;
    Vector3MultiplyAdd(farPoint, eye, view, AimReach);

    if (HasLivingSoldier()) {
        bool snap = viewMode == 1;
        if (soldier->seated == SEAT_DRIVER) {
            soldier->SetDriveInput(Horizontal(view));
        } else {
            CollisionContact contact;
            Vector3 direction = view;
            float distance = AimReach;
            aimPoint = farPoint;
            if (soldier->world &&
                WorldQuery(*soldier->world, Ray{eye, view}, QUERY_ALL, contact,
                           static_cast<CSoldierTarget*>(soldier), 3, false)) {
                aimPoint = contact.point;
                Vector3Subtract(direction, aimPoint, soldier->GetPosition());
                distance = Vector3Length(direction);
                if (distance > 1e-6f)
                    Vector3Scale(direction, direction, 1.0f / distance);
                else
                    direction = view;
            }
            soldier->SetFacing(direction, snap);
            soldier->SetAimPoint(direction, distance, snap);
        }
    }

    // The camera behind the soldier, or at its eyes; smooth only while the
    // view mode changes.
    bool snapCamera = !switching;
    camera->SetTarget(farPoint, snapCamera);
    if (soldier) {
        Vector3 position = soldier->GetPosition();
        if (viewMode == 0) {
            Vector3MultiplyAdd(position, position, Horizontal(view), -FollowDistance);
            position.z += FollowHeight;
        } else {
            position.z += EyeHeight;
        }
        camera->SetPosition(position, snapCamera);
    }
    if (input)
        input->RecentreCursor(restX, restY);
}

void CPlayerController::HandleMovement() {
    if (!HasLivingSoldier() || !input)
        return;
    const CPlayerInput& in = *input;
    bool ahead = in.IsKeyDown(PKEY_W) || in.IsKeyDown(PKEY_UP);
    bool back = in.IsKeyDown(PKEY_S) || in.IsKeyDown(PKEY_DOWN);
    if (soldier->seated == SEAT_DRIVER) {
        soldier->SetThrottle(ahead ? 1.0f : back ? -1.0f : 0.0f);
        return;
    }
    // Horizontal even when the camera looks down: the soldier walks on the ground.
    Vector3 forward{1.0f, 0.0f, 0.0f};
    if (camera) {
        Vector3 view;
        Vector3Subtract(view, *camera->GetTarget(), *camera->GetPosition());
        forward = Horizontal(view);
    }
    Vector3 side{-forward.y, forward.x, 0.0f};   // screen left
    Vector3 move{};
    if (ahead)
        Vector3Add(move, move, forward);
    if (back)
        Vector3Subtract(move, move, forward);
    if (in.IsKeyDown(PKEY_A) || in.IsKeyDown(PKEY_LEFT))
        Vector3Add(move, move, side);
    if (in.IsKeyDown(PKEY_D) || in.IsKeyDown(PKEY_RIGHT))
        Vector3Subtract(move, move, side);
    if (Vector3Length(move) > 0.0f)
        Vector3NormalizeInPlace(move);
    soldier->SelectMoveAnimation(move);
    soldier->moveDirection = move;

    if ((in.IsKeyDown(PKEY_SPACE) || in.IsKeyDown(PKEY_NUMPAD0)) && soldier->seated == SEAT_NONE &&
        soldier->body.grounded) {
        soldier->body.grounded = 0;
        soldier->body.velocity.z = std::sqrt(JumpFactor * soldier->jumpValue);
    }
}

void CPlayerController::HandleActions() {
    if (!HasLivingSoldier() || !input)
        return;
    const CPlayerInput& in = *input;
    if (in.IsKeyPressed(PKEY_LSHIFT) || in.IsKeyPressed(PKEY_RSHIFT) || in.IsKeyPressed(PKEY_NUMPAD6)) {
        if (soldier->seated != SEAT_NONE)
            soldier->LeaveVehicle();
        else if (soldier->vehicleInReach)
            soldier->EnterVehicle();
        else if (soldier->weaponInReach)
            soldier->PickUpWeapon();
    }
    if (soldier->seated == SEAT_DRIVER)
        return;
    if (in.IsKeyPressed(PKEY_TAB) || in.IsKeyPressed(PKEY_RCONTROL) || in.IsKeyPressed(PKEY_NUMPAD4))
        soldier->SwitchWeapon();
    if (in.IsKeyPressed(PKEY_CAPSLOCK) || in.IsKeyPressed(PKEY_NUMPAD5))
        soldier->DropWeapon();
    // Held fire: automatic, paced by the weapon's cool-down.
    if (in.IsLeftDown())
        soldier->Fire();
    if (in.IsRightDown())
        soldier->StartThrow();
}

// F, G, J, E, R, T, the digits 1-6, numeric pad 1-6, 0 and numeric pad 9.
static const int CommandKeys[] = {0x21, 0x22, 0x24, 0x12, 0x13, 0x14, 0x02, 0x03, 0x04,
                                  0x05, 0x06, 0x07, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D,
                                  0x0B, 0x49};

void CPlayerController::HandleCommands() {
    if (!HasLivingSoldier() || !input || !commands)
        return;
    for (int key : CommandKeys)
        if (input->IsKeyPressed(key))
            commands->OnCommandKey(key, aimPoint);
}

void CPlayerController::UpdateViewMode(float dt) {
    switchTimer -= dt;
    if (switchTimer < 0.0f) {
        switchTimer = 0.0f;
        switching = false;
    }
    if (!input)
        return;
    int mode = viewMode;
    if (input->IsKeyPressed(PKEY_BACKSPACE))
        mode = 1 - viewMode;
    else if (input->GetWheel() > input->GetPreviousWheel())
        mode = 1;
    else if (input->GetWheel() < input->GetPreviousWheel())
        mode = 0;
    if (mode != viewMode) {
        viewMode = mode;
        switching = true;
        switchTimer = ViewSwitchTime;
    }
}
