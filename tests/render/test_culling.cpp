// Culling against the view: the frustum planes, sphere and point tests, the
// named lists filled from a world's collections and the hierarchical descent.
#include <cmath>
#include <map>

#include <gtest/gtest.h>

#include "render/camera.h"
#include "render/visibility.h"

namespace {

// A camera at (0, -50, 10) looking at the origin, made current.
class CullingTest : public ::testing::Test {
protected:
	void SetUp() override {
		camera.SetPosition(Vector3{0.0f, -50.0f, 10.0f}, true);
		camera.SetTarget(Vector3{}, true);
		camera.SetUp(Vector3{0.0f, 0.0f, 1.0f}, true);
		CurrentCamera = &camera;
		lists.SetPerspective(0.75f, 1.0f, 2500.0f, 2500.0f);
	}
	void TearDown() override { CurrentCamera = nullptr; }

	int Classify(float x, float y, float z, float r) { return lists.ClassifySphere(Sphere{{x, y, z}, r}); }

	CSmoothCamera camera;
	CVisibilityLists lists;
};

struct FakeTree : CCullTree {
	Sphere sphere;
	std::vector<FakeTree *> children;
	int GetCullChildCount() const override { return (int)children.size(); }
	const CCullTree *GetCullChild(int i) const override { return children[i]; }
	Sphere GetCullSphere() const override { return sphere; }
};

struct FakeWorld : CCullSource {
	std::map<int, std::vector<CullEntry>> collections;
	std::vector<int> asked;
	void GetCullEntries(VisibilityList collection, std::vector<CullEntry> &out) override {
		asked.push_back(collection);
		out = collections[collection];
	}
};

int objects[16];

CullEntry Entry(int id, float x, float y, float z, float r) {
	CullEntry e;
	e.object = &objects[id];
	e.bounds = Sphere{{x, y, z}, r};
	return e;
}

} // namespace

TEST_F(CullingTest, KeepsTheTargetDropsBehindBesideAndBeyond) {
	lists.Cull(true);
	ASSERT_EQ(lists.GetPlanes().size(), 5u);
	for (const Plane &p : lists.GetPlanes()) {
		EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 1.0f, 1e-5f);
	}
	// 0 inside, 1 outside.
	struct { float x, y, z, r; int expected; const char *what; } spheres[] = {
		{0, 0, 0, 1, 0, "the target"}, {0, 0, 10, 1, 0, "above it"}, {-20, 0, 0, 1, 0, "world -x, screen-right"},
		{0, -100, 10, 5, 1, "behind the eye"}, {60, 0, 0, 1, 1, "beside"}, {-60, 0, 0, 1, 1, "beside"},
		{0, 0, -60, 1, 1, "below the view"}, {0, 2600, -500, 10, 1, "beyond the cull distance"},
		{0, 1500, -300, 10, 0, "within the cull distance"}};
	for (const auto &c : spheres) EXPECT_EQ(Classify(c.x, c.y, c.z, c.r), c.expected) << c.what;

	// Sideways from the target onto a side plane: crossing.
	Plane side = lists.GetPlanes()[0];
	EXPECT_EQ(Classify(-side.w / side.x, 0, 0, 2), -1);
}

TEST_F(CullingTest, SphereAndPointTestsAgainstGivenPlanes) {
	lists.SetPlanes({Plane{1, 0, 0, 0}, Plane{0, 1, 0, 0}});
	EXPECT_EQ(Classify(5, 5, 0, 1), 0);
	EXPECT_EQ(Classify(-2, 50, 0, 1), 1);  // wholly behind one plane
	EXPECT_EQ(Classify(0.5f, 5, 0, 1), -1); // touches one
	EXPECT_TRUE(lists.IsPointOutside(Vector3{0, 5, 0}));
	EXPECT_FALSE(lists.IsPointOutside(Vector3{1, 5, 0}));

	lists.SetPlanes({});
	EXPECT_EQ(Classify(-1000, 0, 0, 1), 0);
	EXPECT_FALSE(lists.IsPointOutside(Vector3{-1000, 0, 0}));
}

TEST_F(CullingTest, NoSetUpCullsNothingAheadAndMakesNoNaN) {
	CVisibilityLists fresh;
	fresh.Cull(true);
	EXPECT_TRUE(fresh.GetPlanes().empty());
	EXPECT_EQ(fresh.ClassifySphere(Sphere{{0, 0, 0}, 1}), 0);

	// A projection but no cull distance: side planes only.
	fresh.SetPerspective(0.75f, 1.0f, 2500.0f, 0.0f);
	fresh.Cull(true);
	EXPECT_EQ(fresh.GetPlanes().size(), 4u);
	EXPECT_EQ(fresh.ClassifySphere(Sphere{{0, 0, 0}, 1}), 0);

	// Eye on its target: the far plane has no direction and is left out.
	camera.SetTarget(Vector3{0.0f, -50.0f, 10.0f}, true);
	lists.Cull(true);
	for (const Plane &p : lists.GetPlanes()) {
		EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.w));
	}
}

TEST_F(CullingTest, WithoutACameraThePassStopsAfterEmptyingThePlanes) {
	FakeWorld world;
	world.collections[VisSoldiers] = {Entry(0, 0, 0, 0, 1)};
	lists.SetSource(&world);
	lists.Cull(true);
	ASSERT_EQ(lists.GetList(VisSoldiers).size(), 1u);

	CurrentCamera = nullptr;
	world.collections[VisSoldiers].clear();
	lists.Cull(true);
	EXPECT_TRUE(lists.GetPlanes().empty());
	EXPECT_EQ(lists.GetList(VisSoldiers).size(), 1u); // untouched
}

TEST_F(CullingTest, SortsEveryCollectionIntoItsNamedList) {
	FakeWorld world;
	CullEntry dead = Entry(1, 0, 0, 0, 1);
	dead.health = 0.0f;
	world.collections[VisSoldiers] = {Entry(0, 0, 0, 0, 1), dead, Entry(2, 0, -100, 10, 1)};
	world.collections[VisSoldierScrap] = {Entry(3, 1, 1, 1, 1)};
	world.collections[VisVehicles] = {Entry(4, 200, 0, 0, 1)};
	world.collections[VisGenerics] = {Entry(5, -5, 5, 0, 2)};
	world.collections[VisFurther] = {Entry(6, 0, 0, 0, 1)};
	world.collections[VisWeapons] = {Entry(7, 0, 0, 0, 1)};
	world.collections[VisGrenades] = {Entry(8, 0, 0, 0, 1)};
	CullEntry kinds[4];
	for (int k = 0; k < 4; k++) {
		kinds[k] = Entry(9 + k, 0, 0, 0, 0);
		kinds[k].kind = k;
	}
	CullEntry behind = Entry(13, 0, -100, 10, 0);
	world.collections[VisProjectiles] = {kinds[0], kinds[1], kinds[2], kinds[3], behind};
	lists.SetSource(&world);
	lists.Cull(true);

	EXPECT_EQ(world.asked, (std::vector<int>{VisSoldiers, VisSoldierScrap, VisVehicles, VisVehicleScrap,
	                                         VisGenerics, VisFurther, VisWeapons, VisGrenades,
	                                         VisProjectiles}));
	EXPECT_EQ(lists.GetList(VisSoldiers), (std::vector<void *>{&objects[0]}));
	EXPECT_EQ(lists.GetList(VisSoldierScrap), (std::vector<void *>{&objects[3]}));
	EXPECT_TRUE(lists.GetList(VisVehicles).empty());
	EXPECT_EQ(lists.GetList(VisGenerics), (std::vector<void *>{&objects[5]}));
	EXPECT_EQ(lists.GetList(VisFurther).size(), 1u);
	EXPECT_EQ(lists.GetList(VisWeapons).size(), 1u);
	EXPECT_EQ(lists.GetList(VisGrenades).size(), 1u);
	EXPECT_EQ(lists.GetList(VisProjectiles), (std::vector<void *>{&objects[9], &objects[11]}));

	// A second pass starts each list afresh.
	world.collections[VisSoldiers].clear();
	lists.Cull(false);
	EXPECT_TRUE(lists.GetList(VisSoldiers).empty());
}

TEST_F(CullingTest, HierarchicalDescentCollectsVisiblePieces) {
	lists.Cull(true);
	FakeTree root, inside, outside, grandchild;
	root.sphere = Sphere{{0, 200, 0}, 300};      // crossing
	inside.sphere = Sphere{{0, 0, 0}, 1};
	outside.sphere = Sphere{{0, -100, 10}, 1};
	grandchild.sphere = Sphere{{1, 1, 1}, 1};
	outside.children = {&grandchild};           // collected though its parent is not
	root.children = {&inside, &outside};

	std::vector<const CCullTree *> found;
	lists.CollectVisible(&root, found);
	EXPECT_EQ(found, (std::vector<const CCullTree *>{&inside, &grandchild, &root}));

	FakeWorld world;
	CullEntry vehicle = Entry(0, 0, 200, 0, 300);
	vehicle.tree = &root;
	world.collections[VisVehicles] = {vehicle};
	lists.SetSource(&world);
	lists.SetHierarchical(true);
	lists.Cull(true);
	EXPECT_TRUE(lists.GetList(VisVehicles).empty());
	EXPECT_EQ(lists.GetPartList(VisVehicleParts).size(), 3u);
	lists.Cull(true);
	EXPECT_EQ(lists.GetPartList(VisVehicleParts).size(), 3u);

	lists.CullByKind(2, &inside);
	EXPECT_EQ(lists.GetPartList(VisGenericParts), (std::vector<const CCullTree *>{&inside}));
}
