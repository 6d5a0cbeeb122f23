# M2KCOUNT: the two commands are `make run` (the counter under Wine, with a screenshot) and
# `make test` (every test, native and under Wine). Both install what they need first.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
NATIVE := build/native
WINDOWS := build/windows

.PHONY: all prereqs build native windows test test-native test-wine run screenshots clean fuzz bench

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
	@$(MAKE) --no-print-directory test-native fuzz test-wine FUZZ_RUN='-runs=200000 -seed=1'

test-native:
	@echo "== native tests"
	@$(NATIVE)/m2k_native_tests --gtest_brief=1

test-wine:
	@echo "== tests under Wine"
	@tools/wine-env.sh run $(WINDOWS)/bin/m2k_wine_tests.exe --gtest_brief=1

run: build
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
