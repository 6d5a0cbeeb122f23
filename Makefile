# M2KCOUNT: the two commands are `make run` (the counter under Wine, with a screenshot) and
# `make test` (every test, native and under Wine). Both install what they need first.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
NATIVE := build/native
WINDOWS := build/windows

.PHONY: all prereqs build native windows test test-native test-wine test-tools run screenshots clean fuzz bench dist

all: build

prereqs:
	@bash tools/install-prereqs.sh

build: prereqs native windows

native:
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@$(MAKE) --no-print-directory -C $(NATIVE) -j$(JOBS)

windows:
	@cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@$(MAKE) --no-print-directory -C $(WINDOWS) -j$(JOBS)

test: build
	@$(MAKE) --no-print-directory test-native fuzz demo-game dist test-wine test-tools FUZZ_RUN='-runs=200000 -seed=1'

# Each run writes a report; tools/check_test_report.sh rejects one with a failed or skipped test.
test-native:
	@echo "== native tests"
	@rm -f build/native-tests.xml build/native-tests-ny.xml
	@$(NATIVE)/m2k_native_tests --gtest_brief=1 --gtest_output=xml:build/native-tests.xml
	@tools/check_test_report.sh build/native-tests.xml "native tests"
	@# Again in a zone far from Japan's: a test that takes local times before its fixture has
	@# set the zone, or that leaves the zone changed, fails here.
	@echo "== native tests, TZ=America/New_York"
	@TZ=America/New_York $(NATIVE)/m2k_native_tests --gtest_brief=1 --gtest_output=xml:build/native-tests-ny.xml
	@tools/check_test_report.sh build/native-tests-ny.xml "native tests, TZ=America/New_York"

# The logon test runs the distribution as a user has it: the zip unpacked into a fresh folder
# (its name has a double-byte character whose second byte is a backslash, 0x5C in Shift-JIS).
# Startup shortcuts that a broken earlier run left behind are removed first: the prefix would
# start them. The demo game and the distribution are built first: the tests need both.
# The whole suite runs twice: under the Japanese locale (code page 932, as on Japanese Windows)
# and under the English one (code page 1252, as on most systems elsewhere). The program, its
# libraries and the tests themselves convert by code page 932 by name, so every test must pass
# the same under both; a conversion left to the system's code page fails the second run.
E2E := build/e2e/配布表
WINE_LOCALES := ja_JP.UTF-8 en_US.UTF-8
test-wine: demo-game dist
	@rm -rf build/locale-shots
	@for locale in $(WINE_LOCALES); do \
	  $(MAKE) --no-print-directory test-wine-locale WINE_LANG=$$locale || exit 1; \
	done
	@tests/tools/compare_locale_shots.sh build/locale-shots

.PHONY: test-wine-locale
test-wine-locale:
	@echo "== tests under Wine, LANG=$(WINE_LANG)"
	@rm -f build/wine-tests-$(WINE_LANG).xml
	@rm -rf build/e2e && mkdir -p '$(E2E)' && python3 -m zipfile -e $(DIST_ZIP) '$(E2E)'
	@find build/wine/prefix/drive_c -name 'ミルテカ起動カウンター＋(プラス).lnk' -delete 2>/dev/null || true
	@WINE_LANG=$(WINE_LANG) M2K_DEMO_GAME='$(DEMO_GAME_WIN)' M2K_DEMO_SPRITES='$(DEMO_SPRITES_WIN)' \
	  M2K_DIST_FOLDER='$(call WINDOWS_PATH,$(E2E)/M2KCOUNT)' M2K_SCREENSHOTS='$(call WINDOWS_PATH,build/screenshots)' \
	  M2K_LOCALE_SHOTS='$(call WINDOWS_PATH,build/locale-shots)' tests/wine/test_drives.sh tools/wine-env.sh run $(WINDOWS)/bin/m2k_wine_tests.exe --gtest_brief=1 \
	  --gtest_output=xml:build/wine-tests-$(WINE_LANG).xml $(WINE_TEST_FLAGS)
	@tools/check_test_report.sh build/wine-tests-$(WINE_LANG).xml "tests under Wine, LANG=$(WINE_LANG)"

# The tools' own checks: the screenshot of `make run` is the Wine desktop alone; the
# distribution holds what it should and comes out the same twice.
test-tools:
	@echo "== tools"
	@tests/tools/screenshot_test.sh
	@tests/tools/dist_test.sh

# The distribution: build/dist/M2KCOUNT-<version>.zip with the program, both libraries and
# README.TXT in one folder M2KCOUNT, and its SHA-256 beside it. The version is CMakeLists.txt's.
VERSION := $(shell sed -n 's/^set(M2K_VERSION \([0-9.]*\))$$/\1/p' CMakeLists.txt)
DIST_ZIP := build/dist/M2KCOUNT-$(VERSION).zip
DIST_FILES := $(addprefix $(WINDOWS)/bin/,M2KCOUNT.EXE ogog.dll DIDAZURA.DLL README.TXT)

dist: windows
	@python3 tools/make_dist.py $(DIST_ZIP) M2KCOUNT $(DIST_FILES)

# The demo game (tools/make_demo_game.py): a game folder of our own content for the counter to
# find. `make run` registers it as the installed game and removes the working files of earlier
# runs, so the counter takes its sheets out of the archive afresh.
DEMO_GAME := build/demo_game
WINDOWS_PATH = Z:$(subst /,\,$(CURDIR)/$(1))
DEMO_GAME_WIN := Z:$(subst /,\,$(CURDIR)/$(DEMO_GAME))
DEMO_SPRITES_WIN := Z:$(subst /,\,$(CURDIR)/resources/demo_sprites)
.PHONY: demo-game

demo-game: build
	@python3 tools/make_demo_game.py $(DEMO_GAME)

REGISTER_DEMO_GAME := tools/wine-env.sh exec wine reg add 'HKCU\Software\Vant\Marivel2 KORVEN' \
  /v InstallDir /d '$(DEMO_GAME_WIN)\' /f >/dev/null

REMOVE_WORKING_FILES := find $(WINDOWS)/bin -maxdepth 1 -type f \( -iname '*.tga' -o -iname '*.tg2' \
  -o -iname '*.ogg' -o -iname '*.wav' \) -delete

run: demo-game
	@$(REGISTER_DEMO_GAME)
	@# The demo run speaks: voices on (the settings window can turn them off again).
	@tools/wine-env.sh exec wine reg add 'HKCU\Software\Zorve\M2K-COUNTER' /v wave /t REG_DWORD \
	  /d 1 /f >/dev/null
	@$(REMOVE_WORKING_FILES)
	@tools/screenshot.sh --framed --wait 3 build/screenshots/counter.png $(WINDOWS)/bin/M2KCOUNT.EXE /C

clean:
	rm -rf build

# ---- TGA reader: fuzzing (clang, libFuzzer with address, leak and undefined-behaviour
# sanitizers, outside the CMake build) and the benchmark against stb_image (Release, -O2).
# `make fuzz` runs ten minutes by default; FUZZ_RUN takes other libFuzzer limits. New inputs go
# to build/fuzz/corpus, crashes to build/fuzz/; the committed seeds stay as they are.
FUZZ := build/fuzz
FUZZ_RUN ?= -max_total_time=600
FUZZ_SOURCES := tests/fuzz/targa_fuzz.cpp image/targa.cpp image/pixel_buffer.cpp

$(FUZZ)/targa_fuzz: $(FUZZ_SOURCES) image/targa.h image/pixel_buffer.h
	@mkdir -p $(FUZZ)
	@clang++ -std=c++20 -g -O1 -I. -Wall -Wextra -fsanitize=fuzzer,address,undefined \
	  -fno-sanitize-recover=all $(FUZZ_SOURCES) -o $@

fuzz: prereqs $(FUZZ)/targa_fuzz
	@echo "== fuzzing the TGA reader ($(FUZZ_RUN))"
	@mkdir -p $(FUZZ)/corpus
	@$(FUZZ)/targa_fuzz $(FUZZ_RUN) -max_len=4096 -print_final_stats=1 \
	  -artifact_prefix=$(FUZZ)/ $(FUZZ)/corpus tests/fuzz/corpus >$(FUZZ)/last-run.log 2>&1 \
	  || { tail -n 60 $(FUZZ)/last-run.log; exit 1; }
	@grep -E '^#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb' $(FUZZ)/last-run.log

bench: prereqs
	@cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE='-O2 -DNDEBUG' >/dev/null
	@$(MAKE) --no-print-directory -C build/bench -j$(JOBS) m2k_targa_bench
	@build/bench/m2k_targa_bench

# ---- Idle cost of the settings window under Wine (tools/bench_idle.sh): M2KCOUNT.EXE without
# arguments against the demo game, then tools/idle_window (a 200 ms timer repainting 240 x 176
# pixels), each measured for IDLE_SECONDS by its CPU time per second of wall time.
IDLE_SECONDS ?= 60
.PHONY: bench-idle

bench-idle: demo-game
	@tools/bench_idle.sh --seconds $(IDLE_SECONDS)

# ---- Start-up cost of the counter under Wine (tools/bench_startup.sh): M2KCOUNT.EXE /C against
# the demo game, alternating with tools/startup_window (the least a program can do that opens the
# counter's window and plays a clip), STARTUP_RUNS runs of each with voices on and with voices
# off; time to the window and to the first clip, watched from outside, and peak memory.
STARTUP_RUNS ?= 7
.PHONY: bench-startup

bench-startup: demo-game
	@tools/bench_startup.sh --runs $(STARTUP_RUNS)

# ---- Game archives: fuzzing LzssDecode and the directory scans of ExtractImages and
# GetVoiceWave (clang, the same sanitizers, outside the CMake build; the scans link the whole
# native core and read their archives from /dev/shm), and the benchmarks of LzssDecode against
# a textbook decoder and of a first-run extraction against a raw read (Release, -O2). `make fuzz`
# runs both targets too, each with FUZZ_RUN. New inputs go to build/fuzz/lzss_corpus and
# build/fuzz/archive_corpus, crashes to build/fuzz/; the committed seeds stay as they are
# (tests/fuzz/make_seeds.py writes them).
.PHONY: fuzz-lzss fuzz-archive bench-archives
LZSS_FUZZ_SOURCES := tests/fuzz/lzss_fuzz.cpp data/lzss.cpp
ARCHIVE_FUZZ_SOURCES := tests/fuzz/archive_fuzz.cpp \
  $(wildcard app/entry.cpp counter/*.cpp data/*.cpp image/*.cpp settings/*.cpp platform/*.cpp ui/*.cpp) \
  $(wildcard platform/native/*.cpp) ui/headless/backend.cpp

$(FUZZ)/lzss_fuzz: $(LZSS_FUZZ_SOURCES) data/lzss.h
	@mkdir -p $(FUZZ)
	@clang++ -std=c++20 -g -O1 -I. -Wall -Wextra -fsanitize=fuzzer,address,undefined \
	  -fno-sanitize-recover=all $(LZSS_FUZZ_SOURCES) -o $@

# The program's version comes from the header that configuring the native build generates.
VERSION_HEADER := $(NATIVE)/generated/m2k_version.h
$(VERSION_HEADER): CMakeLists.txt resources/m2k_version.h.in
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@touch $@

$(FUZZ)/archive_fuzz: $(ARCHIVE_FUZZ_SOURCES) $(wildcard data/*.h platform/*.h settings/*.h) $(VERSION_HEADER)
	@mkdir -p $(FUZZ)
	@clang++ -std=c++20 -g -O1 -I. -I$(dir $(VERSION_HEADER)) -w -DM2K_RESOURCE_DIR='"$(CURDIR)/resources"' \
	  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all $(ARCHIVE_FUZZ_SOURCES) -o $@

fuzz: fuzz-lzss fuzz-archive

fuzz-lzss: prereqs $(FUZZ)/lzss_fuzz
	@echo "== fuzzing LzssDecode ($(FUZZ_RUN))"
	@mkdir -p $(FUZZ)/lzss_corpus
	@$(FUZZ)/lzss_fuzz $(FUZZ_RUN) -max_len=4096 -print_final_stats=1 \
	  -artifact_prefix=$(FUZZ)/ $(FUZZ)/lzss_corpus tests/fuzz/lzss_corpus >$(FUZZ)/lzss-last-run.log 2>&1 \
	  || { tail -n 60 $(FUZZ)/lzss-last-run.log; exit 1; }
	@grep -E '^#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb' $(FUZZ)/lzss-last-run.log

# The target works in a folder of its own, so every path it is given is absolute.
fuzz-archive: prereqs $(FUZZ)/archive_fuzz
	@echo "== fuzzing the archive directory scans ($(FUZZ_RUN))"
	@mkdir -p $(FUZZ)/archive_corpus
	@$(FUZZ)/archive_fuzz $(FUZZ_RUN) -max_len=4096 -print_final_stats=1 \
	  -dict=$(CURDIR)/tests/fuzz/archive.dict -artifact_prefix=$(CURDIR)/$(FUZZ)/ \
	  $(CURDIR)/$(FUZZ)/archive_corpus $(CURDIR)/tests/fuzz/archive_corpus >$(FUZZ)/archive-last-run.log 2>&1 \
	  || { tail -n 60 $(FUZZ)/archive-last-run.log; exit 1; }
	@grep -E '^#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb' $(FUZZ)/archive-last-run.log

bench: bench-archives bench-counter

# The counter's start on the headless backend against the demo game: the program's own CPU
# work, without Wine (bench/counter_bench.cpp).
.PHONY: bench-counter
bench-counter: demo-game
	@cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE='-O2 -DNDEBUG' >/dev/null
	@$(MAKE) --no-print-directory -C build/bench -j$(JOBS) m2k_counter_bench
	@build/bench/m2k_counter_bench

bench-archives: prereqs
	@cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE='-O2 -DNDEBUG' >/dev/null
	@$(MAKE) --no-print-directory -C build/bench -j$(JOBS) m2k_lzss_bench m2k_archive_bench
	@build/bench/m2k_lzss_bench
	@build/bench/m2k_archive_bench

# The profile window over the settings window, framed, with the demo game's figures (taken out
# of its archive afresh): at character 0 as it opens (build/screenshots/profile-0.png) and at
# character 9, one click on the previous button later (profile-9.png). tools/profile_shot drives
# the program with real keyboard and mouse input.
screenshots: demo-game
	@$(REGISTER_DEMO_GAME)
	@$(REMOVE_WORKING_FILES)
	@tools/screenshot.sh --framed --wait 8 build/screenshots/profile-0.png $(WINDOWS)/bin/profile_shot.exe 0 12
	@tools/screenshot.sh --framed --wait 8 build/screenshots/profile-9.png $(WINDOWS)/bin/profile_shot.exe 1 12
