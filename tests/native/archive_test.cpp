// The game's archives: ExtractImages out of grp.pak, GetVoiceWave and ExtractVoice
// out of voice.pak, on archives written here byte by byte, and a suite of damaged archives
// that must each end with a stated outcome, within the reads, writes and memory the file justifies.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <time.h>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/Untdata.h"
#include "data/lzss.h"
#include "data/ogg.h"
#include "data/sprites.h"
#include "platform/files.h"
#include "image/targa.h"
#include "tests/common/archive_writer.h"
#include "tests/common/targa_writer.h"
#include "tests/native/native_support.h"
#include "tools/lzss/lzss_encode.h"

// The largest single request for memory while a test watches: a damaged archive must not make
// the reader ask for memory that the file does not justify. Every route is seen (new and new[],
// which end in malloc, and malloc, calloc, realloc and the aligned forms themselves, from any
// library): these definitions stand in for the C library's in the whole process and hand on to
// the allocator's own entry points.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {
bool watchAllocations = false;
size_t largestAllocation = 0;
int64_t allocationCount = 0;  // every request, watched or not: tests take differences

void NoteAllocation(size_t size) {
  ++allocationCount;
  if (watchAllocations && size > largestAllocation) largestAllocation = size;
}
}  // namespace

extern "C" void* malloc(size_t size) noexcept {
  NoteAllocation(size);
  return __libc_malloc(size);
}
extern "C" void* calloc(size_t count, size_t size) noexcept {
  size_t total = 0;
  NoteAllocation(__builtin_mul_overflow(count, size, &total) ? SIZE_MAX : total);
  return __libc_calloc(count, size);
}
extern "C" void* realloc(void* block, size_t size) noexcept {
  NoteAllocation(size);
  return __libc_realloc(block, size);
}
extern "C" void* memalign(size_t alignment, size_t size) noexcept {
  NoteAllocation(size);
  return __libc_memalign(alignment, size);
}
extern "C" void* aligned_alloc(size_t alignment, size_t size) noexcept { return memalign(alignment, size); }
extern "C" int posix_memalign(void** block, size_t alignment, size_t size) noexcept {
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  void* p = memalign(alignment, size);
  if (!p) return ENOMEM;
  *block = p;
  return 0;
}
extern "C" void free(void* block) noexcept { __libc_free(block); }

namespace {

using native_support::CurrentFolderGuard;
using native_support::Exists;
using native_support::MakeFile;
using native_support::TempFolder;

// The process's reads and writes so far, as the kernel counts them (/proc/self/io): a damaged
// archive must be dealt with in work its size justifies, whatever the machine's speed.
struct Io {
  int64_t bytesRead = 0, readCalls = 0, bytesWritten = 0;
};

Io IoSoFar() {
  std::ifstream in("/proc/self/io");
  Io io;
  std::string field;
  int64_t value = 0;
  while (in >> field >> value) {
    if (field == "rchar:") io.bytesRead = value;
    if (field == "syscr:") io.readCalls = value;
    if (field == "wchar:") io.bytesWritten = value;
  }
  return io;
}

// The work of one damaged archive: reads and writes since `before`, and the allocations made.
struct Work {
  Io before = IoSoFar();
  int64_t allocationsBefore = allocationCount;
  Io Done() const {
    const Io now = IoSoFar();
    return {now.bytesRead - before.bytesRead, now.readCalls - before.readCalls,
            now.bytesWritten - before.bytesWritten};
  }
  int64_t Allocations() const { return allocationCount - allocationsBefore; }
};

// Reading an archive of `size` bytes for `sheets` sheets: at most one pass over the archive per
// sheet (and one more), in blocks, never a file's worth of tiny reads; every sheet written at
// most what the archive can justify; the allocations a handful per sheet, not one per entry.
void ExpectWorkOfAnArchive(const Work& work, size_t size, size_t sheets) {
  const Io io = work.Done();
  const int64_t bytes = static_cast<int64_t>(size);
  const int64_t passes = static_cast<int64_t>(sheets) + 1;
  EXPECT_LE(io.bytesRead, passes * bytes + (1 << 20)) << "bytes read";
  EXPECT_LE(io.readCalls, passes * (bytes / 4096 + 64)) << "read calls";
  EXPECT_LE(io.bytesWritten, static_cast<int64_t>(sheets) * (LzssMaxOutput(bytes) + bytes) + 4096) << "bytes written";
  // Every malloc counts, the OGG decoder's for a found clip included.
  EXPECT_LE(work.Allocations(), 64 * static_cast<int64_t>(sheets) + 1024) << "allocations";
}

// ---- Archive writer ---------------------------------------------------------------------------

using test_fixtures::ImagePak;
using test_fixtures::Le32;
using test_fixtures::PakEntry;
using test_fixtures::VoicePak;

PakEntry Packed(const std::string& name, const std::string& content) {
  return {.name = name, .data = LzssPackEntry(content), .packedFlag = 1};
}

// A packed entry whose stated unpacked size is off by `delta` from what its stream yields.
PakEntry PackedWithSize(const std::string& name, const std::string& content, int64_t statedSize) {
  PakEntry e = Packed(name, content);
  e.data.replace(4, 4, Le32(static_cast<uint32_t>(statedSize)));
  return e;
}

// Every distinct sheet name, in the order ExtractImages meets them.
std::vector<std::string> SheetNames() {
  std::vector<std::string> names;
  for (int c = 0; c < kRosterSize; ++c)
    for (int v = 0; v < kVariants && SpriteFiles[c][v]; ++v)
      if (std::find(names.begin(), names.end(), SpriteFiles[c][v]) == names.end()) names.push_back(SpriteFiles[c][v]);
  return names;
}

std::string SheetContent(const std::string& name) { return "sheet " + name + std::string(300, name.back()); }

// Counts the opens of one file (inotify), to see how often an archive was read. Closes are
// watched too: inotify merges an event into an identical unread one just before it.
class OpenCounter {
 public:
  explicit OpenCounter(const std::string& posixPath) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0) inotify_add_watch(fd_, posixPath.c_str(), IN_OPEN | IN_CLOSE);
  }
  ~OpenCounter() {
    if (fd_ >= 0) close(fd_);
  }
  int Opens() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
      const ssize_t n = read(fd_, buffer, sizeof buffer);
      if (n <= 0) break;
      for (ssize_t at = 0; at < n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->mask & IN_OPEN) ++opens_;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return opens_;
  }

 private:
  int fd_ = -1;
  int opens_ = 0;
};

class Archives : public ::testing::Test {
 protected:
  void SetUp() override {
    native_support::ResetMachine();
    ASSERT_TRUE(work.Made());
    ASSERT_TRUE(game.Made());
    std::filesystem::current_path(work.Posix());
    data.counterSettings.dirwave = game.Windows();
  }
  void TearDown() override { native_support::ResetMachine(); }

  void WriteGrp(const std::string& bytes) { MakeFile(game.Child("grp.pak"), bytes); }
  void WriteVoice(const std::string& bytes) { MakeFile(game.Child("voice.pak"), bytes); }
  std::string Read(const std::string& name) const {
    std::string bytes;
    platform::ReadWholeFile(work.Child(name), bytes);
    return bytes;
  }
  bool Present(const std::string& name) const { return Exists(work.Child(name)); }
  bool Hidden(const std::string& name) const { return platform::IsHidden(name); }
  // Present, hidden and empty: a sheet the archive did not give.
  void ExpectEmptyHiddenSheet(const std::string& name) const {
    EXPECT_TRUE(Present(name)) << name;
    EXPECT_TRUE(Hidden(name)) << name;
    EXPECT_EQ("", Read(name)) << name;
  }
  // A full archive of every sheet, unpacked, plus whatever comes first.
  std::vector<PakEntry> AllSheets(std::vector<PakEntry> before = {}) const {
    for (const std::string& name : SheetNames()) before.push_back({.name = name, .data = SheetContent(name)});
    return before;
  }

  TempFolder work, game;
  CurrentFolderGuard guard;
  TfrmData data;
};

// ---- ExtractImages ---------------------------------------------------------------------------

TEST_F(Archives, EverySheetIsExtractedHiddenUnpackedOrPacked) {
  std::vector<PakEntry> entries;
  int k = 0;
  for (const std::string& name : SheetNames())
    entries.push_back(k++ % 2 ? Packed(name, SheetContent(name)) : PakEntry{.name = name, .data = SheetContent(name)});
  WriteGrp(ImagePak(entries));

  EXPECT_TRUE(data.ExtractImages());
  for (const std::string& name : SheetNames()) {
    EXPECT_EQ(SheetContent(name), Read(name)) << name;
    EXPECT_TRUE(Hidden(name)) << name;
  }
}

TEST_F(Archives, TheDemoSheetsComeOutOfAPackedArchiveByteForByte) {
  std::vector<PakEntry> entries;
  const std::filesystem::path folder = std::filesystem::path(M2K_SOURCE_DIR) / "resources" / "demo_sprites";
  for (const std::string& name : SheetNames()) {
    std::string bytes;
    ASSERT_TRUE(platform::ReadWholeFile((folder / name).string(), bytes)) << name;
    entries.push_back(Packed(name, bytes));
  }
  WriteGrp(ImagePak(entries));
  EXPECT_TRUE(data.ExtractImages());
  for (const std::string& name : SheetNames()) {
    std::string original;
    platform::ReadWholeFile((folder / name).string(), original);
    EXPECT_EQ(original, Read(name)) << name;
  }
}

TEST_F(Archives, ImageNamesCompareWithLetterCase) {
  WriteGrp(ImagePak({{.name = "MAPC010.TGA", .data = "upper"}, {.name = "mapc011.tga", .data = "lower"}}));
  EXPECT_TRUE(data.ExtractImages());
  ExpectEmptyHiddenSheet("mapc010.tga");
  EXPECT_EQ("lower", Read("mapc011.tga"));
}

TEST_F(Archives, TheFirstImageEntryOfANameWins) {
  WriteGrp(ImagePak({{.name = "mapc010.tga", .data = "first"}, {.name = "mapc010.tga", .data = "second"}}));
  EXPECT_TRUE(data.ExtractImages());
  EXPECT_EQ("first", Read("mapc010.tga"));
}

TEST_F(Archives, AnImageEntryOfSizeZeroOrLessIsNeverTaken) {
  WriteGrp(ImagePak({{.name = "mapc010.tga", .data = "zero", .size = 0},
                     {.name = "mapc010.tga", .data = "negative", .size = -4},
                     {.name = "mapc010.tga", .data = "taken"},
                     {.name = "mapc011.tga", .data = "", .size = 0},
                     {.name = "mapc013.tga", .data = "x", .size = -1}}));
  EXPECT_TRUE(data.ExtractImages());
  EXPECT_EQ("taken", Read("mapc010.tga"));
  ExpectEmptyHiddenSheet("mapc011.tga");
  ExpectEmptyHiddenSheet("mapc013.tga");
}

TEST_F(Archives, AWrongDecodedLengthLeavesAnEmptyHiddenSheetThatIsNotExtractedAgain) {
  const std::string content(5000, 'q');
  WriteGrp(ImagePak({PackedWithSize("mapc010.tga", content, 5001),  // the stream is one byte short
                     PackedWithSize("mapc011.tga", content, 4999),  // the stream runs one byte over
                     PackedWithSize("mapc013.tga", content, 5000)}));
  EXPECT_TRUE(data.ExtractImages());
  ExpectEmptyHiddenSheet("mapc010.tga");
  ExpectEmptyHiddenSheet("mapc011.tga");
  EXPECT_EQ(content, Read("mapc013.tga"));

  // A corrected archive changes nothing while the empty sheets exist.
  WriteGrp(ImagePak({Packed("mapc010.tga", content), Packed("mapc011.tga", content)}));
  OpenCounter opens(game.Child("grp.pak"));
  EXPECT_TRUE(data.ExtractImages());
  EXPECT_EQ("", Read("mapc010.tga"));
  EXPECT_EQ("", Read("mapc011.tga"));
  // Every sheet exists (the names the archive lacked are empty and hidden): no open at all.
  EXPECT_EQ(0, opens.Opens());
}

TEST_F(Archives, AMissingArchiveStopsWithNoFileForTheCurrentName) {
  MakeFile(work.Child("mapc010.tga"), "kept");
  MakeFile(work.Child("mapc011.tga"), "kept");
  EXPECT_FALSE(data.ExtractImages());
  EXPECT_EQ("kept", Read("mapc010.tga"));
  EXPECT_FALSE(Present("mapc013.tga")) << "the name being extracted";
  for (const std::string& name : SheetNames())
    if (name != "mapc010.tga" && name != "mapc011.tga") {
      EXPECT_FALSE(Present(name)) << name;
    }
}

TEST_F(Archives, AnArchiveThatIsAFolderCannotBeOpened) {
  std::filesystem::create_directory(game.Child("grp.pak"));
  EXPECT_FALSE(data.ExtractImages());
  EXPECT_FALSE(Present("mapc010.tga"));
}

TEST_F(Archives, AnOutputThatCannotBeCreatedStops) {
  WriteGrp(ImagePak(AllSheets()));
  std::filesystem::create_directory(work.Child("mapc011.tga"));  // a folder in the way
  EXPECT_FALSE(data.ExtractImages());
  EXPECT_EQ(SheetContent("mapc010.tga"), Read("mapc010.tga"));
  EXPECT_FALSE(Present("mapc013.tga")) << "not tried after the failure";
}

// The work folder is looked at as Windows looks at it: a sheet there under other letter case is
// there, and is not taken out of the archive again.
TEST_F(Archives, ASheetThereUnderOtherLetterCaseIsNotExtractedAgain) {
  WriteGrp(ImagePak(AllSheets()));
  MakeFile(work.Child("MAPC010.TGA"), "kept");
  EXPECT_TRUE(data.ExtractImages());
  EXPECT_FALSE(Exists(work.Child("mapc010.tga")));
  EXPECT_EQ("kept", Read("MAPC010.TGA"));
  EXPECT_EQ(SheetContent("mapc011.tga"), Read("mapc011.tga"));
}

TEST_F(Archives, TheSheetListedTwiceIsExtractedOnceAndTheArchiveIsOpenedOnceForAll) {
  WriteGrp(ImagePak(AllSheets()));
  OpenCounter opens(game.Child("grp.pak"));
  EXPECT_TRUE(data.ExtractImages());
  EXPECT_EQ(SheetContent("mapc140.tga"), Read("mapc140.tga"));
  // Seventeen names listed, sixteen distinct, every one missing: one open serves them all.
  EXPECT_EQ(16u, SheetNames().size());
  EXPECT_EQ(1, opens.Opens());
}

TEST_F(Archives, SheetsForTheFiguresComeFirstAndALaterCallTakesTheRest) {
  WriteGrp(ImagePak(AllSheets()));
  const std::vector<std::string> names = SheetNames();
  ASSERT_EQ("mapc020.tga", names[3]);  // character 1's sheet
  EXPECT_TRUE(data.ExtractImages({"mapc020.tga", "mapc010.tga"}));
  for (const std::string& name : names)
    EXPECT_EQ(name == "mapc010.tga" || name == "mapc020.tga", Present(name)) << name;
  EXPECT_TRUE(data.ExtractImages());
  for (const std::string& name : names) {
    EXPECT_EQ(SheetContent(name), Read(name)) << name;
    EXPECT_TRUE(Hidden(name)) << name;
  }
}

// The decoder's kept window carries from one packed sheet to the next. A copy of 3 bytes from
// window position 4079 gives the carry's bytes 1-3 and shifts it: after "A".."R" the sheets
// give "BCD", then "CDD", then "DDD". Sheets passed over for the figure's come out later as
// they would have come out in the table's order, and so do the sheets after it.
TEST_F(Archives, SheetsPassedOverForTheFiguresComeOutAsInTheTablesOrder) {
  std::string abc;
  for (char c = 'A'; c <= 'R'; ++c) abc += c;
  const std::string copy3("\0\0\0\0\3\0\0\0\x00\xEF\xF0", 11);
  std::vector<PakEntry> entries = AllSheets();
  for (PakEntry& e : entries) {
    if (e.name == "mapc010.tga") e = Packed("mapc010.tga", abc);
    if (e.name == "mapc011.tga" || e.name == "mapc013.tga" || e.name == "mapc020.tga")
      e = {.name = e.name, .data = copy3, .packedFlag = 1};
  }
  WriteGrp(ImagePak(entries));
  EXPECT_TRUE(data.ExtractImages({"mapc013.tga"}));
  EXPECT_EQ("CDD", Read("mapc013.tga"));
  EXPECT_FALSE(Present("mapc010.tga"));
  EXPECT_FALSE(Present("mapc011.tga"));
  EXPECT_TRUE(data.ExtractImages());
  EXPECT_EQ(abc, Read("mapc010.tga"));
  EXPECT_EQ("BCD", Read("mapc011.tga"));
  EXPECT_EQ("DDD", Read("mapc020.tga"));
  for (const char* name : {"mapc010.tga", "mapc011.tga", "mapc013.tga", "mapc020.tga"})
    EXPECT_TRUE(Hidden(name)) << name;
}

// The window is the data module's: a run decodes from a fresh window whatever a run before it
// in the same process decoded, as a new process does. The first sheet copies 3 bytes from
// positions 4079..4081, zeros in a fresh window; the second leaves "A".."R" there.
TEST_F(Archives, EachDataModuleDecodesFromAWindowOfItsOwn) {
  std::string abc;
  for (char c = 'A'; c <= 'R'; ++c) abc += c;
  std::vector<PakEntry> entries = AllSheets();
  for (PakEntry& e : entries) {
    if (e.name == "mapc010.tga") e = {.name = e.name, .data = std::string("\0\0\0\0\3\0\0\0\x00\xEF\xF0", 11), .packedFlag = 1};
    if (e.name == "mapc011.tga") e = Packed("mapc011.tga", abc);
  }
  WriteGrp(ImagePak(entries));
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    for (const std::string& name : SheetNames()) platform::RemoveFile(name);
    TfrmData runData;
    runData.counterSettings.dirwave = game.Windows();
    EXPECT_TRUE(runData.ExtractImages());
    EXPECT_EQ(std::string(3, '\0'), Read("mapc010.tga"));
    EXPECT_EQ(abc, Read("mapc011.tga"));
  }
}

TEST_F(Archives, ADirectoryThatBreaksOffStopsAtTheFirstSheetWhoseEntryItHidesEvenIfALaterOneWasSeen) {
  // Count 5 over two entries: entry 2 would lie past the end of the file. mapc010's entry comes
  // before the break, mapc011 has none before it: its scan meets the break, so the extraction
  // stops there, and mapc013 is not written although its entry came first.
  WriteGrp(ImagePak({{.name = "mapc013.tga", .data = "third"}, {.name = "mapc010.tga", .data = "first"}}, 5));
  EXPECT_FALSE(data.ExtractImages());
  EXPECT_EQ("first", Read("mapc010.tga"));
  EXPECT_TRUE(Hidden("mapc010.tga"));
  EXPECT_TRUE(Present("mapc011.tga"));
  EXPECT_EQ("", Read("mapc011.tga"));
  EXPECT_FALSE(Hidden("mapc011.tga")) << "unfinished";
  for (const std::string& name : SheetNames())
    if (name != "mapc010.tga" && name != "mapc011.tga") {
      EXPECT_FALSE(Present(name)) << name;
    }
}

TEST_F(Archives, TheSheetListedTwiceIsNotDecodedTwice) {
  // The decoder's kept window tells: mapc090 leaves A..R at 4078..4095, mapc140's stream copies
  // 3 bytes from 4079, giving "BCD" and shifting the window, so a second decode would give "CDD".
  std::string abc;
  for (char c = 'A'; c <= 'R'; ++c) abc += c;
  std::vector<PakEntry> entries = AllSheets();
  for (PakEntry& e : entries) {
    if (e.name == "mapc090.tga") e = Packed("mapc090.tga", abc);
    if (e.name == "mapc140.tga") e = {.name = "mapc140.tga", .data = std::string("\0\0\0\0\3\0\0\0\x00\xEF\xF0", 11), .packedFlag = 1};
  }
  WriteGrp(ImagePak(entries));
  EXPECT_TRUE(data.ExtractImages());
  EXPECT_EQ(abc, Read("mapc090.tga"));
  EXPECT_EQ("BCD", Read("mapc140.tga"));
}

TEST_F(Archives, TheTg2SheetOutlivesTheTgaCleanupAndIsNotExtractedAgain) {
  WriteGrp(ImagePak(AllSheets()));
  EXPECT_TRUE(data.ExtractImages());
  platform::RemoveMatching(".\\*.TGA");
  for (const std::string& name : SheetNames())
    if (name != "mapc070.tg2") {
      EXPECT_FALSE(Present(name)) << name;
    }
  EXPECT_TRUE(Present("mapc070.tg2"));
  EXPECT_TRUE(Hidden("mapc070.tg2"));

  WriteGrp(ImagePak({{.name = "mapc070.tg2", .data = "changed"}}));
  EXPECT_TRUE(data.ExtractImages());
  EXPECT_EQ(SheetContent("mapc070.tg2"), Read("mapc070.tg2"));
}

TEST_F(Archives, TheGameFolderMayLackItsTrailingBackslash) {
  WriteGrp(ImagePak({{.name = "mapc010.tga", .data = "found"}}));
  data.counterSettings.dirwave = game.Posix();
  EXPECT_TRUE(data.ExtractImages());
  EXPECT_EQ("found", Read("mapc010.tga"));
}

TEST_F(Archives, LongDirectoriesAreScannedAcrossReadBlocks) {
  // 5000 decoys with the wanted entries around the edges of the directory's read blocks (64
  // entries, then twice as many each time: edges after entries 63, 191 and 447), a name on both
  // sides of an edge to show that the first entry still wins across it.
  struct Placed {
    int at;
    const char* name;
    const char* data;
  };
  const Placed placed[] = {
      {63, "mapc011.tga", "end of the first block"},  {64, "mapc011.tga", "start of the second"},
      {191, "mapc013.tga", "end of the second block"}, {192, "mapc013.tga", "start of the third"},
      {447, "mapc020.tga", "end of the third block"},  {448, "mapc030.tga", "start of the fourth"},
      {5000, "mapc010.tga", "last"},
  };
  const std::pair<const char*, const char*> expected[] = {
      {"mapc011.tga", "end of the first block"}, {"mapc013.tga", "end of the second block"},
      {"mapc020.tga", "end of the third block"}, {"mapc030.tga", "start of the fourth"},
      {"mapc010.tga", "last"},
  };
  std::vector<PakEntry> entries;
  for (int k = 0; k <= 5000; ++k) entries.push_back({.name = "decoy" + std::to_string(k) + ".tga", .data = "d"});
  for (const Placed& p : placed) entries[p.at] = {.name = p.name, .data = p.data};
  WriteGrp(ImagePak(entries));
  EXPECT_TRUE(data.ExtractImages());
  for (const auto& [name, content] : expected) EXPECT_EQ(content, Read(name)) << name;
}

TEST_F(Archives, NameFieldsWithoutATerminatorUseAllTheirBytes) {
  const std::string long24 = "mapc010.tga_padding_1234";  // 24 bytes, no zero
  WriteGrp(ImagePak({{.name = long24, .data = "no"}, {.name = "mapc010.tga", .data = "yes"}}));
  EXPECT_TRUE(data.ExtractImages());
  EXPECT_EQ("yes", Read("mapc010.tga"));
}

// ---- The memory sheets pass through ----------------------------------------------------------

// The largest allocation made while `work` runs.
size_t LargestAllocationOf(const std::function<void()>& work) {
  largestAllocation = 0;
  watchAllocations = true;
  work();
  watchAllocations = false;
  return largestAllocation;
}

void ReadSheet(const std::string& name) {
  TargaImage image;
  ASSERT_EQ(kTargaOk, ReadTarga(image, name.c_str())) << name;
  ReleaseTarga(image);
}

std::string Sheet(int width, int height) {
  return test_fixtures::TargaSheet(width, height, [](int x, int y) { return 0xFF000000u | uint32_t(x * 7 + y); });
}

// A sheet's bytes go to its file through the block the picture reader keeps, so the figures,
// which read the sheets just extracted, find their pixels' memory already in use.
TEST_F(Archives, SheetsReadAfterTheirExtractionTakeNoNewPixelBlock) {
  const std::vector<std::string> names = SheetNames();
  WriteGrp(ImagePak({Packed(names[0], Sheet(40, 30)), {.name = names[1], .data = Sheet(60, 50)}}));
  ASSERT_TRUE(data.ExtractImages());
  EXPECT_LT(LargestAllocationOf([&] {
              ReadSheet(names[0]);
              ReadSheet(names[1]);
            }),
            40u * 30u * 4u);
}

// The two figures' sheets differ in size: a new pixel block has room for a larger sheet read
// after it, up to twice its own size.
TEST_F(Archives, ALargerSheetReadNextFitsTheBlockOfTheFirst) {
  MakeFile(work.Child("small.tga"), Sheet(40, 30));
  MakeFile(work.Child("large.tga"), Sheet(60, 39));  // 9360 bytes of pixels, under 2 x 4800
  ReadSheet("small.tga");
  EXPECT_LT(LargestAllocationOf([] { ReadSheet("large.tga"); }), 40u * 30u * 4u);
}

// ---- GetVoiceWave and ExtractVoice -----------------------------------------------------------

const char kClip[] = "V000000012_000001.OGG";
const char kClipRetry[] = "V000000000_000001.OGG";

std::string Fixture(const char* name) {
  std::string bytes;
  platform::ReadWholeFile(std::string(M2K_OGG_FIXTURES) + "/" + name, bytes);
  return bytes;
}

class Voices : public Archives {
 protected:
  void SetUp() override {
    Archives::SetUp();
    mono = Fixture("tone-mono-22050.ogg");
    stereo = Fixture("tone-stereo-22050.ogg");
    ASSERT_FALSE(mono.empty());
    ASSERT_FALSE(stereo.empty());
  }
  void InstallLibrary() {
    std::filesystem::copy_file(M2K_OGOG_LIBRARY, work.Child("ogog.dll"),
                               std::filesystem::copy_options::overwrite_existing);
  }
  // What the library makes of an OGG file: the WAV bytes to expect.
  std::string Decoded(const std::string& ogg) {
    MakeFile(work.Child("reference.ogg"), ogg);
    EXPECT_EQ(0, LoadOggLibrary());
    DecodeOggFile(".\\reference.ogg", ".\\reference.wav");
    UnloadOggLibrary();
    const std::string wav = Read("reference.wav");
    std::filesystem::remove(work.Child("reference.ogg"));
    std::filesystem::remove(work.Child("reference.wav"));
    EXPECT_FALSE(wav.empty());
    return wav;
  }
  static std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  }
  static std::string Variant(const std::string& clip) { return clip.substr(0, clip.size() - 4) + "A.OGG"; }

  std::string mono, stereo;
};

TEST_F(Voices, ComplementedNamesMatchRegardlessOfCaseAndTheTemporaryFileGoes) {
  InstallLibrary();
  const std::string expected = Decoded(mono);
  WriteVoice(VoicePak({{.name = Lower(kClip), .data = mono}}));
  EXPECT_EQ(std::string(".\\") + kClip + ".wav", data.GetVoiceWave(kClip, false));
  EXPECT_EQ(expected, Read(std::string(kClip) + ".wav"));
  EXPECT_FALSE(Present(kClip)) << "the temporary OGG file is removed";
}

TEST_F(Voices, OnlyLettersFoldTheirCase) {
  InstallLibrary();
  WriteVoice(VoicePak({{.name = "a`b.ogg", .data = mono}}));  // '`' is 0x60, '@' is 0x40
  EXPECT_EQ("", data.ExtractVoice("A@B.OGG", false));
  EXPECT_EQ(".\\A`B.OGG.wav", data.ExtractVoice("A`B.OGG", false));
}

TEST_F(Voices, TheLastEntryOfTheClipsNameWins) {
  InstallLibrary();
  const std::string expected = Decoded(stereo);
  WriteVoice(VoicePak({{.name = kClip, .data = mono}, {.name = "other.ogg", .data = mono}, {.name = kClip, .data = stereo},
                       {.name = kClip, .data = mono, .size = 0}}));
  EXPECT_EQ(std::string(".\\") + kClip + ".wav", data.GetVoiceWave(kClip, false));
  EXPECT_EQ(expected, Read(std::string(kClip) + ".wav"));
}

TEST_F(Voices, AVariantAnywhereWinsAndTheWaveIsNamedAfterTheClip) {
  InstallLibrary();
  const std::string fromVariant = Decoded(stereo), fromClip = Decoded(mono);
  for (bool variantFirst : {true, false}) {
    SCOPED_TRACE(variantFirst ? "variant first" : "clip first");
    std::vector<PakEntry> entries = {{.name = kClip, .data = mono}, {.name = Variant(kClip), .data = stereo}};
    if (variantFirst) std::swap(entries[0], entries[1]);
    WriteVoice(VoicePak(entries));
    EXPECT_EQ(std::string(".\\") + kClip + ".wav", data.GetVoiceWave(kClip, true));
    EXPECT_EQ(fromVariant, Read(std::string(kClip) + ".wav"));
    EXPECT_FALSE(Present(Variant(kClip) + ".wav"));
    EXPECT_FALSE(Present(Variant(kClip)));
    // Without the preference the clip's own entry is taken.
    EXPECT_EQ(std::string(".\\") + kClip + ".wav", data.GetVoiceWave(kClip, false));
    EXPECT_EQ(fromClip, Read(std::string(kClip) + ".wav"));
  }
}

TEST_F(Voices, TheFirstVariantEndsTheScan) {
  InstallLibrary();
  const std::string expected = Decoded(stereo);
  WriteVoice(VoicePak({{.name = kClip, .data = mono}, {.name = Variant(kClip), .data = stereo},
                       {.name = Variant(kClip), .data = mono}, {.name = kClip, .data = mono}}));
  EXPECT_EQ(std::string(".\\") + kClip + ".wav", data.GetVoiceWave(kClip, true));
  EXPECT_EQ(expected, Read(std::string(kClip) + ".wav"));
}

TEST_F(Voices, WithoutAVariantThePreferenceTakesTheClip) {
  InstallLibrary();
  WriteVoice(VoicePak({{.name = kClip, .data = mono}}));
  EXPECT_EQ(std::string(".\\") + kClip + ".wav", data.GetVoiceWave(kClip, true));
  // A name without an extension gains its "A" at the end.
  WriteVoice(VoicePak({{.name = "clipA", .data = mono}}));
  EXPECT_EQ(".\\clip.wav", data.ExtractVoice("clip", true));
}

TEST_F(Voices, AMissingClipIsRetriedOnceWithZerosAsItsNinthAndTenthCharacters) {
  InstallLibrary();
  WriteVoice(VoicePak({{.name = kClipRetry, .data = mono}}));
  OpenCounter opens(game.Child("voice.pak"));
  EXPECT_EQ(std::string(".\\") + kClipRetry + ".wav", data.GetVoiceWave(kClip, false));
  EXPECT_EQ(2, opens.Opens());
}

TEST_F(Voices, TheRetryIsMadeOnceEvenWhenItFindsNothing) {
  WriteVoice(VoicePak({{.name = "other.ogg", .data = mono}}));
  MakeFile(work.Child(std::string(kClipRetry) + ".wav"), "stale");
  OpenCounter opens(game.Child("voice.pak"));
  EXPECT_EQ("", data.GetVoiceWave(kClip, false));
  EXPECT_EQ(2, opens.Opens());
  EXPECT_FALSE(Present(std::string(kClipRetry) + ".wav")) << "the retry deleted its WAV path";
}

TEST_F(Voices, AClipAlreadyEndingItsDigitsInZerosIsTriedOnce) {
  WriteVoice(VoicePak({{.name = "other.ogg", .data = mono}}));
  OpenCounter opens(game.Child("voice.pak"));
  EXPECT_EQ("", data.GetVoiceWave(kClipRetry, false));
  EXPECT_EQ(1, opens.Opens());
  EXPECT_EQ("", data.GetVoiceWave("short.ogg", false)) << "fewer than ten characters";
  EXPECT_EQ(2, opens.Opens());
}

TEST_F(Voices, AClipThatCannotBeDecodedIsNotFoundAndItsZerosFormIsTried) {
  struct Case {
    const char* what;
    bool library;
    std::string clipData;
  };
  const Case cases[] = {
      {"no library", false, mono},
      {"the decoder fails", true, "not an OGG stream"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(work.Child("ogog.dll"));
    if (c.library) InstallLibrary();
    WriteVoice(VoicePak({{.name = kClip, .data = c.clipData}}));
    EXPECT_EQ("", data.ExtractVoice(kClip, false));
    EXPECT_FALSE(Present(std::string(kClip) + ".wav"));
    EXPECT_FALSE(Present(kClip)) << "the temporary OGG file is removed";

    WriteVoice(VoicePak({{.name = kClip, .data = c.clipData}, {.name = kClipRetry, .data = mono}}));
    OpenCounter opens(game.Child("voice.pak"));
    const std::string wave = data.GetVoiceWave(kClip, false);
    EXPECT_EQ(2, opens.Opens()) << "the zeros form was tried";
    EXPECT_EQ(c.library ? std::string(".\\") + kClipRetry + ".wav" : std::string(), wave);
    EXPECT_EQ(c.library, Present(std::string(kClipRetry) + ".wav"));
    EXPECT_FALSE(Present(std::string(kClip) + ".wav"));
  }
}

TEST_F(Voices, AVoiceEntryOfSizeZeroOrLessIsNeverTaken) {
  InstallLibrary();
  const std::string expected = Decoded(mono);
  // The last entry of the clip's name would win; those of size 0 or less do not count.
  WriteVoice(VoicePak({{.name = kClip, .data = mono},
                       {.name = kClip, .data = stereo, .size = -4},
                       {.name = kClip, .data = stereo, .size = INT32_MIN},
                       {.name = kClip, .data = stereo, .size = 0}}));
  EXPECT_EQ(std::string(".\\") + kClip + ".wav", data.GetVoiceWave(kClip, false));
  EXPECT_EQ(expected, Read(std::string(kClip) + ".wav"));
}

TEST_F(Voices, AMissingClipLeavesNeitherTheTemporaryFileNorAStaleWave) {
  WriteVoice(VoicePak({{.name = "other.ogg", .data = mono}}));
  MakeFile(work.Child("x.ogg"), "stale");
  MakeFile(work.Child("x.ogg.wav"), "stale");
  EXPECT_EQ("", data.ExtractVoice("x.ogg", false));
  EXPECT_FALSE(Present("x.ogg"));
  EXPECT_FALSE(Present("x.ogg.wav"));
}

TEST_F(Voices, AMissingArchiveReturnsNothingAfterDeletingBothPaths) {
  MakeFile(work.Child("x.ogg"), "stale");
  MakeFile(work.Child("x.ogg.wav"), "stale");
  EXPECT_EQ("", data.ExtractVoice("x.ogg", false));
  EXPECT_FALSE(Present("x.ogg"));
  EXPECT_FALSE(Present("x.ogg.wav"));
}

TEST_F(Voices, NoClipNameGivesNothing) {
  WriteVoice(VoicePak({{.name = kClip, .data = mono}}));
  EXPECT_EQ("", data.GetVoiceWave(nullptr, true));
  EXPECT_EQ("", data.GetVoiceWave("", true));
  EXPECT_EQ("", data.ExtractVoice(nullptr, false));
}

TEST_F(Voices, AThirtyTwoByteNameNeedsNoTerminator) {
  InstallLibrary();
  const std::string name32 = "abcdefghijklmnopqrstuvwxyz12.ogg";
  ASSERT_EQ(32u, name32.size());
  WriteVoice(VoicePak({{.name = name32, .data = mono}}));
  EXPECT_EQ(".\\" + name32 + ".wav", data.ExtractVoice(name32.c_str(), false));
  EXPECT_EQ("", data.ExtractVoice((name32 + "x").c_str(), false));
}

TEST(VoiceWaves, RequestsOverlapWhenTheyMayRebuildTheSameWaveFile) {
  struct Case {
    const char* clip;
    const char* other;
    bool overlap;
  };
  const Case cases[] = {
      {"K100011200_024001.OGG", "K100011200_024001.OGG", true},   // the same clip
      {"k100011200_024001.ogg", "K100011200_024001.OGG", true},   // file names ignore letter case
      {"K100011234_024001.OGG", "K100011200_024001.OGG", true},   // the first one's "00" form
      {"K100011200_024001.OGG", "K100011234_024001.OGG", true},   // the other's "00" form
      {"K100011234_024001.OGG", "K100011256_024001.OGG", true},   // both retry the same "00" form
      {"K100011234_024001.OGG", "K100011256_024002.OGG", false},  // their "00" forms differ too
      {"K100011200_024001.OGG", "K100011200_024002.OGG", false},
      {"K100011200_024001.OGG", "K100001200_024001.OGG", false},  // the digits before do not retry
      {"short", "SHORT", true},                                   // no "00" form, same name
      {"short", "shore", false},
      {nullptr, "K100011200_024001.OGG", false},                  // no clip: no file
      {"K100011200_024001.OGG", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.clip ? c.clip : "(none)") + " / " + c.other);
    EXPECT_EQ(c.overlap, VoiceWavesOverlap(c.clip, c.other));
  }
}

// ---- Damaged archives ------------------------------------------------------------------------

enum class Outcome {
  kEmptyHidden,  // true; every sheet present, empty and hidden
  kFailedRead,   // false; the first sheet present, empty and not hidden; nothing else
  kNoArchive,    // false; no file at all
  kTaken,        // true; the first sheet holds `content`, the others are empty and hidden
};

struct Hostile {
  const char* what;
  std::string bytes;
  Outcome outcome;
  std::string content = "good";
};

std::string PakImage1(const PakEntry& entry) { return ImagePak({entry}); }

std::string Truncated(std::string bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

std::vector<Hostile> HostileImageArchives() {
  const std::string good = "good";
  const std::string tiny = LzssPackEntry("tiny");
  std::string maxPairs = std::string(8, '\0');  // flag 0 + 8 pairs of 18, many times
  for (int k = 0; k < 100; ++k) maxPairs += std::string("\0\xEE\xFF\xEE\xFF\xEE\xFF\xEE\xFF\xEE\xFF\xEE\xFF\xEE\xFF\xEE\xFF", 17);
  maxPairs.replace(4, 4, Le32(10));
  return {
      {"an empty file", "", Outcome::kFailedRead},
      {"a header cut after five bytes", "GRP0\x01", Outcome::kFailedRead},
      {"a header and nothing else", ImagePak({}), Outcome::kEmptyHidden},
      {"count -1", ImagePak({{.name = "mapc010.tga", .data = good}}, -1), Outcome::kEmptyHidden},
      {"count INT32_MIN", ImagePak({{.name = "mapc010.tga", .data = good}}, INT32_MIN), Outcome::kEmptyHidden},
      {"count 2^31 - 1, no entries", ImagePak({}, INT32_MAX), Outcome::kFailedRead},
      {"count 2^31 - 1 over a directory of other names", ImagePak({{.name = "x", .data = good}}, INT32_MAX), Outcome::kFailedRead},
      {"count 3, directory cut in the middle of entry 2",
       Truncated(ImagePak({{.name = "a"}, {.name = "b"}, {.name = "mapc010.tga"}}), 8 + 36 * 2 + 20), Outcome::kFailedRead},
      {"count 1 and 35 bytes of directory", Truncated(ImagePak({{.name = "mapc010.tga", .data = good}}), 8 + 35), Outcome::kFailedRead},
      {"offset past the end", ImagePak({{.name = "mapc010.tga", .data = good, .offset = 1u << 20}}), Outcome::kEmptyHidden},
      {"offset 0xFFFFFFFF", ImagePak({{.name = "mapc010.tga", .data = good, .offset = 0xFFFFFFFFu}}), Outcome::kEmptyHidden},
      {"size one past the end", ImagePak({{.name = "mapc010.tga", .data = good, .size = 5}}), Outcome::kEmptyHidden},
      {"size INT32_MAX", ImagePak({{.name = "mapc010.tga", .data = good, .size = INT32_MAX}}), Outcome::kEmptyHidden},
      {"size -1", ImagePak({{.name = "mapc010.tga", .data = good, .size = -1}}), Outcome::kEmptyHidden},
      {"size INT32_MIN", ImagePak({{.name = "mapc010.tga", .data = good, .size = INT32_MIN}}), Outcome::kEmptyHidden},
      {"a damaged entry, then a good one of the same name",
       ImagePak({{.name = "mapc010.tga", .data = "", .size = 1000}, {.name = "mapc010.tga", .data = good}}), Outcome::kTaken},
      {"packed, unpacked size INT32_MAX", PakImage1(PackedWithSize("mapc010.tga", "tiny", INT32_MAX)), Outcome::kEmptyHidden},
      {"packed, unpacked size -1", PakImage1(PackedWithSize("mapc010.tga", "tiny", -1)), Outcome::kEmptyHidden},
      {"packed, unpacked size one above the stream's bound", PakImage1(PackedWithSize("mapc010.tga", "tiny", LzssMaxOutput(tiny.size() - 8) + 1)), Outcome::kEmptyHidden},
      {"packed, shorter than its own header", PakImage1({.name = "mapc010.tga", .data = "\0\0\0\0\4\0", .packedFlag = 1}), Outcome::kEmptyHidden},
      {"packed, zero-length stream stating one byte", PakImage1({.name = "mapc010.tga", .data = std::string("\0\0\0\0\1\0\0\0", 8), .packedFlag = 7}), Outcome::kEmptyHidden},
      {"packed, a stream that runs far over its stated size", PakImage1({.name = "mapc010.tga", .data = maxPairs, .packedFlag = 1}), Outcome::kEmptyHidden},
      {"packed, a stream cut mid-pair", PakImage1({.name = "mapc010.tga", .data = Truncated(LzssPackEntry(std::string(100, 'z')), 10), .packedFlag = 1}), Outcome::kEmptyHidden},
      {"an entry whose data is the archive's own first bytes", ImagePak({{.name = "mapc010.tga", .data = "", .size = 4, .offset = 0}}), Outcome::kTaken, "GRP0"},
      {"200000 entries of size 0", ImagePak(std::vector<PakEntry>(200000, PakEntry{.name = "mapc010.tga", .size = 0})), Outcome::kEmptyHidden},
      {"a folder named grp.pak", "", Outcome::kNoArchive},
  };
}

TEST_F(Archives, DamagedImageArchivesEndPromptlyWithTheirStatedOutcome) {
  const std::vector<Hostile> cases = HostileImageArchives();
  ASSERT_GE(cases.size(), 20u);
  for (const Hostile& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(game.Child("grp.pak"));
    for (const std::string& name : SheetNames()) platform::RemoveFile(name);
    if (c.outcome == Outcome::kNoArchive)
      std::filesystem::create_directory(game.Child("grp.pak"));
    else
      WriteGrp(c.bytes);

    largestAllocation = 0;
    watchAllocations = true;
    const Work work;
    const bool result = data.ExtractImages();
    watchAllocations = false;

    ExpectWorkOfAnArchive(work, c.bytes.size(), SheetNames().size());
    // Never more than the file itself (plus a directory block and a copy buffer).
    EXPECT_LE(largestAllocation, std::max<size_t>(c.bytes.size(), 1u << 20) + (1u << 17));
    const std::vector<std::string> names = SheetNames();
    switch (c.outcome) {
      case Outcome::kEmptyHidden:
        EXPECT_TRUE(result);
        for (const std::string& name : names) ExpectEmptyHiddenSheet(name);
        break;
      case Outcome::kTaken:
        EXPECT_TRUE(result);
        EXPECT_EQ(c.content, Read(names[0]));
        EXPECT_TRUE(Hidden(names[0]));
        for (size_t k = 1; k < names.size(); ++k) ExpectEmptyHiddenSheet(names[k]);
        break;
      case Outcome::kFailedRead:
        EXPECT_FALSE(result);
        EXPECT_TRUE(Present(names[0]));
        EXPECT_EQ("", Read(names[0]));
        EXPECT_FALSE(Hidden(names[0]));
        for (size_t k = 1; k < names.size(); ++k) EXPECT_FALSE(Present(names[k])) << names[k];
        break;
      case Outcome::kNoArchive:
        EXPECT_FALSE(result);
        for (const std::string& name : names) EXPECT_FALSE(Present(name)) << name;
        break;
    }
  }
}

enum class VoiceOutcome {
  kFound,       // the WAV path; the temporary file gone
  kNotFound,    // ""; the temporary file gone
  kFailedRead,  // ""; the temporary file left for the counter's cleanup
};

struct HostileVoice {
  const char* what;
  std::string bytes;
  VoiceOutcome outcome;
};

TEST_F(Voices, DamagedVoiceArchivesEndPromptlyWithTheirStatedOutcome) {
  InstallLibrary();
  const std::string clip = "v.ogg";
  const std::vector<HostileVoice> cases = {
      {"an empty file", "", VoiceOutcome::kFailedRead},
      {"a header cut after six bytes", std::string("VOI0\x01\x00", 6), VoiceOutcome::kFailedRead},
      {"count 0", VoicePak({}), VoiceOutcome::kNotFound},
      {"count -1", VoicePak({{.name = clip, .data = mono}}, -1), VoiceOutcome::kNotFound},
      {"count INT32_MIN", VoicePak({{.name = clip, .data = mono}}, INT32_MIN), VoiceOutcome::kNotFound},
      {"count 2^31 - 1 after a good entry", VoicePak({{.name = clip, .data = mono}}, INT32_MAX), VoiceOutcome::kFailedRead},
      {"directory cut in the middle of entry 1", Truncated(VoicePak({{.name = clip}, {.name = "b"}}), 8 + 40 + 39), VoiceOutcome::kFailedRead},
      {"offset past the end", VoicePak({{.name = clip, .data = mono, .offset = 1u << 24}}), VoiceOutcome::kNotFound},
      {"offset 0xFFFFFFFF", VoicePak({{.name = clip, .data = mono, .offset = 0xFFFFFFFFu}}), VoiceOutcome::kNotFound},
      {"size one past the end", VoicePak({{.name = clip, .data = "ogg", .size = 4}}), VoiceOutcome::kNotFound},
      {"size INT32_MAX", VoicePak({{.name = clip, .data = mono, .size = INT32_MAX}}), VoiceOutcome::kNotFound},
      {"size -1", VoicePak({{.name = clip, .data = mono, .size = -1}}), VoiceOutcome::kNotFound},
      {"a good entry, then a damaged later one of the same name",
       VoicePak({{.name = clip, .data = mono}, {.name = clip, .data = "", .size = 100000}}), VoiceOutcome::kFound},
      {"a name of 32 bytes of 0xFF (complemented zeros)", VoicePak({{.name = std::string(32, '\0'), .data = mono}}), VoiceOutcome::kNotFound},
      {"100000 entries of size 0", VoicePak(std::vector<PakEntry>(100000, PakEntry{.name = clip, .size = 0})), VoiceOutcome::kNotFound},
  };
  for (const HostileVoice& c : cases) {
    SCOPED_TRACE(c.what);
    WriteVoice(c.bytes);
    largestAllocation = 0;
    watchAllocations = true;
    const Work work;
    const std::string result = data.GetVoiceWave(clip.c_str(), true);
    watchAllocations = false;
    ExpectWorkOfAnArchive(work, c.bytes.size(), 1);
    EXPECT_LE(largestAllocation, std::max<size_t>(c.bytes.size(), 1u << 20) + (1u << 17));
    switch (c.outcome) {
      case VoiceOutcome::kFound:
        EXPECT_EQ(".\\" + clip + ".wav", result);
        EXPECT_FALSE(Present(clip));
        break;
      case VoiceOutcome::kNotFound:
        EXPECT_EQ("", result);
        EXPECT_FALSE(Present(clip));
        break;
      case VoiceOutcome::kFailedRead:
        EXPECT_EQ("", result);
        EXPECT_TRUE(Present(clip));
        EXPECT_EQ("", Read(clip));
        break;
    }
    platform::RemoveFile(clip);
  }
}

}  // namespace
