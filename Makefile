# Two commands do everything: `make run` and `make test`.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= 2
DEMO_DIR ?= $(HOME)/.local/share/Velmora Software/Tindrel/demo
# make install PREFIX=$HOME/.local (or DESTDIR=/some/root for a package)
PREFIX ?= /usr/local
DESTDIR ?=

# Every test program `make test` must run; a build folder without one of them fails.
TESTS := test_base test_library test_config test_document test_cli test_gui test_install
CORE_TESTS := test_base test_library test_config test_document test_cli

.PHONY: deps configure build test run bench asan-test install uninstall package screenshot clean

deps:
	@scripts/install-deps.sh

# The window and its tests are switched on every time, whatever the folder held before.
configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINDREL_GUI=ON \
	  -DCMAKE_INSTALL_PREFIX="$(PREFIX)" >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@scripts/check-tests.sh $(BUILD) $(TESTS)
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --no-tests=error -j $(JOBS)

run: build
	@scripts/run-demo.sh "$(BUILD)" "$(DEMO_DIR)"

install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD)

# Removes every file the last `make install` put in place (as its manifest lists them; its
# last line has no line end)
# and the program's own help folder; folders shared with other programs stay.
uninstall:
	@test -f $(BUILD)/install_manifest.txt || { echo "Nothing to uninstall: no $(BUILD)/install_manifest.txt" >&2; exit 1; }
	@while IFS= read -r f || [ -n "$$f" ]; do rm -f -- "$(DESTDIR)$$f"; done < $(BUILD)/install_manifest.txt
	@grep '/share/tindrel/help/' $(BUILD)/install_manifest.txt | head -n 1 | while IFS= read -r f; do \
	  d=$$(dirname -- "$(DESTDIR)$$f"); rmdir -- "$$d" "$$(dirname -- "$$d")" 2>/dev/null || true; done

# A Debian package of what `make install` installs, below /usr: $(BUILD)/tindrel_*.deb.
package: build
	@scripts/install-deps.sh
	@cd $(BUILD) && cpack -G DEB

bench: build
	@$(BUILD)/bench/tindrel-bench $(BENCH_ARGS)

# The picture in the README, taken on the demo library under a virtual display.
screenshot: build
	@scripts/install-deps.sh --gui-tools
	@scripts/screenshot.sh "$(BUILD)" docs/screenshot.png

# The library and configuration tests under AddressSanitizer and UndefinedBehaviorSanitizer.
asan-test: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTINDREL_GUI=OFF -DTINDREL_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@scripts/check-tests.sh $(ASAN_BUILD) $(CORE_TESTS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure --no-tests=error -j $(JOBS) -L core

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
