// sound_events.cpp: the rules of the game's sound: which event makes which
// sound, how loud it is where the listener stands, and how many may sound at
// once. Nothing here touches a sound device.
#include "game/sound_events.h"

#include <cmath>
#include <cstring>

#include "app/settings.h"
#include "game/game.h"
#include "world/world.h"

// Lengths match what tools/make_sounds.cpp makes; levels leave room for a
// few voices together within the mix's budget of 1.
const SoundInfo soundTable[SOUND_COUNT] = {
    {"step", 130, 0.30f, true},        {"jump", 200, 0.35f, true},
    {"land", 240, 0.50f, true},        {"brush", 420, 0.30f, true},
    {"blockplace", 160, 0.45f, true},  {"blockremove", 260, 0.45f, true},
    {"blockland", 280, 0.50f, true},   {"ropecatch", 180, 0.40f, true},
    {"roperelease", 150, 0.35f, true}, {"throw", 220, 0.35f, true},
    {"ballhit", 110, 0.35f, true},     {"enemy", 480, 0.45f, true},
    {"slowon", 520, 0.40f, false},     {"slowoff", 520, 0.40f, false},
    {"button", 70, 0.35f, false},      {"shutter", 170, 0.45f, false},
};

SoundEvent soundEvents[SOUND_COUNT];
int soundEventCount = 0;

static float stepDistance = 0.0f; // walked on the ground since the last footstep

const float HEARD_FULL_WITHIN = 4.0f; // units: closer than this, no quieter and less panned
const float QUIETEST_VOICE = 0.01f;   // quieter voices are not started
const float FEET_BELOW_CENTRE = 1.25f;
const float SOFTEST_LANDING = 0.06f; // units per tick: slower falls land unheard
const float HARDEST_LANDING = 0.22f; // about the speed a long fall reaches

static float distanceSquared(Vector3 a, Vector3 b) {
    float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + dy * dy + dz * dz;
}

void recordSound(int sound, Vector3 at, float strength) {
    if (!soundOn || sound < 0 || sound >= SOUND_COUNT || !(strength > 0.0f)) {
        return;
    }
    if (strength > 1.0f) {
        strength = 1.0f;
    }
    for (int i = 0; i < soundEventCount; ++i) {
        SoundEvent& e = soundEvents[i];
        if (e.sound != sound) {
            continue;
        }
        bool stronger = strength > e.strength;
        bool nearer = strength == e.strength && distanceSquared(at, player.position) <
                                                    distanceSquared(e.position, player.position);
        if (stronger || nearer) {
            e.position = at;
            e.strength = strength;
        }
        return;
    }
    if (soundEventCount < SOUND_COUNT) {
        soundEvents[soundEventCount++] = SoundEvent{sound, at, strength};
    }
}

void recordUiSound(int sound) {
    recordSound(sound, player.position, 1.0f);
}

float landingStrength(float fallSpeed) {
    if (!(fallSpeed >= SOFTEST_LANDING)) {
        return 0.0f;
    }
    float t = (fallSpeed - SOFTEST_LANDING) / (HARDEST_LANDING - SOFTEST_LANDING);
    return t >= 1.0f ? 1.0f : 0.3f + 0.7f * t;
}

void listenToPlayerMotion(Vector3 before, bool wasOnGround, float fallSpeed) {
    if (!soundOn) {
        return;
    }
    Vector3 feet{player.position.x, player.position.y - FEET_BELOW_CENTRE, player.position.z};
    if (!player.onGround) {
        // The first stride after a landing is a whole one.
        stepDistance = 0.0f;
        return;
    }
    if (!wasOnGround) {
        recordSound(SoundLand, feet, landingStrength(fallSpeed));
        return;
    }
    float dx = player.position.x - before.x, dz = player.position.z - before.z;
    stepDistance += std::sqrt(dx * dx + dz * dz);
    if (stepDistance >= STRIDE_LENGTH) {
        stepDistance = std::fmod(stepDistance, STRIDE_LENGTH);
        recordSound(SoundStep, feet, 1.0f);
    }
}

// The world repeats every WORLD_SIZE units: of the copies of a cell's
// coordinate, the one nearest to the player's.
static float nearestCopy(float cell, float playerCoordinate) {
    float size = (float)WORLD_SIZE;
    return cell + size * std::floor((playerCoordinate - cell) / size + 0.5f);
}

void recordLandedBlocks(const unsigned char* blocksBefore) {
    if (!soundOn) {
        return;
    }
    const unsigned char* now = &blocks[0][0][0];
    int landed = 0;
    for (int x = 0; x < WORLD_SIZE; ++x) {
        for (int y = 0; y < WORLD_LEVELS; ++y) {
            // Rows along z are contiguous; most are unchanged.
            int row = (x * WORLD_LEVELS + y) * WORLD_SIZE;
            if (memcmp(now + row, blocksBefore + row, WORLD_SIZE) == 0) {
                continue;
            }
            for (int z = 0; z < WORLD_SIZE; ++z) {
                int i = row + z;
                if (now[i] && !blocksBefore[i]) {
                    ++landed;
                    Vector3 at{nearestCopy(x + 0.5f, player.position.x), y + 0.5f,
                               nearestCopy(z + 0.5f, player.position.z)};
                    recordSound(SoundBlockLand, at, 0.6f);
                }
            }
        }
    }
    if (landed > 1) {
        // A whole structure coming down is louder than one block.
        for (int i = 0; i < soundEventCount; ++i) {
            if (soundEvents[i].sound == SoundBlockLand) {
                soundEvents[i].strength = landed >= 8 ? 1.0f : 0.6f + 0.05f * (float)landed;
            }
        }
    }
}

// --- from events to voices --------------------------------------------------

struct Voice {
    int sound;
    unsigned int endMillis;
    float volume; // before the master volume
};
static Voice voices[MAX_VOICES];
static int voiceCount = 0;

void resetSounds() {
    soundEventCount = 0;
    voiceCount = 0;
    stepDistance = 0.0f;
}

static void forgetEndedVoices(unsigned int nowMillis) {
    int kept = 0;
    for (int i = 0; i < voiceCount; ++i) {
        // As a signed difference, so the clock's wrap does no harm.
        if ((int)(voices[i].endMillis - nowMillis) > 0) {
            voices[kept++] = voices[i];
        }
    }
    voiceCount = kept;
}

static bool sounding(int sound) {
    for (int i = 0; i < voiceCount; ++i) {
        if (voices[i].sound == sound) {
            return true;
        }
    }
    return false;
}

int planSounds(Vector3 ear, float yaw, unsigned int nowMillis, SoundPlay* plays) {
    forgetEndedVoices(nowMillis);
    SoundPlay wanted[SOUND_COUNT];
    int wantedCount = 0;
    for (int i = 0; i < soundEventCount; ++i) {
        const SoundEvent& e = soundEvents[i];
        const SoundInfo& info = soundTable[e.sound];
        // The brush grinds on: one voice follows the other while it is held.
        if (e.sound == SoundBrush && sounding(SoundBrush)) {
            continue;
        }
        SoundPlay p{e.sound, false, info.level * e.strength, 0.0f};
        if (info.inWorld) {
            float dx = e.position.x - ear.x, dz = e.position.z - ear.z;
            float distance = std::sqrt(distanceSquared(e.position, ear));
            if (distance > HEARD_FULL_WITHIN) {
                p.volume *= HEARD_FULL_WITHIN / distance;
            }
            // Right of the view is along (cos yaw, sin yaw); close by, a sound
            // is heard from both sides.
            float across = std::sqrt(dx * dx + dz * dz);
            float reach = across > HEARD_FULL_WITHIN ? across : HEARD_FULL_WITHIN;
            p.pan = (dx * std::cos(yaw) + dz * std::sin(yaw)) / reach;
            p.slow = slowMotion;
        }
        if (!(p.volume >= QUIETEST_VOICE)) {
            continue;
        }
        // Loudest first, so a full mix drops the quietest.
        int at = wantedCount++;
        while (at > 0 && wanted[at - 1].volume < p.volume) {
            wanted[at] = wanted[at - 1];
            --at;
        }
        wanted[at] = p;
    }
    soundEventCount = 0;

    float used = 0.0f;
    for (int i = 0; i < voiceCount; ++i) {
        used += voices[i].volume;
    }
    int count = 0;
    for (int i = 0; i < wantedCount && voiceCount < MAX_VOICES; ++i) {
        SoundPlay p = wanted[i];
        if (p.volume > 1.0f - used) {
            p.volume = 1.0f - used;
        }
        if (!(p.volume >= QUIETEST_VOICE)) {
            break;
        }
        int millis = soundTable[p.sound].millis * (p.slow ? SLOW_SOUND_STRETCH : 1);
        voices[voiceCount++] = Voice{p.sound, nowMillis + (unsigned int)millis, p.volume};
        used += p.volume;
        p.volume *= (float)soundVolume / 100.0f;
        plays[count++] = p;
    }
    return count;
}
