// replay.cpp: the command line, the recording's format and the state
// checksums. Numbers are written field by field, little-endian, like a save.
#include "app/replay.h"

#include <stdio.h>
#include <string.h>
#include <zlib.h>

#include "game/save.h"

static_assert(STATE_PART_COUNT == SAVE_PART_COUNT, "a check hashes the parts a save encodes");

const char* const statePartNames[STATE_PART_COUNT] = {"world", "player", "enemies", "balls",
                                                      "camera"};

// ---------------------------------------------------------------------------
// Command line
// ---------------------------------------------------------------------------

bool parseCommandLine(int argc, const char* const* argv, CommandLine& line, char* why,
                      size_t whySize) {
    line = CommandLine{PlayGame, nullptr, false};
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool record = strcmp(arg, "--record") == 0;
        const bool replay = strcmp(arg, "--replay") == 0;
        if (strcmp(arg, "--fast") == 0 && !line.fast) {
            line.fast = true;
        } else if ((record || replay) && line.mode == PlayGame) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                snprintf(why, whySize, "%s needs a file name", arg);
                return false;
            }
            line.mode = record ? RecordGame : ReplayGame;
            line.file = argv[++i];
        } else {
            snprintf(why, whySize, "unexpected argument \"%s\"", arg);
            return false;
        }
    }
    if (line.fast && line.mode != ReplayGame) {
        snprintf(why, whySize, "--fast goes only with --replay FILE");
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

static void putU32(std::vector<unsigned char>& out, unsigned int v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back((unsigned char)(v >> (8 * i)));
    }
}
static void putFloat(std::vector<unsigned char>& out, float v) {
    unsigned int bits = 0;
    memcpy(&bits, &v, sizeof bits);
    putU32(out, bits);
}
static void putU16(std::vector<unsigned char>& out, unsigned int v) {
    out.push_back((unsigned char)v), out.push_back((unsigned char)(v >> 8));
}
static void putBytes(std::vector<unsigned char>& out, const void* bytes, size_t size) {
    putU32(out, (unsigned int)size);
    out.insert(out.end(), (const unsigned char*)bytes, (const unsigned char*)bytes + size);
}
static unsigned int crcOf(const unsigned char* bytes, size_t size) {
    return (unsigned int)crc32(0L, bytes, (uInt)size);
}
// Frames body as length, CRC, body, from the body that starts at bodyStart.
static void frameBody(std::vector<unsigned char>& out, size_t bodyStart) {
    std::vector<unsigned char> prefix;
    const size_t size = out.size() - bodyStart;
    putU32(prefix, (unsigned int)size);
    putU32(prefix, crcOf(out.data() + bodyStart, size));
    out.insert(out.begin() + (long)bodyStart, prefix.begin(), prefix.end());
}

void encodeHead(const RecordingHead& head, std::vector<unsigned char>& out) {
    out.assign(RECORDING_MAGIC, RECORDING_MAGIC + sizeof RECORDING_MAGIC);
    putU32(out, (unsigned int)RECORDING_FORMAT_VERSION);
    const size_t bodyStart = out.size();
    putFloat(out, head.gameVersion);
    putU32(out, (unsigned int)head.width), putU32(out, (unsigned int)head.height);
    putBytes(out, head.settings.data(), head.settings.size());
    putBytes(out, head.start.data(), head.start.size());
    frameBody(out, bodyStart);
}

void encodeFrame(const RecordedFrame& frame, std::vector<unsigned char>& out) {
    const size_t bodyStart = out.size();
    out.push_back(RecordFrame);
    putFloat(out, frame.timeFactor);
    putU32(out, (unsigned int)frame.mouseX), putU32(out, (unsigned int)frame.mouseY);
    out.push_back(frame.mouseInWindow ? 1 : 0);
    putU32(out, (unsigned int)frame.motionX), putU32(out, (unsigned int)frame.motionY);
    const size_t countAt = out.size();
    putU16(out, 0);
    unsigned int count = 0;
    for (int code = 0; code < KEY_STATE_COUNT; ++code) {
        if (frame.keys[code] != Up) {
            putU16(out, (unsigned int)code), out.push_back(frame.keys[code]), ++count;
        }
    }
    out[countAt] = (unsigned char)count, out[countAt + 1] = (unsigned char)(count >> 8);
    const size_t buttonsAt = out.size();
    out.push_back(0);
    for (int button = 0; button < MOUSE_BUTTON_COUNT; ++button) {
        if (frame.buttons[button] != Up) {
            out.push_back((unsigned char)button), out.push_back(frame.buttons[button]);
            ++out[buttonsAt];
        }
    }
    frameBody(out, bodyStart);
}

void encodeCheck(const RecordedCheck& check, std::vector<unsigned char>& out) {
    const size_t bodyStart = out.size();
    out.push_back(RecordCheck);
    putU32(out, check.tick);
    for (int part = 0; part < STATE_PART_COUNT; ++part) {
        putU32(out, check.crc[part]);
    }
    frameBody(out, bodyStart);
}

// ---------------------------------------------------------------------------
// Reading: every length and count is checked against what is left first.
// ---------------------------------------------------------------------------

struct Reader {
    const unsigned char* at;
    size_t left;
    bool ok;
};
static const unsigned char* take(Reader& r, size_t size) {
    if (!r.ok || size > r.left) {
        r.ok = false;
        return nullptr;
    }
    const unsigned char* bytes = r.at;
    r.at += size, r.left -= size;
    return bytes;
}
static unsigned int getU32(Reader& r) {
    const unsigned char* b = take(r, 4);
    return b ? (unsigned int)b[0] | (unsigned int)b[1] << 8 | (unsigned int)b[2] << 16 |
                   (unsigned int)b[3] << 24
             : 0u;
}
static unsigned int getU16(Reader& r) {
    const unsigned char* b = take(r, 2);
    return b ? (unsigned int)b[0] | (unsigned int)b[1] << 8 : 0u;
}
static unsigned int getByte(Reader& r) {
    const unsigned char* b = take(r, 1);
    return b ? *b : 0u;
}
static float getFloat(Reader& r) {
    unsigned int bits = getU32(r);
    float v = 0.0f;
    memcpy(&v, &bits, sizeof v);
    return v;
}

size_t decodeHead(const unsigned char* data, size_t size, RecordingHead& head, char* why,
                  size_t whySize) {
    Reader r{data, size, true};
    const unsigned char* magic = take(r, sizeof RECORDING_MAGIC);
    if (magic == nullptr || memcmp(magic, RECORDING_MAGIC, sizeof RECORDING_MAGIC) != 0) {
        snprintf(why, whySize, magic ? "not a recording (wrong magic)" : "truncated head");
        return 0;
    }
    const unsigned int version = getU32(r);
    const unsigned int length = getU32(r);
    const unsigned int crc = getU32(r);
    if (r.ok && version != (unsigned int)RECORDING_FORMAT_VERSION) {
        snprintf(why, whySize, "format version %u is not this game's %d", version,
                 RECORDING_FORMAT_VERSION);
        return 0;
    }
    if (r.ok && length > MAX_HEAD_BYTES) {
        snprintf(why, whySize, "head of %u bytes is more than a recording holds", length);
        return 0;
    }
    const unsigned char* body = take(r, length);
    if (body == nullptr) {
        snprintf(why, whySize, "truncated head");
        return 0;
    }
    if (crcOf(body, length) != crc) {
        snprintf(why, whySize, "head CRC mismatch");
        return 0;
    }
    Reader b{body, length, true};
    head.gameVersion = getFloat(b);
    head.width = (int)getU32(b), head.height = (int)getU32(b);
    const unsigned int settingsSize = getU32(b);
    const unsigned char* settings = take(b, settingsSize);
    head.settings.assign((const char*)settings,
                         (const char*)settings + (settings ? settingsSize : 0));
    const unsigned int startSize = getU32(b);
    const unsigned char* start = take(b, startSize);
    head.start.assign(start, start + (start ? startSize : 0));
    if (!b.ok || b.left != 0) {
        snprintf(why, whySize, "head fields do not add up to its length");
        return 0;
    }
    if (head.width < 1 || head.width > MAX_RECORDED_WINDOW || head.height < 1 ||
        head.height > MAX_RECORDED_WINDOW) {
        snprintf(why, whySize, "window of %d x %d pixels cannot be", head.width, head.height);
        return 0;
    }
    return size - r.left;
}

static bool decodeFrame(Reader& r, RecordedFrame& f, char* why, size_t whySize) {
    f.timeFactor = getFloat(r);
    f.mouseX = (int)getU32(r), f.mouseY = (int)getU32(r);
    const unsigned int inWindow = getByte(r);
    f.mouseInWindow = inWindow != 0;
    f.motionX = (int)getU32(r), f.motionY = (int)getU32(r);
    memset(f.keys, 0, sizeof f.keys);
    memset(f.buttons, 0, sizeof f.buttons);
    const unsigned int keyCount = getU16(r);
    bool sound = inWindow <= 1 && keyCount <= (unsigned int)KEY_STATE_COUNT;
    for (unsigned int i = 0; sound && i < keyCount; ++i) {
        const unsigned int code = getU16(r), state = getByte(r);
        sound = code < (unsigned int)KEY_STATE_COUNT && (state == Held || state == Pressed);
        f.keys[sound ? code : 0] = (unsigned char)state;
    }
    const unsigned int buttonCount = sound ? getByte(r) : 0u;
    sound = sound && buttonCount <= (unsigned int)MOUSE_BUTTON_COUNT;
    for (unsigned int i = 0; sound && i < buttonCount; ++i) {
        const unsigned int button = getByte(r), state = getByte(r);
        sound = button < (unsigned int)MOUSE_BUTTON_COUNT && (state == Held || state == Pressed);
        f.buttons[sound ? button : 0] = (unsigned char)state;
    }
    if (!sound || !r.ok || r.left != 0) {
        snprintf(why, whySize, "a frame with impossible input");
        return false;
    }
    return true;
}

int decodeRecord(const unsigned char* data, size_t size, size_t& offset, RecordedFrame& frame,
                 RecordedCheck& check, char* why, size_t whySize) {
    if (offset >= size) {
        return ReadEnd;
    }
    Reader r{data + offset, size - offset, true};
    const unsigned int length = getU32(r);
    const unsigned int crc = getU32(r);
    if (r.ok && (length == 0 || length > MAX_RECORD_BYTES)) {
        snprintf(why, whySize, "a record of %u bytes cannot be", length);
        return ReadBad;
    }
    const unsigned char* body = take(r, length);
    if (body == nullptr) {
        return ReadCutOff;
    }
    if (crcOf(body, length) != crc) {
        snprintf(why, whySize, "record CRC mismatch");
        return ReadBad;
    }
    Reader b{body, length, true};
    const unsigned int kind = getByte(b);
    if (kind == RecordFrame && decodeFrame(b, frame, why, whySize)) {
        offset = size - r.left;
        return ReadFrame;
    }
    if (kind == RecordCheck) {
        check.tick = getU32(b);
        for (int part = 0; part < STATE_PART_COUNT; ++part) {
            check.crc[part] = getU32(b);
        }
        if (b.ok && b.left == 0) {
            offset = size - r.left;
            return ReadCheck;
        }
    }
    if (kind != RecordFrame) {
        snprintf(why, whySize, "a record of unknown kind %u or size", kind);
    }
    return ReadBad;
}

// ---------------------------------------------------------------------------
// Checksums
// ---------------------------------------------------------------------------

static SaveSnapshot checkedState; // large: kept off the stack

void stateChecksums(unsigned int crc[STATE_PART_COUNT]) {
    takeSnapshot(checkedState);
    std::vector<unsigned char> payload;
    size_t ends[SAVE_PART_COUNT] = {};
    encodePayload(checkedState, payload, ends);
    size_t begin = 0;
    for (int part = 0; part < STATE_PART_COUNT; ++part) {
        crc[part] = crcOf(payload.data() + begin, ends[part] - begin);
        begin = ends[part];
    }
}

void differingParts(const unsigned int a[STATE_PART_COUNT], const unsigned int b[STATE_PART_COUNT],
                    char* out, size_t outSize) {
    size_t used = 0;
    out[0] = '\0';
    for (int part = 0; part < STATE_PART_COUNT; ++part) {
        if (a[part] != b[part] && used < outSize) {
            used += (size_t)snprintf(out + used, outSize - used, "%s%s", used ? ", " : "",
                                     statePartNames[part]);
        }
    }
}
