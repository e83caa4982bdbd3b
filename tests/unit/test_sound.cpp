// test_sound.cpp: the sound rules without a sound device: which events a scripted game records,
// footsteps by distance, landings by speed, distance and side, the voice budget, the key off.
#include <set>

#include "game/sound_events.h"
#include "game_fixture.h"

namespace {

class SoundTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        resetSounds();
        soundOn = true, soundVolume = 100;
    }
    void TearDown() override {
        soundOn = false, soundVolume = DEFAULT_SOUND_VOLUME;
        resetSounds();
        GameTest::TearDown();
    }
    // The sounds recorded over `frames` frames, each frame's queue taken as the platform would;
    // the last event of each sound kept in `last`.
    std::multiset<int> record(int frames, float f = 1.0f) {
        std::multiset<int> heard;
        for (int i = 0; i < frames; ++i) {
            step(f);
            for (int e = 0; e < soundEventCount; ++e)
                heard.insert(soundEvents[e].sound), last[soundEvents[e].sound] = soundEvents[e];
            soundEventCount = 0;
        }
        return heard;
    }
    SoundEvent last[SOUND_COUNT] = {};
};

} // namespace

TEST(SoundSettings, VolumeDefaultsAndClamps) {
    const float values[][2] = {{0, 80},    {0.5f, 80}, {1, 1}, {55.9f, 55},
                               {100, 100}, {250, 100}, {-3, 1}};
    for (const auto& v : values)
        EXPECT_EQ(soundVolumeFor(v[0]), (int)v[1]) << v[0];
}

// A step per stride walked, whatever the frame rate; none standing still.
TEST_F(SoundTest, FootstepsFollowTheDistanceWalkedNotTheFrames) {
    for (float f : {0.5f, 1.0f, 2.0f}) {
        player.position = Vector3{25.0f, 6.0f, 25.0f};
        settlePlayer();
        EXPECT_EQ(record(60, f).count(SoundStep), 0u) << f;
        keyState[KEY_W] = Held;
        record(20, f); // up to speed
        Vector3 start = player.position;
        int steps = (int)record((int)(240 / f), f).count(SoundStep);
        keyState[KEY_W] = Up;
        float walked = std::hypot(player.position.x - start.x, player.position.z - start.z);
        ASSERT_GT(walked, 20.0f) << f;
        EXPECT_NEAR(steps, walked / STRIDE_LENGTH, 1.0f) << f;
    }
}

// A jump is heard; the landing is louder for a harder fall, and a long fall is heard in full.
TEST_F(SoundTest, JumpAndLandingsLouderForHarderFalls) {
    float previous = 0.3f; // the softest landing heard
    for (float height : {0.5f, 2.0f, 6.0f, 20.0f}) {
        player.position = Vector3{25.0f, FLOOR_Y + 1.25f + height, 25.0f};
        player.velocity = Vector3{0.0f, 0.0f, 0.0f}, player.onGround = false;
        last[SoundLand].strength = 0.0f;
        for (int i = 0; i < 200 && !player.onGround; ++i)
            record(1);
        const float strength = last[SoundLand].strength;
        EXPECT_TRUE(strength > previous || height == 20.0f) << height << ": " << strength;
        previous = strength;
    }
    EXPECT_EQ(previous, 1.0f);
    EXPECT_EQ(landingStrength(0.01f), 0.0f); // settling onto a bump is not a landing
    keyState[KEY_SPACE] = Held;
    const std::multiset<int> heard = record(90);
    EXPECT_TRUE(heard.count(SoundJump) && heard.count(SoundLand));
}

// Each action is heard on what it does (a click that places nothing is silent), and with the
// key off the same game runs to the same state and records none of them.
TEST_F(SoundTest, ActionsAreHeardAndTheKeyOffChangesNothingButSilence) {
    const struct {
        int mode, held, sound;
    } cases[] = {{ActionRaiseGround, 3, SoundBrush},     {ActionLowerGround, 3, SoundBrush},
                 {ActionSpawnBlock, 0, SoundBlockPlace}, {ActionRemoveBlock, 2, SoundBlockRemove},
                 {ActionSwing, 3, SoundRopeCatch},       {ActionSwing, 3, SoundRopeRelease},
                 {ActionShootBall, 0, SoundThrow},       {ActionShootBall, 0, SoundBallHit},
                 {ActionSlowMotion, 0, SoundSlowOn},     {ActionSlowMotion, 0, SoundSlowOff},
                 {ActionSpawnEnemy, 0, SoundEnemy}};
    Vector3 endOn{};
    for (bool on : {true, false}) {
        SetUp();
        soundOn = on;
        fillBlocks(18, 20, 1, 15, 15, 35); // a wall a few units ahead, faced
        player.position = Vector3{24.0f, 6.0f, 25.5f};
        settlePlayer();
        for (const auto& c : cases) {
            actionType = c.mode;
            mouseButtonState[MOUSE_LEFT] = Pressed;
            const size_t heard = record(1 + c.held).count(c.sound);
            mouseButtonState[MOUSE_LEFT] = Up; // then what follows: the rope let go, the ball lands
            EXPECT_EQ(heard + record(60).count(c.sound) > 0, on) << c.mode << " " << c.sound;
        }
        EXPECT_TRUE(on || !memcmp(&endOn, &player.position, sizeof endOn)); // as with the key on
        endOn = player.position;
    }
}

// Heard where they land, in the copy of the repeating world the player stands in.
TEST_F(SoundTest, FallingBlocksAreHeardLanding) {
    player.position = Vector3{124.0f, 6.0f, -75.0f};
    for (int x = 20; x < 23; ++x)
        fallingBlocks[x][12][25] = 1;
    blocksFalling = true;
    EXPECT_EQ(record(200).count(SoundBlockLand), 1u); // one settling step brought all three down
    EXPECT_LT(distance(last[SoundBlockLand].position, player.position), 8.0f);
    EXPECT_FALSE(blocksFalling);
}

// Listener at the origin facing yaw: louder near, quieter with distance; right of the view is
// where the body walks with D held (heading yaw + 0), left where A takes it.
TEST_F(SoundTest, DistanceQuietensAndTheSideIsTheViewsSide) {
    const struct {
        float yaw, x, z, volume, pan;
    } cases[] = {{0, 2, 0, 0.5f, 0.5f}, {0, 8, 0, 0.25f, 1},         {0, -40, 0, 0.05f, -1},
                 {0, 0, -8, 0.25f, 0},  {1.570796f, 0, 8, 0.25f, 1}, {3.141593f, 8, 0, 0.25f, -1},
                 {0, 300, 0, 0, 0}};
    for (const auto& c : cases) {
        recordSound(SoundLand, Vector3{c.x, 0.0f, c.z}, 1.0f); // level 0.5
        SoundPlay plays[MAX_VOICES] = {};                      // none played: volume and pan 0
        int n = planSounds(Vector3{0.0f, 0.0f, 0.0f}, c.yaw, 0, plays);
        resetSounds();
        EXPECT_EQ(n, c.volume > 0.0f ? 1 : 0) << c.x << "," << c.z;
        EXPECT_NEAR(plays[0].volume, c.volume, 1e-4f) << c.x << "," << c.z;
        EXPECT_NEAR(plays[0].pan, c.pan, 1e-4f) << c.x << "," << c.z;
    }
    // The convention checked against the game: D walks the body to where the pan is +1.
    player.position = Vector3{25.0f, 6.0f, 25.0f};
    settlePlayer();
    Vector3 before = player.position;
    keyState[KEY_D] = Held;
    steps(30, 1.0f);
    soundEventCount = 0;
    recordSound(SoundLand, player.position, 1.0f);
    SoundPlay play{};
    ASSERT_EQ(planSounds(before, viewCamera.yaw, 0, &play), 1);
    EXPECT_GT(play.pan, 0.9f);
}

// However much happens, the voices sounding at any moment never add up past the master volume
// (every file peaks below full scale, so the mix cannot clip) nor number more than MAX_VOICES;
// 500 balls landing in one update are one voice; the brush's voices follow one another.
TEST_F(SoundTest, VoicesStayWithinTheBudgetHoweverMuchHappens) {
    soundVolume = 80;
    for (int i = 0; i < MAX_BALLS; ++i)
        spawnBall(25.0f + (float)(i % 20) * 0.1f, FLOOR_Y + 0.2f, 25.0f + (float)(i / 20) * 0.1f, 0,
                  -0.5f, 0);
    EXPECT_EQ(record(1).count(SoundBallHit), 1u);
    struct Started {
        unsigned int at, end;
        int sound;
        float volume;
    };
    std::vector<Started> started;
    Rng rng(7);
    for (unsigned int now = 0; now < 20000; now += 16) {
        for (int k = rng.below(6); k > 0; --k)
            recordSound(rng.below(SOUND_COUNT),
                        Vector3{rng.uniform(-10, 10), 0.0f, rng.uniform(-10, 10)}, 1.0f);
        slowMotion = rng.below(2) == 1;
        SoundPlay plays[MAX_VOICES];
        int n = planSounds(Vector3{0.0f, 0.0f, 0.0f}, 0.0f, now, plays);
        for (int i = 0; i < n; ++i) {
            int length = soundTable[plays[i].sound].millis * (plays[i].slow ? 2 : 1);
            EXPECT_EQ(plays[i].slow, slowMotion && soundTable[plays[i].sound].inWorld);
            started.push_back({now, now + length, plays[i].sound, plays[i].volume});
        }
        float sum = 0.0f;
        int voices = 0, brushes = 0;
        for (const Started& s : started)
            if (s.at <= now && now < s.end)
                sum += s.volume, ++voices, brushes += s.sound == SoundBrush;
        ASSERT_LE(sum, 0.8f + 1e-5f) << now;
        ASSERT_LE(voices, MAX_VOICES) << now;
        ASSERT_LE(brushes, 1) << now;
    }
    EXPECT_GT(started.size(), 100u);
}
