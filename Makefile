# The two commands of the README: `make run` and `make test`.
BUILD      := build
NATIVE_DIR := $(BUILD)/native
WIN32_DIR  := $(BUILD)/win32
JOBS       ?= $(shell nproc)

.PHONY: all bootstrap native win32 test run bench clean

all: native win32

bootstrap:
	@scripts/bootstrap

native: bootstrap
	@cmake -S . -B $(NATIVE_DIR) -DCMAKE_BUILD_TYPE=Release -DKIV_WIN32_DIR=$(abspath $(WIN32_DIR)) > /dev/null
	@cmake --build $(NATIVE_DIR) -j $(JOBS)

win32: bootstrap
	@cmake -S . -B $(WIN32_DIR) -DCMAKE_TOOLCHAIN_FILE=$(abspath cmake/mingw-i686.cmake) -DCMAKE_BUILD_TYPE=Release > /dev/null
	@cmake --build $(WIN32_DIR) -j $(JOBS)

test: native win32
	@ctest --test-dir $(NATIVE_DIR) --output-on-failure

run: native win32
	@if [ -x scripts/run-kiv ]; then scripts/run-kiv; \
	else echo "kiv: the build works; the viewer itself comes with the next step."; fi

bench: native win32
	@if [ -x scripts/run-bench ]; then scripts/run-bench; \
	else echo "kiv: no benchmark yet."; fi

clean:
	rm -rf $(BUILD)
