#pragma once
// Our own LZSS encoder for the packed entries of the image archive, the inverse of LzssDecode
// (data/lzss.h): 4096-byte window, write position from 4078, flag bits least significant first
// (1 = literal), pairs of a 12-bit window position and a length of 3 to 18. It copies only from
// bytes written earlier in the same stream (never from the window's initial spaces or from
// positions 4078..4095, which the decoder keeps from its previous call), so its streams decode
// to the same bytes whatever the decoder decoded before. Used by tests, the benchmarks and
// tools/lzss/lzss_pack; not part of the program.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The LZSS stream of `size` bytes: greedy longest matches found through hash chains.
std::vector<uint8_t> LzssEncode(const uint8_t* data, size_t size);

// A packed archive entry: 4 bytes (zero), the unpacked size (32-bit little-endian), the stream.
std::string LzssPackEntry(const std::string& bytes);
