// Makes database files like those of the logging program's version 1.0:
// default character set WIN1250, the domain D_BOOL, no callbook table.
#pragma once

#include <filesystem>

namespace tolvo {

// Creates `file` (which must not exist) as a Tolvo 1.0 database. Without
// `withDomain` the domain D_BOOL is left out. `dialect` 1 makes a dialect-1
// database. Synchronous writes are off (a scratch file needs no durability).
// Throws DatabaseError on failure.
void CreateTolvo10Database(const std::filesystem::path& file, bool withDomain = true,
                           int dialect = 3);

}  // namespace tolvo
