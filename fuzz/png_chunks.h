// png_chunks.h: makes a mutated PNG's chunk checksums right again, so that
// the fuzzers' changes reach the decoder instead of stopping at the first
// checksum test. Only the copy handed to the game is changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline uint32_t pngCrc(const unsigned char* p, size_t n) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; i++) {
        crc ^= p[i];
        for (int k = 0; k < 8; k++) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return crc ^ 0xFFFFFFFFu;
}

inline std::vector<unsigned char> withChunkChecksums(const unsigned char* data, size_t size) {
    std::vector<unsigned char> out(data, data + size);
    size_t at = 8; // after the signature
    while (at + 12 <= out.size()) {
        size_t length = ((size_t)out[at] << 24) | ((size_t)out[at + 1] << 16) |
                        ((size_t)out[at + 2] << 8) | out[at + 3];
        if (length > out.size() - at - 12) {
            break;
        }
        uint32_t crc = pngCrc(&out[at + 4], length + 4);
        unsigned char* field = &out[at + 8 + length];
        field[0] = (unsigned char)(crc >> 24), field[1] = (unsigned char)(crc >> 16);
        field[2] = (unsigned char)(crc >> 8), field[3] = (unsigned char)crc;
        at += 12 + length;
    }
    return out;
}
