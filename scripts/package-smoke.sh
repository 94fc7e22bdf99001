#!/usr/bin/env bash
# Builds the Debian package from a built tree, installs it with apt-get as a school's
# administrator would, checks what it put in place, and runs the installed program as an
# ordinary user made for the purpose (tests/e2e/installed.sh), and, as that user, the table
# store's test of a read-only data directory. Needs root; CI runs it after
# scripts/test.sh. The package and the user are removed again at the end.
#
# usage: scripts/package-smoke.sh [BUILD_DIR]     (default build/, as scripts/test.sh leaves it)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
source scripts/packages.sh

fail() { echo "FAIL [package]: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "needs root: it installs the package and makes a user"
lentavo_install_packages desktop-file-utils lintian

pupil=lentavo-pupil
work=
cleanup() {
  local status=$?
  set +e
  id "$pupil" >/dev/null 2>&1 && userdel --remove "$pupil" 2>/dev/null
  [ -n "$work" ] && rm -rf "$work"
  dpkg-query -W lentavo >/dev/null 2>&1 && apt-get remove -y -qq lentavo >/dev/null
  exit "$status"
}
trap cleanup EXIT

# The package.
rm -f "$build"/lentavo_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack could not build the package"
debs=("$build"/lentavo_*_amd64.deb)
[ -f "${debs[0]}" ] || fail "cpack made no lentavo_*_amd64.deb in $build"
deb=${debs[0]}
echo "package: $(basename "$deb"), depends: $(dpkg-deb -f "$deb" Depends)"
for dep in libqt6widgets6 libqt6charts6 libsqlite3-0 fonts-noto-cjk; do
  dpkg-deb -f "$deb" Depends | grep -q "$dep" || fail "the package does not depend on $dep"
done

dpkg-query -W lentavo >/dev/null 2>&1 && apt-get remove -y -qq lentavo >/dev/null
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null || fail "apt-get could not install $deb"

# What it put in place.
for f in /usr/bin/lentavo /usr/bin/lentavo-tabletool; do
  [ -x "$f" ] || fail "$f is not installed"
done
for f in /usr/share/applications/lentavo.desktop /usr/share/icons/hicolor/256x256/apps/lentavo.png \
         /usr/share/icons/hicolor/scalable/apps/lentavo.svg /usr/share/lentavo/sample/mondai.cds \
         /usr/share/lentavo/sample/advice.cds /usr/share/lentavo/sample/rireki.cds; do
  [ -f "$f" ] || fail "$f is not installed"
done
desktop=/usr/share/applications/lentavo.desktop
desktop-file-validate "$desktop" || fail "$desktop is not a valid desktop entry"
grep -qx 'Name\[ja\]=学科練習システム' "$desktop" || fail "the menu entry has not its Japanese name"
grep -q '^Comment\[ja\]=.' "$desktop" || fail "the menu entry has no Japanese comment"
grep -q '^Categories=.*Education;' "$desktop" || fail "the menu entry is not in Education"
teacher=/usr/share/applications/lentavo-teacher.desktop
desktop-file-validate "$teacher" || fail "$teacher is not a valid desktop entry"
grep -qx 'Exec=/usr/bin/lentavo --teacher' "$teacher" || fail "the teacher's entry does not open the overview"
for f in /usr/share/man/man1/lentavo.1.gz /usr/share/man/man1/lentavo-tabletool.1.gz \
         /usr/share/doc/lentavo/copyright /usr/share/doc/lentavo/changelog.gz /usr/share/doc/lentavo/authoring.md; do
  [ -f "$f" ] || fail "$f is not installed"
done
! grep -q 'build/tabletool' /usr/share/doc/lentavo/authoring.md || fail "the installed guide names the build tree's tool"
for prog in lentavo lentavo-tabletool; do
  out=$(env -i PATH=/usr/bin:/bin "$prog" --help) || fail "$prog --help failed"
  echo "$out" | grep -q "使い方" || fail "$prog --help does not answer with its usage"
done
echo "installed: program, tabletool, menu entry, icons, sample data, manual pages, documents"

# Debian's own package checker: no error and no warning.
report=$(lintian --allow-root --tag-display-limit 0 "$deb" 2>&1 | grep -E '^[EW]: ' || true)
[ -z "$report" ] || fail "lintian reports:
$report"
echo "lintian: no errors, no warnings"

# The pupil: an ordinary user with a fresh home, no settings anywhere. The test scripts are copied
# where that user can read them.
id "$pupil" >/dev/null 2>&1 && userdel --remove "$pupil" 2>/dev/null
useradd --create-home --shell /bin/bash "$pupil"
home=$(getent passwd "$pupil" | cut -d: -f6)
work=$(mktemp -d /tmp/lentavo-package.XXXXXX)
chmod 755 "$work"
cp tests/e2e/lib.sh tests/e2e/installed.sh "$work"/
install -d -o "$pupil" "$work/out"
status=0
runuser -u "$pupil" -- env -i HOME="$home" USER="$pupil" LOGNAME="$pupil" PATH=/usr/bin:/bin \
  E2E_KEEP_SHOTS="${E2E_KEEP_SHOTS:-0}" bash "$work/installed.sh" "$work/out" "$work/out/shots" ||
  status=$?
if [ -d "$work/out/shots" ]; then
  rm -rf "$build/e2e-screenshots/installed"
  mkdir -p "$build/e2e-screenshots"
  cp -r "$work/out/shots" "$build/e2e-screenshots/installed"
fi
[ "$status" -eq 0 ] || fail "the installed program failed its smoke test (screenshots: $build/e2e-screenshots/installed)"

# The one table-store test that root cannot run: a data directory its user may not write to.
cp "$build/tests/data/tst_table" "$work/"
runuser -u "$pupil" -- env -i HOME="$home" PATH=/usr/bin:/bin TMPDIR=/tmp \
  "$work/tst_table" readOnlyDataDirectoryKeepsTheData || fail "tst_table readOnlyDataDirectoryKeepsTheData failed"
echo "package smoke test passed"
