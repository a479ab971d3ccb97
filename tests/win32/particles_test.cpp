// A burst of sparks, a flame and an explosion sphere over the shipped
// terrain, drawn by the particle system with additive blending. Built for
// OpenGL here and for Direct3D as d3d_particles_test. The frame is drawn once
// without the effects and once with them; each effect must brighten its part
// of the screen in its own warm colour (the sphere red, the flame orange,
// the sparks yellow), far more in red than in blue. Prints "CHECK name
// OK|FAIL" lines, then shows the frame (ShowUntilSignalled).
#include <algorithm>

#include "core/random.h"
#include "game/particles/particle_system.h"
#include "game/terrain/terrain.h"
#include "render/image.h"
#include "render/projection.h"
#include "render/render_setup.h"
#include "render/visibility.h"
#include "tests/win32/test_window.h"

struct ScreenBox {
    int x0, y0, x1, y1;
};

static float Ground(CTerrain& land, float x, float y) {
    Ray down{{x, y, 1000.0f}, {0, 0, -1}};
    Vector3 p, n;
    return land.RayQuery(down, p, n, 1) ? p.z : -1e9f;
}

// The box around a point, a given number of pixels each way.
static ScreenBox Around(const Matrix4& view, const Vector3& p, int half) {
    ViewportRect viewport;
    GetViewport(viewport);
    Vector3 s;
    ProjectPoint(p, view, viewport, s, GetCurrentProjection());
    return ScreenBox{std::max((int)s.x - half, 0), std::max((int)s.y - half, 0),
                     std::min((int)s.x + half, TestWidth), std::min((int)s.y + half, TestHeight)};
}

// Pixels of the box brighter in after than in before; what they gained in
// red and in blue goes to the totals.
static int Brightened(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after,
                      const ScreenBox& b, long& red, long& blue) {
    int count = 0;
    red = blue = 0;
    for (int y = b.y0; y < b.y1; y++) {
        for (int x = b.x0; x < b.x1; x++) {
            const uint8_t* p = FramePixel(before, x, y);
            const uint8_t* q = FramePixel(after, x, y);
            if ((q[0] + q[1] + q[2]) > (p[0] + p[1] + p[2]) + 24) {
                count++;
                red += q[0] - p[0];
                blue += q[2] - p[2];
            }
        }
    }
    return count;
}

int main() {
    HWND window = StartTestProgram("Vexmoor Particles");
    if (!window)
        return 1;
    GameSrand(11);

    CVisibilityLists visibility;
    CTerrain land;
    land.SetVisibilityLists(&visibility);
    bool loaded = land.Load("data\\models\\land\\valley.mbm") && !land.GetSegments().empty();
    Check("terrain", loaded);
    // A raised spot of ground, so the sparks stay above z = 0.
    Vector3 spot{0, 0, -1e9f};
    for (float y = land.GetMinY() + 30; y < land.GetMaxY() - 30; y += 10) {
        for (float x = land.GetMinX() + 30; x < land.GetMaxX() - 30; x += 10) {
            float z = Ground(land, x, y);
            if (z > spot.z)
                spot = Vector3{x, y, z};
        }
    }
    Check("ground", spot.z > 1.0f, std::to_string(spot.z));

    SetPerspective(0, 0, 800, 600, 1.0f, 2500.0f);
    Vector3 target{spot.x, spot.y, spot.z + 2.0f};
    Vector3 eye{spot.x, spot.y - 22.0f, spot.z + 6.0f};
    Matrix4 view;
    Check("view", LookAt(eye, view, Vector3{0, 0, 1}, target));
    SetViewMatrix(view);
    // The billboards face this eye.
    BillboardBasis& basis = ParticleBasis();
    Vector3Subtract(basis.view, target, eye);
    Vector3NormalizeInPlace(basis.view);
    Vector3Cross(basis.right, basis.view, Vector3{0, 0, 1});
    Vector3NormalizeInPlace(basis.right);
    Vector3Cross(basis.up, basis.right, basis.view);

    Vector3 spherePoint{spot.x - 7.0f, spot.y, spot.z + 2.0f};
    Vector3 flamePoint{spot.x, spot.y - 8.0f, spot.z + 1.5f};
    Vector3 burstPoint{spot.x + 3.5f, spot.y - 10.0f, spot.z + 3.0f};

    auto draw = [&](CParticleSystem* particles) {
        bool drawn = StartTestFrame();
        if (drawn) {
            ClearFrame(TestSky, true, true, true);
            land.Draw();
            if (particles)
                particles->Draw();
        }
        EndTestFrame();
        return drawn && NoDeviceError();
    };
    bool drawn = draw(nullptr);
    std::vector<uint8_t> before;
    ReadFrame(before);

    CParticleSystem particles;
    particles.AddAttachedEffect(nullptr, flamePoint);
    for (int i = 0; i < 12; i++)
        particles.Update(0.05f);
    for (int i = 0; i < 8; i++)
        particles.AddImpactBurst(Vector3{0, 0, 1}, Vector3{0.3f, -0.2f, 1}, burstPoint);
    particles.SpawnExplosionSphere(spherePoint);
    // The sparks fly apart a little.
    for (int i = 0; i < 5; i++)
        particles.Update(0.04f);

    Check("no_device_error", draw(&particles) && drawn);
    std::vector<uint8_t> after;
    ReadFrame(after);

    struct Effect {
        const char* name;
        Vector3 at;
        int half;
        int least;
    } effects[] = {{"sphere", spherePoint, 60, 2000}, {"flame", flamePoint, 30, 20},
                   {"burst", burstPoint, 60, 40}};
    for (const Effect& e : effects) {
        ScreenBox box = Around(view, e.at, e.half);
        long red, blue;
        int n = Brightened(before, after, box, red, blue);
        printf("AREA %s %d %d %d %d red %ld blue %ld\n", e.name, box.x0, box.y0, box.x1 - box.x0,
               box.y1 - box.y0, red, blue);
        Check(std::string("drawn_") + e.name, n >= e.least, std::to_string(n) + " brighter pixels");
        Check(std::string("warm_") + e.name, red > 3 * blue,
              std::to_string(red) + " red, " + std::to_string(blue) + " blue");
    }

    ShowUntilSignalled("frame");
    return EndTestProgram(window);
}
