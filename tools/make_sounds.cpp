// make_sounds.cpp: makes the game's sounds, Media/sounds/*.wav, by synthesis:
// filtered noise, decaying tones, pitch sweeps and envelopes, from a fixed
// noise seed, so every run writes the same bytes (tests/check_media.sh holds
// the committed files to this program).
//
// Every sound is 16-bit mono at 22050 Hz, as long as soundTable says, and
// leveled alike: the same RMS over its length, its peak stays below
// full scale, and it starts and ends at silence (no click). Sounds heard in
// the world get a slowed copy (<name>_slow.wav): twice as long, an octave
// lower, for slow motion.
//
//     make_sounds Media/sounds
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "game/sound_events.h"

namespace {

const int RATE = 22050;
const float PI = 3.14159265f;
const float PEAK_LIMIT = 0.89f;                  // about -1 dBFS: room for the mixer's rounding
const float LOUDNESS_TARGET = 0.1f;              // RMS over the whole sound: -20 dBFS
const float FADE_IN = 0.003f, FADE_OUT = 0.015f; // seconds, raised cosine

using Wave = std::vector<float>;

// --- building blocks ---------------------------------------------------------

unsigned int noiseState = 1;
float noise() { // white, -1..1
    noiseState = noiseState * 1664525u + 1013904223u;
    return (float)(noiseState >> 8) / 8388607.5f - 1.0f;
}

float seconds(int i) {
    return (float)i / RATE;
}

// Exponential decay with time constant tau after a linear attack.
float envelope(float t, float attack, float tau) {
    if (t < attack) {
        return t / attack;
    }
    return std::exp(-(t - attack) / tau);
}

// A swell: rises and falls once over the length, like sin over half a turn.
float swell(float t, float length) {
    float x = t / length;
    return x <= 0.0f || x >= 1.0f ? 0.0f : std::sin(PI * x);
}

// Resonant band-pass (state-variable filter); the centre may move per sample.
struct BandPass {
    float low = 0.0f, band = 0.0f;
    float operator()(float in, float centreHz, float q) {
        float f = 2.0f * std::sin(PI * centreHz / RATE);
        low += f * band;
        float high = in - low - band / q;
        band += f * high;
        return band;
    }
};

struct LowPass {
    float state = 0.0f;
    float operator()(float in, float cutoffHz) {
        float a = 1.0f - std::exp(-2.0f * PI * cutoffHz / RATE);
        state += a * (in - state);
        return state;
    }
};

// A sine whose frequency may change per sample without jumps in phase.
struct Tone {
    float phase = 0.0f;
    float operator()(float hz) {
        phase += 2.0f * PI * hz / RATE;
        if (phase > 2.0f * PI) {
            phase -= 2.0f * PI;
        }
        return std::sin(phase);
    }
};

float sweep(float from, float to, float t, float length) { // exponential glide
    return from * std::pow(to / from, t / length);
}

// --- the sounds ----------------------------------------------------------------

// A thump on gravel: a low knock and a crunch of bandpassed noise.
void step(Wave& w) {
    Tone knock;
    BandPass crunch;
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        w[i] = 0.8f * knock(sweep(110.0f, 70.0f, t, 0.1f)) * envelope(t, 0.004f, 0.025f) +
               1.2f * crunch(noise(), 700.0f, 1.5f) * envelope(t, 0.002f, 0.03f);
    }
}

void jump(Wave& w) { // a rising push of air
    BandPass air;
    Tone lift;
    float length = seconds((int)w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        float centre = sweep(400.0f, 1600.0f, t, length);
        w[i] = swell(t, length) * (air(noise(), centre, 2.0f) + 0.3f * lift(centre * 0.25f));
    }
}

void land(Wave& w) { // a heavy low thud with some grit
    Tone thud;
    LowPass grit, softer; // two stages: no hiss above the thud
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        w[i] = thud(sweep(75.0f, 45.0f, t, 0.2f)) * envelope(t, 0.005f, 0.06f) +
               3.0f * softer(grit(noise(), 400.0f), 400.0f) * envelope(t, 0.002f, 0.05f);
    }
}

void brush(Wave& w) { // stone grinding on stone: rough, slowly wavering noise
    BandPass grind, rasp;
    LowPass wobble;
    float length = seconds((int)w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        float roughness = 0.6f + 4.0f * std::fabs(wobble(noise(), 25.0f));
        w[i] = swell(t, length) * roughness *
               (grind(noise(), 260.0f, 4.0f) + 0.4f * rasp(noise(), 1400.0f, 2.0f));
    }
}

void blockPlace(Wave& w) { // a block set down: a hollow knock
    Tone low, high;
    BandPass tap;
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        w[i] = low(180.0f) * envelope(t, 0.002f, 0.04f) +
               0.5f * high(430.0f) * envelope(t, 0.002f, 0.02f) +
               0.8f * tap(noise(), 2000.0f, 1.0f) * envelope(t, 0.001f, 0.006f);
    }
}

void blockRemove(Wave& w) { // a block breaking: crumbling bursts that die away
    LowPass rubble;
    Tone crack;
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        // Eight grains, 25 ms apart, each with its own quick decay.
        float grain = std::fmod(t, 0.025f);
        float bursts = envelope(grain, 0.001f, 0.006f) * std::exp(-t / 0.08f);
        w[i] = 2.5f * rubble(noise(), 900.0f) * bursts +
               0.6f * crack(sweep(160.0f, 90.0f, t, 0.2f)) * envelope(t, 0.002f, 0.04f);
    }
}

void blockLand(Wave& w) { // a falling block hitting the ground, with a small bounce
    Tone thud;
    LowPass dust, softer;
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        float hits = envelope(t, 0.003f, 0.06f) +
                     (t > 0.09f ? 0.4f * envelope(t - 0.09f, 0.003f, 0.04f) : 0.0f);
        w[i] = hits *
               (thud(sweep(65.0f, 40.0f, t, 0.25f)) + 2.4f * softer(dust(noise(), 300.0f), 300.0f));
    }
}

void ropeCatch(Wave& w) { // a rope pulled taut: a plucked, slightly falling twang
    Tone one, two, three;
    BandPass snap;
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        float hz = sweep(240.0f, 210.0f, t, 0.15f);
        w[i] = (one(hz) + 0.5f * two(2.0f * hz) + 0.25f * three(3.0f * hz)) *
                   envelope(t, 0.002f, 0.05f) +
               0.6f * snap(noise(), 3000.0f, 1.0f) * envelope(t, 0.001f, 0.005f);
    }
}

void ropeRelease(Wave& w) { // the rope let go: a slack, falling flutter
    Tone slack;
    BandPass air;
    float length = seconds((int)w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        w[i] = 0.7f * slack(sweep(420.0f, 160.0f, t, length)) * envelope(t, 0.003f, 0.04f) +
               0.8f * air(noise(), 900.0f, 1.5f) * swell(t, length);
    }
}

void throwBall(Wave& w) { // a whoosh: noise through a band that rises and falls
    BandPass air;
    float length = seconds((int)w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        float centre = 700.0f + 1500.0f * swell(t, length);
        w[i] = swell(t, length) * swell(t, length) * air(noise(), centre, 3.0f);
    }
}

void ballHit(Wave& w) { // a ball sticking to rock: a short, bright tick
    Tone ring;
    BandPass tick;
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        w[i] = 0.8f * ring(950.0f) * envelope(t, 0.001f, 0.02f) +
               tick(noise(), 2600.0f, 2.0f) * envelope(t, 0.001f, 0.012f);
    }
}

void enemy(Wave& w) { // something wakes: a wavering, rising moan
    Tone voice, over, vibrato;
    float length = seconds((int)w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        float hz = sweep(150.0f, 300.0f, t, length) * (1.0f + 0.03f * vibrato(6.0f));
        w[i] = swell(t, length) * (voice(hz) + 0.4f * over(2.01f * hz));
    }
}

// Slow motion on glides down, off glides back up.
void slowGlide(Wave& w, float from, float to) {
    Tone glide, fifth;
    LowPass hush;
    float length = seconds((int)w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        float hz = sweep(from, to, t, length);
        w[i] = swell(t, length) *
               (glide(hz) + 0.4f * fifth(1.5f * hz) + 0.8f * hush(noise(), 2.0f * hz));
    }
}
void slowOn(Wave& w) {
    slowGlide(w, 700.0f, 180.0f);
}
void slowOff(Wave& w) {
    slowGlide(w, 180.0f, 700.0f);
}

void button(Wave& w) { // a soft click
    Tone pip;
    BandPass tap;
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        w[i] = pip(1100.0f) * envelope(t, 0.001f, 0.015f) +
               0.5f * tap(noise(), 3000.0f, 1.0f) * envelope(t, 0.001f, 0.004f);
    }
}

void shutter(Wave& w) { // a camera shutter: two mechanical clicks
    Tone blade;
    BandPass snap;
    for (size_t i = 0; i < w.size(); ++i) {
        float t = seconds((int)i);
        float clicks = envelope(t, 0.001f, 0.012f) +
                       (t > 0.07f ? 0.8f * envelope(t - 0.07f, 0.001f, 0.015f) : 0.0f);
        w[i] = clicks * (0.6f * blade(1800.0f) + snap(noise(), 3500.0f, 1.5f));
    }
}

void (*const synthesizers[SOUND_COUNT])(Wave&) = {
    step,        jump,      land,    brush, blockPlace, blockRemove, blockLand, ropeCatch,
    ropeRelease, throwBall, ballHit, enemy, slowOn,     slowOff,     button,    shutter,
};

// --- leveling and writing -----------------------------------------------------

float rmsOf(const Wave& w) {
    double sum = 0.0;
    for (float s : w) {
        sum += (double)s * s;
    }
    return w.empty() ? 0.0f : (float)std::sqrt(sum / (double)w.size());
}

float peakOf(const Wave& w) {
    float peak = 0.0f;
    for (float s : w) {
        peak = std::fabs(s) > peak ? std::fabs(s) : peak;
    }
    return peak;
}

void scale(Wave& w, float by) {
    for (float& s : w) {
        s *= by;
    }
}

// Brings the sound's RMS to the target; where that would pass the peak
// limit, the peaks are rounded off softly and the sound leveled again.
void level(Wave& w) {
    for (int pass = 0; pass < 6; ++pass) {
        float rms = rmsOf(w);
        if (rms > 0.0f) {
            scale(w, LOUDNESS_TARGET / rms);
        }
        if (peakOf(w) <= PEAK_LIMIT) {
            return;
        }
        for (float& s : w) {
            s = PEAK_LIMIT * std::tanh(s / PEAK_LIMIT);
        }
    }
    float peak = peakOf(w);
    if (peak > PEAK_LIMIT) {
        scale(w, PEAK_LIMIT / peak);
    }
}

void fadeEnds(Wave& w) {
    const size_t in = (size_t)(FADE_IN * RATE), out = (size_t)(FADE_OUT * RATE);
    for (size_t i = 0; i < in && i < w.size(); ++i) {
        w[i] *= 0.5f - 0.5f * std::cos(PI * (float)i / (float)in);
    }
    for (size_t i = 0; i < out && i < w.size(); ++i) {
        w[w.size() - 1 - i] *= 0.5f - 0.5f * std::cos(PI * (float)i / (float)out);
    }
}

// Twice as long by linear interpolation: played at the same rate it is an
// octave lower.
Wave slowed(const Wave& w) {
    Wave out(w.size() * SLOW_SOUND_STRETCH);
    for (size_t i = 0; i < out.size(); ++i) {
        size_t a = i / SLOW_SOUND_STRETCH;
        float t = (float)(i % SLOW_SOUND_STRETCH) / SLOW_SOUND_STRETCH;
        float next = a + 1 < w.size() ? w[a + 1] : 0.0f;
        out[i] = (1.0f - t) * w[a] + t * next;
    }
    return out;
}

void put16(FILE* f, unsigned int v) {
    fputc((int)(v & 255), f), fputc((int)(v >> 8 & 255), f);
}
void put32(FILE* f, unsigned int v) {
    put16(f, v & 65535), put16(f, v >> 16);
}

bool writeWav(const char* path, const Wave& w) {
    FILE* f = fopen(path, "wb");
    if (f == nullptr) {
        return false;
    }
    const unsigned int bytes = (unsigned int)w.size() * 2;
    fputs("RIFF", f), put32(f, 36 + bytes), fputs("WAVEfmt ", f);
    put32(f, 16), put16(f, 1), put16(f, 1); // PCM, mono
    put32(f, RATE), put32(f, RATE * 2), put16(f, 2), put16(f, 16);
    fputs("data", f), put32(f, bytes);
    for (float s : w) {
        float clamped = s > 1.0f ? 1.0f : s < -1.0f ? -1.0f : s;
        put16(f, (unsigned int)(uint16_t)(int16_t)std::lround(clamped * 32767.0f));
    }
    return fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make_sounds FOLDER   (the game reads Media/sounds)\n");
        return 2;
    }
    mkdir(argv[1], 0755);
    for (int s = 0; s < SOUND_COUNT; ++s) {
        noiseState = 12345u + (unsigned int)s; // each sound its own, fixed noise
        Wave w((size_t)soundTable[s].millis * RATE / 1000);
        synthesizers[s](w);
        fadeEnds(w);
        level(w);
        char path[512] = "";
        snprintf(path, sizeof path, "%s/%s.wav", argv[1], soundTable[s].name);
        bool ok = writeWav(path, w);
        if (ok && soundTable[s].inWorld) {
            snprintf(path, sizeof path, "%s/%s_slow.wav", argv[1], soundTable[s].name);
            ok = writeWav(path, slowed(w));
        }
        if (!ok) {
            fprintf(stderr, "make_sounds: cannot write %s\n", path);
            return 1;
        }
    }
    return 0;
}
