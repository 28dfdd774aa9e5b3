# Tremlow — everyday commands. Each one installs what is missing first.
BUILD      ?= build
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
SAMPLE     ?= data/examples/school-class.soi
# `make run` opens the user's own copy of the sample, made once and kept between runs.
RUN_COPY   ?= $(if $(XDG_DATA_HOME),$(XDG_DATA_HOME),$(HOME)/.local/share)/Tremlow/$(notdir $(SAMPLE))
PREFIX     ?= /usr/local
# A compiler cache, where one is installed, makes rebuilds of a fresh checkout quick; paths below the
# checkout count as relative so that two checkouts share it.
CCACHE     := $(shell command -v ccache 2>/dev/null)
ifneq ($(CCACHE),)
CMAKE_ARGS += -DCMAKE_C_COMPILER_LAUNCHER=$(CCACHE) -DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE)
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
endif

.PHONY: all deps configure build run test install uninstall package package-check bench fuzz sanitize clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "Tremlow is a desktop application and needs a display, but none is set (DISPLAY is empty)."; \
	  echo "Run it from a desktop session, or under a virtual one: xvfb-run -a make run"; \
	  exit 1; \
	fi
	@if [ ! -f "$(SAMPLE)" ]; then exec $(BUILD)/bin/tremlow; fi; \
	if [ -f "$(RUN_COPY)" ]; then \
	  echo "Opening your copy of the sample project: $(RUN_COPY)"; \
	else \
	  mkdir -p "$(dir $(RUN_COPY))" && cp "$(SAMPLE)" "$(RUN_COPY)" && \
	  echo "Made your own copy of the sample project: $(RUN_COPY)" && \
	  echo "Changes and saves go there; the sample in the source tree stays as it is."; \
	fi; \
	exec $(BUILD)/bin/tremlow "$(RUN_COPY)"

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Installs into $(PREFIX) (binaries in bin, data in share/tremlow); DESTDIR stages it elsewhere.
# The list of installed files stays with the installation, for `make uninstall PREFIX=...`.
# Without DESTDIR the desktop's menu and file-type caches are refreshed so .soi files open at once.
MANIFEST = $(DESTDIR)$(PREFIX)/share/tremlow/install_manifest.txt

install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"
	@cp $(BUILD)/install_manifest.txt "$(MANIFEST)"
	@if [ -z "$(DESTDIR)" ]; then scripts/refresh-desktop-caches "$(PREFIX)"; fi

uninstall:
	@if [ ! -f "$(MANIFEST)" ]; then echo "Tremlow is not installed in $(DESTDIR)$(PREFIX) (no $(MANIFEST))."; exit 1; fi
	@xargs -d '\n' rm -f < "$(MANIFEST)"
	@rm -f "$(MANIFEST)"
	@find "$(DESTDIR)$(PREFIX)/share/tremlow" -depth -type d -empty -delete
	@rmdir "$(DESTDIR)$(PREFIX)/share/doc/tremlow" 2>/dev/null || true
	@if [ -z "$(DESTDIR)" ]; then scripts/refresh-desktop-caches "$(PREFIX)"; fi

# The Debian package, tremlow_<version>-1_<arch>.deb in $(BUILD).
package: build
	@cd $(BUILD) && cpack -G DEB

# Installs the package on this machine, checks it as a user meets it and purges it (root; a test machine).
package-check: package
	@scripts/check-package "$$(ls $(BUILD)/tremlow_*.deb | tail -n 1)"

bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTREMLOW_BUILD_BENCH=ON -DTREMLOW_BUILD_TESTS=OFF >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bin/bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTREMLOW_BUILD_FUZZ=ON -DTREMLOW_BUILD_TESTS=OFF -DTREMLOW_SANITIZE=address,undefined \
	  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_project_load fuzz_text_files
	@mkdir -p build-fuzz/corpus build-fuzz/corpus-text
	@build-fuzz/bin/fuzz_project_load build-fuzz/corpus tests/data/fuzz-corpus -timeout=10 \
	  -max_total_time=$$(( $${FUZZ_SECONDS:-600} / 2 ))
	@build-fuzz/bin/fuzz_text_files build-fuzz/corpus-text -timeout=10 \
	  -max_total_time=$$(( $${FUZZ_SECONDS:-600} / 2 ))

# Every test suite, the widget suites included (they run offscreen); leaks inside the system's
# font and graphics libraries are not ours and are suppressed.
sanitize: deps
	@cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTREMLOW_SANITIZE=address,undefined >/dev/null
	@targets=$$(cmake --build build-sanitize --target help | sed -n 's/^\.\.\. \(test_[a-z_]*\)$$/\1/p'); \
	  cmake --build build-sanitize -j $(JOBS) --target $$targets
	@cd build-sanitize && QT_QPA_PLATFORM=offscreen \
	  LSAN_OPTIONS=suppressions=$(abspath tests/sanitize/lsan.supp):print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

clean:
	@rm -rf $(BUILD) build-bench build-fuzz build-sanitize
