// Collision cache files: the exact text, round trips, and bad files that
// are rebuilt instead of read.
#include "test_collision_util.h"

#include <locale>

namespace {

class CollisionCache : public CollisionTest {};

// A node block as the file holds it: unit axes, the given centre and
// half-lengths, triangle offsets and vertex numbers, then the child count.
std::string NodeText(const std::string& centre, const std::string& half, const std::string& tris,
                     const std::string& idx, int children) {
    auto count = [](const std::string& list) { return std::to_string((list.size() + 1) / 2); };
    return "\n//Bounding_Box_Center\n" + centre + "\n//Bounding_Box_x_axis\n1 0 0\n//Bounding_Box_y_axis\n0 1 0\n"
           "//Bounding_Box_z_axis\n0 0 1\n//Bounding_Box_halflengths\n" + half +
           "\n//Bounding_Box_triangles: " + count(tris) + "\n" + tris + "\n//Bounding_Box_indicies: " +
           count(idx) + "\n" + idx + "\n//Number_of_Bounding_Box_Children\n" + std::to_string(children) + "\n";
}

// The cache of QuadMesh: a 2 x 1 rectangle in the plane z = 0.
const std::string QuadCol = "//Bounding_Sphere_Radius\n1.11803\n//Bounding_Sphere_Center\n1 0.5 0\n" +
                            NodeText("1 0.5 0", "1 0.5 0", "0 3", "0 1 2 3", 0) +
                            "\n//Convex_Hull_Indicies: 6\n0 1 2 0 2 3\n"
                            "//Convex_Hull_Verticies: 4\n0 0 0 2 0 0 2 1 0 0 1 0\n"
                            "//Convex_Hull_Normals: 2\n0 0 1 0 0 1\n";

CMesh QuadMesh(const std::string& name) {
    CMesh mesh = MakeMesh(name);
    mesh.GetRecord()->collisionPositions = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0}};
    mesh.GetRecord()->collisionIndices = {0, 1, 2, 0, 2, 3};
    return mesh;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// Decimal comma and dot grouping, as some users' locales have.
struct CommaNumbers : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST_F(CollisionCache, WritesTheExactTextAndRebuildsItWhenDeleted) {
    CMesh mesh = QuadMesh("quad");
    std::string path = CollisionModelPath("coltest_gold", "quad");
    CCollisionInstance inst;
    ASSERT_TRUE(inst.Attach(mesh, "coltest_gold"));
    EXPECT_EQ(ReadText(path), QuadCol);
    inst.Reset();
    std::filesystem::remove(NativePath(path));
    ASSERT_TRUE(inst.Attach(mesh, "coltest_gold"));
    EXPECT_EQ(ReadText(path), QuadCol);
    inst.Reset();
    // Caches are never compared with their mesh: a changed mesh keeps its
    // old cache until the file is deleted.
    ASSERT_TRUE(inst.Attach(BoxMesh("quad", Vector3{0, 0, 0}, Vector3{1, 1, 1}), "coltest_gold"));
    EXPECT_EQ(inst.geometry.vertices.size(), 4u);
    inst.Reset();
}

TEST_F(CollisionCache, PathsStayInsideTheCacheFolderWhateverTheNames) {
    for (const char* bad : {"..\\..\\x", "..", "a/b", "C:x", "D:", "a\tb", "\x7f"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(CollisionModelPath("", bad), "");
        EXPECT_EQ(CollisionModelPath(bad, "quad"), "");
        EXPECT_EQ(BoundingSpherePath(bad), "");
    }
    // A device name is refused only as the whole file name.
    for (const char* device : {"con", "LPT1", "nul.txt", "Aux "}) {
        EXPECT_EQ(CollisionModelPath("", device), "") << device;
        EXPECT_EQ(BoundingSpherePath(device), "") << device;
    }
    EXPECT_EQ(CollisionModelPath("con", "quad"), "gen\\data\\collision\\con_quad.col");
    EXPECT_EQ(CollisionModelPath("", "v - segment 3, for 8x8"),
              "gen\\data\\collision\\v - segment 3, for 8x8.col");
    EXPECT_EQ(BoundingSpherePath("crate.old"), "gen\\data\\collision\\crate.old.sph");
}

TEST_F(CollisionCache, GoldenTextWithChildBlocks) {
    // Two triangles a unit apart, one per child: each child's block follows
    // its parent's child count, depth first, before the hull lists.
    const std::string golden =
        "//Bounding_Sphere_Radius\n2.5\n//Bounding_Sphere_Center\n1.5 0.5 0\n" +
        NodeText("1.5 0.5 0", "1.5 0.5 0", "0 3", "0 1 2 3 4 5", 2) +
        NodeText("0.5 0.5 0", "0.5 0.5 0", "0", "0 1 2", 0) +
        NodeText("2.5 0.5 0", "0.5 0.5 0", "3", "3 4 5", 0) +
        "\n//Convex_Hull_Indicies: 6\n0 1 2 3 4 5\n"
        "//Convex_Hull_Verticies: 6\n0 0 0 1 0 0 0 1 0 2 0 0 3 0 0 2 1 0\n"
        "//Convex_Hull_Normals: 2\n0 0 1 0 0 1\n";
    CCollisionModel read;
    ASSERT_TRUE(ParseCollisionModel(golden, read));
    ASSERT_EQ(read.root->children.size(), 2u);
    const CCollisionNode* second = read.root->children[1];
    EXPECT_EQ(second->box.centre.x, 2.5f);
    EXPECT_EQ(second->triangles, (std::vector<int32_t>{3}));
    EXPECT_EQ(second->indices, (std::vector<int32_t>{3, 4, 5}));
    EXPECT_TRUE(second->children.empty());
    EXPECT_EQ(read.root->children[0]->box.halfExtent[0], 0.5f);
    EXPECT_EQ(read.geometry.vertices[4].x, 3.0f);
    EXPECT_FLOAT_EQ(read.sphere.radius, 2.5f);
    EXPECT_EQ(FormatCollisionModel(read), golden);
}

TEST_F(CollisionCache, RoundTripGivesTheSameModel) {
    CMesh mesh = MakeMesh("grid");
    for (int i = 0; i < 8; i++) {
        Vector3 lo{(i & 4) ? 10.3f : 0.1f, (i & 2) ? 6.7f : -0.2f, (i & 1) ? 3.1f : 0.0f};
        AddBox(*mesh.GetRecord(), lo, Vector3{lo.x + 1.25f, lo.y + 1, lo.z + 0.5f});
    }
    CCollisionModel built, read, again;
    Build(mesh, built);
    ASSERT_EQ(built.root->children.size(), 8u);
    std::string text = FormatCollisionModel(built);
    ASSERT_TRUE(ParseCollisionModel(text, read));
    ExpectSameModel(built, read);
    EXPECT_EQ(FormatCollisionModel(read), text);
    // The label before a count is skipped unread too.
    ASSERT_TRUE(ParseCollisionModel(Replace(text, "//Convex_Hull_Normals:", "normals"), again));
    ExpectSameModel(built, again);

    Sphere s{{1.5f, -2.25f, 1e-7f}, 12345.67f}, back;
    EXPECT_EQ(FormatBoundingSphere(s),
              "//Bounding_Sphere_Radius\n12345.7\n//Bounding_Sphere_Center\n1.5 -2.25 1e-07\n");
    ASSERT_TRUE(ParseBoundingSphere(FormatBoundingSphere(s), back));
    EXPECT_FLOAT_EQ(back.centre.z, 1e-7f);
}

TEST_F(CollisionCache, NumbersIgnoreTheUsersLocale) {
    std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaNumbers));
    CMesh mesh = QuadMesh("quad");
    CCollisionModel built, read;
    Build(mesh, built);
    std::string text = FormatCollisionModel(built);
    Sphere s{{1234.5f, 0, 0}, 0.25f}, back;
    std::string sphereText = FormatBoundingSphere(s);
    bool parsed = ParseCollisionModel(text, read) && ParseBoundingSphere(sphereText, back);
    std::locale::global(previous);
    EXPECT_EQ(text, QuadCol);
    EXPECT_EQ(sphereText, "//Bounding_Sphere_Radius\n0.25\n//Bounding_Sphere_Center\n1234.5 0 0\n");
    ASSERT_TRUE(parsed);
    ExpectSameModel(built, read);
    EXPECT_FLOAT_EQ(back.centre.x, 1234.5f);
}

TEST_F(CollisionCache, InconsistentFilesAreRefused) {
    CCollisionModel m;
    ASSERT_TRUE(ParseCollisionModel(QuadCol, m));
    const std::string good = QuadCol;
    const std::string tris = "//Bounding_Box_triangles: 2\n0 3\n";
    const std::string idx = "//Bounding_Box_indicies: 4\n0 1 2 3\n";
    const std::vector<std::string> bad = {
        Replace(good, tris, "//Bounding_Box_triangles: 2\n0 6\n"),      // offset past the indices
        Replace(good, tris, "//Bounding_Box_triangles: 2\n0 4\n"),      // not a whole triangle
        Replace(good, tris, "//Bounding_Box_triangles: 2\n0 -3\n"),
        Replace(good, tris, "//Bounding_Box_triangles: 0\n\n"),         // empty node
        Replace(good, idx, "//Bounding_Box_indicies: 4\n0 1 2 4\n"),    // index past the vertices
        Replace(good, idx, "//Bounding_Box_indicies: 4\n0 2 1 3\n"),    // not sorted
        Replace(good, idx, "//Bounding_Box_indicies: 4\n0 1 1 3\n"),    // repeated
        Replace(good, idx, "//Bounding_Box_indicies: 3\n0 1 2\n"),      // misses a corner
        Replace(good, "0 1 2 0 2 3", "0 1 2 0 2 4"),                     // hull index past the vertices
        Replace(good, "Indicies: 6\n0 1 2 0 2 3", "Indicies: 5\n0 1 2 0 2"),
        Replace(good, "Normals: 2\n0 0 1 0 0 1", "Normals: 1\n0 0 1"),
        Replace(good, "Normals: 2\n0 0 1 0 0 1", "Normals: 3\n0 0 1 0 0 1"),
        Replace(good, "Verticies: 4\n0 0 0 2", "Verticies: 4\nnan 0 0 2"),
        Replace(good, "Verticies: 4\n0 0 0 2", "Verticies: 4\n1e40 0 0 2"),
        Replace(good, "Verticies: 4", "Verticies: -4"),
        Replace(good, "Verticies: 4", "Verticies: 2147483647"),
        Replace(good, "Verticies: 4", "Verticies: 99999999999"),
        Replace(good, "1.11803", "-1"),
        Replace(good, "1.11803", "100001"),                             // wider than any ground
        Replace(good, "1 0.5 0\n//Bounding_Box_triangles", "1 -0.5 0\n//Bounding_Box_triangles"),
        Replace(good, "1 0.5 0\n//Bounding_Box_triangles", "1 0.5 -0.5\n//Bounding_Box_triangles"),
        Replace(good, "1 0.5 0\n//Bounding_Box_triangles", "-1 0.5 0\n//Bounding_Box_triangles"),
        // Each alone past its list by exactly one, everything else whole.
        Replace(good, tris, "//Bounding_Box_triangles: 3\n0 3 6\n"),
        Replace(good, idx, "//Bounding_Box_indicies: 5\n0 1 2 3 4\n"),
        Replace(Replace(good, idx, "//Bounding_Box_indicies: 5\n0 1 2 3 4\n"), "0 1 2 0 2 3", "0 1 2 0 2 4"),
        Replace(good, "Children\n0\n", "Children\n9\n"),
        Replace(good, "Children\n0\n", "Children\n1\n"),                  // the child is missing
        Replace(good, "0 0 1 0 0 1", "0 0 1 0 0 1.5e"),
        Replace(good, "1 0.5 0\n", "1,5 0.5 0\n"),
        "",
    };
    for (size_t i = 0; i < bad.size(); i++) {
        EXPECT_FALSE(ParseCollisionModel(bad[i], m)) << i;
        EXPECT_EQ(m.root, nullptr) << i;
        EXPECT_TRUE(m.geometry.indices.empty()) << i;
    }
    // A chain of single children is refused at the depth cap, not followed.
    std::string node =
        "\n//c\n0 0 0\n//x\n1 0 0\n//y\n0 1 0\n//z\n0 0 1\n//h\n1 1 1\n//t: 1\n0\n//i: 3\n0 1 2\n//n\n";
    std::string deep = "//r\n1\n//c\n0 0 0\n";
    for (int i = 0; i < 40; i++)
        deep += node + "1\n";
    EXPECT_FALSE(ParseCollisionModel(deep, m));
    EXPECT_EQ(m.root, nullptr);
    // And a good file still reads after all that.
    ASSERT_TRUE(ParseCollisionModel(good, m));
    EXPECT_EQ(m.geometry.vertices.size(), 4u);

    Sphere s;
    EXPECT_FALSE(ParseBoundingSphere("//r\n1\n//c\n0 0\n", s));
    EXPECT_FALSE(ParseBoundingSphere("//r\ninf\n//c\n0 0 0\n", s));
    EXPECT_FALSE(ParseBoundingSphere("//r\n-2\n//c\n0 0 0\n", s));
    EXPECT_FALSE(ParseBoundingSphere("//r\n2147483647\n//c\n0 0 0\n", s));
    EXPECT_TRUE(ParseBoundingSphere("//r\n2\n//c\n0 0 0", s));
    EXPECT_TRUE(ParseBoundingSphere("//r\n100000\n//c\n0 0 0", s));
}

TEST_F(CollisionCache, CutOrGarbledFilesAreRebuilt) {
    CMesh mesh = TwoBoxMesh("two");
    CCollisionModel built;
    Build(mesh, built);
    std::string full = FormatCollisionModel(built);
    std::string path = CollisionModelPath("coltest_cut", "two");
    std::vector<std::string> lines = Lines(full);
    ASSERT_GT(lines.size(), 60u);
    int kept = 0;
    for (size_t k = 0; k < 2 * lines.size(); k++) {
        std::string text;
        bool cut = k < lines.size();
        for (size_t i = 0; i < lines.size(); i++) {
            if (cut && i == k)
                break;
            text += (!cut && i == k - lines.size()) ? "garbled" : lines[i];
            text += "\n";
        }
        WriteText(path, text);
        CCollisionInstance inst;
        ASSERT_TRUE(inst.Attach(mesh, "coltest_cut")) << k;
        ExpectSameModel(*inst.model, built);
        std::string now = ReadText(path);
        // A garbled label reads the same and the file is kept; anything else
        // is rewritten whole.
        if (now == text && !cut)
            kept++;
        else
            EXPECT_EQ(now, full) << k;
        inst.Reset();
    }
    // The six plain label lines of each of the three nodes, and the sphere's two.
    EXPECT_EQ(kept, 20);
}

TEST_F(CollisionCache, WritesReplaceThroughATemporaryFile) {
    std::string path = "gen\\data\\collision\\coltest_write.sph";
    WriteText(path, "old and longer than the new text\n");
    ASSERT_TRUE(WriteFileReplacing(path, "new\n"));
    EXPECT_EQ(ReadText(path), "new\n");
    EXPECT_FALSE(Exists(path + ".tmp"));
    // A missing folder fails quietly and leaves nothing behind.
    EXPECT_FALSE(WriteFileReplacing("gen\\data\\coltest_missing\\x.col", "text"));
    EXPECT_FALSE(Exists("gen\\data\\coltest_missing"));
    // Nor is a sphere written that no read would take back.
    CCollisionModel vast;
    Build(QuadMesh("vast"), vast);
    vast.sphere.radius = 100001.0f;
    EXPECT_FALSE(WriteCollisionModelFile("gen\\data\\collision\\coltest_vast.col", vast));
    EXPECT_FALSE(WriteBoundingSphereFile(path, vast.sphere));
    EXPECT_FALSE(Exists("gen\\data\\collision\\coltest_vast.col"));
    EXPECT_EQ(ReadText(path), "new\n");
}

}  // namespace
