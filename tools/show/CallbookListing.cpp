#include "tools/show/CallbookListing.h"

#include <ibase.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "source/FileLookup.h"
#include "store/Callbook.h"
#include "store/Firebird.h"
#include "store/OpenFailure.h"
#include "store/StationFields.h"
#include "text/Cp1250Text.h"
#include "text/FieldText.h"

namespace tolvo::show {

namespace fs = std::filesystem;

namespace {

// Runs a query, with one integer parameter when `param` is given, and calls
// `row` with the output message of every row.
template <class F>
void Query(fb::Attachment& att, fb::Transaction& tr, const std::string& sql,
           std::optional<int> param, F&& row) {
  fb::Statement statement(att, tr, sql);
  fb::Message in = statement.NewInput();
  if (param) in.SetInteger(0, *param);
  fb::Message out = statement.NewOutput();
  fb::Cursor cursor = statement.Open(tr, &in, out);
  while (cursor.Fetch()) row(out);
  cursor.Close();
}

// A snapshot that only reads and never waits for a writer's lock.
fb::TransactionOptions ReadOnly() {
  fb::TransactionOptions options;
  options.readOnly = true;
  options.wait = false;
  return options;
}

constexpr unsigned kKrajColumn = kStationTextFieldCount;

}  // namespace

CallbookListing ReadCallbook(const fs::path& folder, const CallbookFilter& filter) {
  CallbookListing listing;
  const auto file = FindFileCaseBlind(folder, kCallbookFile);
  if (!file) return listing;
  listing.database = fs::absolute(*file).lexically_normal();
  if (const std::optional<std::string> refused = UnusableDatabasePath(listing.database))
    throw std::runtime_error(*refused);

  const fb::ConnectOptions options = CallbookConnectOptions();
  fb::Attachment att;
  try {
    att = fb::Attachment::Open(listing.database.string(), options);
  } catch (const DatabaseError& e) {
    if (!e.Has(isc_already_opened)) throw;
    listing.state = CallbookListing::State::InUse;
    return listing;
  }
  {
    fb::Transaction tr(att, ReadOnly());
    bool hasTable = false;
    Query(att, tr, "SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'STACJE'", std::nullopt,
          [&](const fb::Message&) { hasTable = true; });
    if (!hasTable) {
      listing.state = CallbookListing::State::NoTable;
    } else {
      listing.state = CallbookListing::State::Rows;
      std::string sql = "SELECT ";
      for (const StationFieldInfo& info : kStationFieldInfo) {
        listing.columns.emplace_back(info.column);
        sql += std::string(info.column) + ", ";
      }
      listing.columns.emplace_back("KRAJ");
      sql += "KRAJ FROM STACJE";
      // KRAJ is a SMALLINT: a country number beyond it can match no row.
      const bool possible =
          !filter.country || (*filter.country >= -32768 && *filter.country <= 32767);
      if (filter.country) sql += " WHERE KRAJ = ?";
      sql += " ORDER BY STACJA";
      const std::string prefix = ToUpper1250(filter.prefix);
      if (possible)
        Query(att, tr, sql, filter.country, [&](const fb::Message& m) {
          const std::string_view call = m.Text(0);
          if (!ToUpper1250(call).starts_with(prefix)) return;
          std::vector<std::optional<std::string>> row;
          for (unsigned i = 0; i < kStationTextFieldCount; ++i) {
            const std::optional<std::string_view> text = m.OptionalText(i);
            row.push_back(text ? std::optional<std::string>(*text) : std::nullopt);
          }
          const std::optional<std::int64_t> country = m.OptionalInteger(kKrajColumn);
          row.push_back(country ? std::optional<std::string>(std::to_string(*country))
                                : std::nullopt);
          listing.rows.push_back(std::move(row));
        });
    }
  }
  att.Detach();
  return listing;
}

}  // namespace tolvo::show
