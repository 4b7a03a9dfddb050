# The two commands of the README: `make run` and `make test`.
BUILD      := build
NATIVE_DIR := $(BUILD)/native
WIN32_DIR  := $(BUILD)/win32
WIN64_DIR  := $(BUILD)/win64
DIST_DIR   := $(BUILD)/dist
JOBS       ?= $(shell nproc)
# The decoder libraries' cache, outside the clone so that every clone on this
# machine shares it (scripts/build-decoder-libs, run by bootstrap, fills it).
ifndef KIV_DECODER_LIBS
KIV_DECODER_LIBS := $(shell scripts/build-decoder-libs --cache-root)
endif
export KIV_DECODER_LIBS

.PHONY: all bootstrap native win32 win64 windows test run bench dist clean

all: native windows

bootstrap:
	@scripts/bootstrap

native: bootstrap
	@cmake -S . -B $(NATIVE_DIR) -DCMAKE_BUILD_TYPE=Release -DKIV_WINDOWS_DIR=$(abspath $(BUILD)) \
	  -DKIV_DIST_DIR=$(abspath $(DIST_DIR)) > /dev/null
	@cmake --build $(NATIVE_DIR) -j $(JOBS)

# The 32-bit program is the main product; the x64 one runs where 32-bit code cannot.
win32: bootstrap
	@cmake -S . -B $(WIN32_DIR) -DCMAKE_TOOLCHAIN_FILE=$(abspath cmake/mingw-i686.cmake) \
	  -DCMAKE_BUILD_TYPE=Release -DKIV_DIST_DIR=$(abspath $(DIST_DIR)) \
	  -DKIV_DECODER_LIBS="$(KIV_DECODER_LIBS)" > /dev/null
	@cmake --build $(WIN32_DIR) -j $(JOBS)

win64: bootstrap
	@cmake -S . -B $(WIN64_DIR) -DCMAKE_TOOLCHAIN_FILE=$(abspath cmake/mingw-x86_64.cmake) \
	  -DCMAKE_BUILD_TYPE=Release -DKIV_DIST_DIR=$(abspath $(DIST_DIR)) \
	  -DKIV_DECODER_LIBS="$(KIV_DECODER_LIBS)" > /dev/null
	@cmake --build $(WIN64_DIR) -j $(JOBS)

windows: win32 win64

# The end-to-end suites run against every Windows build this machine runs
# (scripts/windows-builds tries them; KIV_E2E_BUILDS forces the choice).
test: native windows dist
	@scripts/windows-builds $(abspath $(BUILD)) >$(BUILD)/windows-builds 2>$(BUILD)/windows-builds.why \
	  || { cat $(BUILD)/windows-builds.why; exit 1; }
	@cat $(BUILD)/windows-builds.why
	@cmake -S . -B $(NATIVE_DIR) -DKIV_E2E_BUILDS="$$(tr ' ' ';' <$(BUILD)/windows-builds)" \
	  -DKIV_E2E_WHY="$$(cat $(BUILD)/windows-builds.why)" > /dev/null
	@ctest --test-dir $(NATIVE_DIR) --output-on-failure

run: native windows
	@scripts/run-kiv

bench: native windows
	@scripts/run-bench

# build/dist/kiv-<version>-windows-x86.zip and -x64.zip.
dist: windows
	@cmake --build $(WIN32_DIR) --target dist
	@cmake --build $(WIN64_DIR) --target dist

clean:
	rm -rf $(BUILD)
