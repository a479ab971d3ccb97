// The music: three short pieces, each a loop of whole bars with chords, bass,
// a melody and drums, rendered by the synthesiser and encoded as stereo Ogg
// Vorbis. Whatever rings past the loop's end is folded onto its start, so the
// track loops without a click.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "tools/datagen/content.h"
#include "tools/datagen/instruments.h"
#include "tools/datagen/ogg_writer.h"

namespace {

enum class BassStyle { Ostinato, Long, Driving };

struct Melody {
  Instrument instrument;
  const char* notes;  // "D4:4 A4:6 r:2 | ...": note and length in sixteenths
  float gain, pan;
};

struct Drums {
  const char* kick;   // 16 steps per bar: 'x' hit, 'o' soft hit, '.' rest
  const char* snare;
  const char* hat;    // 'x' closed, 'o' open
  const char* fillSnare;  // every fourth bar
  const char* fillTom;
  float gain;
};

struct Song {
  const char* file;
  float bpm;
  const char* chords;  // one chord per bar: "Dm Bb C A"
  std::vector<Melody> melodies;
  BassStyle bass;
  float padGain, bassGain, arpGain;
  int arpFromBar, arpToBar;
  Drums drums;
  float reverb;
  uint32_t seed;
};

int PitchClass(char letter) {
  static const int classes[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  return classes[std::toupper((unsigned char)letter) - 'A'];
}

// "F#4" -> 66; a trailing octave is optional (chord names have none).
int ParsePitch(const std::string& text, size_t& pos) {
  int pc = PitchClass(text[pos++]);
  if (pos < text.size() && text[pos] == '#') ++pc, ++pos;
  else if (pos < text.size() && text[pos] == 'b') --pc, ++pos;
  int octave = 0;
  if (pos < text.size() && std::isdigit((unsigned char)text[pos])) octave = text[pos++] - '0';
  return 12 * (octave + 1) + pc;
}

struct Chord {
  int root;  // pitch class 0..11 from C
  bool minor;
};

std::vector<Chord> ParseChords(const char* text) {
  std::vector<Chord> chords;
  std::istringstream in(text);
  std::string word;
  while (in >> word) {
    if (!std::strchr("ABCDEFG", word[0])) continue;
    size_t pos = 0;
    int pitch = ParsePitch(word, pos);
    chords.push_back(Chord{(pitch % 12 + 12) % 12, pos < word.size() && word[pos] == 'm'});
  }
  return chords;
}

struct Note {
  int step, length, midi;  // midi < 0: rest
};

std::vector<Note> ParseMelody(const char* text) {
  std::vector<Note> notes;
  // Bar lines are only for the reader.
  std::string spaced(text);
  for (char& c : spaced)
    if (c == '|') c = ' ';
  std::istringstream in(spaced);
  std::string word;
  int step = 0;
  while (in >> word) {
    size_t colon = word.find(':');
    if (colon == std::string::npos || !std::strchr("ABCDEFGr", word[0])) continue;
    int length = std::atoi(word.c_str() + colon + 1);
    int midi = -1;
    if (word[0] != 'r') {
      size_t pos = 0;
      midi = ParsePitch(word.substr(0, colon), pos);
    }
    notes.push_back(Note{step, length, midi});
    step += length;
  }
  return notes;
}

class Renderer {
 public:
  Renderer(const Song& song, int bars)
      : song_(song), stepSeconds_(60.0f / song.bpm / 4.0f), loopFrames_(Frame(bars * 16)),
        buffer_(loopFrames_ + 4 * SampleRate), rng_(song.seed) {}

  size_t Frame(int step) const { return (size_t)(step * stepSeconds_ * SampleRate + 0.5f); }
  // A few milliseconds of looseness so the parts do not sound machine-locked.
  size_t Loose(int step) {
    long f = (long)Frame(step) + (long)(rng_.Signed() * 0.004f * SampleRate);
    return f < 0 ? 0 : (size_t)f;
  }
  uint32_t Seed() { return rng_.Next(); }

  void Chords(const std::vector<Chord>& chords) {
    for (size_t bar = 0; bar < chords.size(); ++bar) {
      const Chord& c = chords[bar];
      int root = 48 + c.root;
      if (root > 55) root -= 12;
      int third = root + (c.minor ? 3 : 4), fifth = root + 7;
      int tones[4] = {root, third + 12, fifth, root + 12};
      float pans[4] = {-0.6f, 0.6f, -0.25f, 0.25f};
      if (song_.padGain > 0)
        for (int k = 0; k < 4; ++k)
          PlayNote(buffer_, Instrument::Pad, Frame(bar * 16), 15.5f * stepSeconds_, (float)tones[k],
                   song_.padGain, pans[k], Seed());
      Bass(bar, c);
      if ((int)bar >= song_.arpFromBar && (int)bar < song_.arpToBar) Arpeggio(bar, c);
    }
  }

  void Bass(int bar, const Chord& c) {
    int root = 36 + c.root;
    if (root > 43) root -= 12;
    float g = song_.bassGain;
    switch (song_.bass) {
      case BassStyle::Ostinato:
        for (int i = 0; i < 8; ++i) {
          int note = root + (i == 2 || i == 6 ? 12 : 0) + (i == 7 ? 7 : 0);
          PlayNote(buffer_, Instrument::Bass, Loose(bar * 16 + i * 2), 1.6f * stepSeconds_,
                   (float)note, g * (i % 4 == 0 ? 1.0f : 0.8f), 0, Seed());
        }
        break;
      case BassStyle::Long:
        PlayNote(buffer_, Instrument::Bass, Frame(bar * 16), 7.5f * stepSeconds_, (float)root, g, 0, Seed());
        PlayNote(buffer_, Instrument::Bass, Frame(bar * 16 + 8), 7.5f * stepSeconds_, (float)root + 7,
                 g * 0.8f, 0, Seed());
        break;
      case BassStyle::Driving:
        for (int i = 0; i < 8; ++i) {
          int note = root + (i % 2 ? 12 : 0);
          PlayNote(buffer_, Instrument::Bass, Loose(bar * 16 + i * 2), 1.2f * stepSeconds_,
                   (float)note, g * (i % 2 ? 0.7f : 1.0f), 0, Seed());
        }
        break;
    }
  }

  void Arpeggio(int bar, const Chord& c) {
    int root = 60 + c.root;
    int third = root + (c.minor ? 3 : 4), fifth = root + 7;
    int cycle[8] = {root, third, fifth, root + 12, fifth + 12, root + 12, fifth, third};
    for (int i = 0; i < 16; ++i)
      PlayNote(buffer_, Instrument::Pluck, Frame(bar * 16 + i), 0.8f * stepSeconds_, (float)cycle[i % 8],
               song_.arpGain * (i % 4 == 0 ? 1.0f : 0.7f), -0.4f + 0.8f * (i % 2), Seed());
  }

  void Melodies() {
    for (const Melody& m : song_.melodies)
      for (const Note& n : ParseMelody(m.notes))
        if (n.midi >= 0)
          PlayNote(buffer_, m.instrument, Loose(n.step), (n.length - 0.3f) * stepSeconds_,
                   (float)n.midi, m.gain, m.pan, Seed());
  }

  void PlayDrums(int bars) {
    const Drums& d = song_.drums;
    for (int bar = 0; bar < bars; ++bar) {
      bool fill = bar % 4 == 3;
      const char* snare = fill && d.fillSnare ? d.fillSnare : d.snare;
      for (int i = 0; i < 16; ++i) {
        int step = bar * 16 + i;
        float accent = 0.85f + 0.15f * rng_.Unit();
        if (d.kick && d.kick[i] != '.') PlayKick(buffer_, Loose(step), d.gain * accent * (d.kick[i] == 'x' ? 1.0f : 0.5f));
        if (snare && snare[i] != '.')
          PlaySnare(buffer_, Loose(step), d.gain * accent * (snare[i] == 'x' ? 0.8f : 0.3f), 0.1f, Seed());
        if (d.hat && d.hat[i] != '.')
          PlayHat(buffer_, Loose(step), d.gain * accent * 0.6f, 0.45f, d.hat[i] == 'o', Seed());
        if (fill && d.fillTom && d.fillTom[i] != '.')
          PlayTom(buffer_, Loose(step), d.gain * accent * 0.8f, -0.3f + 0.15f * (i % 4),
                  d.fillTom[i] == 'x' ? 90.0f : 130.0f);
      }
    }
  }

  StereoBuffer Finish() {
    AddReverb(buffer_, song_.reverb, 0.8f);
    StereoBuffer loop(loopFrames_);
    for (size_t i = 0; i < buffer_.Frames(); ++i) {
      size_t j = i % loopFrames_;
      loop.left[j] += buffer_.left[i];
      loop.right[j] += buffer_.right[i];
    }
    Normalize(loop, 0.9f);
    return loop;
  }

 private:
  const Song& song_;
  float stepSeconds_;
  size_t loopFrames_;
  StereoBuffer buffer_;
  Rng rng_;
};

void WriteSong(OutputFolder& out, const Song& song) {
  std::vector<Chord> chords = ParseChords(song.chords);
  Renderer r(song, (int)chords.size());
  r.Chords(chords);
  r.Melodies();
  r.PlayDrums((int)chords.size());
  StereoBuffer mix = r.Finish();
  out.Write(std::string("music\\") + song.file, EncodeVorbis(Interleave(mix), 2, SampleRate, 0.0f, song.seed));
}

}  // namespace

void WriteMusic(OutputFolder& out) {
  // In battle: a minor-key march with brass, snare and toms.
  Song field = {
      "fieldbattle.ogg", 108.0f,
      "Dm Bb C A  Dm Bb Gm A  Bb C Dm Dm  Gm Bb A A",
      {{Instrument::Brass,
        "D4:4 A4:6 G4:2 F4:2 E4:2 | F4:6 G4:2 A4:4 F4:4 | G4:6 E4:2 C4:4 E4:4 | A4:12 r:4 |"
        "D5:6 C5:2 A4:4 F4:4 | Bb4:6 A4:2 F4:4 D4:4 | G4:4 Bb4:4 D5:4 C5:2 Bb4:2 | A4:8 G4:2 F4:2 E4:4 |"
        "F4:4 Bb4:4 D5:8 | E5:4 D5:2 C5:2 G4:8 | A4:4 D5:4 F5:4 E5:2 D5:2 | D5:12 r:4 |"
        "Bb4:4 D5:4 G5:6 F5:2 | F5:4 D5:4 Bb4:4 D5:4 | C#5:6 E5:2 A4:8 | E4:4 G4:4 A4:4 C#5:4",
        0.55f, 0.1f}},
      BassStyle::Ostinato, 0.22f, 0.5f, 0.0f, 0, 0,
      {"x.......x.x.....", "....x.o.....x.o.", "x...x...x...x...", "....x.o.oooooooo",
       "........x...o.x.", 0.8f},
      0.35f, 101};
  // The title: a slow bell tune over strings and timpani.
  Song title = {
      "title0.ogg", 84.0f,
      "Am F C G  Am F Dm E  F G Am Am",
      {{Instrument::Bell,
        "E5:8 A4:4 B4:4 | C5:8 A4:4 F4:4 | G4:6 E4:2 G4:4 C5:4 | B4:12 r:4 |"
        "A4:4 C5:4 E5:4 D5:2 C5:2 | C5:8 A4:8 | F5:6 E5:2 D5:4 A4:4 | G#4:12 r:4 |"
        "A4:4 C5:4 F5:8 | D5:4 B4:4 G5:8 | E5:16 | A4:12 r:4",
        0.5f, -0.15f},
       {Instrument::Lead,
        "r:16 | r:16 | r:16 | r:16 | A3:8 C4:8 | F3:8 A3:8 | D4:8 F4:8 | E4:8 G#3:8 |"
        "F3:8 A3:8 | G3:8 B3:8 | C4:8 E4:8 | A3:16",
        0.12f, 0.35f}},
      BassStyle::Long, 0.32f, 0.45f, 0.0f, 0, 0,
      {"x.......o.......", nullptr, "..x...x...x...x.", nullptr, "x...........o.o.", 0.5f},
      0.5f, 202};
  // Action: a fast rock pulse with arpeggios, then a lead over the same chords.
  Song automatic = {
      "automatic01.ogg", 132.0f,
      "Em C G D  Em C Am B  C D Em Em  C D B B",
      {{Instrument::Lead,
        "r:16 | r:16 | r:16 | r:16 | r:16 | r:16 | r:16 | r:16 |"
        "E5:4 G5:4 E5:2 D5:2 C5:4 | D5:4 F#5:4 A5:4 F#5:4 | G5:6 F#5:2 E5:4 B4:4 | E5:12 r:4 |"
        "C5:4 E5:4 G5:4 E5:4 | F#5:4 A5:4 D6:4 A5:4 | B5:8 A5:4 F#5:4 | D#5:8 F#5:4 B4:4",
        0.45f, 0.0f}},
      BassStyle::Driving, 0.14f, 0.55f, 0.28f, 0, 16,
      {"x...x...x...x...", "....x.......x...", "x.o.x.o.x.o.x.o.", "....x.......xoxx",
       "............x.x.", 0.85f},
      0.25f, 303};
  WriteSong(out, field);
  WriteSong(out, title);
  WriteSong(out, automatic);
}
