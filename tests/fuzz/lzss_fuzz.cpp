// libFuzzer target for LzssDecode (data/lzss.h): any stream, with an expected length chosen
// from the input around what the stream can yield, decoded into a buffer of exactly the
// expected length (so the address sanitizer sees any byte stored past it) and held to a
// byte-at-a-time reference decoder written here from the reference form's steps: same result, same
// bytes, same window tail afterwards. Each input is decoded twice in a row, so that the tail
// kept from the first call feeds the second. LzssDecodeDiscarding must leave the same tail.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "data/lzss.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

class Reference {
 public:
  int64_t Decode(uint8_t* out, const uint8_t* in, size_t n, int64_t expected) {
    std::memset(ring_, 0x20, 4078);
    uint32_t r = 4078;
    size_t i = 0;
    int64_t produced = 0;
    unsigned flags = 0;
    for (;;) {
      if (((flags >>= 1) & 0x100) == 0) {
        if (i >= n) break;
        flags = in[i++] | 0xFF00u;
      }
      if (flags & 1) {
        if (i >= n) break;
        const uint8_t c = in[i++];
        if (produced == expected) return expected + 1;
        if (out) out[produced] = c;
        ++produced;
        ring_[r] = c;
        r = (r + 1) & 4095;
      } else {
        if (i + 1 >= n) break;
        const uint32_t position = in[i] | (in[i + 1] & 0xF0u) << 4;
        const int length = (in[i + 1] & 0x0F) + 3;
        i += 2;
        for (int j = 0; j < length; ++j) {
          const uint8_t c = ring_[(position + j) & 4095];
          if (produced == expected) return expected + 1;
          if (out) out[produced] = c;
          ++produced;
          ring_[r] = c;
          r = (r + 1) & 4095;
        }
      }
    }
    return produced;
  }
  const uint8_t* Tail() const { return ring_ + 4078; }
  void Reset() { std::memset(ring_, 0, sizeof ring_); }

 private:
  uint8_t ring_[4096] = {};
};

Reference reference;
LzssCarry carry;  // the window's kept part of the decoder under test

void Compare(const uint8_t* in, size_t n, uint32_t pick) {
  const int64_t most = LzssMaxOutput(static_cast<int64_t>(n));
  // Mostly around the full length: exact, a little short, a little over, or anywhere.
  int64_t expected;
  switch (pick % 4) {
    case 0: expected = most; break;
    case 1: expected = most - (pick >> 2) % 40; break;
    case 2: expected = (pick >> 2) % 64; break;
    default: expected = (pick >> 2) % (most + 2); break;
  }
  if (expected < 0) expected = 0;
  std::vector<uint8_t> mine(static_cast<size_t>(expected)), theirs(static_cast<size_t>(expected));
  const int32_t got = LzssDecode(mine.data(), in, static_cast<int32_t>(n), static_cast<int32_t>(expected), carry);
  const int64_t want = reference.Decode(theirs.data(), in, n, expected);
  Check(got == want);
  Check(got >= 0 && got <= expected + 1 && got <= most);
  const size_t stored = static_cast<size_t>(got > expected ? expected : got);
  Check(stored == 0 || std::memcmp(mine.data(), theirs.data(), stored) == 0);
  Check(std::memcmp(carry.tail, reference.Tail(), 18) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4 || size > (1u << 20)) return 0;
  carry = LzssCarry{};
  reference.Reset();
  uint32_t pick;
  std::memcpy(&pick, data, 4);
  const uint8_t* in = data + 4;
  const size_t n = size - 4;
  Compare(in, n, pick);
  Compare(in, n, pick * 2654435761u + 1);  // again, on the tail the first call left

  // Discarding: the count of a full decode and the same tail.
  const int64_t count = LzssDecodeDiscarding(in, static_cast<int32_t>(n), carry);
  const int64_t want = reference.Decode(nullptr, in, n, INT64_MAX - 1);
  Check(count == want && count <= LzssMaxOutput(static_cast<int64_t>(n)));
  Check(std::memcmp(carry.tail, reference.Tail(), 18) == 0);
  return 0;
}
