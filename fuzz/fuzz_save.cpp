// The save reader on any bytes: never trusts a size or count it has not checked (the sanitizers
// watch every read), and whatever it accepts writes back to a file that reads the same.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/save.h"

static SaveSnapshot first, second; // large: kept out of the stack

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    char why[160] = "";
    if (!decodeSave(data, size, first, why, sizeof why)) {
        if (why[0] == '\0')
            fprintf(stderr, "save rule broken: a refusal without a reason\n"), abort();
        return 0;
    }
    std::vector<unsigned char> file, payloadA, payloadB;
    if (!encodeSave(first, file) || !decodeSave(file.data(), file.size(), second, why, sizeof why))
        fprintf(stderr, "save rule broken: an accepted save does not read back: %s\n", why),
            abort();
    encodePayload(first, payloadA);
    encodePayload(second, payloadB);
    if (payloadA != payloadB)
        fprintf(stderr, "save rule broken: a save read back differs\n"), abort();
    return 0;
}
