#include "game/soldiers/soldier_sound.h"

#include "sound/sound_effect.h"

static CSoundEffect& RifleSound() {
    static CSoundEffect effect;
    return effect;
}

static int requests = 0;

void LoadRifleSound(const std::string& path) {
    if (!RifleSound().IsLoaded())
        RifleSound().Load(path);
}

void PlayRifleSound(const Vector3& at) {
    requests++;
    RifleSound().PlayAt(at);
}

int RifleSoundRequests() {
    return requests;
}
