#include <gtest/gtest.h>

#include "core/error.h"
#include "render/handles.h"
#include "render/resources.h"

namespace {

struct CountedRecord;

class CCountedHandle : public TResourceHandle<CountedRecord> {
public:
    CCountedHandle() {}
    CCountedHandle(const CCountedHandle&) = default;
    CCountedHandle& operator=(const CCountedHandle&) = default;
    ~CCountedHandle() override { DropRecord(); }
    void Release() override;
};

// A record that holds a handle of its own kind, as a model's nodes hold meshes.
struct CountedRecord : ResourceRecord {
    int id = 0;
    bool released = false;
    CCountedHandle inner;
};

int releases = 0;

void CCountedHandle::Release() {
    EXPECT_FALSE(record->released) << "Release runs once per record";
    record->released = true;
    releases++;
}

size_t RegistrySize() { return RecordRegistry<CountedRecord>().size(); }

TEST(Handles, CountsSharingAndReleaseOnLastHandle) {
    releases = 0;
    size_t before = RegistrySize();
    CCountedHandle a;
    EXPECT_TRUE(a.IsEmpty());
    a.CreateRecord();
    ASSERT_NE(a.GetRecord(), nullptr);
    EXPECT_EQ(a.GetRecord()->refCount, 1);
    EXPECT_EQ(RegistrySize(), before + 1);
    {
        CCountedHandle b(a);
        CCountedHandle c;
        c = b;
        EXPECT_EQ(a.GetRecord()->refCount, 3);
        c = c;   // self-assignment changes nothing
        EXPECT_EQ(a.GetRecord()->refCount, 3);
    }
    EXPECT_EQ(a.GetRecord()->refCount, 1);
    EXPECT_EQ(releases, 0);
    a.DropRecord();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(RegistrySize(), before);
    a.DropRecord();   // empty: nothing
    EXPECT_EQ(releases, 1);
}

TEST(Handles, CreateRecordOnSharedHandleLeavesOtherHoldersIntact) {
    releases = 0;
    CCountedHandle a;
    a.CreateRecord();
    CCountedHandle b = a;
    CountedRecord* shared = a.GetRecord();
    b.CreateRecord();
    EXPECT_NE(b.GetRecord(), shared);
    EXPECT_EQ(shared->refCount, 1);
    EXPECT_EQ(b.GetRecord()->refCount, 1);
    EXPECT_EQ(releases, 0);
}

TEST(Handles, RegistryIsNewestFirstAndUnlinksFromTheMiddle) {
    size_t before = RegistrySize();
    CCountedHandle h[3];
    for (int i = 0; i < 3; i++) {
        h[i].CreateRecord();
        h[i].GetRecord()->id = 100 + i;
    }
    RecordList& registry = RecordRegistry<CountedRecord>();
    EXPECT_EQ(static_cast<CountedRecord*>(registry.front())->id, 102);
    h[1].DropRecord();
    ASSERT_EQ(RegistrySize(), before + 2);
    RecordList::iterator it = registry.begin();
    EXPECT_EQ(static_cast<CountedRecord*>(*it++)->id, 102);
    EXPECT_EQ(static_cast<CountedRecord*>(*it)->id, 100);
}

// Assigning from a handle that lives inside the record being dropped.
TEST(Handles, AssignFromHandleInsideDroppedRecord) {
    releases = 0;
    CCountedHandle outer;
    outer.CreateRecord();
    outer.GetRecord()->inner.CreateRecord();
    CountedRecord* innerRecord = outer.GetRecord()->inner.GetRecord();
    innerRecord->id = 7;
    outer = outer.GetRecord()->inner;
    ASSERT_EQ(outer.GetRecord(), innerRecord);
    EXPECT_EQ(outer.GetRecord()->refCount, 1);
    EXPECT_EQ(outer.GetRecord()->id, 7);
    EXPECT_EQ(releases, 1);
}

TEST(Handles, RecordMissingFromRegistryIsStillReleasedAndReported) {
    releases = 0;
    CCountedHandle a;
    a.CreateRecord();
    UnlinkRecord(RecordRegistry<CountedRecord>(), a.GetRecord());
    int reports = ErrorReportCount();
    a.DropRecord();
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(ErrorReportCount(), reports + 1);
}

TEST(Handles, FindTextureRecordNewestFirstIgnoringCase) {
    CTexture older, newer, unnamed;
    older.CreateRecord();
    older.GetRecord()->fileName = "data\\ui\\Target.png";
    newer.CreateRecord();
    newer.GetRecord()->fileName = "DATA\\UI\\TARGET.PNG";
    unnamed.CreateRecord();
    EXPECT_EQ(FindTextureRecord("data\\ui\\target.png"), newer.GetRecord());
    newer.DropRecord();
    EXPECT_EQ(FindTextureRecord("data\\ui\\target.png"), older.GetRecord());
    EXPECT_EQ(FindTextureRecord(""), nullptr);
    EXPECT_EQ(FindTextureRecord("data\\ui\\target.pn"), nullptr);
}

// A reset puts a record's own fields back and keeps its count and registry
// place: every holder still shares the one listed record.
TEST(Handles, RecordResetsKeepSharingAndTheRegistryPlace) {
    CVertexBuffer vertices;
    vertices.CreateRecord();
    CVertexBuffer holder = vertices;
    VertexBufferRecord& v = *vertices.GetRecord();
    v.vertexCount = 4;
    v.layout = {{VET_FLOAT3, VU_POSITION}};
    v.dynamic = v.locked = true;
    v.writeOnly = false;
    ResetVertexBufferRecord(v);
    EXPECT_EQ(v.refCount, 2);
    EXPECT_EQ(VertexBufferRegistry().front(), &v);
    EXPECT_TRUE(v.vertexCount == 0 && v.layout.empty() && !v.dynamic && v.writeOnly && !v.locked);

    CTexture texture;
    texture.CreateRecord();
    TextureRecord& t = *texture.GetRecord();
    t.fileName = "data\\ui\\radar.png";
    t.kind = 5;
    t.depth = 4;
    ResetTextureRecord(t);
    EXPECT_EQ(FindTextureRecord("data\\ui\\radar.png"), nullptr) << "no longer shared by name";
    EXPECT_EQ(TextureRegistry().front(), &t);
    EXPECT_TRUE(t.kind == 0 && t.depth == 1);
}

}  // namespace
