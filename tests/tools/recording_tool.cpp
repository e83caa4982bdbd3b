// recording_tool: a recording with one input flipped, for the end-to-end
// test: "recording_tool flip IN OUT KEYCODE" lifts the key in the first frame
// where it is pressed and prints that frame's tick (the tick it ends) and
// the first check's tick at or after it. Status 1 when there is no such press.
// "recording_tool version IN OUT VERSION": the same recording, made by
// another version of the game.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/replay.h"

int main(int argc, char** argv) {
    if (argc != 5 || (strcmp(argv[1], "flip") != 0 && strcmp(argv[1], "version") != 0)) {
        fprintf(stderr, "usage: recording_tool flip|version IN OUT KEYCODE|VERSION\n");
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    const int code = atoi(argv[4]);
    RecordingHead head;
    char why[160] = "";
    size_t offset = decodeHead(bytes.data(), bytes.size(), head, why, sizeof why);
    if (offset == 0 || code < 0 || code >= KEY_STATE_COUNT) {
        fprintf(stderr, "recording_tool: %s\n", offset ? "no such key" : why);
        return 2;
    }
    std::vector<unsigned char> out(bytes.begin(), bytes.begin() + (long)offset);
    if (argv[1][0] == 'v') {
        head.gameVersion = (float)atof(argv[4]);
        encodeHead(head, out);
        out.insert(out.end(), bytes.begin() + (long)offset, bytes.end());
        std::ofstream(argv[3], std::ios::binary).write((const char*)out.data(), (long)out.size());
        return 0;
    }
    static RecordedFrame frame;
    RecordedCheck check{};
    unsigned int tick = 0, flipped = 0, checked = 0;
    int read = ReadFrame;
    while ((read = decodeRecord(bytes.data(), bytes.size(), offset, frame, check, why,
                                sizeof why)) == ReadFrame ||
           read == ReadCheck) {
        if (read == ReadCheck) {
            checked = checked == 0 && flipped != 0 && check.tick >= flipped ? check.tick : checked;
            encodeCheck(check, out);
            continue;
        }
        ++tick;
        if (flipped == 0 && frame.keys[code] == Pressed) {
            frame.keys[code] = Up;
            flipped = tick;
        }
        encodeFrame(frame, out);
    }
    if (flipped == 0 || checked == 0) {
        fprintf(stderr, "recording_tool: no press of key %d with a check after it\n", code);
        return 1;
    }
    std::ofstream(argv[3], std::ios::binary).write((const char*)out.data(), (long)out.size());
    printf("%u %u\n", flipped, checked);
    return 0;
}
