// LzssDecode (data/lzss.h): worked vectors, the ends of input, the window kept between
// calls, the bound on what a stream can yield, a byte-at-a-time reference decoder written here
// from the reference form's steps, and round trips through our encoder (tools/lzss/lzss_encode.h).
#include "data/lzss.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tools/lzss/lzss_encode.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The reference form's decoder, step by step, on a ring of its own that mirrors the window a
// caller's carry holds.
class ReferenceDecoder {
 public:
  int32_t Decode(uint8_t* out, const Bytes& in, int32_t expected) {
    std::memset(ring_, 0x20, 4078);
    uint32_t r = 4078;
    size_t i = 0;
    int32_t produced = 0;
    unsigned flags = 0;
    for (;;) {
      if (((flags >>= 1) & 0x100) == 0) {
        if (i >= in.size()) break;
        flags = in[i++] | 0xFF00u;
      }
      if (flags & 1) {
        if (i >= in.size()) break;
        const uint8_t c = in[i++];
        if (produced == expected) return expected + 1;
        out[produced++] = c;
        ring_[r] = c;
        r = (r + 1) & 4095;
      } else {
        if (i + 1 >= in.size()) break;
        const uint32_t position = in[i] | (in[i + 1] & 0xF0u) << 4;
        const int length = (in[i + 1] & 0x0F) + 3;
        i += 2;
        for (int j = 0; j < length; ++j) {
          const uint8_t c = ring_[(position + j) & 4095];
          if (produced == expected) return expected + 1;
          out[produced++] = c;
          ring_[r] = c;
          r = (r + 1) & 4095;
        }
      }
    }
    return produced;
  }
  Bytes Tail() const { return Bytes(ring_ + 4078, ring_ + 4096); }

 private:
  uint8_t ring_[4096] = {};
};

struct Decoded {
  int32_t result;
  Bytes out;
};

// Each test decodes through one window of its own, fresh at the start.
class Lzss : public ::testing::Test {
 protected:
  // Positions 4078..4095 of the window as the next call will find them.
  Bytes Tail() const { return Bytes(carry.tail, carry.tail + 18); }

  // Decodes with `expected` bytes of room, followed by canary bytes that must stay untouched.
  Decoded Decode(const Bytes& in, int32_t expected) {
    Bytes buffer(static_cast<size_t>(expected) + 64, 0xA5);
    const int32_t result = LzssDecode(buffer.data(), in.data(), static_cast<int32_t>(in.size()), expected, carry);
    for (size_t k = static_cast<size_t>(expected); k < buffer.size(); ++k)
      EXPECT_EQ(0xA5, buffer[k]) << "byte " << k << " written past the expected length " << expected;
    buffer.resize(static_cast<size_t>(std::max(0, std::min(result, expected))));
    return {result, buffer};
  }

  LzssCarry carry;
};

TEST_F(Lzss, TwoLiteralsThenACopyThatOverlapsItsOwnOutput) {
  const Decoded d = Decode({0x03, 0x61, 0x62, 0xEE, 0xF0}, 5);
  EXPECT_EQ(5, d.result);
  EXPECT_EQ((Bytes{0x61, 0x62, 0x61, 0x62, 0x61}), d.out);
}

TEST_F(Lzss, ACopyFromPositionZeroGivesTheInitialSpaces) {
  const Decoded d = Decode({0x00, 0x00, 0x00}, 3);
  EXPECT_EQ(3, d.result);
  EXPECT_EQ((Bytes{0x20, 0x20, 0x20}), d.out);
}

TEST_F(Lzss, OneByteTooManyGivesExpectedPlusOneAndNothingPastTheExpectedLength) {
  const Decoded d = Decode({0x03, 0x61, 0x62, 0xEE, 0xF0}, 4);
  EXPECT_EQ(5, d.result);
  EXPECT_EQ((Bytes{0x61, 0x62, 0x61, 0x62}), d.out);
  // The extra byte went nowhere, not even into the window: the tail holds a, b, a, b only.
  const Bytes tail = Tail();
  EXPECT_EQ((Bytes{0x61, 0x62, 0x61, 0x62, 0x00}), Bytes(tail.begin(), tail.begin() + 5));
}

TEST_F(Lzss, ALiteralAtTheLimitIsTheOverrunToo) {
  const Decoded d = Decode({0x07, 0x61, 0x62, 0x63}, 2);
  EXPECT_EQ(3, d.result);
  EXPECT_EQ((Bytes{0x61, 0x62}), d.out);
}

TEST_F(Lzss, ZeroExpectedStopsAtTheFirstByte) {
  EXPECT_EQ(1, Decode({0x01, 0x61}, 0).result);
  EXPECT_EQ(0, Decode({}, 0).result);
}

TEST_F(Lzss, NegativeExpectedLengthDecodesNothing) {
  uint8_t guard = 0xA5;
  const Bytes in{0x01, 0x61};
  EXPECT_EQ(0, LzssDecode(&guard, in.data(), 2, -1, carry));
  EXPECT_EQ(0xA5, guard);
  EXPECT_EQ(0, LzssDecode(&guard, in.data(), -7, 10, carry));
}

TEST_F(Lzss, EndOfInputInTheMiddleOfATokenEndsWithoutFurtherOutput) {
  EXPECT_EQ(0, Decode({}, 8).result) << "no input";
  EXPECT_EQ(0, Decode({0xFF}, 8).result) << "a flag byte alone";
  EXPECT_EQ(0, Decode({0x00}, 8).result) << "a flag byte alone";
  EXPECT_EQ(1, Decode({0x03, 0x61}, 8).result) << "the second literal is missing";
  EXPECT_EQ(0, Decode({0x00, 0x00}, 8).result) << "a pair missing its second byte";
  const Decoded d = Decode({0x01, 0x61, 0xEE}, 8);
  EXPECT_EQ(1, d.result) << "a literal, then a pair missing its second byte";
  EXPECT_EQ((Bytes{0x61}), d.out);
  // Eight literals, then a new flag byte with nothing after it.
  EXPECT_EQ(8, Decode({0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 0x01}, 16).result);
}

TEST_F(Lzss, FlagBitsAreUsedFromTheLeastSignificantUp) {
  // Bits 0, 1: pair, literal. The pair copies three spaces from position 0.
  const Decoded d = Decode({0x02, 0x00, 0x00, 0x41}, 4);
  EXPECT_EQ(4, d.result);
  EXPECT_EQ((Bytes{0x20, 0x20, 0x20, 0x41}), d.out);
}

TEST_F(Lzss, LengthsRunFromThreeToEighteenAndPositionsHaveTwelveBits) {
  // Position 0xFEE = 4078 with length 18: copies what it writes, so eighteen times 'z'.
  const Decoded a = Decode({0x01, 'z', 0xEE, 0xFF}, 19);
  EXPECT_EQ(19, a.result);
  EXPECT_EQ(Bytes(19, 'z'), a.out);
  // Position 0x123 with length 3: spaces of the refilled window.
  const Decoded b = Decode({0x00, 0x23, 0x10}, 3);
  EXPECT_EQ(Bytes(3, 0x20), b.out);
}

TEST_F(Lzss, TheTailOfTheWindowStartsAtZeroInAFreshCarry) {
  const Decoded d = Decode({0x00, 0xEE, 0xF0}, 3);  // copy 3 from 4078 before writing there
  EXPECT_EQ(3, d.result);
  EXPECT_EQ((Bytes{0, 0, 0}), d.out);
}

TEST_F(Lzss, PositionsFrom4078KeepWhatTheCallBeforeLeftThere) {
  // Eighteen literals fill positions 4078..4095 exactly.
  Bytes first = {0xFF, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 0xFF, 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 0x03, 'Q', 'R'};
  ASSERT_EQ(18, Decode(first, 18).result);
  EXPECT_EQ((Bytes{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R'}), Tail());
  // The next call copies from 4078 before writing anything there: A, B, C. And from 4093.
  const Decoded second = Decode({0x00, 0xEE, 0xF0, 0xFD, 0xF0}, 6);
  EXPECT_EQ(6, second.result);
  EXPECT_EQ((Bytes{'A', 'B', 'C', 'P', 'Q', 'R'}), second.out);
}

TEST_F(Lzss, PositionsBelow4078AreSpacesAgainAtEveryCall) {
  // 5000 bytes of 'x' overwrite the whole window, wrapping past 4095 to 0 and on.
  Bytes many = {0x01, 'x'};
  for (int k = 0; k < 277; ++k) {
    if (k % 8 == 7) many.push_back(0x00);
    many.push_back(0xEE);  // copy 18 from 4078 (the 'x' run)
    many.push_back(0xFF);
  }
  const Decoded a = Decode(many, 5000);
  ASSERT_GT(a.result, 4096);
  EXPECT_EQ(Bytes(18, 'x'), Tail());
  // Position 0 was overwritten in that call; the next call finds a space there again.
  const Decoded b = Decode({0x00, 0x00, 0x00}, 3);
  EXPECT_EQ(Bytes(3, 0x20), b.out);
}

TEST_F(Lzss, TheBoundIsExactForEveryStreamLength) {
  // Worked out independently: the most output of a stream of exactly n bytes, token by token.
  // best[rest][left]: `rest` bytes still to parse, `left` tokens left under the current flag.
  constexpr int kMost = 400;
  std::vector<std::array<int64_t, 9>> best(kMost + 1);
  for (int rest = 0; rest <= kMost; ++rest)
    for (int left = 0; left <= 8; ++left) {
      int64_t& b = best[rest][left];
      if (rest == 0)
        b = 0;
      else if (left == 0)
        b = best[rest - 1][8];
      else if (rest == 1)
        b = 1;  // a literal (a pair would miss its second byte)
      else
        b = std::max(1 + best[rest - 1][left - 1], 18 + best[rest - 2][left - 1]);
    }
  for (int n = 0; n <= kMost; ++n) EXPECT_EQ(best[n][0], LzssMaxOutput(n)) << "n = " << n;
  EXPECT_EQ(0, LzssMaxOutput(-5));
  // 2^31 - 1 = 17 * 126322567 + 8: full groups, then a flag, three pairs and a literal.
  EXPECT_EQ(INT64_C(144) * 126322567 + 3 * 18 + 1, LzssMaxOutput(0x7FFFFFFF));
}

TEST_F(Lzss, TheLongestStreamsReachTheBound) {
  for (int n : {2, 3, 4, 16, 17, 18, 33, 34, 1000, 1001}) {
    Bytes in;
    while (static_cast<int>(in.size()) < n) {
      const int rest = n - static_cast<int>(in.size());
      const int body = std::min(rest - 1, 16);
      in.push_back(body % 2 ? static_cast<uint8_t>(1u << (body / 2)) : 0x00);  // odd: a last literal
      for (int k = 0; k + 1 < body; k += 2) {
        in.push_back(0xEE);
        in.push_back(0xFF);
      }
      if (body % 2) in.push_back('L');
    }
    ASSERT_EQ(static_cast<size_t>(n), in.size());
    const int64_t most = LzssMaxOutput(n);
    EXPECT_EQ(most, Decode(in, static_cast<int32_t>(most)).result) << "n = " << n;
    EXPECT_EQ(most, LzssDecodeDiscarding(in.data(), n, carry)) << "n = " << n;
  }
}

// Random streams of every kind of token, through both decoders, with the expected length
// exact, short and long, call after call so that the kept window tail matters.
TEST_F(Lzss, AgreesWithTheReferenceDecoderOnRandomStreams) {
  std::mt19937 random(20240611);
  ReferenceDecoder reference;
  for (int round = 0; round < 3000; ++round) {
    const size_t length = round % 50 == 0 ? 20000 + random() % 20000 : random() % 300;
    Bytes in(length);
    const int style = round % 4;
    for (uint8_t& b : in) {
      b = static_cast<uint8_t>(random());
      if (style == 1) b |= 0xE0;  // positions near the tail
    }
    if (style == 2)  // mostly pairs, so long outputs past the ring's first turn
      for (size_t k = 0; k < in.size(); k += 17) in[k] = static_cast<uint8_t>(random() & random() & random());
    const int64_t full = LzssMaxOutput(static_cast<int64_t>(length));
    const int32_t expected = static_cast<int32_t>(round % 3 == 0 ? full : random() % (full + 2));
    Bytes mine(static_cast<size_t>(expected) + 1), theirs(static_cast<size_t>(expected) + 1);
    const int32_t got = LzssDecode(mine.data(), in.data(), static_cast<int32_t>(length), expected, carry);
    const int32_t want = reference.Decode(theirs.data(), in, expected);
    ASSERT_EQ(want, got) << "round " << round;
    const size_t stored = static_cast<size_t>(std::min(got, expected));
    ASSERT_TRUE(std::equal(theirs.begin(), theirs.begin() + stored, mine.begin())) << "round " << round;
    ASSERT_EQ(reference.Tail(), Tail()) << "round " << round;
  }
}

TEST_F(Lzss, DiscardingLeavesTheWindowAsAFullDecodeDoes) {
  std::mt19937 random(7);
  ReferenceDecoder reference;
  for (int round = 0; round < 500; ++round) {
    Bytes in(random() % 3000);
    for (uint8_t& b : in) b = static_cast<uint8_t>(random());
    Bytes sink(static_cast<size_t>(LzssMaxOutput(static_cast<int64_t>(in.size()))) + 1);
    const int32_t want = reference.Decode(sink.data(), in, static_cast<int32_t>(sink.size()));
    ASSERT_EQ(want, LzssDecodeDiscarding(in.data(), static_cast<int32_t>(in.size()), carry));
    ASSERT_EQ(reference.Tail(), Tail());
  }
}

Bytes RoundTrip(const Bytes& data) {
  const Bytes stream = LzssEncode(data.data(), data.size());
  Bytes out(data.size() + 1);
  LzssCarry carry;
  const int32_t got = LzssDecode(out.data(), stream.data(), static_cast<int32_t>(stream.size()),
                                 static_cast<int32_t>(data.size()), carry);
  EXPECT_EQ(static_cast<int32_t>(data.size()), got);
  out.resize(data.size());
  return out;
}

TEST_F(Lzss, OurEncoderRoundTripsLargeRandomInputs) {
  std::mt19937 random(99);
  for (int kind = 0; kind < 4; ++kind) {
    Bytes data(kind == 3 ? 3u << 20 : 600000);
    for (size_t k = 0; k < data.size(); ++k) {
      switch (kind) {
        case 0: data[k] = static_cast<uint8_t>(random()); break;  // incompressible
        case 1: data[k] = static_cast<uint8_t>(random() % 4); break;  // few symbols
        case 2: data[k] = k % 5000 < 2500 ? 0 : static_cast<uint8_t>(random()); break;  // runs
        default: data[k] = static_cast<uint8_t>((k * k >> 7) ^ (random() % 3 ? 0 : random())); break;
      }
    }
    // Whatever an earlier call left in the tail does not matter to our streams.
    Bytes junk = {0xFF, 1, 2, 3, 4, 5, 6, 7, 8};
    Decode(junk, 8);
    EXPECT_EQ(data, RoundTrip(data)) << "kind " << kind;
  }
  EXPECT_EQ(Bytes{}, RoundTrip({}));
  EXPECT_EQ(Bytes{7}, RoundTrip({7}));
  EXPECT_EQ(Bytes(100000, 0x20), RoundTrip(Bytes(100000, 0x20)));
}

TEST_F(Lzss, OurEncoderRoundTripsTheDemoSpriteSheets) {
  const std::filesystem::path folder = std::filesystem::path(M2K_SOURCE_DIR) / "resources" / "demo_sprites";
  int sheets = 0;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    const std::string extension = item.path().extension().string();
    if (extension != ".tga" && extension != ".tg2") continue;
    std::ifstream in(item.path(), std::ios::binary);
    const Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(data.empty()) << item.path();
    const Bytes stream = LzssEncode(data.data(), data.size());
    EXPECT_LT(stream.size(), data.size()) << item.path() << ": sheets compress";
    EXPECT_EQ(data, RoundTrip(data)) << item.path();
    ++sheets;
  }
  EXPECT_EQ(16, sheets);
}

TEST_F(Lzss, APackedEntryHoldsZeroTheUnpackedSizeAndTheStream) {
  const std::string entry = LzssPackEntry("abababab");
  ASSERT_GE(entry.size(), 8u);
  EXPECT_EQ(std::string(4, '\0'), entry.substr(0, 4));
  EXPECT_EQ(std::string("\x08\0\0\0", 4), entry.substr(4, 4));
  const Bytes stream(entry.begin() + 8, entry.end());
  Bytes out(8);
  EXPECT_EQ(8, LzssDecode(out.data(), stream.data(), static_cast<int32_t>(stream.size()), 8, carry));
  EXPECT_EQ(Bytes({'a', 'b', 'a', 'b', 'a', 'b', 'a', 'b'}), out);
}

}  // namespace
