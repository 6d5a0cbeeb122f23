#include "tools/lzss/lzss_encode.h"

#include <algorithm>

namespace {

constexpr size_t kRing = 4096;
constexpr size_t kMaxLength = 18;
constexpr size_t kMinLength = 3;
constexpr size_t kStart = kRing - kMaxLength;  // 4078
constexpr size_t kMaxDistance = kRing - 1;    // the byte about to be overwritten is left alone
constexpr size_t kHashBits = 15;
constexpr int kChainLimit = 256;

inline uint32_t Hash(const uint8_t* at) {
  const uint32_t v = at[0] | at[1] << 8 | at[2] << 16;
  return (v * 2654435761u) >> (32 - kHashBits);
}

}  // namespace

std::vector<uint8_t> LzssEncode(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out;
  out.reserve(size + size / 8 + 16);
  // head: latest position + 1 with a hash; chain: the previous position + 1 with the same hash.
  std::vector<uint32_t> head(size_t{1} << kHashBits, 0);
  std::vector<uint32_t> chain(size, 0);
  auto insert = [&](size_t at) {
    if (at + kMinLength > size) return;
    uint32_t& h = head[Hash(data + at)];
    chain[at] = h;
    h = static_cast<uint32_t>(at + 1);
  };

  size_t flagAt = 0;
  int bit = 8;
  auto token = [&](bool literal) {
    if (bit == 8) {
      flagAt = out.size();
      out.push_back(0);
      bit = 0;
    }
    if (literal) out[flagAt] = static_cast<uint8_t>(out[flagAt] | 1u << bit);
    ++bit;
  };

  size_t i = 0;
  while (i < size) {
    size_t bestLength = 0, bestFrom = 0;
    const size_t most = std::min(kMaxLength, size - i);
    if (most >= kMinLength) {
      int steps = kChainLimit;
      for (uint32_t c = head[Hash(data + i)]; c != 0 && steps-- > 0; c = chain[c - 1]) {
        const size_t from = c - 1;
        if (i - from > kMaxDistance) break;  // chains run from near to far
        size_t n = 0;
        while (n < most && data[from + n] == data[i + n]) ++n;  // may overlap i: a repeat
        if (n > bestLength) {
          bestLength = n;
          bestFrom = from;
          if (n == most) break;
        }
      }
    }
    if (bestLength >= kMinLength) {
      token(false);
      const size_t position = (kStart + bestFrom) % kRing;
      out.push_back(static_cast<uint8_t>(position & 0xFF));
      out.push_back(static_cast<uint8_t>((position >> 4 & 0xF0) | (bestLength - kMinLength)));
      for (size_t k = 0; k < bestLength; ++k) insert(i + k);
      i += bestLength;
    } else {
      token(true);
      out.push_back(data[i]);
      insert(i);
      ++i;
    }
  }
  return out;
}

std::string LzssPackEntry(const std::string& bytes) {
  const std::vector<uint8_t> stream =
      LzssEncode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  std::string entry(8, '\0');
  const uint32_t size = static_cast<uint32_t>(bytes.size());
  for (int k = 0; k < 4; ++k) entry[4 + k] = static_cast<char>(size >> (8 * k) & 0xFF);
  entry.append(reinterpret_cast<const char*>(stream.data()), stream.size());
  return entry;
}
