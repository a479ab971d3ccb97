#include "sound/sound_manager.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "core/clock.h"
#include "core/error.h"
#include "core/thread.h"
#include "sound/voice.h"

namespace {

// All manager state lives here, made on first use, so no static initialiser
// of another file can see it half-built.
struct SoundTables {
    SoundDeviceObject* device = nullptr;
    SoundListenerObject* listener = nullptr;
    SoundListenerParams listenerParams;
    bool listenerEnabled = false;
    SoundManager* instance = nullptr;
    std::vector<SoundRecord*> records;       // in order of creation
    std::vector<int32_t> ids;                // handed out and not yet freed
    int32_t nextId = 1;                      // never reset; 0 stands for no sound
    std::vector<SoundRecord*> finished;      // ended, waiting to be freed
    SoundSlot slots[SoundSlotCount];
    SoundWaveFormat defaultFormat;
    SoundBufferDesc defaultDesc;
    Sound3DParams default3D;
};

SoundTables& Tables() {
    static SoundTables tables;
    return tables;
}

std::atomic<bool> soundEnabled(true);

void Report(const char* message) {
    ReportError("Error", message);
}

bool Running() {
    return Tables().device && Tables().instance;
}

bool KnownId(int32_t id) {
    const std::vector<int32_t>& ids = Tables().ids;
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

void RemoveId(int32_t id) {
    std::vector<int32_t>& ids = Tables().ids;
    ids.erase(std::find(ids.begin(), ids.end(), id));
}

}  // namespace

// ---- start-up and shutdown ---------------------------------------------------------

bool SoundManager::Init(void* window) {
    SoundTables& t = Tables();
    if (t.device) {
        return true;
    }
    if (SoundFailed(SoundCreateDevice(&t.device))) {
        t.device = nullptr;
        Report("SoundManager::Init()-Unable to create sound object");
        return false;
    }
    if (SoundFailed(SoundSetCooperativeLevel(t.device, window))) {
        Report("SoundManager::Init()-Unable to set cooperative level");
        SoundReleaseDevice(t.device);
        t.device = nullptr;
        return false;
    }
    if (SoundFailed(SetUpPrimaryBuffer())) {
        Report("Init() - Primary sound buffer could not set format");
    }
    if (SoundFailed(SetUp3DListener())) {
        Report("Init() - Could not get 3d listener");
    }
    // Every listener use tests this, so a missing listener is never touched.
    t.listenerEnabled = t.listener != nullptr;

    new SoundManager();   // registers itself as the instance
    if (SoundFailed(t.instance->CreateSlotBuffers())) {
        delete t.instance;
        SoundReleaseListener(t.listener);
        t.listener = nullptr;
        t.listenerEnabled = false;
        SoundReleaseDevice(t.device);
        t.device = nullptr;
        return false;
    }
    return true;
}

void SoundManager::Shutdown() {
    SoundTables& t = Tables();
    if (!t.device) {
        return;
    }
    delete t.instance;
    std::vector<SoundRecord*>().swap(t.records);
    SoundReleaseListener(t.listener);
    t.listener = nullptr;
    t.listenerEnabled = false;
    SoundReleaseDevice(t.device);
    t.device = nullptr;
}

bool SoundManager::IsAvailable() {
    return Tables().device != nullptr;
}

SoundResult SoundManager::SetUpPrimaryBuffer() {
    SoundTables& t = Tables();
    SoundBufferDesc desc;
    desc.flags = SoundCapsPrimaryBuffer;
    SoundBufferObject* primary = nullptr;
    SoundResult r = SoundCreateBuffer(t.device, desc, &primary);
    if (SoundFailed(r)) {
        Report("SetUpPrimaryBuffer() - Could not create primary sound buffer");
        return r;
    }
    SoundWaveFormat format;
    format.formatTag = SoundFormatPcm;
    format.channels = 2;
    format.samplesPerSec = 44100;
    format.bitsPerSample = 16;
    format.blockAlign = 4;
    format.avgBytesPerSec = 176400;
    r = SoundSetFormat(primary, format);
    SoundReleaseBuffer(primary);
    return r;
}

SoundResult SoundManager::SetUp3DListener() {
    SoundTables& t = Tables();
    SoundBufferDesc desc;
    desc.flags = SoundCapsPrimaryBuffer | SoundCapsCtrl3D;
    SoundBufferObject* primary = nullptr;
    SoundResult r = SoundCreateBuffer(t.device, desc, &primary);
    if (SoundFailed(r)) {
        return r;
    }
    r = SoundQueryListener(primary, &t.listener);
    if (SoundFailed(r)) {
        t.listener = nullptr;
        SoundReleaseBuffer(primary);
        return r;
    }
    // DirectSound's defaults, should the read below fail.
    t.listenerParams = SoundListenerParams();
    t.listenerParams.orientFront.z = 1.0f;
    t.listenerParams.orientTop.y = 1.0f;
    t.listenerParams.distanceFactor = 1.0f;
    t.listenerParams.rolloffFactor = 1.0f;
    t.listenerParams.dopplerFactor = 1.0f;
    if (SoundFailed(SoundListenerGetParams(t.listener, &t.listenerParams))) {
        Report("SetUp3DListener() - Could not get listener parameters");
    }
    t.listenerParams.rolloffFactor = 0.01f;
    if (SoundFailed(SoundListenerSetParams(t.listener, t.listenerParams, false))) {
        Report("SetUp3DListener() - Could not set listener parameters");
    }
    SoundReleaseBuffer(primary);
    return SoundOk;
}

SoundManager::SoundManager() : thread(nullptr) {
    SoundTables& t = Tables();
    t.instance = this;
    if (!t.device) {
        return;
    }
    if (t.listenerEnabled) {
        t.listenerParams.position = Vector3();
        t.listenerParams.velocity = Vector3();
        if (SoundFailed(SoundListenerSetParams(t.listener, t.listenerParams, false))) {
            Report("SoundManager() - Could not set listener parameters in Constructor");
        }
    }
    thread = new CThread(SoundThreadMain, "Sound Thread", this);
    thread->SetPriority(ThreadPriorityAboveNormal);
}

SoundManager::~SoundManager() {
    SoundTables& t = Tables();
    // The thread ends first, so no round runs while the sounds are freed.
    delete thread;
    thread = nullptr;
    {
        CAutoLock guard(&lock);
        if (t.device) {
            // A copy: FreeSound of an id without a record leaves the id behind,
            // and the loop must end all the same.
            std::vector<int32_t> ids = t.ids;
            for (int32_t id : ids) {
                FreeSound(id);
            }
            t.ids.clear();
            for (SoundRecord* r : t.records) {
                SoundBufferStop(r->buffer);
                SoundRelease3DBuffer(r->buffer3D);
                if (r->slotIndex < 0) {
                    SoundReleaseBuffer(r->buffer);
                }
                if (r->voice) {
                    r->voice->Close();
                }
                delete r->voice;
                delete r;
            }
            t.records.clear();
            t.finished.clear();
        }
        ReleaseSlotBuffers();
    }
    t.instance = nullptr;
}

SoundResult SoundManager::CreateSlotBuffers() {
    SoundTables& t = Tables();
    SoundWaveFormat& f = t.defaultFormat;
    f.formatTag = SoundFormatPcm;
    f.channels = 1;
    f.samplesPerSec = 44100;
    f.avgBytesPerSec = 88200;
    f.blockAlign = 2;
    f.bitsPerSample = 16;

    SoundBufferDesc& d = t.defaultDesc;
    d.flags = SoundCapsCtrl3D | SoundCapsCtrlFrequency | SoundCapsCtrlVolume | SoundCapsGlobalFocus |
              SoundCapsGetCurrentPosition2;
    d.bufferBytes = SoundRingBytes;
    d.format = f;
    d.algorithm = Sound3DAlgorithmHrtfFull;

    Sound3DParams& p = t.default3D;
    p = Sound3DParams();
    p.insideConeAngle = 360;
    p.outsideConeAngle = 360;
    // DirectSound's own default; distance attenuation divides by it, so 0
    // would silence every 3D sound.
    p.minDistance = 1.0f;
    p.maxDistance = 1e9f;
    p.mode = 0;

    CAutoLock guard(&lock);
    for (int i = 0; i < SoundSlotCount; i++) {
        SoundResult r = SoundCreateBuffer(t.device, d, &t.slots[i].buffer);
        if (SoundFailed(r)) {
            t.slots[i].buffer = nullptr;
            Report("ConstructSoundBuffer - Unable to create sound buffer");
            return r;
        }
    }
    return SoundOk;
}

void SoundManager::ReleaseSlotBuffers() {
    SoundTables& t = Tables();
    for (SoundSlot& slot : t.slots) {
        SoundReleaseBuffer(slot.buffer);
        slot.buffer = nullptr;
        slot.used = false;
    }
}

// ---- the Sound Thread ---------------------------------------------------------------

void SoundManager::SoundThreadMain(CThread* thread, void* argument) {
    SoundManager* manager = (SoundManager*)argument;
    if (thread->StopRequested()) {
        return;
    }
    float dt = 0.0f;
    do {
        unsigned start = TimeGetTime();
        {
            CAutoLock guard(&manager->lock);
            if (IsSoundEnabled()) {
                UpdateSounds(dt);
                FreeFinishedSounds();
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        dt = (float)(TimeGetTime() - start) * 0.001f;
    } while (!thread->StopRequested());
}

void SoundManager::UpdateSounds(float seconds) {
    if (!Running()) {
        return;
    }
    SoundTables& t = Tables();
    CAutoLock guard(GetLock());
    for (size_t i = 0; i < t.records.size(); i++) {
        SoundRecord* r = t.records[i];
        if (!r->active || !r->voice) {
            continue;
        }
        r->voice->Update(r, seconds);
        if (r->voice->IsFinished() && r->voice->ReleaseWhenFinished()) {
            StopRecord(r);
        }
    }
}

void SoundManager::FreeFinishedSounds() {
    if (!Running()) {
        return;
    }
    SoundTables& t = Tables();
    CAutoLock guard(GetLock());
    std::vector<SoundRecord*> finished;
    finished.swap(t.finished);
    for (SoundRecord* r : finished) {
        FreeSound(r->id);
    }
}

void SoundManager::SetSoundEnabled(bool on) {
    soundEnabled.store(on);
}

bool SoundManager::IsSoundEnabled() {
    return soundEnabled.load();
}

// ---- records ---------------------------------------------------------------------

SoundRecord* SoundManager::NewRecord() {
    SoundTables& t = Tables();
    SoundRecord* r = new SoundRecord;
    t.records.push_back(r);
    r->id = t.nextId++;
    t.ids.push_back(r->id);
    return r;
}

// Undoes NewRecord when the sound could not be made: the record, its id and
// the id counter go back, so the next sound gets the id this one would have had.
void SoundManager::DropNewRecord(SoundRecord* r) {
    SoundTables& t = Tables();
    t.records.erase(std::find(t.records.begin(), t.records.end(), r));
    RemoveId(r->id);
    t.nextId--;
    delete r;
}

SoundRecord* SoundManager::ConstructSoundBuffer3D(const SoundDescription& description) {
    if (!IsSoundEnabled()) {
        return nullptr;
    }
    SoundTables& t = Tables();
    SoundRecord* r = NewRecord();
    r->desc = t.defaultDesc;
    r->desc.format = description.waveFormat;
    r->bytesLeft = (int32_t)description.pcmBytes;
    r->totalBytes = description.pcmBytes;
    r->params3D = t.default3D;

    int slot = FindFreeSlot();
    if (slot < 0) {
        DropNewRecord(r);
        return nullptr;
    }
    r->slotIndex = slot;
    r->buffer = t.slots[slot].buffer;
    if (SoundFailed(SoundQuery3DBuffer(r->buffer, &r->buffer3D))) {
        r->buffer3D = nullptr;
        Report("ConstructSoundBuffer - Could not get 3d buffer");
    }
    if (r->buffer3D) {
        Sound3DSetParams(r->buffer3D, t.default3D, true);
    } else {
        Report("ConstructSoundBuffer - 3d sound buffer missing");
    }
    r->streamed = description.pcmBytes > SoundRingBytes;
    SoundBufferSetPosition(r->buffer, 0);
    if (SoundFailed(SoundBufferSetVolume(r->buffer, 0))) {
        Report("ConstructSoundBuffer - Could not set volume");
    }
    return r;
}

SoundRecord* SoundManager::ConstructSoundBuffer(const SoundDescription& description) {
    if (!IsSoundEnabled()) {
        return nullptr;
    }
    SoundTables& t = Tables();
    SoundRecord* r = NewRecord();
    r->desc = description.bufferDesc;
    r->desc.format = description.waveFormat;
    r->bytesLeft = (int32_t)description.pcmBytes;
    r->totalBytes = description.pcmBytes;

    SoundBufferObject* base = nullptr;
    if (SoundFailed(SoundCreateBuffer(t.device, r->desc, &base))) {
        Report("ConstructSoundBuffer - Unable to create sound buffer");
        DropNewRecord(r);
        return nullptr;
    }
    if (SoundFailed(SoundQueryBuffer8(base, &r->buffer))) {
        Report("ConstructSoundBuffer -Could not transfer sound interface");
        SoundReleaseBuffer(base);
        DropNewRecord(r);
        return nullptr;
    }
    // The record keeps only the second interface.
    SoundReleaseBuffer(base);
    r->slotIndex = -1;
    r->streamed = description.pcmBytes > SoundRingBytes;
    SoundBufferSetPosition(r->buffer, 0);
    return r;
}

int SoundManager::FindFreeSlot() {
    SoundTables& t = Tables();
    for (int i = 0; i < SoundSlotCount; i++) {
        if (!t.slots[i].used && t.slots[i].buffer) {
            t.slots[i].used = true;
            return i;
        }
    }
    return -1;
}

// ---- operations -----------------------------------------------------------------

int32_t SoundManager::StartSound3D(const Vector3& position, CSoundVoiceBase* voice,
                                   const SoundDescription& description) {
    if (!Running() || !voice) {
        return 0;
    }
    CAutoLock guard(GetLock());
    return StartOnSlot(position, voice, ConstructSoundBuffer3D(description), true);
}

int32_t SoundManager::StartEndlessSound3D(const Vector3& position, CSoundVoiceBase* voice) {
    if (!Running() || !voice) {
        return 0;
    }
    CAutoLock guard(GetLock());
    return StartOnSlot(position, voice, ConstructEndlessSoundBuffer3D(), false);
}

SoundRecord* SoundManager::ConstructEndlessSoundBuffer3D() {
    SoundDescription endless;
    endless.waveFormat = Tables().defaultFormat;
    endless.pcmBytes = 9999999;
    return ConstructSoundBuffer3D(endless);
}

int32_t SoundManager::StartOnSlot(const Vector3& position, CSoundVoiceBase* voice, SoundRecord* r, bool moving) {
    if (!r) {
        return 0;
    }
    if (r->buffer3D) {
        Sound3DGetParams(r->buffer3D, &r->params3D);
        r->params3D.position = position;
        if (moving) {
            r->params3D.velocity = Vector3{10.0f, 0.0f, 0.0f};
        }
        Sound3DSetParams(r->buffer3D, r->params3D, true);
    }
    r->voice = voice;
    voice->id = r->id;
    r->active = true;
    r->firstFillPending = true;
    return r->id;
}

int32_t SoundManager::StartSound(CSoundVoiceBase* voice, const SoundDescription& description, bool loop,
                                 uint32_t loopStart, int32_t volume) {
    if (!Running() || !voice) {
        return 0;
    }
    CAutoLock guard(GetLock());
    SoundRecord* r = ConstructSoundBuffer(description);
    if (!r) {
        return 0;
    }
    r->loopStart = loopStart;
    r->loop = loop;
    SoundBufferSetVolume(r->buffer, volume);
    r->voice = voice;
    voice->id = r->id;
    if (!loop) {
        voice->releaseWhenFinished = true;
    }
    r->active = true;
    r->firstFillPending = true;
    return r->id;
}

int SoundManager::FindSound(int32_t id) {
    if (!Running()) {
        return -1;
    }
    SoundTables& t = Tables();
    CAutoLock guard(GetLock());
    for (size_t i = 0; i < t.records.size(); i++) {
        if (t.records[i]->id != id) {
            continue;
        }
        if (!KnownId(id)) {
            Report("FindSound - Not your sound to find son");
            continue;
        }
        return (int)i;
    }
    return -1;
}

void SoundManager::FreeSound(int32_t id) {
    if (!Running()) {
        return;
    }
    SoundTables& t = Tables();
    CAutoLock guard(GetLock());
    int index = FindSound(id);
    if (index < 0) {
        Report("FreeSound - could not free sound");
        return;
    }
    SoundRecord* r = t.records[index];
    t.records.erase(t.records.begin() + index);
    // Freed before its round: the queue must not free it again.
    t.finished.erase(std::remove(t.finished.begin(), t.finished.end(), r), t.finished.end());
    SoundBufferStop(r->buffer);
    if (r->voice && r->voice->kind != SoundVoiceSynth) {
        r->voice->Close();
    }
    SoundRelease3DBuffer(r->buffer3D);
    if (r->slotIndex < 0) {
        SoundReleaseBuffer(r->buffer);
    } else {
        SoundBufferSetPosition(t.slots[r->slotIndex].buffer, 0);
        t.slots[r->slotIndex].used = false;
    }
    delete r->voice;
    delete r;
    if (KnownId(id)) {
        RemoveId(id);
    } else {
        Report("FreeSound - could not find sound id to free");
    }
}

void SoundManager::StopSound(int32_t id) {
    if (!Running()) {
        return;
    }
    CAutoLock guard(GetLock());
    int index = FindSound(id);
    if (index < 0) {
        Report("StopSound - could not find sound to stop");
        return;
    }
    StopRecord(Tables().records[index]);
}

// A stopped sound never plays again: it joins the finished ones, so the next
// round frees its buffer or slot and its voice, once however often it stops.
void SoundManager::StopRecord(SoundRecord* r) {
    SoundBufferStop(r->buffer);
    r->active = false;
    r->loop = false;
    SoundBufferSetPosition(r->buffer, 0);
    std::vector<SoundRecord*>& finished = Tables().finished;
    if (std::find(finished.begin(), finished.end(), r) == finished.end()) {
        finished.push_back(r);
    }
}

void SoundManager::FadeOutSound(int32_t id) {
    if (!Running()) {
        return;
    }
    CAutoLock guard(GetLock());
    int index = FindSound(id);
    if (index < 0) {
        Report("FadeOutSound - could not find sound to fade");
        return;
    }
    SoundRecord* r = Tables().records[index];
    if (r->voice) {
        r->voice->FadeOut();
    }
}

void SoundManager::SetVolume(int32_t id, int32_t volume) {
    if (!Running()) {
        return;
    }
    CAutoLock guard(GetLock());
    int index = FindSound(id);
    if (index < 0) {
        Report("SetVolume - could not find sound to set volume");
        return;
    }
    SoundBufferSetVolume(Tables().records[index]->buffer, volume);
}

void SoundManager::SetListener(const Vector3& position, const Vector3& look) {
    SoundTables& t = Tables();
    if (!t.device || !t.listenerEnabled || !t.listener || !IsSoundEnabled()) {
        return;
    }
    SoundListenerSetPosition(t.listener, position, true);
    SoundListenerSetOrientation(t.listener, look, Vector3{0.0f, 0.0f, 1.0f}, true);
}

void SoundManager::CommitListener() {
    SoundTables& t = Tables();
    if (t.device && t.listener) {
        SoundListenerCommit(t.listener);
    }
}

// ---- inspection -------------------------------------------------------------------

CCriticalSection* SoundManager::GetLock() {
    SoundManager* m = Tables().instance;
    return m ? &m->lock : nullptr;
}

int SoundManager::RecordCount() {
    return (int)Tables().records.size();
}

SoundRecord* SoundManager::GetRecord(int index) {
    std::vector<SoundRecord*>& records = Tables().records;
    if (index < 0 || index >= (int)records.size()) {
        return nullptr;
    }
    return records[index];
}

int SoundManager::SlotsInUse() {
    int n = 0;
    for (const SoundSlot& slot : Tables().slots) {
        n += slot.used ? 1 : 0;
    }
    return n;
}

bool SoundManager::ListenerEnabled() {
    return Tables().listenerEnabled;
}

int32_t SoundManager::PeekNextSoundId() {
    return Tables().nextId;
}

const SoundBufferDesc& SoundManager::GetDefaultBufferDesc() {
    return Tables().defaultDesc;
}

const Sound3DParams& SoundManager::GetDefault3DParams() {
    return Tables().default3D;
}
