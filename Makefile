# Two commands for a fresh Debian 12 machine: `make run` and `make test`.
# Each installs what is missing first (scripts/install-deps, as root or via sudo).

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD ?= build
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60
# make install: under PREFIX, and below DESTDIR when staging (DESTDIR=/tmp/stage).
PREFIX ?= /usr/local
DESTDIR ?=
EXAMPLE ?= examples/sum.cv
EXAMPLE_INPUT ?= 1 2 3 4
WASM_BUILD ?= build-wasm
WEB_BUILD ?= build-web
WEB_PORT ?= 8080

.PHONY: all deps build runner run test package install bench fuzz sanitize gui-xvfb-test a11y-test \
  wasm wasm-test wasm-bench web web-serve web-test web-bench format-check clean

all: build

deps:
	@bash scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# corvane-run alone, from the same build folder (the browser's tests compare
# with it).
runner: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target corvane-run

run: build
	@if [ -x $(BUILD)/corvane ] && { [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; }; then \
	  $(BUILD)/corvane; \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY unset): running $(EXAMPLE) through corvane-run instead."; \
	  $(BUILD)/corvane-run --input "$(EXAMPLE_INPUT)" $(EXAMPLE); \
	fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The Debian package, from the Release build: build/corvane_<version>_amd64.deb.
package: build
	cd $(BUILD) && cpack -G DEB
	@echo "Package: $$(ls -t $(BUILD)/corvane_*_amd64.deb | head -n 1)"

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)" --strip

# Every test under AddressSanitizer (leak checks included) and
# UndefinedBehaviorSanitizer; the GUI tests one at a time, offscreen and then
# under Xvfb, since their modal drivers wait on real time.
sanitize: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCORVANE_GUI=ON -DCORVANE_SANITIZE=ON -DCORVANE_WERROR=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS) -LE gui
	cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L gui
	cd build-asan && QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
	  ctest --output-on-failure -L gui

# The GUI tests once more under a real X server with the xcb platform.
gui-xvfb-test: build
	cd $(BUILD) && QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
	  ctest --output-on-failure -L gui

# The real windows read through the accessibility bus, as a screen reader
# reads them, and driven with keys alone (own X server, window manager and buses).
a11y-test: build
	tests/a11y/atspi-test $(BUILD)/corvane

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCHMARKS=ON -DCORVANE_TESTS=OFF -DCORVANE_GUI=ON
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/benchmarks/bench_* build-bench/benchmarks/gui/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b" || exit 1; fi; \
	done

fuzz: deps
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DCORVANE_FUZZ=ON -DCORVANE_GUI=OFF -DCORVANE_TESTS=OFF
	cmake --build build-fuzz -j $(JOBS)
	@mkdir -p build-fuzz/corpus/fuzz_parser && cp examples/*.cv tests/programs/*.cv build-fuzz/corpus/fuzz_parser/ 2>/dev/null || true
	@for f in build-fuzz/fuzz/fuzz_*; do \
	  mkdir -p build-fuzz/corpus/$$(basename $$f); \
	  "$$f" -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=4096 build-fuzz/corpus/$$(basename $$f) || exit 1; \
	done

# The machine in WebAssembly for the browser: the module and its glue
# (emscripten), the worker around them (esbuild), in $(WASM_BUILD)/web/.
wasm: deps web/node_modules/.package-lock.json
	emcmake cmake -S . -B $(WASM_BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WASM_BUILD) -j $(JOBS)
	cd web && npx esbuild src/worker/worker.ts --bundle --format=iife --target=es2022 \
	  --outfile=../$(WASM_BUILD)/web/worker.js --log-level=warning
	cd web && npx esbuild src/worker/index.ts --bundle --format=esm --target=es2022 \
	  --outfile=../$(WASM_BUILD)/web/engine.mjs --log-level=warning
	@cd $(WASM_BUILD)/web && for f in corvane.wasm corvane.js worker.js; do \
	  echo "$$f: $$(stat -c %s $$f) bytes, $$(gzip -9c $$f | wc -c) gzipped"; done

# The module and its worker under Node, against corvane-run.
wasm-test: wasm runner
	cd web && npx tsc --noEmit -p .
	CORVANE_WASM=$(WASM_BUILD) CORVANE_RUN=$(BUILD)/corvane-run node --test web/test/wasm/*.test.mjs

# The worker's slice loop on 10^9 commands against corvane-run, and Break and
# Stop in an endless loop.
wasm-bench: wasm runner
	node benchmarks/wasm/bench_worker.mjs $(WASM_BUILD) $(BUILD)/corvane-run

# The page for the browser: the site in $(WEB_BUILD)/ (page, worker and
# module, styles, icons, examples, guide), served by `make web-serve`.
web: wasm web/node_modules/.package-lock.json
	cd web && npx tsc --noEmit -p .
	cd web && node scripts/build.mjs ../$(WEB_BUILD) ../$(WASM_BUILD)/web

web/node_modules/.package-lock.json: web/package.json web/package-lock.json
	cd web && npm ci --no-audit --no-fund

web-serve: web
	node web/scripts/serve.mjs $(WEB_BUILD) $(WEB_PORT)

# The page's tests in headless Chromium (Debian's), one file at a time; Check's
# verdicts are compared with corvane-run's.
web-test: web runner
	@for f in web/test/page/*.test.mjs; do \
	  echo "== $$f"; CORVANE_SITE=$(CURDIR)/$(WEB_BUILD) CORVANE_RUN=$(CURDIR)/$(BUILD)/corvane-run node --test $$f || exit 1; \
	done

# Load time, transfer size, run speed against corvane-run, Break and typing latency.
web-bench: web runner
	CORVANE_SITE=$(CURDIR)/$(WEB_BUILD) CORVANE_RUN=$(CURDIR)/$(BUILD)/corvane-run node web/bench/page-bench.mjs

# The sources follow .clang-format.
format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build build-asan build-bench build-fuzz $(WASM_BUILD) $(WEB_BUILD)
