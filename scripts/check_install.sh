#!/usr/bin/env bash
# Installs the built game into a staging directory (DESTDIR) and checks it as
# installed: the menu entry, the AppStream data and the manual pages pass
# their validators, the installed game answers --help, serves a peer as a
# dedicated server and shows its main menu (tests/e2e, InstalledGame.*), and
# writes nothing into its install tree. Then builds the Debian package, checks
# its contents and has lintian judge it (errors fail, warnings are listed).
# Usage: scripts/check_install.sh [BUILD_DIR] (default build; built already).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# Mesa's software renderer and OpenAL's null backend, as in test.sh.
export LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null GRIMVALE_NO_DIALOG=1

stage=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$stage" "$home"' EXIT

echo "-- install into a staging directory"
cmake --build "$build" --target grimvale lvltool guitool modeltool grimvale-master data levels manpages icons changelog \
  test_e2e >/dev/null
DESTDIR="$stage" cmake --install "$build" >/dev/null
prefix="$stage/usr/local"
game="$prefix/games/grimvale"
for f in games/grimvale bin/lvltool bin/guitool bin/modeltool share/games/grimvale/data/maps/arena/map.lvl \
  share/man/man6/grimvale.6.gz share/man/man1/lvltool.1.gz share/applications/example.grimvale.Grimvale.desktop \
  share/metainfo/example.grimvale.Grimvale.metainfo.xml share/icons/hicolor/48x48/apps/grimvale.png \
  lib/systemd/system/grimvale-server.service share/doc/grimvale/examples/config.ini sbin/grimvale-master \
  share/man/man8/grimvale-master.8.gz lib/systemd/system/grimvale-master.service share/doc/grimvale/examples/qstat.cfg; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
grep -q "^ExecStart=/usr/local/games/grimvale " "$prefix/lib/systemd/system/grimvale-server.service"
grep -q "^ExecStart=/usr/local/sbin/grimvale-master$" "$prefix/lib/systemd/system/grimvale-master.service"
# The master runs where there is no display or sound card.
! objdump -p "$prefix/sbin/grimvale-master" | grep -E "NEEDED +lib(SDL|GL|OpenGL|GLU|openal|curl)" ||
  { echo "grimvale-master needs a window, GL, sound or HTTP library"; exit 1; }

echo "-- validators"
desktop-file-validate "$prefix/share/applications/example.grimvale.Grimvale.desktop"
# The screenshots are links to the project's site, which no test may reach.
appstreamcli validate --no-net "$prefix/share/metainfo/example.grimvale.Grimvale.metainfo.xml"
for page in "$prefix"/share/man/man*/*.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$page: $warnings"; exit 1; }
done
if command -v systemd-analyze >/dev/null; then
  # The units name the programs where the package puts them, not in the staging directory.
  for unit in grimvale-server grimvale-master; do
    report=$(systemd-analyze verify --man=no "$prefix/lib/systemd/system/$unit.service" 2>&1 |
      grep -v "Command /usr/local/s\?\(games\|bin\)/grimvale[-a-z]* is not executable" || true)
    [ -z "$report" ] || { echo "$report"; exit 1; }
  done
fi

echo "-- the installed game"
before=$(find "$stage" -printf '%p %s %T@\n' | sort)
help=$(HOME="$home" "$game" --help)
grep -q -- "--discoveryport PORT" <<<"$help"
for tool in bin/lvltool bin/guitool bin/modeltool sbin/grimvale-master; do
  help=$("$prefix/$tool" --help)
  grep -q "^Usage: $(basename "$tool")" <<<"$help"
done
HOME="$home" "$game" --nonsense 2>/dev/null && { echo "an unknown option was taken"; exit 1; }
GRIMVALE_INSTALLED_GAME="$game" "$build/tests/test_e2e" --gtest_filter='InstalledGame.*' --gtest_brief=1
after=$(find "$stage" -printf '%p %s %T@\n' | sort)
[ "$before" = "$after" ] || { echo "the installed game wrote into its install tree:"; diff <(echo "$before") <(echo "$after"); exit 1; }

echo "-- Debian package"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/grimvale_*.deb | head -1)
contents=$(dpkg-deb -c "$deb")
for f in ./usr/games/grimvale ./usr/bin/lvltool ./usr/share/games/grimvale/data/maps/arena/map.lvl \
  ./usr/share/applications/example.grimvale.Grimvale.desktop ./usr/share/icons/hicolor/256x256/apps/grimvale.png \
  ./usr/share/metainfo/example.grimvale.Grimvale.metainfo.xml ./usr/share/man/man6/grimvale.6.gz \
  ./usr/share/man/man1/modeltool.1.gz ./usr/lib/systemd/system/grimvale-server.service \
  ./usr/share/doc/grimvale/copyright ./usr/sbin/grimvale-master ./usr/share/man/man8/grimvale-master.8.gz \
  ./usr/lib/systemd/system/grimvale-master.service ./usr/share/doc/grimvale/examples/qstat.cfg; do
  grep -q " $f\$" <<<"$contents" || { echo "not in the package: $f"; exit 1; }
done
grep -q libsdl1.2 <<<"$(dpkg-deb -f "$deb" Depends)" || { echo "the package's Depends lack the linked libraries"; exit 1; }
if command -v lintian >/dev/null; then
  report=$(lintian --allow-root "$deb" || true)
  [ -z "$report" ] || echo "$report"
  ! grep -q "^E:" <<<"$report" || { echo "lintian reports errors"; exit 1; }
fi
echo "$(basename "$deb"): $(wc -l <<<"$contents") entries"
