// The checks before an import, the same for the dialog and the
// command-line import, in the same order: the database file, then the list,
// each looked for in the working folder without regard to letter case.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "import/ImportKinds.h"

namespace tolvo {

// What the checks found: the files, or the refusal, whose `message` is the
// fixed text the dialog shows ("Brak pliku: …") and `cause` a line under it
// with where it was looked for.
struct ImportFiles {
  std::optional<std::filesystem::path> database;  // none when not looked for
  std::optional<std::filesystem::path> list;
  std::string message;
  std::string cause;

  bool Found() const { return message.empty(); }
};

// `withDatabase`: the database is the working folder's LOG.DAT (rather than
// one reached through a server).
ImportFiles FindImportFiles(const ImportKind& kind, bool withDatabase = true);

}  // namespace tolvo
