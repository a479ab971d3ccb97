// A shipped model drawn through the back-end the program is linked with
// (OpenGL here, Direct3D as d3d_model_draw_test), twice: once parsed from
// its text (which writes the cache) and once read back from that cache. The
// model and its textures are copied into a folder of the test's own so the
// installation's caches stay untouched. Prints "CHECK name OK|FAIL" lines,
// "AREA name x y w h" for each model's screen box, then shows the
// frame on screen; exit code 0 when every check passed.
#include <algorithm>

#include "core/matrix.h"
#include "render/backend.h"
#include "render/image.h"
#include "render/model.h"
#include "render/node.h"
#include "render/projection.h"
#include "render/render_setup.h"
#include "tests/content/model_bounds.h"
#include "tests/win32/test_files.h"
#include "tests/win32/test_window.h"

static const MeshRecord* FirstDrawnMesh(CNode* root) {
    std::vector<CNode*> nodes{root};
    root->CollectDescendants(nodes);
    for (CNode* n : nodes) {
        if (n->mesh.GetChunkCount() > 0 && !n->mesh.GetRecord()->chunks[0].vertexBuffer.IsEmpty())
            return n->mesh.GetRecord();
    }
    return nullptr;
}

struct ScreenBox {
    int x0 = 800, y0 = 600, x1 = 0, y1 = 0;
};

static ScreenBox Project(const Matrix4& view, const Box& b) {
    ViewportRect viewport;
    GetViewport(viewport);
    ScreenBox box;
    for (int i = 0; i < 8; i++) {
        Vector3 corner{(i & 1) ? b.hi.x : b.lo.x, (i & 2) ? b.hi.y : b.lo.y, (i & 4) ? b.hi.z : b.lo.z};
        Vector3 s;
        if (!ProjectPoint(corner, view, viewport, s, GetCurrentProjection()))
            continue;
        box.x0 = std::min(box.x0, (int)s.x);
        box.y0 = std::min(box.y0, (int)s.y);
        box.x1 = std::max(box.x1, (int)s.x + 1);
        box.y1 = std::max(box.y1, (int)s.y + 1);
    }
    box.x0 = std::max(box.x0, 0);
    box.y0 = std::max(box.y0, 0);
    box.x1 = std::min(box.x1, 800);
    box.y1 = std::min(box.y1, 600);
    return box;
}

// Pixels of the box (top-left origin) that are not the sky colour.
static int CountModelPixels(const ScreenBox& b) {
    std::vector<uint8_t> frame;
    ReadFrame(frame);
    int count = 0;
    for (int y = b.y0; y < b.y1; y++) {
        for (int x = b.x0; x < b.x1; x++)
            count += !IsSky(FramePixel(frame, x, y), 2);
    }
    return count;
}

int main() {
    HWND window = StartTestProgram("Vexmoor Model Draw");
    if (!window)
        return 1;
    Check("frame_open", StartTestFrame());

    ModelCopies copies("model_draw_test\\");
    const std::string modelPath = copies.Copy("data\\models\\characters\\enemy_hero.mbm");
    Check("copy_model", !modelPath.empty());

    // First load: the text, which writes the cache.
    CModel parsed, cached;
    bool parsedOk = LoadModel(parsed, modelPath, false, true) && parsed.GetRoot();
    Check("load_text", parsedOk);
    DWORD attributes = GetFileAttributesA(MeshCachePath(modelPath).c_str());
    Check("cache_written", attributes != INVALID_FILE_ATTRIBUTES);
    // Second load with the master gone: the cache. Its buffers are write-only
    // while the parsed ones stay readable, which tells the two paths apart.
    ClearModelCache();
    bool cachedOk = LoadModel(cached, modelPath, false, true) && cached.GetRoot();
    Check("load_cache", cachedOk);
    if (!parsedOk || !cachedOk) {
        copies.Remove();
        return 1;
    }
    const MeshRecord* pm = FirstDrawnMesh(parsed.GetRoot());
    const MeshRecord* cm = FirstDrawnMesh(cached.GetRoot());
    Check("paths_differ", pm && cm &&
                              !pm->chunks[0].vertexBuffer.GetRecord()->writeOnly &&
                              cm->chunks[0].vertexBuffer.GetRecord()->writeOnly);

    // Both side by side in front of the camera.
    Box bounds = Bounds(parsed.GetRoot());
    float height = bounds.hi.z - bounds.lo.z;
    Check("model_size", height > 0.1f && height < 100.0f);
    Vector3 centre{(bounds.lo.x + bounds.hi.x) / 2, (bounds.lo.y + bounds.hi.y) / 2, (bounds.lo.z + bounds.hi.z) / 2};
    Vector3 rootPos = parsed.GetRoot()->position;
    parsed.GetRoot()->SetPosition(Vector3{rootPos.x, rootPos.y - 0.6f * height, rootPos.z});
    cached.GetRoot()->SetPosition(Vector3{rootPos.x, rootPos.y + 0.6f * height, rootPos.z});

    SetPerspective(0, 0, 800, 600, 1.0f, 2500.0f);   // the main game's planes
    Matrix4 view;
    Vector3 eye{centre.x + 3.2f * height, centre.y, centre.z + 0.3f * height};
    Check("view", LookAt(eye, view, Vector3{0, 0, 1}, centre));
    SetViewMatrix(view);

    ClearFrame(TestSky, true, true, true);
    parsed.Draw();
    cached.Draw();
#ifndef VEXMOOR_BACKEND_D3D9
    Check("no_gl_error", glGetError() == GL_NO_ERROR);
#endif

    struct Drawn {
        const char* name;
        CModel* model;
    } drawn[] = {{"text", &parsed}, {"cache", &cached}};
    for (const Drawn& d : drawn) {
        ScreenBox box = Project(view, Bounds(d.model->GetRoot()));
        int area = (box.x1 - box.x0) * (box.y1 - box.y0);
        int pixels = CountModelPixels(box);
        printf("AREA %s %d %d %d %d\n", d.name, box.x0, box.y0, box.x1 - box.x0, box.y1 - box.y0);
        // A soldier covers a good part of its box, and no more than all of it.
        Check(d.name[0] == 't' ? "drawn_text" : "drawn_cache", area > 2000 && pixels > area / 8,
              std::to_string(pixels) + " of " + std::to_string(area));
    }

    ShowUntilSignalled("frame");

    parsed = CModel();
    cached = CModel();
    ClearModelCache();
    copies.Remove();
    return EndTestProgram(window);
}
