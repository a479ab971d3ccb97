// The shipped terrain drawn from a raised camera (OpenGL here, Direct3D as
// d3d_terrain_draw_test: both read and write the same segment cache),
// with the grass faded in around it. "build" deletes the segment cache first
// (the terrain is built and the cache written); "cache" requires the cache
// and leaves it untouched. Prints "CHECK name OK|FAIL" lines, "FRAME hash"
// of the finished picture, then shows the frame (ShowUntilSignalled).
#include <set>
#include <string>

#include "core/random.h"
#include "game/terrain/terrain.h"
#include "render/backend.h"
#include "render/camera.h"
#include "render/image.h"
#include "render/model.h"
#include "render/projection.h"
#include "render/shader.h"
#include "render/visibility.h"
#include "tests/win32/test_window.h"

static const char* const Valley = "data\\models\\land\\valley.mbm";

static bool CacheTime(const std::string& path, FILETIME& out) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    out = data.ftLastWriteTime;
    return true;
}

int main(int argc, char** argv) {
    bool fromCache = argc > 1 && std::string(argv[1]) == "cache";
    HWND window = StartTestProgram("Vexmoor Terrain Draw");
    if (!window)
        return 1;
    {
        CShaderProgram land, grass;
        land.Load("data\\shaders\\land_full", "data\\shaders\\land_full");
        grass.Load("data\\shaders\\grass_full", "");
#ifdef VEXMOOR_BACKEND_D3D9
        // Wine's HLSL compiler cannot build the sampling land program: the
        // vertex-only land and grass programs carry the Direct3D form there.
        Check("programs", !ShadersAvailable() || grass.IsLoaded());
#else
        Check("programs", !ShadersAvailable() || (land.IsLoaded() && grass.IsLoaded()));
#endif
    }

    std::string cachePath = CTerrain::SegmentCachePath(Valley);
    FILETIME before = {}, after = {};
    if (fromCache)
        Check("cache_present", CacheTime(cachePath, before));
    else
        DeleteFileA(cachePath.c_str());

    // A first load of the mesh writes its cache and draws a random identifier
    // for it; do that before seeding so both runs place the same blades.
    if (!fromCache) {
        CModel mesh;
        LoadModel(mesh, Valley, true, false);
    }
    GameSrand(1234);   // the same blades in both runs
    CTerrain terrain;
    Check("load", terrain.Load(Valley) && terrain.GetSegments().size() == 64);
    bool cached = CacheTime(cachePath, after);
    if (fromCache)
        Check("cache_read", cached && CompareFileTime(&before, &after) == 0);
    else
        Check("cache_written", cached);

    // A camera a few units over the meadow east of the path, looking along the valley.
    Ray down{{130, -80, 1000}, {0, 0, -1}};
    Vector3 ground, normal;
    Check("ground", terrain.RayQuery(down, ground, normal, 1));
    CInertialCamera camera(Vector3{0, 0, 1}, Vector3{ground.x, ground.y, ground.z + 9},
                           Vector3{ground.x, ground.y + 60, ground.z - 4});
    SetPerspective(0, 0, 800, 600, 1.0f, 2500.0f);
    camera.ApplyView();
    CVisibilityLists lists;
    lists.SetPerspective(0.75f, 1.0f, 2500.0f, 2500.0f);
    lists.Cull(true);
    terrain.SetVisibilityLists(&lists);
    for (int frame = 0; frame < 40; frame++)
        terrain.UpdateGrass(0.1f);
    Check("grass_near", !terrain.GetFadeList().empty(),
          std::to_string(terrain.GetFadeList().size()) + " blades");

    bool frameOpen = StartTestFrame();
    Check("frame", frameOpen);
    CTerrain::ClearToSky();
    camera.ApplyView();
    terrain.Draw();
    std::vector<uint8_t> land, full;
    ReadFrame(land);
    terrain.DrawGrass();
    ReadFrame(full);
    EndTestFrame();
    Check("no_device_error", NoDeviceError());

    // The lower half is ground, textured (many colours) and lit (not dark).
    int ground_pixels = 0, total = 0;
    long brightness = 0;
    std::set<uint32_t> colours;
    for (int y = 300; y < 600; y++) {
        for (int x = 0; x < 800; x++) {
            const uint8_t* p = FramePixel(land, x, y);
            total++;
            if (IsSky(p, 2))
                continue;
            ground_pixels++;
            brightness += p[0] + p[1] + p[2];
            colours.insert((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16);
        }
    }
    Check("ground_drawn", ground_pixels > total * 95 / 100, std::to_string(ground_pixels));
    Check("textured", colours.size() > 200, std::to_string(colours.size()) + " colours");
    long mean = ground_pixels ? brightness / (3L * ground_pixels) : 0;
    // The script compares the two programs' figures.
    printf("LIT %ld\n", mean);
    Check("lit", mean > 40 && mean < 240, std::to_string(mean));
    int changed = 0;
    for (size_t i = 0; i < full.size(); i += 4)
        changed += memcmp(&full[i], &land[i], 3) != 0;
    Check("grass_drawn", changed > 500, std::to_string(changed) + " pixels");

    uint32_t hash = 2166136261u;
    for (uint8_t b : full)
        hash = (hash ^ b) * 16777619u;
    printf("FRAME %08x\n", hash);
    ShowUntilSignalled("frame");

    terrain.SetVisibilityLists(nullptr);
    ShutdownGdiplus();
    DestroyWindow(window);
    return FinishChecks();
}
