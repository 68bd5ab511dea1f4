#!/usr/bin/env bash
# Builds the core library, vornexinfo-report and the core tests for 64-bit Windows with MinGW-w64,
# runs the tests under Wine, and checks that the Windows report prints byte for byte what the Linux
# build prints on the demo galaxy.
#   packaging/windows-check.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
linux_build=${1:-build}
win_build=${2:-build-win}
jobs=${JOBS:-$(nproc)}

# The cross build takes minutes on a small machine: the compiler cache shares it between clones of
# the repository (paths below the repository count as relative).
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
fi
# The history store links SQLite for Windows, built once from Debian's source package.
sqlite=$(JOBS=$jobs packaging/windows-deps.sh sqlite)
cmake -S . -B "$win_build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_FIND_ROOT_PATH="$sqlite" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNEX_BUILD_UI=OFF "${launcher[@]}" >/dev/null
cmake --build "$win_build" -j"$jobs" --target core_tests vornexinfo-report
cmake --build "$linux_build" -j"$jobs" --target vornexinfo-report

# Wine without a display, without its own log lines, in a prefix of its own that is thrown away
# afterwards; no offers to install its .NET or browser add-ons.
WINEPREFIX=$(mktemp -d /tmp/vornex-wine-XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
scratch=$(mktemp -d /tmp/vornex-wincheck-XXXXXX)
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$scratch"; }
trap cleanup EXIT
wineboot --init >/dev/null 2>&1 || true

status=0
echo "== core tests under Wine"
if ! wine "$win_build/tests/core_tests.exe" --gtest_brief=1; then
  echo "windows-check: core tests FAILED under Wine"
  status=1
fi

echo "== report on data/demo: Windows against Linux"
run_case() {
  local name=$1; shift
  local lin_status=0 win_status=0
  "$linux_build/tools/vornexinfo-report" "$@" >"$scratch/$name.lin.out" 2>"$scratch/$name.lin.err" || lin_status=$?
  wine "$win_build/tools/vornexinfo-report.exe" "$@" >"$scratch/$name.win.out" 2>"$scratch/$name.win.err" || win_status=$?
  local same=1
  cmp -s "$scratch/$name.lin.out" "$scratch/$name.win.out" || same=0
  cmp -s "$scratch/$name.lin.err" "$scratch/$name.win.err" || same=0
  [ "$lin_status" = "$win_status" ] || same=0
  if [ ! -s "$scratch/$name.lin.out" ] && [ "$name" != error ]; then same=0; fi
  if [ "$same" = 1 ]; then
    echo "  same: $name ($(wc -c <"$scratch/$name.lin.out") bytes, exit $lin_status)"
  else
    echo "  DIFFERENT: $name (exit $lin_status on Linux, $win_status on Windows)"
    diff <(od -c "$scratch/$name.lin.out") <(od -c "$scratch/$name.win.out") | head -20 || true
    diff "$scratch/$name.lin.err" "$scratch/$name.win.err" | head -10 || true
    status=1
  fi
}
run_case tsv --folder data/demo --player 1
run_case habterra --folder data/demo --player 1 --reported --sort habterra
run_case csv --folder data/demo --player 1 --format csv --from 1 --sort distance
run_case json --folder data/demo --player 1 --format json
run_case version --version
run_case error --folder data/no-such-folder --player 1

if [ "$status" = 0 ]; then echo "windows-check: passed"; else echo "windows-check: FAILED"; fi
exit "$status"
