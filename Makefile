# Two entry points: `make demo` (build, then the main job) and `make test`.
# Both install missing Debian packages first when run as root.

BUILD_DIR ?= build
BUILD_TYPE ?= Release
JOBS ?= 2
# CI treats warnings as errors.
WERROR ?= $(if $(CI),ON,OFF)
PACKAGES := cmake g++ make pkg-config zlib1g-dev libgtest-dev libbenchmark-dev libsndfile1-dev libsamplerate0-dev libcli11-dev libpng-dev libespeak-ng-dev libstb-dev fonts-dejavu-core libx11-dev xvfb locales dpf-source

.PHONY: all setup configure build demo test clean

all: build

setup:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages:$$missing (run as root or install them)"; exit 1; \
	  fi; \
	fi
	@# The tests check that numbers ignore a host's locale: one with a decimal comma.
	@locale -a 2>/dev/null | grep -qix 'de_DE.utf8' || { [ "$$(id -u)" != 0 ] || localedef -i de_DE -f UTF-8 de_DE.UTF-8; }

configure: setup
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DSONVERA_WERROR=$(WERROR)

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

demo: build
	$(BUILD_DIR)/sonvera-render --demo
	@echo "Listen to out/demo.wav (beside out/demo-carrier.wav and out/demo-modulator.wav); look at out/demo.png"


test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j$(JOBS)

clean:
	rm -rf $(BUILD_DIR)

# The sources as .clang-format describes them.
.PHONY: format format-check
format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
format-check:
	@command -v clang-format >/dev/null 2>&1 || { [ "$$(id -u)" = 0 ] && apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang-format; }
	clang-format --dry-run -Werror $$(git ls-files '*.cpp' '*.h')

# Chunk reading under libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer.
FUZZ_DIR ?= build-fuzz
FUZZ_RUNS ?= 1000000
# Large enough for size-driven faults (element counts, attribute lists, inflation).
FUZZ_MAX_LEN ?= 262144
.PHONY: fuzz
fuzz: setup
	@command -v clang++ >/dev/null 2>&1 && dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || { \
	  [ "$$(id -u)" = 0 ] || { echo "clang and libclang-rt-14-dev are needed (run as root to install)"; exit 1; }; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang libclang-rt-14-dev; }
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONVERA_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j$(JOBS) --target sonvera_chunk_fuzzer sonvera_fuzz_seeds
	mkdir -p $(FUZZ_DIR)/corpus
	XDG_CONFIG_HOME=$(FUZZ_DIR)/config $(FUZZ_DIR)/sonvera_fuzz_seeds $(FUZZ_DIR)/corpus
	$(FUZZ_DIR)/sonvera_chunk_fuzzer -runs=$(FUZZ_RUNS) -max_len=$(FUZZ_MAX_LEN) $(FUZZ_DIR)/corpus

# The whole suite (with the cross-thread stress test) under ThreadSanitizer,
# and under AddressSanitizer with UndefinedBehaviorSanitizer, each in a build
# of its own. Audio-thread contracts are checked in both.
TSAN_DIR ?= build-tsan
ASAN_DIR ?= build-asan
.PHONY: tsan asan
tsan: setup
	cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONVERA_TSAN=ON
	cmake --build $(TSAN_DIR) -j$(JOBS) --target sonvera_tests Sonvera sonvera-render
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" $(TSAN_DIR)/sonvera_tests

asan: setup
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONVERA_ASAN=ON
	cmake --build $(ASAN_DIR) -j$(JOBS) --target sonvera_tests Sonvera sonvera-render
	ASAN_OPTIONS="detect_leaks=1 abort_on_error=1" UBSAN_OPTIONS="halt_on_error=1 print_stacktrace=1" \
	  $(ASAN_DIR)/sonvera_tests

# The Windows 64-bit library, cross-compiled with Debian's mingw-w64:
# build-windows/Sonvera.dll and the VST3 bundle beside it.
WINDOWS_DIR ?= build-windows
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64
WINEPREFIX ?= $(CURDIR)/$(WINDOWS_DIR)/wineprefix
.PHONY: windows test-windows
windows:
	@$(MAKE) --no-print-directory setup PACKAGES="$(PACKAGES) $(WINDOWS_PACKAGES)"
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DSONVERA_WERROR=$(WERROR)
	cmake --build $(WINDOWS_DIR) -j$(JOBS) --target Sonvera sonvera-crosscheck sonvera_tests

# Under wine64 in a fresh prefix (on a virtual display): the unit suite's
# portable part, then the Windows host, which loads the DLL, renders, moves
# a chunk between instances, runs two instances in two threads and opens
# the editor in a window of its own, and (a second run) frees the DLL with
# an editor still open; the same host on Linux renders the
# same through build/Sonvera.so, and the two outputs must agree byte for
# byte. The DLL may import system DLLs only.
test-windows: windows build
	x86_64-w64-mingw32-objdump -p $(WINDOWS_DIR)/Sonvera.dll | awk '/DLL Name:/ {print tolower($$3)}' | \
	  grep -vxE 'kernel32.dll|user32.dll|gdi32.dll|shell32.dll|msvcrt.dll' && \
	  { echo "Sonvera.dll imports a DLL that is not part of Windows"; exit 1; } || true
	rm -rf $(WINEPREFIX)
	WINEPREFIX=$(WINEPREFIX) WINEDEBUG=-all xvfb-run -a /usr/lib/wine/wine64 $(WINDOWS_DIR)/sonvera_tests.exe \
	  --gtest_brief=1
	WINEPREFIX=$(WINEPREFIX) WINEDEBUG=-all xvfb-run -a /usr/lib/wine/wine64 $(WINDOWS_DIR)/sonvera-crosscheck.exe \
	  $(WINDOWS_DIR)/Sonvera.dll $(WINDOWS_DIR)/crosscheck-windows.raw
	WINEPREFIX=$(WINEPREFIX) WINEDEBUG=-all xvfb-run -a /usr/lib/wine/wine64 $(WINDOWS_DIR)/sonvera-crosscheck.exe \
	  --unload-with-editor-open $(WINDOWS_DIR)/Sonvera.dll
	XDG_CONFIG_HOME=$(WINDOWS_DIR)/linux-config $(BUILD_DIR)/sonvera-crosscheck $(BUILD_DIR)/Sonvera.so \
	  $(WINDOWS_DIR)/crosscheck-linux.raw
	cmp $(WINDOWS_DIR)/crosscheck-windows.raw $(WINDOWS_DIR)/crosscheck-linux.raw
	@echo "Sonvera.dll under wine64 renders the same samples as Sonvera.so"

# Host conformance, with the tools beside the checkout (../shared/tools), in a
# scratch home: Steinberg's VST3 validator with its extended tests, then
# pluginval at its strictest, on the VST3 bundle. Skipped where the tools are not there.
TOOLS_DIR ?= ../shared/tools
VALIDATE_HOME ?= $(BUILD_DIR)/validate-home
.PHONY: validate
validate: build
	@if [ ! -x $(TOOLS_DIR)/pluginval ] || [ ! -x $(TOOLS_DIR)/vst3-validator ]; then \
	  echo "the validators are not in $(TOOLS_DIR): skipped"; exit 0; fi; \
	missing=""; for p in libasound2 libfontconfig1 libfreetype6; do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ] && [ "$$(id -u)" = 0 ]; then apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; fi; \
	rm -rf $(VALIDATE_HOME) && mkdir -p $(VALIDATE_HOME) && \
	HOME=$(abspath $(VALIDATE_HOME)) XDG_CONFIG_HOME=$(abspath $(VALIDATE_HOME))/.config \
	  $(TOOLS_DIR)/vst3-validator -e $(BUILD_DIR)/Sonvera.vst3 > $(VALIDATE_HOME)/vst3-validator.log 2>&1; \
	grep -E '^Result: [0-9]+ tests passed, 0 tests failed' $(VALIDATE_HOME)/vst3-validator.log || \
	  { grep -E 'ERROR|Failed|^Result' $(VALIDATE_HOME)/vst3-validator.log; echo "the VST3 validator failed"; exit 1; }; \
	HOME=$(abspath $(VALIDATE_HOME)) XDG_CONFIG_HOME=$(abspath $(VALIDATE_HOME))/.config \
	  $(TOOLS_DIR)/pluginval --strictness-level 10 --validate-in-process --skip-gui-tests \
	  --validate $(BUILD_DIR)/Sonvera.vst3
