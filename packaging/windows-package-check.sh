#!/usr/bin/env bash
# Checks the Windows package under Wine as a user would meet it: unpacked into a folder whose path
# has spaces, vornexinfo.exe answers --version and --help, vornexinfo-report.exe prints on the
# packaged demo galaxy byte for byte what the Linux build prints, the window opens on the demo under
# Xvfb and draws the map (a screenshot of many colours), a game opened from the command line leaves
# its settings in the registry under "VornexTools", and the window's and start-up's test suites
# pass on Qt's offscreen platform.
#   packaging/windows-package-check.sh ZIP WINDOWS_BUILD_DIR LINUX_BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
zip=$(realpath "${1:?usage: windows-package-check.sh ZIP WINDOWS_BUILD_DIR LINUX_BUILD_DIR}")
win_build=$(realpath "${2:?}")
linux_build=$(realpath "${3:?}")
version=$(basename "$zip" | sed -n 's/^VornexInfo-\([0-9.]*\)-windows-x64\.zip$/\1/p')
failures=0
fail() { echo "  FAILED: $*"; failures=$((failures + 1)); }
ok() { echo "  ok: $*"; }

# Wine in a prefix of its own that is thrown away afterwards, without its own log lines and without
# offers to install its .NET or browser add-ons.
WINEPREFIX=$(mktemp -d /tmp/vornex-wine-XXXXXX)
scratch=$(mktemp -d /tmp/vornex-winpkg-XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$scratch"
}
trap cleanup EXIT
# Wine's desktop process takes the display it is started with, and every later window goes to it:
# the X server comes first.
exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.2; done
DISPLAY=:$(head -1 "$scratch/display")
export DISPLAY
wineboot --init >/dev/null 2>&1 || true
# Qt draws text with FreeType under Wine (fontengine=freetype below), from the font files listed in
# the registry. Wine's own Tahoma, which stands in for the dialog fonts, is not among them; this
# machine's DejaVu Sans is.
for face in "MS Shell Dlg" "MS Shell Dlg 2"; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "$face" /d "DejaVu Sans" /f \
    >/dev/null 2>&1
done

echo "== the package"
[ -n "$version" ] && ok "file name $(basename "$zip")" || fail "file name $(basename "$zip") is not VornexInfo-X.Y.Z-windows-x64.zip"
top="$scratch/Program Files/Vornex Info"
mkdir -p "$top"
unzip -q "$zip" -d "$top"
dir="$top/VornexInfo-$version-windows-x64"
for f in vornexinfo.exe vornexinfo-report.exe README.md LICENSE.txt licenses/SOURCES.txt \
         licenses/Qt-LGPL-3.0.txt licenses/qt-parts/README.txt licenses/VornexInfo-SPDX.txt \
         share/vornexinfo/demo/game.map share/vornexinfo/demo/player.inf; do
  [ -f "$dir/$f" ] && ok "$f" || fail "missing $f"
done
# Only the two programs: Qt, SQLite and the compiler's runtime are linked in.
dlls=$(cd "$dir" && find . -iname '*.dll' | head -3)
[ -z "$dlls" ] && ok "no DLLs beside the programs" || fail "DLLs in the package: $dlls"
for exe in vornexinfo.exe vornexinfo-report.exe; do
  imports=$(x86_64-w64-mingw32-objdump -p "$dir/$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' |
    grep -vE '^(api-ms-win-[a-z0-9-]*|shlwapi|kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|imm32|winmm|ws2_32|uxtheme|dwmapi|shcore|version|netapi32|userenv|uuid|winspool\.drv|setupapi|rpcrt4|mpr|authz|msvcrt|comctl32|dwrite|d3d9|d3d11|dxgi|wtsapi32|crypt32|bcrypt|secur32|ntdll)\.dll$' || true)
  [ -z "$imports" ] && ok "$exe needs only Windows' own DLLs" || fail "$exe needs $(echo $imports)"
done
subsystem() { x86_64-w64-mingw32-objdump -p "$1" | awk '/^Subsystem/ {print $2}'; }
[ "$(subsystem "$dir/vornexinfo.exe")" = 00000002 ] && ok "vornexinfo.exe is a window program (no console window)" \
  || fail "vornexinfo.exe subsystem $(subsystem "$dir/vornexinfo.exe"), not the window one"
[ "$(subsystem "$dir/vornexinfo-report.exe")" = 00000003 ] && ok "vornexinfo-report.exe is a console program" \
  || fail "vornexinfo-report.exe subsystem $(subsystem "$dir/vornexinfo-report.exe")"

echo "== the programs answer on the command line"
(cd "$dir" && wine vornexinfo.exe --version) >"$scratch/version.out" 2>&1 || true
# Text written to a Windows stream ends its lines with CR LF.
if [ "$(tr -d '\r' <"$scratch/version.out")" = "vornexinfo $version" ] &&
   [ "$(tr -d '\r' <"$scratch/version.out")" = "$("$linux_build/src/vornexinfo" --version)" ]; then
  ok "vornexinfo.exe --version: $(tr -d '\r' <"$scratch/version.out")"
else
  fail "vornexinfo.exe --version printed: $(head -c 300 "$scratch/version.out")"
fi
(cd "$dir" && wine vornexinfo.exe --help) >"$scratch/help.out" 2>&1 || true
grep -q -- '--demo' "$scratch/help.out" && ok "vornexinfo.exe --help" || fail "vornexinfo.exe --help printed: $(head -c 300 "$scratch/help.out")"
# Started in a console without redirection, the window program writes into that console.
if command -v script >/dev/null; then
  (cd "$dir" && script -qec "wine cmd /c vornexinfo.exe --version" /dev/null </dev/null) >"$scratch/console.out" 2>&1 || true
  # The console is drawn with terminal control sequences between the characters.
  # (a space among them is a cursor step): compared without them and without spaces.
  sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' "$scratch/console.out" | tr -d ' ' | grep -q "vornexinfo$version" && ok "--version reaches the console it was started from" \
    || fail "nothing in the console for --version: $(head -c 300 "$scratch/console.out" | tr -d '\033')"
fi

echo "== report on the packaged demo galaxy: Windows against Linux, byte for byte"
report_case() {
  local name=$1; shift
  local lin_status=0 win_status=0
  (cd "$dir" && "$linux_build/tools/vornexinfo-report" "$@") >"$scratch/$name.lin" 2>&1 || lin_status=$?
  (cd "$dir" && wine vornexinfo-report.exe "$@") >"$scratch/$name.win" 2>&1 || win_status=$?
  if [ -s "$scratch/$name.lin" ] && cmp -s "$scratch/$name.lin" "$scratch/$name.win" && [ "$lin_status" = "$win_status" ]; then
    ok "$name ($(wc -c <"$scratch/$name.lin") bytes, exit $lin_status)"
  else
    fail "$name differs (exit $lin_status on Linux, $win_status on Windows)"
    diff <(od -c "$scratch/$name.lin") <(od -c "$scratch/$name.win") | head -10 || true
  fi
}
report_case table --folder share/vornexinfo/demo --player 1
report_case csv --folder share/vornexinfo/demo --player 1 --format csv --sort distance --from 1
report_case json --folder share/vornexinfo/demo --player 1 --format json
report_case version --version

echo "== the window on the demo galaxy, under Xvfb"
# Wine hands variables named WINEQT_* to Windows programs as QT_*: the Linux Qt's own QT_* stay out.
export WINEQT_QPA_PLATFORM=windows:fontengine=freetype
shot="$win_build/wine-window.png"
(cd "$dir" && exec wine vornexinfo.exe --demo) >"$scratch/demo.out" 2>&1 &
demo_pid=$!
window=$(timeout 120 xdotool search --sync --onlyvisible --class 'vornexinfo' 2>/dev/null | head -1 || true)
if [ -n "$window" ]; then
  # The map is drawn once the window is shown; the planets list fills it a moment later.
  sleep 5
  import -window root "$shot"
  colours=$(convert "$shot" -format %k info:)
  [ "$colours" -ge 1000 ] && ok "map drawn: $colours colours in $shot" || fail "only $colours colours in $shot"
  grep -q 'planets, .* reported' "$scratch/demo.out" && ok "$(grep 'planets, ' "$scratch/demo.out" | tr -d '\r')" \
    || fail "no summary line from --demo: $(head -c 300 "$scratch/demo.out")"
else
  fail "no window within two minutes: $(head -c 500 "$scratch/demo.out")"
fi
kill "$demo_pid" 2>/dev/null || true
wineserver -k 2>/dev/null || true
wait "$demo_pid" 2>/dev/null || true

echo "== settings in the registry"
demo_win="Z:$(sed 's|/|\\|g' <<<"$dir/share/vornexinfo/demo")"
(cd "$dir" && exec wine vornexinfo.exe --folder "$demo_win" --player 1 --game game) >"$scratch/game.out" 2>&1 &
game_pid=$!
window=$(timeout 120 xdotool search --sync --onlyvisible --class 'vornexinfo' 2>/dev/null | head -1 || true)
if [ -n "$window" ]; then
  # No window manager here: focus the window directly, then press the keys as a user would.
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key alt+F4
fi
timeout 60 tail --pid="$game_pid" -f /dev/null || fail "the window did not close on Alt+F4"
kill "$game_pid" 2>/dev/null || true
wine reg query 'HKCU\Software\VornexTools\Settings' >"$scratch/reg.out" 2>&1 || true
if grep -q 'GameName.*game' "$scratch/reg.out" && grep -q 'YourNumber.*1' "$scratch/reg.out"; then
  ok "HKEY_CURRENT_USER\\Software\\VornexTools\\Settings holds GameName and YourNumber"
else
  fail "no settings under HKEY_CURRENT_USER\\Software\\VornexTools: $(tr -d '\r' <"$scratch/reg.out" | head -5) $(head -c 300 "$scratch/game.out")"
fi
wineserver -k 2>/dev/null || true

echo "== the start-up and window tests on the offscreen platform"
# On the laptop-sized screen the window tests are written for, as on Linux. Qt splits the platform's
# options at colons, so the file is named without its drive: Wine's Z:, the current one here.
export WINEQT_QPA_PLATFORM="offscreen:configfile=$PWD/tests/ui/laptopscreen.json"
export WINEQT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\dejavu'
for suite in app_tests ui_tests; do
  if wine "$win_build/tests/$suite.exe" --gtest_brief=1 >"$scratch/$suite.out" 2>&1; then
    ok "$suite: $(grep -a 'PASSED' "$scratch/$suite.out" | tr -d '\r' | tail -1)"
  else
    fail "$suite under Wine"
    grep -a -E 'FAILED|Failure|error' "$scratch/$suite.out" | tr -d '\r' | head -20
  fi
done

if [ "$failures" = 0 ]; then echo "windows-package-check: passed"; else echo "windows-package-check: $failures FAILED"; exit 1; fi
