#!/bin/sh
# Builds TolvoIMP with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the whole test suite under them, leak checking included. Any report
# fails the test that caused it, and so the run.
#   tools/asan.sh [ctest arguments...]
# Environment:
#   ASAN_BUILD       build folder (default build-asan)
#   ASAN_CMAKE_ARGS  extra arguments for the configure step
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ASAN_BUILD:-"$here/build-asan"}

TOLVO_CMAKE_ARGS="-DTOLVO_SANITIZE=ON -DTOLVO_BUILD_BENCH=OFF ${ASAN_CMAKE_ARGS:-}" \
  "$here/tools/setup.sh" "$build"

# Leaks of the libraries we load (not of our code) are listed, with their
# reasons, in the suppressions file.
# intercept_tls_get_addr=0: GCC 12's runtime can misread the thread-local blocks
# of libraries loaded at run time (the Firebird engine among them) on
# glibc 2.36, and the leak check at exit then crashes ("Tracer caught signal
# 11") in a run that leaked nothing, depending on the process's memory
# layout; those blocks are left unscanned instead.
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:intercept_tls_get_addr=0"
export LSAN_OPTIONS="suppressions=$here/tests/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The Debian package test (label package) packs the plain build and runs once,
# in tools/test.sh: a sanitized build is no package to ship.
ctest --test-dir "$build" --output-on-failure -j 2 --timeout 900 -LE "fault|package|display" "$@"

# The tests on real display servers (label display) connect Qt to Xvfb, whose
# keyboard library (libxkbcommon-x11) copies the server's names with strndup
# from replies that are not NUL-terminated: bounded and correct, but what
# strict_string_checks reports. Everything else stays checked.
ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0" \
  ctest --test-dir "$build" --output-on-failure -j 2 --timeout 900 -L display "$@"

# The fault tests run the program in child processes that are killed, cut
# off from the disk or locked out; they run under both sanitizers, but
# without leak checking at exit: LeakSanitizer's own tracer crashes in some of
# those children (a fault of the tool, not a leak), and a killed child has no
# exit to check. The kill loop (label killloop) is left out: it checks the
# database after each kill, not the program's memory, and runs once in the
# plain build (tools/test.sh).
ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0" \
  ctest --test-dir "$build" --output-on-failure -j 2 --timeout 900 -L fault -LE killloop "$@"
