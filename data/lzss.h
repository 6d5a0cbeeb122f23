#pragma once
// LZSS decoding of the packed entries of the game's image archive: the widely
// published reference form with a 4096-byte window, write position from 4078, flag bits least
// significant first (1 = literal byte, 0 = a 12-bit window position and a length of 3 to 18).
//
// Positions 0..4077 of the window are spaces at the start of every call; positions 4078..4095
// carry over from one call to the next (zero before the first call). The caller keeps them in
// an LzssCarry, one for each sequence of streams that share a window: for the game's sheets, the
// data module's.
#include <cstdint>

// What one call hands on to the next: positions 4078..4095 of the window. A copy taken before a
// stream and given back later lets that stream be decoded then exactly as it would have been
// decoded now.
struct LzssCarry {
  uint8_t tail[18] = {};
};

// Decodes `inLength` bytes of `in` into `out`, which has room for `expected` bytes. Ends when
// the input is used up, also in the middle of a token. Never stores more than `expected` bytes:
// when the stream would produce one byte more, decoding stops and the result is expected + 1
// (for expected = INT32_MAX that wraps to INT32_MIN: still not the expected length, which is
// all a caller tests). Otherwise the result is the number of bytes produced; `out` then holds
// them, and its bytes between the result and `expected` may have been written over. A negative
// `expected` leaves no room at all: nothing is decoded and the result is 0. A negative
// `inLength` counts as empty input.
// `carry` is read at the start and holds the new carry at the end.
int32_t LzssDecode(uint8_t* out, const uint8_t* in, int32_t inLength, int32_t expected, LzssCarry& carry);

// Decodes like LzssDecode with no expected length, keeping none of the output: the window is
// left exactly as a full decode leaves it. The result is the number of bytes the stream yields.
// For a packed entry whose stated size no stream of its length can reach (see LzssMaxOutput):
// the decode is rejected all the same, without a buffer of the stated size.
int64_t LzssDecodeDiscarding(const uint8_t* in, int32_t inLength, LzssCarry& carry);

// The most bytes that any stream of `inLength` bytes can produce. Every 8 tokens need one flag
// byte; a pair is 2 bytes for up to 18 output bytes, a literal 1 byte for 1. So a full group of
// 17 bytes (flag + 8 pairs) yields 144, and a trailing group of r bytes (1 <= r <= 16) yields
// at most 18 * ((r - 1) / 2) + (r - 1) % 2: pairs for the even part after its flag, a literal
// for an odd byte left over (a lone byte after a flag, or a pair missing its second byte,
// yields nothing). About 8.47 output bytes per input byte; 0 for inLength <= 1.
int64_t LzssMaxOutput(int64_t inLength);
