// The game's archives: sprite sheets out of "grp.pak" into the work folder, voice
// clips out of "voice.pak" as WAV files.
//
// The archives are files on the user's disk and may be damaged. What this reader does with
// entries that cannot be what they claim, none of which a real archive holds:
//
// - A directory is read in blocks of entries, not entry by entry (same results, far fewer
//   calls): 64 entries first, each further block twice the last, up to 4096 entries (160 KB),
//   never past the count nor past the end of the file. An entry count below 1 means an empty
//   directory. An entry that does not lie wholly
//   inside the file, the header's count included, is a read that fails, exactly as reading it
//   on its own would: a failed read stops the work (ExtractImages stops and returns false,
//   ExtractVoice returns ""). So a huge count costs at most one pass over the file, and no
//   memory beyond one block.
// - An entry whose data does not lie wholly inside the file (offset + size past its end) is
//   treated like an entry of size 0 or less: never taken, as if it were not in the directory,
//   and the scan goes on. Such an entry names bytes that do not exist; reading it could only
//   fail or yield garbage, and taking it would let a damaged later duplicate of a voice clip
//   wipe out a good earlier one. For an image this gives an empty hidden sheet (when no other
//   entry has the name), for a voice "not found".
// - Data is copied in blocks of at most 1 MiB; only a packed entry is read whole, and its data
//   lies inside the file.
// - A packed entry is taken like any other; its content decides whether anything is written
//   (a sheet of the wrong length is left empty and hidden):
//   - shorter than its 8-byte header: rejected, it holds no unpacked size;
//   - an unpacked size below 0: rejected, no buffer of that size exists;
//   - an unpacked size above what any stream of its length can yield (LzssMaxOutput, about 8.47
//     bytes per stream byte): rejected without a buffer of that size. The stream is still
//     decoded (discarding its output), because the decoder's window keeps bytes from call to
//     call and must end up as it would after a full decode;
//   - otherwise the buffer holds at most 8.47 times the entry's own size, and the stream is
//     decoded into it and accepted only at exactly the unpacked size.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "data/Untdata.h"
#include "data/lzss.h"
#include "data/ogg.h"
#include "data/sprites.h"
#include "image/targa.h"
#include "platform/files.h"

namespace {

constexpr int64_t kHeaderSize = 8;
constexpr int64_t kCountOffset = 4;
constexpr int64_t kImageEntrySize = 36;  // packed flag, name[24], offset, size
constexpr int64_t kImageNameSize = 24;
constexpr int64_t kVoiceEntrySize = 40;  // complemented name[32], size, offset
constexpr int64_t kVoiceNameSize = 32;
constexpr int64_t kPackedHeaderSize = 8;  // not examined, unpacked size
// Directory blocks start small (most wanted entries lie near the front) and double up to a cap.
constexpr int64_t kFirstBlockEntries = 64;
constexpr int64_t kMaxBlockEntries = 4096;
constexpr size_t kCopyBlock = size_t{1} << 20;

int32_t Int32At(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}
uint32_t Uint32At(const uint8_t* p) { return static_cast<uint32_t>(Int32At(p)); }

// The directory of an open archive, read in blocks of entries in ascending order.
class Directory {
 public:
  Directory(platform::File& archive, int64_t fileSize, int64_t entrySize)
      : archive_(archive), fileSize_(fileSize), entrySize_(entrySize) {}

  // The entry count at offset 4; false when it cannot be read.
  bool ReadCount(int32_t& count) {
    uint8_t bytes[4];
    if (archive_.ReadAt(kCountOffset, bytes, 4) != 4) return false;
    count_ = Int32At(bytes);
    count = count_;
    return true;
  }

  // Entry k (0 <= k < count, asked for in ascending order): its bytes, or null when they are
  // not all in the file or the read fails.
  const uint8_t* Entry(int64_t k) {
    if (k < first_ || k >= first_ + held_) Load(k);
    if (k >= first_ + held_) return nullptr;
    return block_.data() + (k - first_) * entrySize_;
  }

 private:
  void Load(int64_t k) {
    blockEntries_ = k == 0 ? kFirstBlockEntries : std::min(blockEntries_ * 2, kMaxBlockEntries);
    first_ = k;
    held_ = 0;
    const int64_t at = kHeaderSize + k * entrySize_;
    // No more than the directory still has, nor than the file still holds past this entry.
    const int64_t inFile = fileSize_ > at ? (fileSize_ - at) / entrySize_ : 0;
    const int64_t wanted = std::min({blockEntries_, int64_t{count_} - k, inFile});
    if (wanted <= 0) return;
    block_.resize(static_cast<size_t>(wanted * entrySize_));
    const int64_t got = archive_.ReadAt(at, block_.data(), block_.size());
    if (got > 0) held_ = got / entrySize_;  // a short read ends the directory early
  }

  platform::File& archive_;
  const int64_t fileSize_;
  const int64_t entrySize_;
  int32_t count_ = 0;
  std::vector<uint8_t> block_;
  int64_t first_ = 0;
  int64_t held_ = 0;
  int64_t blockEntries_ = kFirstBlockEntries;
};

// True when the entry's data lies wholly inside the file.
bool DataInside(uint32_t offset, int32_t size, int64_t fileSize) {
  return size > 0 && int64_t{offset} + size <= fileSize;
}

// A block for a sheet's bytes on their way to its file, borrowed from the picture reader: the
// figures, drawn next, then read their sheets into memory that is already in use, not into
// fresh pages (each one a fault, dear under Wine at logon). A new block has room for twice the
// sheet, up to the copy block's size, so that a larger sheet after it fits too. Its bytes are
// undefined.
class SheetBlock {
 public:
  explicit SheetBlock(size_t bytes)
      : bytes_(bytes > 0 ? bytes : 1),
        block_(BorrowTargaBlock(bytes_, std::max(bytes_, std::min(2 * bytes_, kCopyBlock)))) {
    if (!block_) throw std::bad_alloc();
  }
  ~SheetBlock() { ReturnTargaBlock(block_, bytes_); }
  SheetBlock(const SheetBlock&) = delete;
  SheetBlock& operator=(const SheetBlock&) = delete;
  uint8_t* data() { return block_; }

 private:
  size_t bytes_;
  uint8_t* block_;
};

size_t CopyBufferBytes(int64_t size) { return static_cast<size_t>(std::min<int64_t>(size, kCopyBlock)); }

// Copies `size` bytes from `offset` of the archive to the output through a buffer of
// CopyBufferBytes(size); false when a read comes up short or fails (the file changed under us)
// or a write fails.
bool CopyData(platform::File& archive, int64_t offset, int64_t size, platform::File& output, uint8_t* buffer) {
  for (int64_t done = 0; done < size;) {
    const size_t chunk = static_cast<size_t>(std::min<int64_t>(size - done, kCopyBlock));
    if (archive.ReadAt(offset + done, buffer, chunk) != static_cast<int64_t>(chunk)) return false;
    if (!output.Write(buffer, chunk)) return false;
    done += static_cast<int64_t>(chunk);
  }
  return true;
}

// CopyData for a sheet, through a block borrowed from the picture reader.
bool CopySheet(platform::File& archive, int64_t offset, int64_t size, platform::File& output) {
  SheetBlock buffer(CopyBufferBytes(size));
  return CopyData(archive, offset, size, output, buffer.data());
}

// Writes the decoded content of a packed entry whose `size` bytes lie at `offset`, when it
// decodes to exactly its unpacked size; false only when a read or write fails. The entry is
// read into `data`, kept by the caller from one sheet to the next. Without an output the entry
// only goes through the decoder, which it leaves as writing it would.
bool WritePacked(platform::File& archive, int64_t offset, int32_t size, platform::File* output,
                 std::vector<uint8_t>& data, LzssCarry& carry) {
  if (size < kPackedHeaderSize) return true;  // no unpacked size: rejected
  data.reserve(static_cast<size_t>(size));  // exactly: never more than the entry
  data.resize(static_cast<size_t>(size));
  if (archive.ReadAt(offset, data.data(), data.size()) != size) return false;
  const int32_t unpacked = Int32At(data.data() + 4);
  const uint8_t* stream = data.data() + kPackedHeaderSize;
  const int32_t streamLength = size - static_cast<int32_t>(kPackedHeaderSize);
  if (unpacked < 0) return true;  // rejected
  if (unpacked > LzssMaxOutput(streamLength)) {
    LzssDecodeDiscarding(stream, streamLength, carry);  // rejected; the window as after a full decode
    return true;
  }
  SheetBlock out(static_cast<size_t>(unpacked));
  if (LzssDecode(out.data(), stream, streamLength, unpacked, carry) != unpacked) return true;  // rejected
  return !output || output->Write(out.data(), static_cast<size_t>(unpacked));
}

// The sheets of SpriteFiles that are not in the work folder yet, in the table's order, each
// name once: an existing sheet is never extracted again, and "mapc140.tga", listed twice, is
// extracted once.
// One listing of the work folder serves every name (see platform::FilesMatching); a name is
// there as the file system finds it, regardless of letter case.
std::vector<std::string> MissingSheets() {
  const std::vector<std::string> files = platform::FilesMatching(".\\*");
  const auto present = [&files](const std::string& name) {
    return std::any_of(files.begin(), files.end(),
                       [&name](const std::string& file) { return platform::WildcardMatch(name, file); });
  };
  std::vector<std::string> missing;
  for (int character = 0; character < kRosterSize; ++character)
    for (int variant = 0; variant < kVariants && SpriteFiles[character][variant]; ++variant) {
      const std::string name = SpriteFiles[character][variant];
      if (present(name) || std::find(missing.begin(), missing.end(), name) != missing.end()) continue;
      missing.push_back(name);
    }
  return missing;
}

// Where a sheet's data lies in grp.pak.
struct SheetEntry {
  bool found = false;
  bool packed = false;
  uint32_t offset = 0;
  int32_t size = 0;
};

// One pass over the directory for all the names at once: for each name its first entry with
// data inside the file, the name compared byte for byte with letter case significant. This
// takes for every name the entry that a scan of its own from the first entry would take; the
// pass ends once every name is found. False when the directory could not be read to where the
// pass ended: the names not found by then would each have met the same unreadable entry.
bool FindSheets(platform::File& archive, const std::vector<std::string>& names, std::vector<SheetEntry>& entries) {
  const int64_t fileSize = archive.Size();
  if (fileSize < 0) return false;
  Directory directory(archive, fileSize, kImageEntrySize);
  int32_t count = 0;
  if (!directory.ReadCount(count)) return false;
  size_t left = names.size();
  for (int64_t k = 0; k < count && left > 0; ++k) {
    const uint8_t* entry = directory.Entry(k);
    if (!entry) return false;
    const int32_t size = Int32At(entry + 32);
    const uint32_t offset = Uint32At(entry + 28);
    if (!DataInside(offset, size, fileSize)) continue;  // size <= 0, or bytes that do not exist
    const uint8_t* field = entry + 4;
    const size_t length = std::find(field, field + kImageNameSize, 0) - field;
    for (size_t i = 0; i < names.size(); ++i) {
      if (entries[i].found || length != names[i].size() || std::memcmp(field, names[i].data(), length) != 0) continue;
      entries[i] = {true, Uint32At(entry) != 0, offset, size};
      --left;
      break;
    }
  }
  return true;
}

// Writes one sheet: its entry's data, unpacked if it was packed, or nothing when the archive
// has no usable entry of the name (or the packed data decodes to the wrong length). The file is
// made hidden from the start, so it is written once and never opened again. False when the
// file cannot be made, a read or write fails, or the directory could not be read far enough to
// know the sheet's entry; the file then keeps what it holds, without the hidden attribute.
bool WriteSheet(platform::File& archive, const std::string& name, const SheetEntry& entry, bool directoryRead,
                std::vector<uint8_t>& packed, LzssCarry& carry) {
  platform::File output;
  if (!output.CreateExclusive(name, true)) return false;
  const bool written = !entry.found ? directoryRead
                       : entry.packed ? WritePacked(archive, entry.offset, entry.size, &output, packed, carry)
                                      : CopySheet(archive, entry.offset, entry.size, output);
  output.Close();
  if (!written) platform::SetHidden(name, false);
  return written;
}

// What writing the sheet does to the decoder, without its file: packed data goes through the
// decoder. False where writing it would have failed before its file mattered: the directory
// could not be read far enough to know its entry, or a read fails.
bool PassSheet(platform::File& archive, const SheetEntry& entry, bool directoryRead, std::vector<uint8_t>& packed,
               LzssCarry& carry) {
  if (!entry.found) return directoryRead;
  return !entry.packed || WritePacked(archive, entry.offset, entry.size, nullptr, packed, carry);
}

// The stored voice name matches `wanted`: complemented bytes up to the first stored zero, at
// most 32, equal to `wanted` with the letters a-z and A-Z compared regardless of case.
bool VoiceNameMatches(const uint8_t* field, const std::string& wanted) {
  const size_t length = std::find(field, field + kVoiceNameSize, 0) - field;
  if (length != wanted.size()) return false;
  for (size_t i = 0; i < length; ++i) {
    uint8_t a = static_cast<uint8_t>(255 - field[i]);
    uint8_t b = static_cast<uint8_t>(wanted[i]);
    if (a >= 'a' && a <= 'z') a = static_cast<uint8_t>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<uint8_t>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

}  // namespace

bool TfrmData::ExtractImages() { return ExtractSheets(MissingSheets(), {}); }

bool TfrmData::ExtractImages(const std::vector<std::string>& needed) {
  std::vector<std::string> missing = MissingSheets();
  size_t through = 0;
  for (size_t i = 0; i < missing.size(); ++i)
    if (std::find(needed.begin(), needed.end(), missing[i]) != needed.end()) through = i + 1;
  missing.resize(through);
  return ExtractSheets(missing, needed);
}

bool TfrmData::ExtractSheets(const std::vector<std::string>& missing, const std::vector<std::string>& now) {
  if (missing.empty()) return true;
  // The archive is opened once and its directory read once for all the sheets. Sheets are then
  // written in the table's order, which is also the order in which packed sheets pass through
  // the LZSS decoder's kept window. A sheet not wanted yet passes through the decoder only; the
  // carry it started from is kept, and given back to the decoder when it is written later, so
  // it comes out as in the table's order. Writing a sheet takes a file, the decoder does not:
  // the figures' sheets are had sooner.
  platform::File archive;
  if (!archive.OpenShared(GameFilePath(counterSettings.dirwave, "grp.pak"))) return false;  // no output file made
  std::vector<SheetEntry> entries(missing.size());
  const bool directoryRead = FindSheets(archive, missing, entries);
  std::vector<uint8_t> packed;  // each packed entry in turn: one block, grown as needed
  for (size_t i = 0; i < missing.size(); ++i) {
    const std::string& name = missing[i];
    const bool wanted = now.empty() || std::find(now.begin(), now.end(), name) != now.end();
    auto deferred = std::find_if(deferredSheets_.begin(), deferredSheets_.end(),
                                 [&name](const auto& sheet) { return sheet.first == name; });
    if (deferred != deferredSheets_.end()) {
      if (!wanted) continue;
      sheetWindow_ = deferred->second;
      const bool written = WriteSheet(archive, name, entries[i], directoryRead, packed, sheetWindow_);
      if (sheetFlow_) sheetWindow_ = *sheetFlow_;  // the sheets after it go on from there
      if (!written) return false;
      deferredSheets_.erase(deferred);
      continue;
    }
    if (wanted) {
      if (!WriteSheet(archive, name, entries[i], directoryRead, packed, sheetWindow_)) return false;
    } else {
      deferredSheets_.emplace_back(name, sheetWindow_);
      if (!PassSheet(archive, entries[i], directoryRead, packed, sheetWindow_)) return false;
    }
    if (!deferredSheets_.empty()) sheetFlow_ = sheetWindow_;
  }
  if (deferredSheets_.empty()) sheetFlow_.reset();
  return true;
}

namespace {

// The clip's name with its ninth and tenth characters made "00", as GetVoiceWave retries it,
// or "" when it has no such form (shorter, or "00" there already).
std::string ZerosForm(const std::string& clip) {
  if (clip.size() < 10 || (clip[8] == '0' && clip[9] == '0')) return std::string();
  std::string form = clip;
  form[8] = '0';
  form[9] = '0';
  return form;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameFileName(const std::string& a, const std::string& b) {
  return !a.empty() && a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

}  // namespace

bool VoiceWavesOverlap(const char* clip, const char* other) {
  if (!clip || !*clip || !other || !*other) return false;
  const std::string a[2] = {clip, ZerosForm(clip)};
  const std::string b[2] = {other, ZerosForm(other)};
  for (const std::string& x : a)
    for (const std::string& y : b)
      if (SameFileName(x, y)) return true;
  return false;
}

std::string TfrmData::GetVoiceWave(const char* clipName, bool preferVariant) {
  if (!clipName || !*clipName) return std::string();
  std::string result = ExtractVoice(clipName, preferVariant);
  const std::string retry = ZerosForm(clipName);
  if (result.empty() && !retry.empty()) result = ExtractVoice(retry.c_str(), preferVariant);
  return result;
}

std::string TfrmData::ExtractVoice(const char* clipName, bool preferVariant) {
  if (!clipName || !*clipName) return std::string();
  const std::string clip = clipName;
  std::string variant;
  if (preferVariant) {
    const size_t dot = clip.rfind('.');
    variant = dot == std::string::npos ? clip + "A" : clip.substr(0, dot) + "A" + clip.substr(dot);
  }
  const std::string archivePath = GameFilePath(counterSettings.dirwave, "voice.pak");
  // Both named after the clip that was asked for, never after its variant.
  const std::string temporaryPath = ".\\" + clip;
  const std::string wavePath = temporaryPath + ".wav";
  platform::RemoveFile(temporaryPath);
  platform::RemoveFile(wavePath);

  platform::File archive;
  if (!archive.OpenShared(archivePath)) return std::string();
  platform::File temporary;
  if (!temporary.CreateExclusive(temporaryPath)) return std::string();

  const int64_t fileSize = archive.Size();
  if (fileSize < 0) return std::string();
  Directory directory(archive, fileSize, kVoiceEntrySize);
  int32_t count = 0;
  if (!directory.ReadCount(count)) return std::string();
  // The winner is copied once, after the scan: rewriting the temporary file for every match
  // would leave the same bytes (the last match, or the variant).
  bool found = false;
  uint32_t foundOffset = 0;
  int32_t foundSize = 0;
  for (int64_t i = 0; i < count; ++i) {
    const uint8_t* entry = directory.Entry(i);
    if (!entry) return std::string();
    const int32_t size = Int32At(entry + 32);
    const uint32_t offset = Uint32At(entry + 36);
    if (!DataInside(offset, size, fileSize)) continue;  // size <= 0, or bytes that do not exist
    const bool isVariant = preferVariant && VoiceNameMatches(entry, variant);
    if (isVariant || VoiceNameMatches(entry, clip)) {
      found = true;
      foundOffset = offset;
      foundSize = size;
      if (isVariant) break;  // a variant anywhere wins
    }
  }
  std::vector<uint8_t> buffer(found ? CopyBufferBytes(foundSize) : 0);
  if (found && !CopyData(archive, foundOffset, foundSize, temporary, buffer.data())) return std::string();
  archive.Close();
  temporary.Close();
  if (!found) {
    platform::RemoveFile(temporaryPath);
    return std::string();
  }

  // A clip counts as found only once its WAV file is there: a missing library, a decoder that
  // reports a failure and a decoder that leaves no file all give "", so that the caller tries
  // the clip's "00" form and never hands on the path of a file that was never made.
  const bool decoded = LoadOggLibrary() == 0 && DecodeOggFile(temporaryPath, wavePath) == 0;
  UnloadOggLibrary();
  platform::RemoveFile(temporaryPath);
  if (decoded && platform::FileExists(wavePath)) return wavePath;
  platform::RemoveFile(wavePath);  // whatever a failed decoder left
  return std::string();
}
