// Linked into every GoogleTest program: gives the environment the tests
// expect when the runner did not set it (a test started by hand, or a CTest
// property list the discovery step cut short).
#include <cstdlib>

#include "source/ProcessSetup.h"

namespace {

struct TestEnvironment {
  TestEnvironment() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("TOLVO_FIXTURES", TOLVO_TEST_FIXTURES, 0);
    setenv("FIREBIRD_LOCK", TOLVO_TEST_FBLOCK, 0);
    // As every program of the project starts.
    tolvo::PrepareProcess();
  }
};

const TestEnvironment environment;

}  // namespace
