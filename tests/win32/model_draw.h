// A shipped model drawn through the back-end the program is linked with
// (model_draw_test: OpenGL, d3d_model_draw_test: Direct3D), twice: once parsed from
// its text (which writes the cache) and once read back from that cache. The
// model and its textures are copied into a folder of the test's own so the
// installation's caches stay untouched. Prints "CHECK name OK|FAIL" lines,
// "AREA name x y w h" for each model's screen box, then "READY" with the
// frame on screen; exit code 0 when every check passed.
#ifndef TESTS_WIN32_MODEL_DRAW_H
#define TESTS_WIN32_MODEL_DRAW_H

#include <algorithm>

#include "core/matrix.h"
#include "render/backend.h"
#include "render/image.h"
#include "render/mesh_cache.h"
#include "render/model.h"
#include "render/node.h"
#include "render/projection.h"
#include "render/render_setup.h"
#include "tests/win32/test_window.h"

static const std::string source = "data\\models\\characters\\";
static const std::string folder = "data\\model_draw_test\\";
static const std::string modelPath = folder + "enemy_hero.mbm";

inline void RemoveTestFiles() {
    for (const char* file : {"enemy_hero.mbm", "enemy_hero.png"})
        DeleteFileA((folder + file).c_str());
    RemoveDirectoryA(folder.c_str());
    DeleteFileA(MeshCachePath(modelPath).c_str());
    RemoveDirectoryA("gen\\data\\model_draw_test");
}

// World-space box of every collision position of the tree.
inline void Bounds(CNode* node, Vector3& lo, Vector3& hi) {
    std::vector<CNode*> nodes{node};
    node->CollectDescendants(nodes);
    for (CNode* n : nodes) {
        for (const Vector3& p : n->mesh.GetRecord()->collisionPositions) {
            Vector3 w;
            Matrix4TransformPoint(w, n->GetWorldMatrix(), p);
            lo = Vector3{w.x < lo.x ? w.x : lo.x, w.y < lo.y ? w.y : lo.y, w.z < lo.z ? w.z : lo.z};
            hi = Vector3{w.x > hi.x ? w.x : hi.x, w.y > hi.y ? w.y : hi.y, w.z > hi.z ? w.z : hi.z};
        }
    }
}

inline const MeshRecord* FirstDrawnMesh(CNode* root) {
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

inline ScreenBox Project(const Matrix4& view, const Vector3& lo, const Vector3& hi) {
    ViewportRect viewport;
    GetViewport(viewport);
    ScreenBox box;
    for (int i = 0; i < 8; i++) {
        Vector3 corner{(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z};
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
inline int CountModelPixels(const ScreenBox& b) {
    std::vector<uint8_t> frame;
    ReadFrame(frame);
    int count = 0;
    for (int y = b.y0; y < b.y1; y++) {
        for (int x = b.x0; x < b.x1; x++) {
            const uint8_t* p = FramePixel(frame, x, y);
            bool sky = p[0] <= 2 && p[1] >= 125 && p[1] <= 129 && p[2] >= 202 && p[2] <= 206;
            count += sky ? 0 : 1;
        }
    }
    return count;
}

inline int RunModelDrawTest() {
    HWND window = OpenTestWindow("Vexmoor Model Draw");
    bool init = StartTestRenderer(window);
    Check("init", init && StartTestFrame());
    if (!init)
        return 1;
    StartupGdiplus();

    RemoveTestFiles();
    CreateDirectoryA(folder.c_str(), nullptr);
    bool copied = CopyFileA((source + "enemy_hero.mbm").c_str(), modelPath.c_str(), FALSE) &&
                  CopyFileA((source + "enemy_hero.png").c_str(), (folder + "enemy_hero.png").c_str(), FALSE);
    Check("copy_model", copied);

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
        RemoveTestFiles();
        return 1;
    }
    const MeshRecord* pm = FirstDrawnMesh(parsed.GetRoot());
    const MeshRecord* cm = FirstDrawnMesh(cached.GetRoot());
    Check("paths_differ", pm && cm &&
                              !pm->chunks[0].vertexBuffer.GetRecord()->writeOnly &&
                              cm->chunks[0].vertexBuffer.GetRecord()->writeOnly);

    // Both side by side in front of the camera.
    Vector3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    Bounds(parsed.GetRoot(), lo, hi);
    float height = hi.z - lo.z;
    Check("model_size", height > 0.1f && height < 100.0f);
    Vector3 centre{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
    Vector3 rootPos = parsed.GetRoot()->position;
    parsed.GetRoot()->SetPosition(Vector3{rootPos.x, rootPos.y - 0.6f * height, rootPos.z});
    cached.GetRoot()->SetPosition(Vector3{rootPos.x, rootPos.y + 0.6f * height, rootPos.z});

    SetPerspective(0, 0, 800, 600, 1.0f, 2500.0f);   // the main game's planes
    Matrix4 view;
    Vector3 eye{centre.x + 3.2f * height, centre.y, centre.z + 0.3f * height};
    Check("view", LookAt(eye, view, Vector3{0, 0, 1}, centre));
    SetViewMatrix(view);

    ClearFrame(0xffcc7f00u, true, true, true);
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
        Vector3 a{1e9f, 1e9f, 1e9f}, b{-1e9f, -1e9f, -1e9f};
        Bounds(d.model->GetRoot(), a, b);
        ScreenBox box = Project(view, a, b);
        int area = (box.x1 - box.x0) * (box.y1 - box.y0);
        int pixels = CountModelPixels(box);
        printf("AREA %s %d %d %d %d\n", d.name, box.x0, box.y0, box.x1 - box.x0, box.y1 - box.y0);
        // A soldier covers a good part of its box, and no more than all of it.
        Check(d.name[0] == 't' ? "drawn_text" : "drawn_cache", area > 2000 && pixels > area / 8,
              std::to_string(pixels) + " of " + std::to_string(area));
    }

    ShowFrameForScreenshot();

    parsed = CModel();
    cached = CModel();
    ClearModelCache();
    RemoveTestFiles();
    ShutdownRenderer();
    ShutdownGdiplus();
    DestroyWindow(window);
    return FinishChecks();
}

#endif
