#!/usr/bin/env bash
# Builds the libraries the Windows programs link statically: Qt (Core, Gui, Widgets and the Windows
# and offscreen platform plugins) from Debian's qt6-base source package, and SQLite from Debian's
# sqlite3 source package, both with MinGW-w64, into a cache outside the source tree. Each build is
# kept under a key made of the source package's version, the build options and the compiler's
# version, so a change of any of them builds afresh while an unchanged one is reused.
#   packaging/windows-deps.sh          builds what is missing, prints the two install folders
#   packaging/windows-deps.sh sqlite   SQLite alone (the core needs no Qt), prints its folder
# The cache: $VORNEX_WIN_CACHE, else $XDG_CACHE_HOME/vornexinfo-win, else ~/.cache/vornexinfo-win.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${VORNEX_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vornexinfo-win}
jobs=${JOBS:-$(nproc)}
toolchain=$repo/cmake/mingw-w64-x86_64.cmake
mkdir -p "$cache/src"

log() { echo "windows-deps: $*" >&2; }
if [ "$(id -u)" = 0 ]; then sudo=(); else sudo=(sudo); fi

# Debian's source packages come through a source list of our own, so the machine's lists stay as
# they are; only that list is refreshed.
src_list=/etc/apt/sources.list.d/vornexinfo-src.sources
ensure_source_list() {
  if apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Version:'; then return; fi
  if [ ! -f "$src_list" ]; then
    # The same mirror and suite the machine installs its binary packages from.
    local uri suite
    uri=$(grep -hm1 '^URIs:' /etc/apt/sources.list.d/debian.sources 2>/dev/null | awk '{print $2}')
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    log "adding $src_list (deb-src ${uri:-http://deb.debian.org/debian} $suite)"
    printf 'Types: deb-src\nURIs: %s\nSuites: %s %s-updates\nComponents: main\nSigned-By: %s\n' \
      "${uri:-http://deb.debian.org/debian}" "$suite" "$suite" /usr/share/keyrings/debian-archive-keyring.gpg |
      "${sudo[@]}" tee "$src_list" >/dev/null
  fi
  "${sudo[@]}" apt-get update -qq -o Dir::Etc::sourcelist="$src_list" -o Dir::Etc::sourceparts=- \
    -o APT::Get::List-Cleanup=0
}

# Unpacks (with Debian's patches applied) the source package's current version into the cache once;
# prints its folder.
fetch_source() {
  local pkg=$1 version upstream dir
  ensure_source_list
  version=$(apt-cache showsrc "$pkg" | awk '/^Version:/ {print $2}' | sort -V | tail -1)
  upstream=${version#*:}
  upstream=${upstream%-*}
  dir="$cache/src/$pkg-$version"
  if [ ! -f "$dir/.unpacked" ]; then
    log "fetching Debian's $pkg $version"
    rm -rf "$dir" "$cache/src/tmp-$pkg"
    mkdir -p "$cache/src/tmp-$pkg"
    (cd "$cache/src/tmp-$pkg" && apt-get source -qq "$pkg=$version" >/dev/null 2>&1)
    mv "$cache/src/tmp-$pkg/$pkg-$upstream" "$dir"
    rm -rf "$cache/src/tmp-$pkg"
    echo "$version" >"$dir/.unpacked"
  fi
  echo "$dir"
}

mingw_version=$(x86_64-w64-mingw32-g++-posix --version | head -1)
key_of() { sha256sum | cut -c1-12; }

# ---- Qt -----------------------------------------------------------------------------------------
qt_options=(
  # This machine's own Qt of the same version provides the tools (moc, rcc, uic).
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -print-multiarch)/cmake"
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  # Core, Gui and Widgets only; no OpenGL (Direct2D and DirectWrite 3 off together, or the Windows
  # platform plugin fails to build), no Zstandard (resources are written without it).
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_testlib=OFF
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
  -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_pkg_config=OFF
  -DFEATURE_androiddeployqt=OFF -DFEATURE_windeployqt=OFF
  # The third-party parts Qt carries, built in: zlib, PCRE2, HarfBuzz, FreeType (which also gives
  # the offscreen platform the tests use), libpng.
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_harfbuzz=ON
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF
  -DFEATURE_png=ON -DFEATURE_system_png=OFF -DFEATURE_jpeg=OFF
)
qt_patches=("$repo"/packaging/windows/qt-*.patch)
[ -e "${qt_patches[0]}" ] || qt_patches=()

build_qt() {
  local src version key prefix work
  src=$(fetch_source qt6-base)
  version=$(cat "$src/.unpacked")
  key=$({ echo "$version"; printf '%s\n' "${qt_options[@]}"; echo "$mingw_version"; cat "$toolchain";
          [ ${#qt_patches[@]} = 0 ] || cat "${qt_patches[@]}"; } | key_of)
  prefix="$cache/qt-$version-$key"
  if [ -f "$prefix/.complete" ]; then echo "$prefix"; return; fi
  log "building Qt $version for Windows into $prefix (about 20 minutes on two cores)"
  work="$cache/work-qt-$key"
  local started=$SECONDS
  # An interrupted build of the same key goes on where it stopped.
  if [ ! -f "$work/build.ninja" ]; then
    rm -rf "$work" "$work.src" "$prefix"
    cp -a "$src" "$work.src"
    for p in "${qt_patches[@]}"; do patch -s -d "$work.src" -p1 <"$p"; done
    cmake -S "$work.src" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DVORNEX_WINE=VORNEX_WINE-NOTFOUND -DCMAKE_INSTALL_PREFIX="$prefix" "${qt_options[@]}" \
      >"$cache/qt-$key.configure.log" 2>&1 || { tail -40 "$cache/qt-$key.configure.log" >&2; exit 1; }
  fi
  cmake --build "$work" -j"$jobs" >>"$cache/qt-$key.build.log" 2>&1 ||
    { grep -m5 -B2 -A10 'error' "$cache/qt-$key.build.log" >&2 || tail -40 "$cache/qt-$key.build.log" >&2; exit 1; }
  cmake --install "$work" >/dev/null
  rm -rf "$work" "$work.src"
  echo "$version, built in $((SECONDS - started)) s" >"$prefix/.complete"
  log "Qt built in $((SECONDS - started)) s"
  echo "$prefix"
}

# ---- SQLite -------------------------------------------------------------------------------------
# The amalgamation (one sqlite3.c) is generated on this machine from the package's sources, then
# compiled with MinGW-w64 into a static library.
sqlite_flags=(-O2 -DSQLITE_THREADSAFE=1 -DSQLITE_DEFAULT_FOREIGN_KEYS=1 -DSQLITE_OMIT_LOAD_EXTENSION
  -DSQLITE_DQS=0)

build_sqlite() {
  local src version key prefix work
  src=$(fetch_source sqlite3)
  version=$(cat "$src/.unpacked")
  key=$({ echo "$version"; printf '%s\n' "${sqlite_flags[@]}"; echo "$mingw_version"; } | key_of)
  prefix="$cache/sqlite-$version-$key"
  if [ -f "$prefix/.complete" ]; then echo "$prefix"; return; fi
  log "building SQLite $version for Windows into $prefix"
  work="$cache/work-sqlite-$key"
  rm -rf "$work" "$prefix"
  mkdir -p "$work" "$prefix/include" "$prefix/lib"
  (cd "$work" && "$src/configure" --disable-tcl >configure.log 2>&1 && make sqlite3.c >make.log 2>&1) ||
    { tail -30 "$work"/*.log >&2; exit 1; }
  x86_64-w64-mingw32-gcc-posix "${sqlite_flags[@]}" -c "$work/sqlite3.c" -o "$work/sqlite3.o"
  x86_64-w64-mingw32-ar rcs "$prefix/lib/libsqlite3.a" "$work/sqlite3.o"
  cp "$work/sqlite3.h" "$src/src/sqlite3ext.h" "$prefix/include/"
  rm -rf "$work"
  echo "$version" >"$prefix/.complete"
  echo "$prefix"
}

sqlite=$(build_sqlite)
if [ "${1:-}" = sqlite ]; then
  echo "$sqlite"
  exit 0
fi
qt=$(build_qt)
echo "$qt"
echo "$sqlite"
