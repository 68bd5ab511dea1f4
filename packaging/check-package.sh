#!/usr/bin/env bash
# Checks a built Debian package: its contents, its control fields, the desktop entry and the AppStream
# metainfo (validators), and that the programs inside it start and find the demo galaxy.
#   packaging/check-package.sh path/to/vornexinfo_X.Y.Z_amd64.deb
set -euo pipefail
deb=${1:?usage: check-package.sh PACKAGE.deb}
version=$(basename "$deb" | sed -n 's/^vornexinfo_\([0-9.]*\)_amd64\.deb$/\1/p')
failures=0
fail() { echo "  FAILED: $*"; failures=$((failures + 1)); }
ok() { echo "  ok: $*"; }

[ -n "$version" ] && ok "file name $(basename "$deb")" || fail "file name $(basename "$deb") is not vornexinfo_X.Y.Z_amd64.deb"

echo "== contents"
contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for f in /usr/bin/vornexinfo /usr/bin/vornexinfo-report \
         /usr/share/applications/org.vornexinfo.VornexInfo.desktop \
         /usr/share/metainfo/org.vornexinfo.VornexInfo.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/vornexinfo.svg \
         /usr/share/icons/hicolor/48x48/apps/vornexinfo.png \
         /usr/share/icons/hicolor/128x128/apps/vornexinfo.png \
         /usr/share/man/man1/vornexinfo.1.gz /usr/share/man/man1/vornexinfo-report.1.gz \
         /usr/share/doc/vornexinfo/copyright \
         /usr/share/vornexinfo/demo/game.map /usr/share/vornexinfo/demo/game.p1 \
         /usr/share/vornexinfo/demo/gravity.csv /usr/share/vornexinfo/demo/player.inf; do
  grep -qxF "$f" <<<"$contents" && ok "$f" || fail "missing $f"
done
# Nothing of the build machine may leak into the package.
if grep -vE '^/usr/(bin|share)/' <<<"$contents" | grep -v '^/usr/$'; then fail "files outside /usr/bin and /usr/share"; fi

echo "== control"
control=$(dpkg-deb -f "$deb")
for field in Package Version Architecture Maintainer Section Depends Description; do
  grep -q "^$field:" <<<"$control" || fail "no $field field"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version field does not match the file name"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 qt6-qpa-plugins; do
  grep -q "$lib" <<<"$depends" && ok "depends on $lib" || fail "Depends lacks $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -ge 5 ] && ok "long description" || fail "description has no long text"

echo "== validators and programs, from the unpacked package"
root=$(mktemp -d /tmp/vornex-deb-XXXXXX)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/org.vornexinfo.VornexInfo.desktop" \
  && ok "desktop-file-validate" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.vornexinfo.VornexInfo.metainfo.xml" >/dev/null \
  && ok "appstreamcli validate --no-net" || fail "appstreamcli validate --no-net"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/org.vornexinfo.VornexInfo.metainfo.xml" \
  && ok "metainfo has a release entry for $version" || fail "metainfo has no release entry for $version"
metainfo="$root/usr/share/metainfo/org.vornexinfo.VornexInfo.metainfo.xml"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" \
  && ok "metainfo licence GPL-3.0-or-later" || fail "metainfo licence: $(grep project_license "$metainfo")"
! grep -n '@[A-Z_]*@' "$metainfo" && ok "metainfo has no unfilled fields" || fail "metainfo has unfilled fields"
copyright="$root/usr/share/doc/vornexinfo/copyright"
head -1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' &&
  grep -qx 'License: GPL-3+' "$copyright" && ok "machine-readable copyright file (GPL-3+)" || fail "copyright file"
for page in vornexinfo vornexinfo-report; do
  zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH" && ok "man page $page" || fail "man page $page"
done
[ "$("$root/usr/bin/vornexinfo-report" --version)" = "vornexinfo-report $version" ] \
  && ok "vornexinfo-report --version" || fail "vornexinfo-report --version"
rows=$("$root/usr/bin/vornexinfo-report" --folder "$root/usr/share/vornexinfo/demo" --player 1 | wc -l)
[ "$rows" -gt 1 ] && ok "report on the packaged demo: $rows lines" || fail "report on the packaged demo"
"$root/usr/bin/vornexinfo" --help >/dev/null && ok "vornexinfo --help" || fail "vornexinfo --help"

if [ "$failures" = 0 ]; then echo "check-package: passed"; else echo "check-package: $failures FAILED"; exit 1; fi
