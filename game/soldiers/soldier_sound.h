// The rifle sound every soldier shares: one effect, loaded once.
#ifndef GAME_SOLDIERS_SOLDIER_SOUND_H
#define GAME_SOLDIERS_SOLDIER_SOUND_H

#include <string>

#include "core/vector.h"

void LoadRifleSound(const std::string& path);
void PlayRifleSound(const Vector3& at);
// How many times the sound was asked for since the start (tests).
int RifleSoundRequests();

#endif
