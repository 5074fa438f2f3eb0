// Why a database file could not be opened, told to the user in one Polish
// line: the cause and what to do. The cause is found from the engine's error
// codes, from the file's own header page (read directly, without the engine,
// which refuses a file of another on-disk structure before saying much about
// it) and from the engine's lock folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "store/Firebird.h"

namespace tolvo {

// What the header page of a database file says about the file.
struct DatabaseFileHeader {
  bool firebird = true;              // written by Firebird rather than InterBase
  unsigned odsMajor = 0;             // on-disk structure (ODS), major version
  std::optional<unsigned> odsMinor;  // where the header's layout is known
  unsigned pageSize = 0;
};

// The result of reading a file's header page.
struct HeaderReading {
  enum class Outcome { Database, NotDatabase, Unreadable };
  Outcome outcome = Outcome::Unreadable;
  DatabaseFileHeader header;  // when Database
  int systemError = 0;        // errno, when Unreadable
};
HeaderReading ReadDatabaseFileHeader(const std::filesystem::path& file);

// The on-disk structure that the embedded engine opens.
inline constexpr unsigned kEngineOdsMajor = 12;

// The Firebird or InterBase versions that write the header's structure, such
// as "Firebird 2.5" or "InterBase 6 lub Firebird 1.0".
std::string OdsWriters(const DatabaseFileHeader& header);

// The lock folder of the embedded engine in this process: FIREBIRD_LOCK,
// else the engine's default /tmp/firebird.
std::filesystem::path EngineLockFolder();

// The cause of a failed attach to `file`, with what to do, as one line (UTF-8).
// `lockFolder` is the engine's lock folder in the process that attached.
std::string OpenFailureCause(const std::filesystem::path& file, const DatabaseError& error,
                             const std::filesystem::path& lockFolder);

// Why the database file `file` must not be handed to the client library at
// all, as one line with what to do: a loop of symbolic links (on which the
// client recurses until it crashes), a link to nothing, or something other
// than a plain file (a pipe, a device, a folder). Nothing for a name the
// client can be given.
std::optional<std::string> UnusableDatabasePath(const std::filesystem::path& file);

// The cause when the file was not there to attach to.
std::string MissingDatabaseCause(const std::filesystem::path& folder);

// Whether a connection string names a server ("host:path", "host/port:path",
// "inet://host/path", "\\\\host\\path") rather than a local file.
bool IsRemoteConnection(std::string_view connection);

// The cause of a failed attach through the server that `connection` names,
// with what to do, as one line (UTF-8) ending in the server's own text. The
// file itself cannot be looked at from here, so the cause comes from the
// error codes alone.
// `unansweredSeconds`, when not 0: the attach gave up after waiting that long
// for the server to answer.
std::string ConnectionFailureCause(std::string_view connection, const DatabaseError& error,
                                   int unansweredSeconds = 0);

}  // namespace tolvo
