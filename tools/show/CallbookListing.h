// The callbook viewer behind tolvo-show: the rows of STACJE of a LOG.DAT,
// read in a read-only transaction.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tolvo::show {

struct CallbookFilter {
  std::optional<int> country;  // only rows with this KRAJ
  std::string prefix;          // only call signs that begin so (Windows-1250)
};

struct CallbookListing {
  // InUse: another program (Tolvo, TolvoIMP, a Firebird server) has the
  // database open, and the embedded engine cannot open it beside that.
  enum class State { NoDatabase, InUse, NoTable, Rows };
  State state = State::NoDatabase;
  std::filesystem::path database;  // the LOG.DAT found (empty for NoDatabase)
  std::vector<std::string> columns;
  // One entry per column; nullopt for NULL. Text in Windows-1250, KRAJ in
  // decimal.
  std::vector<std::vector<std::optional<std::string>>> rows;
};

// The rows of STACJE of the LOG.DAT in `folder` (found without regard to
// letter case), in call-sign order, filtered. Reads in a read-only
// transaction and changes nothing. Throws DatabaseError when the database
// cannot be opened or read for any reason but being in use.
CallbookListing ReadCallbook(const std::filesystem::path& folder,
                             const CallbookFilter& filter = {});

}  // namespace tolvo::show
