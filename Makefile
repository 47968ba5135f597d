# Two commands do everything: `make run` and `make test`.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= 2
DEMO_DIR ?= $(HOME)/.local/share/Velmora Software/Tindrel/demo

.PHONY: deps configure build test run bench asan-test clean

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run-demo.sh "$(BUILD)" "$(DEMO_DIR)"

bench: build
	@$(BUILD)/bench/tindrel-bench $(BENCH_ARGS)

# The library and configuration tests under AddressSanitizer and UndefinedBehaviorSanitizer.
asan-test: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTINDREL_GUI=OFF -DTINDREL_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -L core

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
