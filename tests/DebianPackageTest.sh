#!/bin/sh
# Builds the Debian package from this build folder, checks it with lintian
# (any error fails), unpacks it and runs the unpacked programs on a demo
# folder, with Firebird's embedded engine found where its package installed
# it (the programs get no Firebird settings of ours besides the lock folder).
#   DebianPackageTest.sh CPACK BUILD-FOLDER VERSION TOLVO-DEMO
set -eu
cpack=$1 build=$2 version=$3 demo_tool=$4

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

for tool in dpkg-shlibdeps lintian; do
  command -v "$tool" >/dev/null || fail "$tool is missing (tools/setup.sh installs it)"
done

work=$build/package-check
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# The package, from the programs as built here (cpack strips its copies).
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >cpack.log 2>&1 ||
  { cat cpack.log; fail "cpack could not build the package"; }
# Named as Debian names it: tolvoimp_<program version>-<revision>_<arch>.deb.
set -- "$work"/tolvoimp_"$version"-*_"$(dpkg --print-architecture)".deb
[ $# -eq 1 ] && [ -f "$1" ] || { cat cpack.log; ls "$work"; fail "no one package tolvoimp_$version-*"; }
deb=$1
debversion=$(dpkg-deb -f "$deb" Version)

echo "== lintian"
lintian --fail-on error "$deb" || fail "lintian reports errors"

echo "== Depends: $(dpkg-deb -f "$deb" Depends)"
depends=$(dpkg-deb -f "$deb" Depends)
for p in firebird3.0-server-core libfbclient2 libqt6widgets6 libc6; do
  printf '%s\n' "$depends" | tr ',' '\n' | grep -q "^ *$p\( \|$\)" || fail "Depends lacks $p"
done

dpkg-deb -x "$deb" root
for f in usr/bin/tolvoimp usr/bin/tolvo-show usr/share/applications/tolvoimp.desktop \
  usr/share/icons/hicolor/scalable/apps/tolvoimp.svg usr/share/doc/tolvoimp/copyright \
  usr/share/doc/tolvoimp/changelog.Debian.gz; do
  [ -f "root/$f" ] || fail "the package lacks /$f"
done
# The guides and their pictures, where the messages and the manual pages say,
# with every picture and guide they link to beside them; and the manual
# pages in English and Polish.
doc=root/usr/share/doc/tolvoimp
for f in PODRECZNIK.md README.md; do
  [ -f "$doc/$f" ] || fail "the package lacks /usr/share/doc/tolvoimp/$f"
  for link in $(grep -o '](\(screenshots/[^)]*\|[A-Z]*\.md\)' "$doc/$f" | sed 's/^](//'); do
    [ -f "$doc/$link" ] || fail "$f links to $link, which the package lacks"
  done
done
[ -n "$(ls "$doc"/screenshots/*.png 2>/dev/null)" ] || fail "the package has no screenshots"
for p in tolvoimp tolvo-import tolvo-show; do
  for section in man/man1 man/pl/man1; do
    [ -f "root/usr/share/$section/$p.1.gz" ] || fail "the package lacks /usr/share/$section/$p.1.gz"
  done
done
# The newest changelog entry is the package's version.
top=$(gzip -dc root/usr/share/doc/tolvoimp/changelog.Debian.gz | head -n 1)
[ "$top" = "${top#tolvoimp ($debversion) }" ] && fail "the changelog begins \"$top\", not with version $debversion"

"$demo_tool" demo >/dev/null

# The window program starts from the package (it is still running when
# stopped after two seconds).
status=0
(cd demo && QT_QPA_PLATFORM=offscreen timeout 2 ../root/usr/bin/tolvoimp) >tolvoimp.log 2>&1 ||
  status=$?
[ "$status" -eq 124 ] || { cat tolvoimp.log; fail "the unpacked tolvoimp ended with status $status"; }

# The tools write and read the demo LOG.DAT through the installed engine:
# tolvo-import imports CB.DBF, and tolvo-show then lists its stations.
[ -x root/usr/bin/tolvo-import ] || fail "the package lacks /usr/bin/tolvo-import"
root/usr/bin/tolvo-import CB.DBF demo || fail "the unpacked tolvo-import failed"
root/usr/bin/tolvo-show demo >show.txt || { cat show.txt; fail "the unpacked tolvo-show failed"; }
grep '^[1-9][0-9]* stacj' show.txt || fail "tolvo-show lists no stations after the import"
echo "== package checked: $deb"
