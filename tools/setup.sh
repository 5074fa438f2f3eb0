#!/bin/sh
# Installs what TolvoIMP needs on Debian 12 (when missing) and builds it.
#   tools/setup.sh [build-folder]        (default: build)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}

# shapelib (dbfdump) and python3-dbfread: the reference readers of the dBASE
# compatibility test; desktop-file-utils: the desktop entry's check;
# firebird3.0-server: for one test, which starts a server of its own;
# dpkg-dev (dpkg-shlibdeps) and lintian: the Debian package and its check.
# libxcb1-dev: the record number's images go straight to an X server.
# xvfb, xauth, weston (headless), qt6-wayland (Qt's Wayland platform) and
# xtrace: the tests and the benchmark of the import window on real display
# servers. clang-format: the check that the sources follow .clang-format.
packages="cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev firebird-dev libfbclient2 \
firebird3.0-server-core firebird3.0-server firebird3.0-utils libgtest-dev shapelib python3-dbfread \
desktop-file-utils dpkg-dev lintian libxcb1-dev xvfb xauth weston qt6-wayland xtrace clang-format"
. "$here/tools/packages.sh"
missing=$(missing_packages $packages)
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  # Installed here, the server package leaves no system server behind: while
  # it is installed, a policy-rc.d (unless the machine has one) forbids its
  # start, and its service is disabled afterwards. A server that was already
  # installed is not touched.
  server=""
  case " $missing " in *" firebird3.0-server "*) server=yes ;; esac
  policy=/usr/sbin/policy-rc.d
  made_policy=""
  if [ -n "$server" ] && [ ! -e "$policy" ]; then
    printf '#!/bin/sh\n# tools/setup.sh: no service starts during this install\nexit 101\n' |
      $sudo tee "$policy" >/dev/null
    $sudo chmod 755 "$policy"
    made_policy=yes
    trap '$sudo rm -f "$policy"' EXIT
  fi
  install_packages $missing
  if [ -n "$made_policy" ]; then
    $sudo rm -f "$policy"
    trap - EXIT
  fi
  if [ -n "$server" ]; then
    if [ -d /run/systemd/system ]; then
      $sudo systemctl disable --now --quiet firebird3.0.service 2>/dev/null || true
    else
      $sudo service firebird3.0 stop >/dev/null 2>&1 || true
    fi
    $sudo update-rc.d firebird3.0 disable >/dev/null 2>&1 || true
  fi
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
