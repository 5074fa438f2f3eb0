#!/bin/sh
# Sets up and builds TolvoIMP, then starts it.
#   tools/run.sh [folder]
# With a folder: starts the program in that folder (where LOG.DAT and the
# station lists lie) and touches nothing in it. Without one: prepares the demo
# folder ./demo (a fresh Tolvo 1.0 LOG.DAT and sample station lists; reused
# when it exists) and starts the program there.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/setup.sh" "$here/build"
if [ $# -ge 1 ]; then
  folder=$(cd "$1" && pwd)
else
  folder="$here/demo"
  if [ ! -e "$folder/LOG.DAT" ]; then
    mkdir -p "$folder"
    if [ -x "$here/build/tolvo-demo" ]; then
      "$here/build/tolvo-demo" "$folder"
    else
      "$here/build/tolvo-mkdb" "$folder"
    fi
  fi
fi
cd "$folder"
exec "$here/build/tolvoimp"
