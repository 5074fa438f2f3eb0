// The floor of the import benchmark: what the database itself needs for the
// work of an import, measured with the Firebird C++ interface alone, on
// purpose: it is the reference that the store's own layer is measured against,
// so none of that layer's code runs in it (only its connection settings).
#pragma once

#include <cstdint>
#include <string>

#include "bench/BenchTiming.h"

namespace tolvo::bench {

// Attaches to `database`, a file or a connection string through a server
// (user, password and WIN1250 as the program does),
// prepares one lookup "SELECT <columns> FROM STACJE WHERE STACJA = ?" and one
// INSERT naming all 21 columns, and runs, in one transaction, for each of the
// `n` synthetic rows: the lookup, and when `insert` is set and the lookup
// found nothing, the INSERT. Commits after the timed part.
RunResult RunFloor(const std::string& database, std::int64_t n, std::uint64_t seed, bool insert);

}  // namespace tolvo::bench
