#include "render/handles.h"

#include "core/error.h"
#include "core/strings.h"
#include "render/resources.h"

void LinkRecord(RecordList& registry, ResourceRecord* record) {
    registry.push_front(record);
    record->link = registry.begin();
    record->linked = true;
}

void UnlinkRecord(RecordList& registry, ResourceRecord* record) {
    if (!record->linked) {
        ReportError("Error", "CResourceHandle::DropRecord()-record missing from its registry");
        return;
    }
    registry.erase(record->link);
    record->linked = false;
}

TextureRecord* FindTextureRecord(const std::string& name) {
    for (ResourceRecord* r : TextureRegistry()) {
        TextureRecord* t = static_cast<TextureRecord*>(r);
        if (!t->fileName.empty() && EqualIgnoringCase(t->fileName, name))
            return t;
    }
    return nullptr;
}
