// Plays the battle music and then the rifle through the sound manager on the
// DirectSound device. The Wine test captures what reached ALSA and compares it
// with the spectrum printed here from the decoded file ("REFERENCE").
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "sound/sound_decoder.h"
#include "sound/sound_effect.h"
#include "sound/sound_manager.h"
#include "sound/stream_sound.h"
#include "tests/win32/test_window.h"

namespace {

const char* const MusicFile = "data\\music\\fieldbattle.ogg";

// The loudest frequencies of the file's first seconds, measured as the Wine
// test measures the capture (tests/wine/spectrum.py): mono, every 4th sample,
// averaged over 8 samples and kept every 8th, Goertzel bins of 5 Hz from 40 to
// 1500 Hz summed over 2048-sample windows.
void PrintReference() {
    COggDecoder decoder;
    SoundStreamInfo info;
    if (!decoder.Open(MusicFile) || !decoder.GetInfo(&info)) {
        Check("reference", false, "cannot decode");
        return;
    }
    std::vector<int16_t> pcm(info.rate * info.channels * 3);   // 3 s
    size_t bytes = pcm.size() * 2, done = 0;
    while (done < bytes) {
        long n = decoder.Read((char*)pcm.data() + done, (int)(bytes - done));
        if (n <= 0)
            break;
        done += (size_t)n;
    }
    std::vector<double> mono;
    const size_t group = 8 * (size_t)info.channels;
    for (size_t i = 0; i + group <= done / 2; i += group) {
        double s = 0;
        for (size_t j = 0; j < group; j++)
            s += pcm[i + j];
        mono.push_back(s / (double)group);
    }
    double rate = info.rate / 8.0;
    printf("REFERENCE");
    std::vector<std::pair<double, int>> bins;
    for (int f = 40; f <= 1500; f += 5) {
        double power = 0;
        for (size_t w = 0; w + 2048 <= mono.size(); w += 2048) {
            double k = 2 * cos(2 * 3.14159265358979 * f / rate), s1 = 0, s2 = 0;
            for (size_t i = 0; i < 2048; i++) {
                double s = mono[w + i] + k * s1 - s2;
                s2 = s1;
                s1 = s;
            }
            power += s1 * s1 + s2 * s2 - k * s1 * s2;
        }
        bins.push_back({power, f});
    }
    std::sort(bins.rbegin(), bins.rend());
    for (int i = 0; i < 5; i++)
        printf(" %d", bins[i].second);
    printf("\n");
    fflush(stdout);
}

// Pumps messages for the given milliseconds while the Sound Thread plays.
void Play(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        PumpMessages();
        Sleep(10);
    }
}

}  // namespace

int main() {
    HWND window = OpenTestWindow("Vexmoor Sound");
    Check("window", window != nullptr);
    PrintReference();
    Check("init", SoundManager::Init(window));
    SoundManager::SetListener(Vector3{0, 0, 0}, Vector3{1, 0, 0});
    SoundManager::CommitListener();

    CStreamSound music;
    CSoundEffect rifle;
    Check("music load", music.Load(MusicFile));
    Check("effect load", rifle.Load("data\\sound effects\\rifle_sound.ogg"));
    Check("music play", music.Play(true) != 0);
    printf("MUSIC STARTED\n");
    fflush(stdout);
    Play(3500);
    int shots = 0;
    for (int i = 0; i < 5; i++) {
        shots += rifle.PlayAt(Vector3{5.0f, 1.0f, 0.0f}) != 0;
        Play(200);
    }
    Check("effects play", shots == 5);
    music.Stop();
    Play(2500);
    SoundManager::Shutdown();
    printf("SOUND DONE\n");
    return FinishChecks();
}
