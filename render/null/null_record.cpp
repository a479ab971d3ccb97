// The headless back-end's draw recorder (see null_backend.h).
#include "render/null/null_backend.h"

static bool recording = false;
static std::vector<std::string> events;
static std::vector<NullPrimitive> primitives;

void NullStartRecording() {
    events.clear();
    primitives.clear();
    recording = true;
}

void NullStopRecording() { recording = false; }

void NullRecord(const std::string& event) {
    if (recording)
        events.push_back(event);
}

const std::vector<std::string>& NullRecordedEvents() { return events; }

void NullRecordPrimitive(const NullPrimitive& primitive) {
    if (recording)
        primitives.push_back(primitive);
}

const std::vector<NullPrimitive>& NullRecordedPrimitives() { return primitives; }
