# The two commands a new user needs: `make run` and `make test`. Both install what is missing
# (Debian 12, as root), configure and build.

BUILD    ?= build
JOBS     ?= $(shell nproc)
CMAKE    ?= cmake
# Extra configure options for the main build, e.g. CMAKE_FLAGS=-DVORNEX_WERROR=ON (as CI does).
CMAKE_FLAGS ?=
DEB_PKGS := cmake g++ make pkg-config libgtest-dev libgmock-dev qt6-base-dev qt6-base-dev-tools libgl-dev \
            libsqlite3-dev fonts-dejavu-core locales
BENCH_PKGS := libbenchmark-dev time
FUZZ_PKGS  := clang-14 libclang-rt-14-dev
RUN_PKGS   := qt6-qpa-plugins
PKG_PKGS   := dpkg-dev desktop-file-utils appstream
WIN_PKGS   := g++-mingw-w64-x86-64-posix wine wine64 fonts-wine googletest ccache dpkg-dev ninja-build perl tcl \
              python3 zip unzip xvfb xdotool imagemagick bsdutils

.PHONY: all deps build run test test-portable package windows-package windows-package-check windows-check bench fuzz sanitize format format-check clean

all: build

# Installs only what is missing, so a prepared machine is not touched.
define install_missing
	@missing=""; for p in $(1); do dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  if [ "$$(id -u)" = 0 ]; then SUDO=""; else SUDO="sudo"; fi; \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing >/dev/null; \
	fi
endef

# The German locale lets the tests check that numbers are written with a full stop whatever the
# user's locale; it is generated once, only when the machine lacks it.
deps:
	$(call install_missing,$(DEB_PKGS) $(RUN_PKGS))
	@if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$$'; then \
	  if [ "$$(id -u)" = 0 ]; then SUDO=""; else SUDO="sudo"; fi; \
	  $$SUDO sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen; \
	  grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $$SUDO tee -a /etc/locale.gen >/dev/null; \
	  $$SUDO locale-gen >/dev/null; \
	fi

build: deps
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	$(CMAKE) --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/src/vornexinfo --demo

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# The core tests once more with the plain byte-by-byte scanning every machine gets (as on ARM),
# so the shortcuts and what they stand in for are both known to load files the same way.
test-portable: deps
	$(CMAKE) -S . -B build-portable -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNEX_PORTABLE_SCAN=ON \
	  -DVORNEX_BUILD_UI=OFF >/dev/null
	$(CMAKE) --build build-portable -j$(JOBS) --target core_tests
	build-portable/tests/core_tests

# The Debian package of the build above (vornexinfo_X.Y.Z_amd64.deb in $(BUILD)/), then its check.
package: build
	$(call install_missing,$(PKG_PKGS))
	$(CMAKE) --build $(BUILD) --target package
	packaging/check-package.sh $$(ls -t $(BUILD)/vornexinfo_*_amd64.deb | head -1)

# The portable Windows package (build-win-qt/VornexInfo-X.Y.Z-windows-x64.zip): Qt and SQLite for
# Windows are built once from Debian's source packages into ~/.cache/vornexinfo-win (a fresh
# machine spends about 20 minutes on it), then both programs.
windows-package: deps
	$(call install_missing,$(WIN_PKGS))
	JOBS=$(JOBS) packaging/windows-package.sh build-win-qt

# The core library, vornexinfo-report and the core tests built for Windows and run under Wine.
windows-check: deps
	$(call install_missing,$(WIN_PKGS))
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	JOBS=$(JOBS) packaging/windows-check.sh $(BUILD) build-win

# The Windows package unpacked and tried under Wine (the window under Xvfb included), as CI does.
windows-package-check: windows-package build
	$(CMAKE) --build $(BUILD) -j$(JOBS) --target vornexinfo vornexinfo-report
	packaging/windows-package-check.sh $$(ls -t build-win-qt/VornexInfo-*-windows-x64.zip | head -1) build-win-qt $(BUILD)

bench: deps
	$(call install_missing,$(BENCH_PKGS))
	$(CMAKE) -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVORNEX_BUILD_BENCH=ON -DVORNEX_BUILD_TESTS=OFF >/dev/null
	$(CMAKE) --build build-bench -j$(JOBS) --target vornex_bench
	QT_QPA_PLATFORM=offscreen build-bench/bench/vornex_bench

FUZZ_SECONDS ?= 60
fuzz: deps
	$(call install_missing,$(FUZZ_PKGS))
	CC=clang-14 CXX=clang++-14 $(CMAKE) -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVORNEX_BUILD_FUZZ=ON -DVORNEX_BUILD_UI=OFF -DVORNEX_BUILD_TESTS=OFF >/dev/null
	$(CMAKE) --build build-fuzz -j$(JOBS) --target vornex_fuzz
	fuzz/run_all.sh build-fuzz/fuzz $(FUZZ_SECONDS)

sanitize: deps
	$(CMAKE) -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVORNEX_SANITIZE=ON >/dev/null
	$(CMAKE) --build build-asan -j$(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j$(JOBS)

# One format for the whole tree (.clang-format): `make format` applies it, CI checks it.
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h')
format:
	$(call install_missing,clang-format-14)
	clang-format-14 -i $(FORMAT_FILES)
format-check:
	$(call install_missing,clang-format-14)
	clang-format-14 --dry-run --Werror $(FORMAT_FILES)

clean:
	rm -rf $(BUILD) build-portable build-bench build-fuzz build-asan build-win
