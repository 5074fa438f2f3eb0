#!/bin/sh
# Builds the libFuzzer targets with clang and runs each one for a bounded
# time from its seed corpus. Exits non-zero when any target finds a crash, a
# sanitizer report, a timeout or a broken rule; the input that did it is left
# in <build>/fuzz-artifacts/ (copy it to tests/fixtures/fuzz-regress/<target>/
# once the fault is fixed, so the regression test replays it).
#   tools/fuzz.sh [target...]          (default: every fuzz_* target)
# Environment:
#   FUZZ_SECONDS     seconds per target (default 45)
#   FUZZ_BUILD       build folder (default build-fuzz)
#   FUZZ_CMAKE_ARGS  extra arguments for the configure step
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-"$here/build-fuzz"}
seconds=${FUZZ_SECONDS:-45}

. "$here/tools/packages.sh"
missing=$(missing_packages clang libclang-rt-14-dev)
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  install_packages $missing
fi

CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLVO_FUZZ=ON -DTOLVO_SANITIZE=ON -DTOLVO_BUILD_BENCH=OFF ${FUZZ_CMAKE_ARGS:-}
cmake --build "$build" --target fuzz_targets -j 2

if [ $# -eq 0 ]; then
  set -- $(cd "$build/tests/fuzz" && find . -maxdepth 1 -type f -perm -u+x -name "fuzz_*" | sed "s|^\./||" | sort)
fi

artifacts="$build/fuzz-artifacts"
# The targets write their input files here: memory when /dev/shm is there.
scratchParent=${TMPDIR:-/tmp}
[ -d /dev/shm ] && [ -w /dev/shm ] && scratchParent=/dev/shm
scratch=$(mktemp -d "$scratchParent/tolvo-fuzz-run.XXXXXX")
trap 'rm -rf "$scratch"' EXIT INT TERM
mkdir -p "$artifacts"
export TOLVO_FUZZ_SCRATCH="$scratch"
# Leaks are findings as well; the sanitizers stop at the first report.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:allocator_may_return_null=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=""
for target in "$@"; do
  name=${target#fuzz_}
  seeds="$here/tests/fuzz/corpus/$name"
  work="$build/fuzz-corpus/$name"   # grows across runs; never the committed seeds
  mkdir -p "$work"
  dict=""
  [ -f "$here/tests/fuzz/$name.dict" ] && dict="-dict=$here/tests/fuzz/$name.dict"
  echo "== $target: ${seconds}s"
  if "$build/tests/fuzz/$target" $dict -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -malloc_limit_mb=1024 -max_len=8192 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$name-" "$work" "$seeds" >"$build/fuzz-$name.log" 2>&1; then
    tail -n 12 "$build/fuzz-$name.log" | grep -E '^(stat::number_of_executed_units|stat::new_units_added|Done)' || true
  else
    echo "!! $target found a fault; see $build/fuzz-$name.log"
    grep -E 'ERROR|SUMMARY|Test unit written|terminate|what\(\)' "$build/fuzz-$name.log" | head -n 8 || true
    failed="$failed $target"
  fi
done

if [ -n "$failed" ]; then
  echo "Findings in:$failed (inputs in $artifacts)"
  exit 1
fi
echo "No findings."
