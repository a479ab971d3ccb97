#ifndef DATAGEN_INSTRUMENTS_H
#define DATAGEN_INSTRUMENTS_H

#include <cstddef>
#include <cstdint>

#include "tools/datagen/synth.h"

// The music's voices. Each adds one note or hit into the buffer from frame 'at'.
enum class Instrument {
  Brass,   // bright detuned saws through a closing low-pass: heroic leads
  Bell,    // two-operator FM, long ring: the title's melody
  Pad,     // slow detuned saws, soft: chords
  Bass,    // square and saw, plucked low-pass
  Pluck,   // short bright square: arpeggios
  Lead     // square lead with vibrato
};

void PlayNote(StereoBuffer& out, Instrument instrument, size_t at, float seconds, float midi,
              float gain, float pan, uint32_t seed);

void PlayKick(StereoBuffer& out, size_t at, float gain);
void PlaySnare(StereoBuffer& out, size_t at, float gain, float pan, uint32_t seed);
void PlayHat(StereoBuffer& out, size_t at, float gain, float pan, bool open, uint32_t seed);
void PlayTom(StereoBuffer& out, size_t at, float gain, float pan, float hz);

#endif
