#pragma once
// The 64-byte start history block as its file holds it, read and written byte by byte
// (little-endian), so that the tests check the file layout instead of trusting the program's
// own struct. Shared by the native and the Wine tests.
#include <cstdint>
#include <string>

namespace test_fixtures {

struct HistoryBlock {
  int32_t firstStart = 0;
  uint32_t startNumber = 0;
  int32_t lastStart = 0;
  uint32_t startsOnLastDay = 0;
  uint32_t maxStartsPerDay = 0;
  std::string reserved = std::string(44, '\0');
};

inline uint32_t ReadLittleEndian(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

inline void AppendLittleEndian(std::string& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
}

inline HistoryBlock DecodeHistory(const std::string& bytes) {
  HistoryBlock b;
  b.firstStart = static_cast<int32_t>(ReadLittleEndian(bytes, 0));
  b.startNumber = ReadLittleEndian(bytes, 4);
  b.lastStart = static_cast<int32_t>(ReadLittleEndian(bytes, 8));
  b.startsOnLastDay = ReadLittleEndian(bytes, 12);
  b.maxStartsPerDay = ReadLittleEndian(bytes, 16);
  b.reserved = bytes.substr(20, 44);
  return b;
}

inline std::string EncodeHistory(const HistoryBlock& b) {
  std::string bytes;
  AppendLittleEndian(bytes, static_cast<uint32_t>(b.firstStart));
  AppendLittleEndian(bytes, b.startNumber);
  AppendLittleEndian(bytes, static_cast<uint32_t>(b.lastStart));
  AppendLittleEndian(bytes, b.startsOnLastDay);
  AppendLittleEndian(bytes, b.maxStartsPerDay);
  return bytes + b.reserved;
}

// Reserved bytes that are someone else's: 0xA0, 0xA1, ... 0xCB.
inline std::string ForeignReserved() {
  std::string reserved;
  for (int i = 0; i < 44; ++i) reserved += static_cast<char>(0xA0 + i);
  return reserved;
}

}  // namespace test_fixtures
