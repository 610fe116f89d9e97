# Two commands do everything on a fresh Debian 12 machine: `make run` and `make test`.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_BENCH ?= build-bench
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
CMAKE_GEN  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
BIN        := $(BUILD)/bin

.PHONY: all deps app build run demo test test-sanitize bench fuzz fuzz-ci package clean format

all: build

deps:
	@scripts/setup-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPILMORA_WERROR=ON

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The demo workspace is copied once; later runs keep what the user changed there.
$(BIN)/ProjectsASCII:
	mkdir -p $(BIN)
	cp -r data/demo $(BIN)/ProjectsASCII

# Only what runs: the window, the command-line tool, the simulated gateway the
# README's next steps start, and their data (not the tests).
app: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target PilmoraASCII pilmora pilmora-gateway-sim

run: app $(BIN)/ProjectsASCII
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
		$(BIN)/PilmoraASCII; \
	else \
		echo "No display available: running the headless demo instead (make demo)."; \
		$(MAKE) --no-print-directory demo; \
	fi

# The demo also sends the LON file to the simulated gateway on loopback.
demo: app $(BIN)/ProjectsASCII
	@scripts/demo.sh $(BIN)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(BUILD_ASAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DPILMORA_SANITIZE=ON -DPILMORA_WERROR=ON
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD_BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DPILMORA_BENCH=ON
	cmake --build $(BUILD_BENCH) -j $(JOBS)
	@for b in $(BUILD_BENCH)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

# libFuzzer harnesses (clang): each runs FUZZ_SECONDS; fuzz-ci replays the corpora
# and runs a fixed number of inputs from a fixed seed.
fuzz: deps
	FUZZ_BUILD=$(BUILD_FUZZ) FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) fuzz/run.sh

fuzz-ci: deps
	FUZZ_BUILD=$(BUILD_FUZZ) JOBS=$(JOBS) fuzz/run.sh --ci

# Debian package of the installed layout (bin/, share/, desktop entry, man page).
package: build
	cmake --build $(BUILD) --target package

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_BENCH) $(BUILD_FUZZ)
