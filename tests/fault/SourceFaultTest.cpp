#include "tests/fault/FaultHarness.h"
