# M2KCOUNT: the two commands are `make run` (the counter under Wine, with a screenshot) and
# `make test` (every test, native and under Wine). Both install what they need first.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
NATIVE := build/native
WINDOWS := build/windows

.PHONY: all prereqs build native windows test test-native test-wine run screenshots clean

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
	@$(MAKE) --no-print-directory test-native test-wine

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
