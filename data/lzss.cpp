#include "data/lzss.h"

#include <cstring>

// The reference decoder writes every output byte into a 4096-byte ring and copies pairs out of
// that ring. This one copies pairs straight out of the output it has already produced: the ring
// byte at distance d behind the write position r is the output byte d places back, or, while
// fewer than d bytes have been produced in this call, the ring's content from before the call.
// The carry is brought up to date once, at the end, for the 18 positions that outlive the
// call. Same bytes, same results, same window afterwards; tests/native/lzss_test.cpp and the
// fuzz target tests/fuzz/lzss_fuzz.cpp hold it to a byte-at-a-time reference decoder.

namespace {

constexpr int32_t kRing = 4096;
constexpr int32_t kMaxLength = 18;
constexpr int32_t kStart = kRing - kMaxLength;  // 4078: first write position of every call
constexpr uint32_t kMask = kRing - 1;

// The ring position that the byte at output index `t` was written to.
inline uint32_t RingPosition(int64_t t) { return static_cast<uint32_t>(kStart + t) & kMask; }

// The ring's byte at `position` before this call: spaces up to 4077, then the carry.
inline uint8_t RingBeforeCall(uint32_t position, const LzssCarry& carry) {
  return position >= kStart ? carry.tail[position - kStart] : ' ';
}

// After `produced` bytes of this call: the persistent positions take the last bytes written
// to them, if any were.
void UpdateTail(const uint8_t* out, int64_t produced, LzssCarry& carry) {
  for (int32_t q = 0; q < kMaxLength; ++q) {
    // Output index t last written to position kStart + q: t = produced - distance.
    int64_t distance = (produced - q) & kMask;
    if (distance == 0) distance = kRing;
    const int64_t t = produced - distance;
    if (t >= 0) carry.tail[q] = out[t];
  }
}

}  // namespace

int64_t LzssMaxOutput(int64_t inLength) {
  if (inLength <= 1) return 0;
  const int64_t groups = inLength / 17, rest = inLength % 17;
  int64_t most = groups * 144;
  if (rest >= 1) most += 18 * ((rest - 1) / 2) + (rest - 1) % 2;
  return most;
}

int32_t LzssDecode(uint8_t* out, const uint8_t* in, int32_t inLength, int32_t expected, LzssCarry& carry) {
  if (expected < 0 || inLength <= 0) return 0;

  const uint8_t* p = in;
  const uint8_t* const end = in + inLength;
  const int64_t limit = expected;
  int64_t t = 0;  // bytes produced and stored
  bool overrun = false;

  while (p < end) {
    // A whole group of eight tokens with room for the longest possible output and all the
    // input it can need, past the first ring turn (every source then lies in `out`): no checks.
    // Within such a group a pair may store up to 18 bytes whatever its length: the bytes past
    // its length are overwritten by the tokens that follow, and the room checked covers them.
    if (end - p >= 17 && limit - t >= 144 && t >= kRing) {
      unsigned flags = *p++;
      if (flags == 0xFF) {  // eight literals
        std::memcpy(out + t, p, 8);
        p += 8;
        t += 8;
        continue;
      }
      for (int k = 0; k < 8; ++k, flags >>= 1) {
        if (flags & 1) {
          out[t++] = *p++;
          continue;
        }
        const uint32_t position = p[0] | (p[1] & 0xF0u) << 4;
        const int32_t length = (p[1] & 0x0F) + 3;
        p += 2;
        int64_t distance = (RingPosition(t) - position) & kMask;
        if (distance == 0) distance = kRing;
        const uint8_t* from = out + t - distance;
        uint8_t* to = out + t;
        if (distance >= kMaxLength) {  // source and the 18 bytes stored apart
          std::memcpy(to, from, 16);
          std::memcpy(to + 16, from + 16, 2);
        } else if (distance == 1) {
          std::memset(to, *from, static_cast<size_t>(length));
        } else {
          // Forward byte copy: a source overlapping its own output repeats it, as in the ring.
          for (int32_t j = 0; j < length; ++j) to[j] = from[j];
        }
        t += length;
      }
      continue;
    }

    // Near either end: every byte checked.
    unsigned flags = *p++;
    for (int k = 0; k < 8; ++k, flags >>= 1) {
      if (flags & 1) {
        if (p == end) goto finished;  // a literal whose byte is missing
        if (t == limit) {
          overrun = true;
          goto finished;
        }
        out[t++] = *p++;
        continue;
      }
      if (end - p < 2) goto finished;  // a pair missing a byte
      const uint32_t position = p[0] | (p[1] & 0xF0u) << 4;
      const int32_t length = (p[1] & 0x0F) + 3;
      p += 2;
      int64_t distance = (RingPosition(t) - position) & kMask;
      if (distance == 0) distance = kRing;
      for (int32_t j = 0; j < length; ++j) {
        if (t == limit) {
          overrun = true;
          goto finished;
        }
        const int64_t from = t - distance;
        out[t] = from >= 0 ? out[from] : RingBeforeCall((position + j) & kMask, carry);
        ++t;
      }
    }
  }

finished:
  UpdateTail(out, t, carry);
  // expected + 1; for expected = INT32_MAX (a 2 GiB sheet) that wraps to INT32_MIN, which is
  // still not the expected length, the one thing callers test.
  if (overrun) return static_cast<int32_t>(static_cast<uint32_t>(expected) + 1u);
  return static_cast<int32_t>(t);
}

int64_t LzssDecodeDiscarding(const uint8_t* in, int32_t inLength, LzssCarry& carry) {
  if (inLength <= 0) return 0;
  // The reference loop on a ring of its own: nothing but the ring is written.
  uint8_t ring[kRing];
  std::memset(ring, ' ', kStart);
  std::memcpy(ring + kStart, carry.tail, kMaxLength);
  const uint8_t* p = in;
  const uint8_t* const end = in + inLength;
  uint32_t r = kStart;
  int64_t produced = 0;
  unsigned flags = 0;
  for (;;) {
    flags >>= 1;
    if (!(flags & 0x100)) {
      if (p == end) break;
      flags = *p++ | 0xFF00u;
    }
    if (flags & 1) {
      if (p == end) break;
      ring[r] = *p++;
      r = (r + 1) & kMask;
      ++produced;
    } else {
      if (end - p < 2) break;
      const uint32_t position = p[0] | (p[1] & 0xF0u) << 4;
      const int32_t length = (p[1] & 0x0F) + 3;
      p += 2;
      for (int32_t j = 0; j < length; ++j) {
        ring[r] = ring[(position + j) & kMask];
        r = (r + 1) & kMask;
      }
      produced += length;
    }
  }
  std::memcpy(carry.tail, ring + kStart, kMaxLength);
  return produced;
}
