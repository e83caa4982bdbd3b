// The recording reader on any bytes: never trusts a length or count it has not checked (the
// sanitizers watch every read), always moves forward, gives a reason for every refusal, and what
// it accepts writes back to records that read the same.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/replay.h"

static RecordedFrame frame, again; // large: kept out of the stack

static void broken(const char* rule) {
    fprintf(stderr, "recording rule broken: %s\n", rule), abort();
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    RecordingHead head;
    char why[160] = "";
    size_t offset = decodeHead(data, size, head, why, sizeof why);
    if (offset == 0 && why[0] == '\0')
        broken("a refused head without a reason");
    RecordedCheck check{}, checkAgain{};
    int read = ReadFrame;
    while (offset != 0 && (read == ReadFrame || read == ReadCheck)) {
        const size_t before = offset;
        why[0] = '\0';
        read = decodeRecord(data, size, offset, frame, check, why, sizeof why);
        if (read == ReadBad && why[0] == '\0')
            broken("a refused record without a reason");
        if ((read == ReadFrame || read == ReadCheck) != (offset > before) || offset > size)
            broken("the reader did not move on by exactly one record");
        if (read != ReadFrame && read != ReadCheck)
            break;
        std::vector<unsigned char> bytes;
        read == ReadFrame ? encodeFrame(frame, bytes) : encodeCheck(check, bytes);
        size_t at = 0;
        if (decodeRecord(bytes.data(), bytes.size(), at, again, checkAgain, why, sizeof why) !=
                read ||
            at != bytes.size())
            broken("an accepted record does not read back");
        if (read == ReadFrame ? memcmp(&frame, &again, sizeof frame) != 0
                              : memcmp(&check, &checkAgain, sizeof check) != 0)
            broken("a record read back differs");
    }
    return 0;
}
