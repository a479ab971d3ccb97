// The headless back-end's draw recorder (see null_backend.h).
#include "render/null/null_backend.h"

static bool recording = false;
static std::vector<std::string> events;

void NullStartRecording() {
    events.clear();
    recording = true;
}

void NullStopRecording() { recording = false; }

void NullRecord(const std::string& event) {
    if (recording)
        events.push_back(event);
}

const std::vector<std::string>& NullRecordedEvents() { return events; }
