#pragma once
// The game's archives as the tests write them, byte by byte and little-endian: grp.pak (a
// header, 36-byte entries: packed flag, name[24], offset, size) and voice.pak (a header, 40-byte
// entries: complemented name[32], size, offset), each entry's data after the directory in entry
// order. Sizes and offsets can be stated falsely, and the count too, to make damaged archives.
// Shared by the native tests, the Wine tests and the benchmarks.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace test_fixtures {

inline std::string Le32(uint32_t v) {
  std::string s(4, '\0');
  for (int k = 0; k < 4; ++k) s[k] = static_cast<char>(v >> (8 * k) & 0xFF);
  return s;
}

struct PakEntry {
  std::string name = "";
  std::string data = "";    // laid out after the directory, in entry order
  uint32_t packedFlag = 0;  // grp.pak only
  std::optional<int32_t> size = std::nullopt;     // the stated size; by default the data's
  std::optional<uint32_t> offset = std::nullopt;  // the stated offset; by default where the data lies
};

// A name cut to `width` bytes and padded with zeros; voice.pak stores each byte complemented.
inline std::string NameField(const std::string& name, size_t width, bool complemented) {
  std::string field = name.substr(0, width);
  if (complemented)
    for (char& c : field) c = static_cast<char>(255 - static_cast<uint8_t>(c));
  field.resize(width, '\0');  // the end: a stored zero
  return field;
}

inline std::string ImagePak(const std::vector<PakEntry>& entries, std::optional<int32_t> count = {}) {
  std::string directory, data;
  const size_t dataStart = 8 + 36 * entries.size();
  for (const PakEntry& e : entries) {
    directory += Le32(e.packedFlag) + NameField(e.name, 24, false) +
                 Le32(e.offset.value_or(static_cast<uint32_t>(dataStart + data.size()))) +
                 Le32(static_cast<uint32_t>(e.size.value_or(static_cast<int32_t>(e.data.size()))));
    data += e.data;
  }
  return "GRP0" + Le32(static_cast<uint32_t>(count.value_or(static_cast<int32_t>(entries.size())))) + directory + data;
}

inline std::string VoicePak(const std::vector<PakEntry>& entries, std::optional<int32_t> count = {}) {
  std::string directory, data;
  const size_t dataStart = 8 + 40 * entries.size();
  for (const PakEntry& e : entries) {
    directory += NameField(e.name, 32, true) +
                 Le32(static_cast<uint32_t>(e.size.value_or(static_cast<int32_t>(e.data.size())))) +
                 Le32(e.offset.value_or(static_cast<uint32_t>(dataStart + data.size())));
    data += e.data;
  }
  return "VOI0" + Le32(static_cast<uint32_t>(count.value_or(static_cast<int32_t>(entries.size())))) + directory + data;
}

}  // namespace test_fixtures
