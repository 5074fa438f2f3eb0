#!/bin/sh
# Sets up and builds TolvoIMP, then runs every test (the kill loop, which the
# sanitizer run leaves out, included).
#   tools/test.sh
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/setup.sh" "$here/build"
ctest --test-dir "$here/build" --output-on-failure -j 2 --timeout 600
