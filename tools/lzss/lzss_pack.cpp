// lzss_pack: packs a file into the packed-entry form of the game's image archive "grp.pak":
// 4 bytes (written as zero), the unpacked size (32-bit little-endian), then the LZSS stream
// that LzssDecode (data/lzss.h) turns back into the file.
//
// Usage:  build/native/lzss_pack INPUT OUTPUT
//   INPUT   the file to pack (at most 2 GiB - 1 bytes: the size field is signed 32-bit)
//   OUTPUT  the packed entry, created or replaced
// Exit status 0 on success; 1 with a message on standard error otherwise. Give "-" as OUTPUT to
// write to standard output. Built by the native CMake configuration (`make native`).
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "tools/lzss/lzss_encode.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: lzss_pack INPUT OUTPUT\n"
                 "packs INPUT into a grp.pak packed entry: 4 zero bytes, the unpacked size\n"
                 "(32-bit little-endian), the LZSS stream\n";
    return 1;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "lzss_pack: cannot read " << argv[1] << "\n";
    return 1;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad() || bytes.size() > 0x7FFFFFFFu) {
    std::cerr << "lzss_pack: " << argv[1] << " cannot be read or is 2 GiB or larger\n";
    return 1;
  }
  const std::string entry = LzssPackEntry(bytes);
  const std::string target = argv[2];
  if (target == "-") {
    std::cout.write(entry.data(), static_cast<std::streamsize>(entry.size()));
    return std::cout.flush() ? 0 : 1;
  }
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(entry.data(), static_cast<std::streamsize>(entry.size()));
  if (!out.flush()) {
    std::cerr << "lzss_pack: cannot write " << target << "\n";
    return 1;
  }
  return 0;
}
