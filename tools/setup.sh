#!/bin/sh
# Installs what TolvoIMP needs on Debian 12 (when missing) and builds it.
#   tools/setup.sh [build-folder]        (default: build)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}

# shapelib (dbfdump) and python3-dbfread: the reference readers of the dBASE
# compatibility test; desktop-file-utils: the desktop entry's check.
packages="cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev firebird-dev libfbclient2 \
firebird3.0-server-core firebird3.0-utils libgtest-dev shapelib python3-dbfread desktop-file-utils"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
fi

# Configured once, or again when asked for other settings; after that the
# build itself runs cmake again whenever a CMakeLists.txt or the set of
# source files changes.
if [ ! -f "$build/build.ninja" ] || [ -n "${TOLVO_CMAKE_ARGS:-}" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${TOLVO_CMAKE_ARGS:-}
  cmake --build "$build" -j "$(nproc)"
  exit 0
fi
# Later builds run quietly: nothing is printed when nothing needs building,
# only what the compiler (or cmake, when it runs again) has to say otherwise.
if ! out=$(cmake --build "$build" -j "$(nproc)" -- --quiet 2>&1); then
  printf '%s\n' "$out" >&2
  exit 1
fi
[ -z "$out" ] || [ "$out" = "ninja: no work to do." ] || printf '%s\n' "$out"
