#!/bin/sh
# Takes the pictures of the documentation: the main window (also with its
# menu "System" open) and each of the five import dialogs (the CB.DBF one
# also half-way through an import), drawn by the program itself on a virtual
# X display, in a demo folder of its own.
#   tools/screenshots.sh [build-folder] [picture-folder]
# Defaults: build/ and docs/screenshots/. Needs Xvfb (installed with apt-get
# when missing, as root or through sudo).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
out=${2:-"$here/docs/screenshots"}
program="$build/tolvo-screenshot"
[ -x "$program" ] || { echo "screenshots.sh: $program is not built" >&2; exit 1; }

if ! command -v xvfb-run >/dev/null 2>&1 || ! command -v Xvfb >/dev/null 2>&1; then
  echo "Installing: xvfb xauth"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends xvfb xauth
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tolvo-screenshots.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
mkdir -p "$out" "$work/demo" "$work/fblock" "$work/runtime"
chmod 700 "$work/runtime"
out=$(cd "$out" && pwd)

# A demo folder with sample station lists where the tool is built; a bare
# Tolvo 1.0 database otherwise (then no picture of a running import).
running=""
if [ -x "$build/tolvo-demo" ]; then
  "$build/tolvo-demo" "$work/demo" >/dev/null
  running="CzytajCBFrm.running"
else
  "$build/tolvo-mkdb" "$work/demo" >/dev/null
fi

# window name (see tools/screenshot/Screenshot.h) and picture file, one pair a line
shots="DM main-window
System1 main-window-menu
CzytajCBFrm import-cb
CzytajLogCSPFrm import-log-c-sp
CzytajLogCOKFrm import-log-c-ok
CzytajOKCallFrm import-okcall
CzytajAmateurCAFrm import-amateur"
[ -n "$running" ] && shots="$shots
$running import-cb-running"

export out program shots
export FIREBIRD_LOCK="$work/fblock" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
cd "$work/demo"
# One X display for all of them; each picture is one run of the program.
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" sh -c '
  status=0
  echo "$shots" | while read -r window file; do
    if TOLVO_SCREENSHOT="$window" TOLVO_SCREENSHOT_FILE="$out/$file.png" "$program" \
        >/dev/null 2>"$out/.log"; then
      echo "  $out/$file.png"
    else
      echo "screenshots.sh: no picture of $window:" >&2
      cat "$out/.log" >&2
      exit 1
    fi
  done || status=1
  rm -f "$out/.log"
  exit $status
'
