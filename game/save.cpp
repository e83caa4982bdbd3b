// save.cpp: snapshot, payload encoding and the checked, versioned reader.
// Numbers are stored little-endian field by field, never as memory images,
// so padding and the host's byte order never reach the file.
#include "game/save.h"

#include <math.h>
#include <stdio.h>
#include <string.h>
#include <zlib.h>

#include "app/settings.h"
#include "meshing/chunks.h"
#include "game/new_game.h"
#include "world/generate.h"

// ---------------------------------------------------------------------------
// Snapshot
// ---------------------------------------------------------------------------

void takeSnapshot(SaveSnapshot& s) {
    s.worldSeed = worldSeed;
    memcpy(s.blocks, blocks, sizeof blocks);
    memcpy(s.fallingBlocks, fallingBlocks, sizeof fallingBlocks);
    memcpy(s.floorHeight, floorHeight, sizeof floorHeight);
    memcpy(s.ceilingHeight, ceilingHeight, sizeof ceilingHeight);
    memcpy(s.waterHeight, waterHeight, sizeof waterHeight);
    memcpy(s.waterFrames, waterFrames, sizeof waterFrames);
    memcpy(s.waterPhaseOffset, waterPhaseOffset, sizeof waterPhaseOffset);
    s.blocksFalling = blocksFalling;
    s.settleReady = settleReady;
    s.settleProgress = settleProgress;
    s.wavePhase = wavePhase;
    s.player = player;
    s.figureCount = figureCount;
    memcpy(s.figures, figures, sizeof figures);
    s.ballCount = ballCount;
    memcpy(s.balls, balls, sizeof balls);
    s.actionType = actionType;
    s.slowMotion = slowMotion;
    s.thirdPersonView = thirdPersonView;
    s.viewBlend = viewBlend;
    s.cameraSide = cameraSide;
    s.cameraSideBlend = cameraSideBlend;
    s.firstPersonCamera = firstPersonCamera;
    s.thirdPersonCamera = thirdPersonCamera;
    s.viewCamera = viewCamera;
    s.cameraReach = cameraReach;
}

void applySnapshot(const SaveSnapshot& s) {
    worldSeed = s.worldSeed;
    memcpy(blocks, s.blocks, sizeof blocks);
    memcpy(fallingBlocks, s.fallingBlocks, sizeof fallingBlocks);
    memcpy(floorHeight, s.floorHeight, sizeof floorHeight);
    memcpy(ceilingHeight, s.ceilingHeight, sizeof ceilingHeight);
    memcpy(waterHeight, s.waterHeight, sizeof waterHeight);
    memcpy(waterFrames, s.waterFrames, sizeof waterFrames);
    memcpy(waterPhaseOffset, s.waterPhaseOffset, sizeof waterPhaseOffset);
    blocksFalling = s.blocksFalling;
    settleProgress = s.settleProgress;
    wavePhase = s.wavePhase;
    player = s.player;
    figureCount = s.figureCount;
    memcpy(figures, s.figures, sizeof figures);
    ballCount = s.ballCount;
    memcpy(balls, s.balls, sizeof balls);
    actionType = s.actionType;
    slowMotion = s.slowMotion;
    thirdPersonView = s.thirdPersonView;
    viewBlend = s.viewBlend;
    cameraSide = s.cameraSide;
    cameraSideBlend = s.cameraSideBlend;
    firstPersonCamera = s.firstPersonCamera;
    thirdPersonCamera = s.thirdPersonCamera;
    viewCamera = s.viewCamera;
    cameraReach = s.cameraReach;
    markAllChunksDirty();
    rebuildDirtyChunks();
    // After the rebuild, which sets it: a save taken between an update and
    // its rebuild must not let the next update run a settling step early.
    settleReady = s.settleReady;
    if (useWater) {
        rebuildWaterMesh();
    }
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

static void putU32(std::vector<unsigned char>& out, unsigned int v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back((unsigned char)(v >> (8 * i)));
    }
}
static void putInt(std::vector<unsigned char>& out, int v) {
    putU32(out, (unsigned int)v);
}
static void putFloat(std::vector<unsigned char>& out, float v) {
    unsigned int bits = 0;
    memcpy(&bits, &v, sizeof bits);
    putU32(out, bits);
}
static void putBool(std::vector<unsigned char>& out, bool v) {
    out.push_back(v ? 1 : 0);
}
static void putFloats(std::vector<unsigned char>& out, const float* v, int count) {
    for (int i = 0; i < count; ++i) {
        putFloat(out, v[i]);
    }
}
static void putVector(std::vector<unsigned char>& out, Vector3 v) {
    putFloat(out, v.x), putFloat(out, v.y), putFloat(out, v.z);
}
static void putFigure(std::vector<unsigned char>& out, const Figure& f) {
    putInt(out, f.kind);
    putVector(out, f.target), putVector(out, f.position), putVector(out, f.velocity);
    putFloat(out, f.pitch), putFloat(out, f.yaw), putFloat(out, f.roll);
    putBool(out, f.onGround), putBool(out, f.flying), putBool(out, f.swinging);
    putVector(out, f.ropeAnchor);
    putFloat(out, f.ropeLength);
    putVector(out, f.head), putVector(out, f.neck);
    putFloats(out, f.shoulderX, 2), putFloats(out, f.shoulderY, 2), putFloats(out, f.shoulderZ, 2);
    putFloats(out, f.handX, 2), putFloats(out, f.handY, 2), putFloats(out, f.handZ, 2);
    putVector(out, f.hipCentre);
    putBool(out, f.footPlanted[0]), putBool(out, f.footPlanted[1]);
    putFloats(out, f.hipX, 2), putFloats(out, f.hipY, 2), putFloats(out, f.hipZ, 2);
    putFloats(out, f.footX, 2), putFloats(out, f.footY, 2), putFloats(out, f.footZ, 2);
}
static void putCamera(std::vector<unsigned char>& out, const CameraPose& c) {
    putVector(out, c.position);
    putFloat(out, c.pitch), putFloat(out, c.yaw), putFloat(out, c.roll);
}

const int GRID_POINTS = WORLD_SIZE * WORLD_SIZE;
const int GRID_CELLS = WORLD_SIZE * WORLD_LEVELS * WORLD_SIZE;

void encodePayload(const SaveSnapshot& s, std::vector<unsigned char>& out, size_t* partEnds) {
    size_t ends[SAVE_PART_COUNT] = {};
    out.clear();
    out.reserve(2 * GRID_CELLS + 9 * 4 * GRID_POINTS + 64 * 1024);
    putU32(out, s.worldSeed);
    out.insert(out.end(), &s.blocks[0][0][0], &s.blocks[0][0][0] + GRID_CELLS);
    out.insert(out.end(), &s.fallingBlocks[0][0][0], &s.fallingBlocks[0][0][0] + GRID_CELLS);
    putFloats(out, &s.floorHeight[0][0], GRID_POINTS);
    putFloats(out, &s.ceilingHeight[0][0], GRID_POINTS);
    putFloats(out, &s.waterHeight[0][0], GRID_POINTS);
    putFloats(out, &s.waterFrames[0][0][0], 5 * GRID_POINTS);
    putFloats(out, &s.waterPhaseOffset[0][0], GRID_POINTS);
    putBool(out, s.blocksFalling), putBool(out, s.settleReady);
    putFloat(out, s.settleProgress), putFloat(out, s.wavePhase);
    ends[0] = out.size();
    putFigure(out, s.player);
    ends[1] = out.size();
    putInt(out, s.figureCount);
    for (int i = 0; i < s.figureCount; ++i) {
        putFigure(out, s.figures[i]);
    }
    ends[2] = out.size();
    putInt(out, s.ballCount);
    for (int i = 0; i < s.ballCount; ++i) {
        putInt(out, s.balls[i].kind);
        putVector(out, s.balls[i].position), putVector(out, s.balls[i].velocity);
    }
    ends[3] = out.size();
    putInt(out, s.actionType);
    putBool(out, s.slowMotion), putBool(out, s.thirdPersonView);
    putFloat(out, s.viewBlend);
    putBool(out, s.cameraSide);
    putFloat(out, s.cameraSideBlend);
    putCamera(out, s.firstPersonCamera), putCamera(out, s.thirdPersonCamera);
    putCamera(out, s.viewCamera);
    putFloat(out, s.cameraReach);
    ends[4] = out.size();
    if (partEnds != nullptr) {
        memcpy(partEnds, ends, sizeof ends);
    }
}

static void putU32At(unsigned char* at, unsigned int v) {
    for (int i = 0; i < 4; ++i) {
        at[i] = (unsigned char)(v >> (8 * i));
    }
}

bool packSave(const std::vector<unsigned char>& payload, int version,
              std::vector<unsigned char>& file) {
    uLongf packedSize = compressBound((uLong)payload.size());
    file.assign(SAVE_HEADER_SIZE + packedSize, 0);
    if (compress(file.data() + SAVE_HEADER_SIZE, &packedSize, payload.data(),
                 (uLong)payload.size()) != Z_OK) {
        file.clear();
        return false;
    }
    file.resize(SAVE_HEADER_SIZE + packedSize);
    memcpy(file.data(), SAVE_MAGIC, sizeof SAVE_MAGIC);
    putU32At(&file[8], (unsigned int)version);
    putU32At(&file[12], (unsigned int)payload.size());
    putU32At(&file[16], (unsigned int)packedSize);
    uLong crc = crc32(0L, &file[8], 12);
    crc = crc32(crc, file.data() + SAVE_HEADER_SIZE, (uInt)packedSize);
    putU32At(&file[20], (unsigned int)crc);
    return true;
}

bool encodeSave(const SaveSnapshot& s, std::vector<unsigned char>& file) {
    std::vector<unsigned char> payload;
    encodePayload(s, payload);
    return packSave(payload, SAVE_FORMAT_VERSION, file);
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

// A cursor that fails once and stays failed: every read past the end, every
// float that is not finite, every flag that is not 0 or 1 makes the whole
// payload unusable.
struct PayloadReader {
    const unsigned char* data;
    size_t size;
    size_t at;
    bool ok;
    const char* problem; // the first failure's reason
};

static void fail(PayloadReader& r, const char* problem) {
    if (r.ok) {
        r.ok = false;
        r.problem = problem;
    }
}
static unsigned int getU32(PayloadReader& r) {
    if (!r.ok || r.size - r.at < 4) {
        fail(r, "payload shorter than its contents");
        return 0;
    }
    unsigned int v = 0;
    for (int i = 0; i < 4; ++i) {
        v |= (unsigned int)r.data[r.at + i] << (8 * i);
    }
    r.at += 4;
    return v;
}
static int getInt(PayloadReader& r) {
    return (int)getU32(r);
}
static float getFloat(PayloadReader& r) {
    const unsigned int bits = getU32(r);
    float v = 0.0f;
    memcpy(&v, &bits, sizeof v);
    if (!isfinite(v)) {
        fail(r, "a number that is not finite");
        return 0.0f;
    }
    return v;
}
static bool getBool(PayloadReader& r) {
    if (!r.ok || r.at >= r.size) {
        fail(r, "payload shorter than its contents");
        return false;
    }
    const unsigned char b = r.data[r.at++];
    if (b > 1) {
        fail(r, "a flag that is neither 0 nor 1");
    }
    return b == 1;
}
static void getFloats(PayloadReader& r, float* v, int count) {
    for (int i = 0; i < count; ++i) {
        v[i] = getFloat(r);
    }
}
static void getCells(PayloadReader& r, unsigned char* cells) {
    if (!r.ok || r.size - r.at < (size_t)GRID_CELLS) {
        fail(r, "payload shorter than its contents");
        return;
    }
    for (int i = 0; i < GRID_CELLS; ++i) {
        if (r.data[r.at + i] > 1) {
            fail(r, "a cell that is neither 0 nor 1");
            return;
        }
    }
    memcpy(cells, r.data + r.at, (size_t)GRID_CELLS);
    r.at += (size_t)GRID_CELLS;
}
static Vector3 getVector(PayloadReader& r) {
    Vector3 v = {0.0f, 0.0f, 0.0f};
    v.x = getFloat(r), v.y = getFloat(r), v.z = getFloat(r);
    return v;
}
static void getFigure(PayloadReader& r, Figure& f) {
    f.kind = getInt(r);
    f.target = getVector(r), f.position = getVector(r), f.velocity = getVector(r);
    f.pitch = getFloat(r), f.yaw = getFloat(r), f.roll = getFloat(r);
    f.onGround = getBool(r), f.flying = getBool(r), f.swinging = getBool(r);
    f.ropeAnchor = getVector(r);
    f.ropeLength = getFloat(r);
    f.head = getVector(r), f.neck = getVector(r);
    getFloats(r, f.shoulderX, 2), getFloats(r, f.shoulderY, 2), getFloats(r, f.shoulderZ, 2);
    getFloats(r, f.handX, 2), getFloats(r, f.handY, 2), getFloats(r, f.handZ, 2);
    f.hipCentre = getVector(r);
    f.footPlanted[0] = getBool(r), f.footPlanted[1] = getBool(r);
    getFloats(r, f.hipX, 2), getFloats(r, f.hipY, 2), getFloats(r, f.hipZ, 2);
    getFloats(r, f.footX, 2), getFloats(r, f.footY, 2), getFloats(r, f.footZ, 2);
}
static void getCamera(PayloadReader& r, CameraPose& c) {
    c.position = getVector(r);
    c.pitch = getFloat(r), c.yaw = getFloat(r), c.roll = getFloat(r);
}
// A count read from the file, refused beyond the table it fills.
static int getCount(PayloadReader& r, int limit, const char* problem) {
    const unsigned int n = getU32(r);
    if (n > (unsigned int)limit) {
        fail(r, problem);
        return 0;
    }
    return (int)n;
}

// The payload of the current format version, every value checked against
// the tables it fills; the snapshot's unused table slots are zeroed.
static void readCurrentPayload(PayloadReader& r, SaveSnapshot& s) {
    s.worldSeed = getU32(r);
    getCells(r, &s.blocks[0][0][0]);
    getCells(r, &s.fallingBlocks[0][0][0]);
    getFloats(r, &s.floorHeight[0][0], GRID_POINTS);
    getFloats(r, &s.ceilingHeight[0][0], GRID_POINTS);
    getFloats(r, &s.waterHeight[0][0], GRID_POINTS);
    getFloats(r, &s.waterFrames[0][0][0], 5 * GRID_POINTS);
    getFloats(r, &s.waterPhaseOffset[0][0], GRID_POINTS);
    s.blocksFalling = getBool(r), s.settleReady = getBool(r);
    s.settleProgress = getFloat(r), s.wavePhase = getFloat(r);
    getFigure(r, s.player);
    memset(s.figures, 0, sizeof s.figures);
    s.figureCount = getCount(r, MAX_FIGURES, "more enemies than the game holds");
    for (int i = 0; i < s.figureCount; ++i) {
        getFigure(r, s.figures[i]);
    }
    memset(s.balls, 0, sizeof s.balls);
    s.ballCount = getCount(r, MAX_BALLS, "more balls than the game holds");
    for (int i = 0; i < s.ballCount; ++i) {
        s.balls[i].kind = getInt(r);
        s.balls[i].position = getVector(r), s.balls[i].velocity = getVector(r);
    }
    s.actionType = getCount(r, ACTION_TYPE_COUNT - 1, "an action type that does not exist");
    s.slowMotion = getBool(r), s.thirdPersonView = getBool(r);
    s.viewBlend = getFloat(r);
    s.cameraSide = getBool(r);
    s.cameraSideBlend = getFloat(r);
    getCamera(r, s.firstPersonCamera), getCamera(r, s.thirdPersonCamera);
    getCamera(r, s.viewCamera);
    s.cameraReach = getFloat(r);
    if (r.ok && r.at != r.size) {
        fail(r, "payload longer than its contents");
    }
}

// One step per older format version: UPGRADE_STEPS[v - 1] turns a version v
// payload into a version v + 1 payload. A new format appends its step here
// and raises SAVE_FORMAT_VERSION; only the current version has a reader.
typedef bool (*PayloadUpgrade)(std::vector<unsigned char>& payload);
static const PayloadUpgrade UPGRADE_STEPS[] = {nullptr}; // version 1 is the first

static unsigned int getU32At(const unsigned char* at) {
    return (unsigned int)at[0] | (unsigned int)at[1] << 8 | (unsigned int)at[2] << 16 |
           (unsigned int)at[3] << 24;
}

static bool refuse(char* why, size_t whySize, const char* reason) {
    snprintf(why, whySize, "%s", reason);
    return false;
}

bool decodeSave(const unsigned char* data, size_t size, SaveSnapshot& s, char* why,
                size_t whySize) {
    if (size < sizeof SAVE_MAGIC || memcmp(data, SAVE_MAGIC, sizeof SAVE_MAGIC) != 0) {
        return refuse(why, whySize, size < sizeof SAVE_MAGIC ? "truncated" : "wrong magic");
    }
    if (size < (size_t)SAVE_HEADER_SIZE) {
        return refuse(why, whySize, "truncated");
    }
    const unsigned int version = getU32At(data + 8);
    const unsigned int payloadSize = getU32At(data + 12);
    const unsigned int packedSize = getU32At(data + 16);
    const unsigned int storedCrc = getU32At(data + 20);
    if (packedSize > size - SAVE_HEADER_SIZE) {
        return refuse(why, whySize, "truncated");
    }
    if (packedSize < size - SAVE_HEADER_SIZE) {
        return refuse(why, whySize, "longer than its header says");
    }
    uLong crc = crc32(0L, data + 8, 12);
    crc = crc32(crc, data + SAVE_HEADER_SIZE, (uInt)packedSize);
    if ((unsigned int)crc != storedCrc) {
        return refuse(why, whySize, "CRC mismatch");
    }
    if (version > (unsigned int)SAVE_FORMAT_VERSION) {
        snprintf(why, whySize, "format version %u is newer than this game's %d", version,
                 SAVE_FORMAT_VERSION);
        return false;
    }
    if (version == 0) {
        return refuse(why, whySize, "format version 0 does not exist");
    }
    if (payloadSize > SAVE_MAX_PAYLOAD) {
        return refuse(why, whySize, "payload larger than any cave");
    }
    std::vector<unsigned char> payload(payloadSize > 0 ? payloadSize : 1);
    uLongf unpacked = payloadSize;
    if (uncompress(payload.data(), &unpacked, data + SAVE_HEADER_SIZE, packedSize) != Z_OK ||
        unpacked != payloadSize) {
        return refuse(why, whySize, "compressed data damaged");
    }
    payload.resize(payloadSize);
    for (unsigned int v = version; v < (unsigned int)SAVE_FORMAT_VERSION; ++v) {
        if (!UPGRADE_STEPS[v - 1](payload)) {
            return refuse(why, whySize, "cannot convert from its format version");
        }
    }
    PayloadReader r = {payload.data(), payload.size(), 0, true, ""};
    readCurrentPayload(r, s);
    if (!r.ok) {
        return refuse(why, whySize, r.problem);
    }
    return true;
}
