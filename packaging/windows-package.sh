#!/usr/bin/env bash
# Builds the portable Windows package, VornexInfo-X.Y.Z-windows-x64.zip: both programs linked
# statically against Qt and SQLite built for Windows (packaging/windows-deps.sh, cached), the demo
# galaxy, the README and the licence texts of everything inside. Also builds the window's tests for
# Windows, which packaging/windows-package-check.sh runs under Wine.
#   packaging/windows-package.sh [WINDOWS_BUILD_DIR]    prints the zip's path last
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
win_build=${1:-build-win-qt}
jobs=${JOBS:-$(nproc)}

deps=$(packaging/windows-deps.sh)
# Two folders, Qt's and SQLite's; each is known by its name.
qt=$(grep '/qt-[^/]*$' <<<"$deps")
sqlite=$(grep '/sqlite-[^/]*$' <<<"$deps")
qt_source=$(sed 's/,.*//' "$qt/.complete")
qt_source=$(dirname "$qt")/src/qt6-base-$qt_source
sqlite_source=$(dirname "$sqlite")/src/sqlite3-$(cat "$sqlite/.complete")

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
fi
# The programs go to the package's top folder, beside the share folder with the demo galaxy.
cmake -S . -B "$win_build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_BINDIR=. \
  -DCMAKE_PREFIX_PATH="$qt;$sqlite" -DCMAKE_FIND_ROOT_PATH="$qt;$sqlite" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -print-multiarch)/cmake" \
  "${launcher[@]}" ${VORNEX_WIN_CMAKE_FLAGS:-} >/dev/null
cmake --build "$win_build" -j"$jobs" --target vornexinfo vornexinfo-report ui_tests app_tests

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win_build/CMakeCache.txt")
name=VornexInfo-$version-windows-x64
stage="$win_build/package/$name"
rm -rf "$win_build/package"
cmake --install "$win_build" --prefix "$stage" --strip >/dev/null

# Windows users open text files in Notepad: the texts get CR LF line ends.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
crlf README.md "$stage/README.md"
crlf LICENSE "$stage/LICENSE.txt"
licenses="$stage/licenses"
mkdir -p "$licenses/qt-parts"
crlf packaging/windows/SOURCES.txt "$licenses/SOURCES.txt"
crlf "$qt_source/LICENSES/LGPL-3.0-only.txt" "$licenses/Qt-LGPL-3.0.txt"
crlf "$qt_source/LICENSES/GPL-3.0-only.txt" "$licenses/Qt-GPL-3.0.txt"
crlf "$qt_source/debian/copyright" "$licenses/Qt-debian-copyright.txt"
crlf /usr/share/doc/mingw-w64-x86-64-dev/copyright "$licenses/MinGW-w64-runtime.txt"
crlf /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright "$licenses/GCC-runtime.txt"
python3 packaging/windows/notices.py "$qt_source" "$licenses/qt-parts" \
  src/3rdparty/{zlib,pcre2,harfbuzz-ng,freetype,libpng,double-conversion,md4c,tinycbor,easing}/qt_attribution.json \
  src/3rdparty/{sha1,sha3,md4,md5,rfc6234,blake2,icc}/qt_attribution.json \
  src/corelib/{text,kernel,tools}/qt_attribution.json src/gui/{painting,text}/qt_attribution.json
cp "$qt_source/src/3rdparty/freetype/docs/FTL.TXT" "$licenses/qt-parts/freetype/"
for f in "$licenses"/qt-parts/*/* "$licenses"/qt-parts/README.txt; do
  crlf "$f" "$f.tmp" && mv "$f.tmp" "$f"
done
printf 'SPDX-License-Identifier: %s\r\n' "$(sed -n 's/^set(VORNEX_LICENSE "\(.*\)")$/\1/p' CMakeLists.txt)" \
  >"$licenses/VornexInfo-SPDX.txt"
{
  echo "- Qt: Debian's qt6-base $(sed 's/,.*//' "$qt/.complete")"
  # SQLite is in only when the programs use it (the history store).
  if grep -q '^SQLite3_LIBRARY:FILEPATH=.*libsqlite3\.a$' "$win_build/CMakeCache.txt"; then
    crlf "$sqlite_source/debian/copyright" "$licenses/SQLite-debian-copyright.txt"
    echo "- SQLite, in the public domain (SQLite-debian-copyright.txt): Debian's sqlite3 $(cat "$sqlite/.complete")"
  fi
} | sed 's/$/\r/' >>"$licenses/SOURCES.txt"

# The same files give the same zip: fixed times, sorted names, no extra attributes.
find "$stage" -exec touch -h -d "$(sed -n 's/^set(VORNEX_RELEASE_DATE "\(.*\)")$/\1/p' CMakeLists.txt) 00:00:00" {} +
zip_path="$PWD/$win_build/$name.zip"
rm -f "$zip_path"
(cd "$win_build/package" && find "$name" | LC_ALL=C sort | zip -q -X -D "$zip_path" -@)
echo "windows-package: $(du -h "$zip_path" | cut -f1) $zip_path" >&2
echo "$zip_path"
