// Direct access to a database file and to plain files for tests, benchmarks
// and tools: queries and statements in transactions of their own, as another
// program would run them beside the store.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/Firebird.h"

namespace tolvo::testdb {

// The connection parameters the program itself uses.
fb::ConnectOptions Sysdba();

using Row = std::vector<std::optional<std::string>>;
// Every value as text (integers in decimal); NULL as nullopt.
std::vector<Row> Query(const std::filesystem::path& file, std::string_view sql);
// Executes the statements one by one in one transaction and commits it.
void Execute(const std::filesystem::path& file, const std::vector<std::string>& statements);
// The number of rows of STACJE.
std::int64_t CountStations(const std::filesystem::path& file);

// Every row of every stored table of the catalogue (the system tables but
// the monitoring views), sorted, each as its table's name and its values:
// names as they are, anything else as a hash.
std::vector<std::string> Catalogue(const std::filesystem::path& file);
// The rows that one catalogue has and the other has not ("- " before,
// "+ " after); empty when they are equal.
std::vector<std::string> CatalogueChanges(const std::vector<std::string>& before,
                                          const std::vector<std::string>& after);

// Another program attached to `file`: isql-fb, its output in `out`, once it
// has answered a first query; pclose() ends it. nullptr when it could not be
// started or gave no answer within 10 s (`out` tells why).
std::FILE* AttachIsql(const std::filesystem::path& file, const std::filesystem::path& out);

// The -user and -password arguments of isql-fb and gfix: the callbook's own.
std::string CallbookToolCredentials();

std::string ReadBytes(const std::filesystem::path& file);
// Replaces the file's contents; throws when it cannot be written.
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);

}  // namespace tolvo::testdb
