// Reference-counted handles to shared records. Copying a handle shares its
// record; the handle that drops the last reference runs Release (which frees
// what the record owns outside itself) and deletes the record.
//
// Every record type has a registry: a list of its live records, newest at the
// front, holding no reference. Textures and models are shared by name through
// it. A record keeps its own position in the list so unlinking is O(1).
#ifndef RENDER_HANDLES_H
#define RENDER_HANDLES_H

#include <cstdint>
#include <list>

struct ResourceRecord;
typedef std::list<ResourceRecord*> RecordList;

struct ResourceRecord {
    int32_t refCount = 1;
    bool linked = false;
    RecordList::iterator link;
};

// One registry per record type. Never destroyed: handles in static objects
// may still let go of their records after the other statics are gone.
template <class Record>
RecordList& RecordRegistry() {
    static RecordList& registry = *new RecordList;
    return registry;
}

// Puts every field of a record back to its default, keeping the count and
// the registry link: the record stays shared and listed.
template <class Record>
void ResetRecordFields(Record& record) {
    ResourceRecord kept = record;
    record = Record();
    static_cast<ResourceRecord&>(record) = kept;
}

void LinkRecord(RecordList& registry, ResourceRecord* record);
// Reports (and otherwise ignores) a record that is not in the registry.
void UnlinkRecord(RecordList& registry, ResourceRecord* record);

class CResourceHandle {
public:
    virtual ~CResourceHandle() {}
    // Frees what the record owns outside itself. Called once per record, by
    // the handle dropping the last reference, while the record is intact.
    virtual void Release() = 0;
};

template <class Record>
class TResourceHandle : public CResourceHandle {
public:
    TResourceHandle() : record(nullptr) {}
    TResourceHandle(const TResourceHandle& other) : CResourceHandle(), record(other.record) {
        if (record)
            record->refCount++;
    }
    // Takes the source's reference before dropping its own, so a source that
    // lives inside the record being dropped stays valid.
    TResourceHandle& operator=(const TResourceHandle& other) {
        if (this == &other)
            return *this;
        Record* shared = other.record;
        if (shared)
            shared->refCount++;
        DropRecord();
        record = shared;
        return *this;
    }
    // Derived destructors call DropRecord: Release is theirs.
    ~TResourceHandle() override {}

    Record* GetRecord() const { return record; }
    bool IsEmpty() const { return record == nullptr; }

    // Drops the current record, then points at a new one (count 1) put at the
    // front of the registry.
    void CreateRecord() {
        DropRecord();
        Record* fresh = new Record;
        LinkRecord(RecordRegistry<Record>(), fresh);
        record = fresh;
    }

    // Takes another reference to a live record found in the registry.
    void ShareRecord(Record* shared) {
        if (shared)
            shared->refCount++;
        DropRecord();
        record = shared;
    }

    void DropRecord() {
        Record* old = record;
        if (!old)
            return;
        if (--old->refCount > 0) {
            record = nullptr;
            return;
        }
        UnlinkRecord(RecordRegistry<Record>(), old);
        Release();
        record = nullptr;
        delete old;
    }

protected:
    Record* record;
};

#endif
