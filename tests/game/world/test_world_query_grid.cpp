// The world queries' grid against the walk over every body: on the shipped
// terrain crowded with props, soldiers, a vehicle and further objects (some
// stacked on one spot, some far off the terrain, some moving), every ray and
// segment finds exactly the contact the walk finds, through additions,
// removals, moves and lists changed behind the world's back.
#include "tests/game/world/world_fixture.h"

#include <algorithm>
#include <limits>
#include <tuple>

#include "core/random.h"
#include "game/collision/body_grid.h"
#include "game/soldiers/vehicle.h"
#include "game/world/generic_object.h"
#include "game/world/level_file.h"
#include "game/world/world_query.h"

namespace {

const char* const Props[] = {"data\\models\\props\\crate.mbm", "data\\models\\props\\wall.mbm",
                             "data\\models\\props\\rock.mbm", "data\\models\\props\\tree.mbm"};

float Random(float low, float high) {
    return low + (high - low) * (float)GameRand() / (float)GameRandMax;
}

Vector3 RandomDirection() {
    for (;;) {
        Vector3 d{Random(-1, 1), Random(-1, 1), Random(-1, 1)};
        float length = Vector3Length(d);
        if (length > 0.1f && length <= 1.0f)
            return Vector3Scale(d, d, 1.0f / length);
    }
}

bool Same(const Vector3& a, const Vector3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

class QueryGrid : public WorldTest {
protected:
    CGenericObject* AddProp(const Vector3& at, bool dynamic, int kind) {
        CGenericObject* g = new CGenericObject(world.get());
        EXPECT_TRUE(g->LoadMesh(Props[kind % 4], dynamic, DefaultHitPoints));
        g->SetPosition(at);
        g->SetHeading(Random(0, 6.28f));
        world->AddGeneric(g);
        return g;
    }
    void Populate() {
        ASSERT_TRUE(world->LoadLevel("data\\levels\\level01.txt", LevelAllBits));
        for (int i = 0; i < 300; i++)
            AddProp(Vector3{Random(-140, 140), Random(-140, 140), Random(0, 30)}, i % 3 == 0, i);
        for (int i = 0; i < 8; i++)   // a stack on one spot: equal distances
            AddProp(Vector3{10, 10, 2.0f * (float)i}, false, 0);
        for (int i = 0; i < 20; i++)   // far off the terrain
            AddProp(Vector3{Random(2000, 3000), Random(-3000, -2000), Random(-50, 50)}, false, i);
        for (int i = 0; i < 60; i++)
            AddSoldier(Vector3{Random(-140, 140), Random(-140, 140), 0}, i % 2, i % 4);
        // Further objects are listed behind the world's back.
        for (int i = 0; i < 10; i++) {
            world->furtherObjects.emplace_back();
            CGenericObject* donor = world->generics.front();
            world->furtherObjects.back().collision.AttachForMesh(donor->model, "crate");
        }
    }

    // Every object the queries may name or exclude.
    std::vector<void*> Objects() {
        std::vector<void*> out{nullptr};
        for (CGenericObject* g : world->generics) out.push_back(g);
        for (CSoldier* s : world->soldiers) out.push_back(static_cast<CSoldierTarget*>(s));
        for (CVehicle* v : world->vehicles) out.push_back(v);
        return out;
    }

    // One query without the grid and with it: the same answer and, on a hit,
    // the same contact to the bit. Counts the hits so the test knows it saw some.
    template <class Query>
    void Compare(Query query, int& hits) {
        CollisionContact a, b;
        world->SetBodyGridEnabled(false);
        const bool walked = query(a);
        world->SetBodyGridEnabled(true);
        ASSERT_EQ(walked, query(b));
        if (!walked)
            return;
        hits++;
        ASSERT_TRUE(Same(a.point, b.point) && Same(a.normal, b.normal));
        ASSERT_EQ(std::tie(a.object, a.kind, a.node, a.bodyPart, a.distanceSquared),
                  std::tie(b.object, b.kind, b.node, b.bodyPart, b.distanceSquared));
    }

    // Rays of every kind: straight down and up onto objects (grounding),
    // nearly vertical, level and steep, from inside the area and from far off.
    void CompareMany(int count) {
        std::vector<void*> objects = Objects();
        int hits = 0, bodyHits = 0;
        for (int i = 0; i < count; i++) {
            Vector3 origin{Random(-160, 160), Random(-160, 160), Random(-5, 60)};
            if (i % 10 == 0)
                origin = Vector3{Random(-4000, 4000), Random(-4000, 4000), Random(-500, 500)};
            if (i % 7 == 0) {   // from inside a body
                auto g = world->generics.begin();
                std::advance(g, i % world->generics.size());
                origin = (*g)->collision.sphere.centre;
            }
            Vector3 direction = RandomDirection();
            switch (i % 5) {
            case 0: direction = Vector3{0, 0, -1}; break;
            case 1: direction = Vector3{0, 0, 1}; break;
            case 2:
                direction = Vector3{1e-7f, -2e-7f, -1};
                Vector3NormalizeInPlace(direction);
                break;
            case 3:
                direction.z = 0.0f;
                Vector3NormalizeInPlace(direction);
                break;
            default:
                break;
            }
            const int choices[] = {QUERY_ALL, QUERY_TERRAIN | QUERY_VEHICLES | QUERY_PROPS,
                                   QUERY_SOLDIERS | QUERY_FURTHER};
            int sets = choices[i % 3];
            const void* excluded = objects[(size_t)GameRand() % objects.size()];
            const Ray ray{origin, direction};
            Vector3 end;
            Vector3MultiplyAdd(end, origin, direction, Random(0.5f, 300.0f));
            Compare([&](CollisionContact& c) {
                return WorldQuery(*world, ray, sets, c, excluded, 1 + i % 3, i % 2 == 0);
            }, hits);
            Compare([&](CollisionContact& c) {
                return WorldQuery(*world, ray, sets & ~QUERY_TERRAIN, c, excluded, 3, false);
            }, bodyHits);
            Compare([&](CollisionContact& c) { return WorldQuerySegment(*world, origin, end, sets, c, excluded); },
                    hits);
            if (HasFatalFailure())
                return;
        }
        EXPECT_GT(hits, count / 4);
        EXPECT_GT(bodyHits, count / 20);
    }
};

TEST_F(QueryGrid, EveryRayAndSegmentFindsWhatTheWalkOverEveryBodyFinds) {
    GameSrand(7);
    Populate();
    ASSERT_FALSE(HasFatalFailure());
    CompareMany(1500);
    ASSERT_FALSE(HasFatalFailure());

    // Props fall and settle, soldiers walk off: the grid follows them.
    Run(2.0f, 1.0f / 30.0f);
    for (int i = 0; i < 40; i++)
        world->soldiers[(size_t)i]->SetPosition(Vector3{Random(-150, 150), Random(-150, 150), 5});
    CompareMany(800);
    ASSERT_FALSE(HasFatalFailure());

    // Removed through the world, and changed behind its back.
    for (int i = 0; i < 50; i++)
        world->RemoveGeneric(world->generics.back());
    world->RemoveSoldier(world->soldiers.front());
    world->furtherObjects.pop_front();
    CGenericObject* stray = world->generics.front();
    world->generics.pop_front();
    CompareMany(500);
    world->generics.push_back(stray);
    CompareMany(300);
}

TEST_F(QueryGrid, AQueryTestsOnlyTheBodiesNearItsTrack) {
    ASSERT_TRUE(world->LoadLevel("data\\levels\\level01.txt", LevelTerrainBit));
    for (int i = 0; i < 2500; i++)
        AddProp(Vector3{-125.0f + 5.0f * (float)(i % 50), -125.0f + 5.0f * (float)(i / 50), 0},
                true, 0);
    CBodyGrid* grid = world->GetBodyGrid();
    ASSERT_NE(grid, nullptr);
    std::vector<const BodyGridEntry*> near;
    grid->GatherRay(Ray{Vector3{0, 0, 50}, Vector3{0, 0, -1}}, QUERY_ALL, near);
    EXPECT_LE(near.size(), 16u) << grid->GetAsideCount() << " aside";
    EXPECT_GE(near.size(), 1u);
    grid->GatherRay(Ray{Vector3{-200, 0, 1}, Vector3{1, 0, 0}}, QUERY_PROPS, near);
    EXPECT_LE(near.size(), 400u);   // one row of crates and its neighbours, not all 2500
    EXPECT_GE(near.size(), 50u);
    EXPECT_GT(grid->GetColumns(), 8);

    // The crates settle; moving ones keep the grid's cells up to date.
    Run(1.0f, 1.0f / 30.0f);
    CGenericObject* crate = world->generics.front();
    crate->SetPosition(Vector3{100, 100, 30});
    grid->GatherRay(Ray{Vector3{100, 100, 60}, Vector3{0, 0, -1}}, QUERY_PROPS, near);
    EXPECT_NE(std::find_if(near.begin(), near.end(),
                           [crate](const BodyGridEntry* e) { return e->object == crate; }),
              near.end());
    CollisionContact contact;
    ASSERT_TRUE(WorldQuery(*world, Ray{Vector3{100, 100, 60}, Vector3{0, 0, -1}}, QUERY_PROPS,
                           contact, nullptr, 3, true));
    EXPECT_EQ(contact.object, crate);
}

}  // namespace

// Props a shared level puts at the ends of the float range: the grid's area
// and cells stay those of the props near the ground, the far ones (and those
// whose sphere is far or not finite along x or y alone) are kept aside, and
// every query still gathers them and finds what the walk finds.
TEST_F(QueryGrid, PropsAtTheEndsOfTheFloatRangeAreKeptAside) {
    GameSrand(3);
    ASSERT_TRUE(world->LoadLevel("data\\levels\\level01.txt", LevelTerrainBit));
    for (int i = 0; i < 40; i++)
        AddProp(Vector3{Random(-140, 140), Random(-140, 140), Random(0, 30)}, false, i);
    for (float x : {3e38f, -3e38f, 1e30f})
        for (float y : {3e38f, -3e38f})
            AddProp(Vector3{x, y, 0}, false, 0);
    // Spheres far off or not finite along one axis alone, the other
    // ordinary; the props themselves stand on the ground.
    CBodyGrid* grid = world->GetBodyGrid();
    ASSERT_NE(grid, nullptr);
    std::vector<CGenericObject*> odd;
    for (float v : {1e30f, -3e38f, std::numeric_limits<float>::infinity(), std::nanf("")}) {
        for (int axis = 0; axis < 2; axis++) {
            CGenericObject* g = AddProp(Vector3{Random(-140, 140), Random(-140, 140), 0}, false, 0);
            (axis == 0 ? g->collision.sphere.centre.x : g->collision.sphere.centre.y) = v;
            grid->Moved(g->collision.gridEntry);
            odd.push_back(g);
        }
    }
    // Rays and segments over the ground (contacts far out overflow in the
    // body tests themselves, grid or not).
    int hits = 0;
    for (int i = 0; i < 200; i++) {
        const Vector3 origin{Random(-150, 150), Random(-150, 150), Random(5, 40)};
        const Vector3 direction = i % 2 ? Vector3{0, 0, -1} : RandomDirection();
        Vector3 end;
        Vector3MultiplyAdd(end, origin, direction, 100.0f);
        Compare([&](CollisionContact& c) {
            return WorldQuery(*world, Ray{origin, direction}, QUERY_ALL, c, nullptr, 3, false);
        }, hits);
        Compare([&](CollisionContact& c) { return WorldQuerySegment(*world, origin, end, QUERY_PROPS, c, nullptr); },
                hits);
        ASSERT_FALSE(HasFatalFailure());
    }
    EXPECT_GT(hits, 100);
    ASSERT_EQ(world->GetBodyGrid(), grid);
    EXPECT_GE(grid->GetColumns(), 2);
    EXPECT_LE(grid->GetColumns(), 257);
    EXPECT_LE(grid->GetRows(), 257);
    EXPECT_EQ(grid->GetAsideCount(), 6 + (int)odd.size());
    // Whatever a query's track, it gathers every body kept aside.
    std::vector<const BodyGridEntry*> near;
    grid->GatherRay(Ray{Vector3{0, 0, 50}, Vector3{0, 0, -1}}, QUERY_PROPS, near);
    std::vector<const BodyGridEntry*> along;
    grid->GatherSegment(Vector3{-150, 20, 1}, Vector3{-140, 20, 1}, QUERY_PROPS, along);
    for (CGenericObject* g : odd) {
        for (const std::vector<const BodyGridEntry*>* found : {&near, &along}) {
            EXPECT_NE(std::find_if(found->begin(), found->end(),
                                   [g](const BodyGridEntry* e) { return e->object == g; }),
                      found->end());
        }
    }
}
