// Test helper: writes small PNG files, valid or deliberately malformed.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace orvane_test {

inline uint32_t Crc32(const unsigned char* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline void PutBE(std::vector<unsigned char>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

inline void Chunk(std::vector<unsigned char>& out, const char* type,
                  const std::vector<unsigned char>& data) {
    PutBE(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBE(out, Crc32(&out[start], out.size() - start));
}

// An 8-bit RGBA PNG of the given rows (top row first, 4 bytes a pixel),
// stored without compression. The header may claim another size than the
// rows hold.
inline std::vector<unsigned char> Png(uint32_t width, uint32_t height,
                                      const std::vector<std::vector<unsigned char>>& rows) {
    std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBE(header, width);
    PutBE(header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0});   // 8 bits, RGBA, deflate, no interlace
    Chunk(out, "IHDR", header);

    std::vector<unsigned char> raw;
    for (const auto& row : rows) {
        raw.push_back(0);   // filter: none
        raw.insert(raw.end(), row.begin(), row.end());
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    size_t done = 0;
    do {
        const size_t n = raw.size() - done < 65535 ? raw.size() - done : 65535;
        z.push_back(done + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<unsigned char>(n));
        z.push_back(static_cast<unsigned char>(n >> 8));
        z.push_back(static_cast<unsigned char>(~n));
        z.push_back(static_cast<unsigned char>(~n >> 8));
        z.insert(z.end(), raw.begin() + done, raw.begin() + done + n);
        done += n;
    } while (done < raw.size());
    PutBE(z, (b << 16) | a);
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", {});
    return out;
}

}  // namespace orvane_test
