// The demo folder behind tolvo-demo: a fresh Tolvo 1.0 LOG.DAT and one sample
// file of every station list the program imports, each with a few hundred
// invented stations written the way such files really come (see
// DemoRecords.h). Everything is made from a fixed seed, so every demo folder
// is the same, byte for byte.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "store/Callbook.h"
#include "tools/demo/DemoError.h"

namespace tolvo::demo {

inline constexpr std::uint64_t kDemoSeed = 0x70'6C'76'6F'2D'64'65'6DULL;

// The files of a demo folder, LOG.DAT last; the memo files go with their
// tables.
inline constexpr std::string_view kDemoDatabase = kCallbookFile;
inline constexpr std::string_view kDemoSourceFiles[] = {
    "CB.DBF",       "LOG_C_SP.DBF", "LOG_C_SP.DBT", "LOG_C_OK.DBF",
    "LOG_C_OK.DBT", "okcall.dbf",   "AMATEUR.RPT"};

struct DemoCounts {
  // Records in each table as its header counts them (deleted ones included).
  std::int64_t cb = 0, cbDeleted = 0;
  std::int64_t logCSp = 0;
  std::int64_t logCOk = 0;
  std::int64_t okcall = 0;
  // Lines of AMATEUR.RPT after its four header lines, and how many of them are
  // long enough to be station records.
  std::int64_t amateurLines = 0, amateurStations = 0;
};

// Writes the five station lists (and the two memo files) into `folder`,
// replacing files of the same names. Throws DemoError when a file cannot be
// written.
DemoCounts WriteDemoSources(const std::filesystem::path& folder, std::uint64_t seed = kDemoSeed);

enum class DemoFolder { Created, AlreadyThere };

// Prepares `folder` (made when missing) as a demo folder: the station lists,
// then a fresh Tolvo 1.0 LOG.DAT. A folder that already holds LOG.DAT (in any
// letter case) is left alone: AlreadyThere. A folder without LOG.DAT but with
// one of the station lists is not touched either, so nobody's own list is
// overwritten: DemoError. When anything fails, the files made so far are
// removed again and the error is thrown.
DemoFolder PrepareDemoFolder(const std::filesystem::path& folder, DemoCounts* counts = nullptr);

}  // namespace tolvo::demo
