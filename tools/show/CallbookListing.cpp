#include "tools/show/CallbookListing.h"

#include <firebird/Interface.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "source/FileLookup.h"
#include "store/Firebird.h"
#include "store/OpenFailure.h"
#include "store/StationFields.h"
#include "text/Cp1250Text.h"
#include "text/FieldText.h"

namespace tolvo::show {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDatabaseFile = "LOG.DAT";

Firebird::IMaster* Master() { return Firebird::fb_get_master_interface(); }

// A status vector for the calls below; errors become DatabaseError with the
// client library's text.
class ApiStatus {
 public:
  ApiStatus() : status_(Master()->getStatus()), wrapper_(status_) {}
  ~ApiStatus() { status_->dispose(); }
  ApiStatus(const ApiStatus&) = delete;
  ApiStatus& operator=(const ApiStatus&) = delete;

  Firebird::CheckStatusWrapper* operator()() {
    wrapper_.clearException();
    return &wrapper_;
  }
  bool Failed() const { return (wrapper_.getState() & Firebird::IStatus::STATE_ERRORS) != 0; }
  void Check() {
    if (!Failed()) return;
    char text[1024];
    unsigned n = Master()->getUtilInterface()->formatStatus(text, sizeof text - 1, &wrapper_);
    n = std::min<unsigned>(n, sizeof text - 1);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\0')) --n;
    throw DatabaseError(Cp1250ToUtf8(std::string_view(text, n)),
                        fb::ErrorCodes(wrapper_.getErrors()));
  }

 private:
  Firebird::IStatus* status_;
  Firebird::CheckStatusWrapper wrapper_;
};

// A transaction that only reads; rolled back when it goes.
class ReadTransaction {
 public:
  explicit ReadTransaction(fb::Attachment& att) {
    static constexpr unsigned char kTpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_concurrency,
                                            isc_tpb_nowait};
    ApiStatus s;
    tr_ = att.Get()->startTransaction(s(), sizeof kTpb, kTpb);
    if (s.Failed()) {
      if (tr_) tr_->release();
      tr_ = nullptr;
      s.Check();
    }
  }
  ~ReadTransaction() {
    if (!tr_) return;
    ApiStatus s;
    tr_->rollback(s());
    if (s.Failed()) tr_->release();
  }
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;
  Firebird::ITransaction* Get() const { return tr_; }

 private:
  Firebird::ITransaction* tr_ = nullptr;
};

struct StatementFree {
  void operator()(Firebird::IStatement* st) const {
    ApiStatus s;
    st->free(s());
    if (s.Failed()) st->release();
  }
};
struct ResultSetClose {
  void operator()(Firebird::IResultSet* rs) const {
    ApiStatus s;
    rs->close(s());
    if (s.Failed()) rs->release();
  }
};

// Runs a query, with one integer parameter when `param` is given, and calls
// `row` with the output message of every row.
template <class F>
void Query(fb::Attachment& att, ReadTransaction& tr, const std::string& sql,
           std::optional<int> param, F&& row) {
  ApiStatus s;
  // On failure a call may still hand back an interface; it is released
  // unused.
  auto checked = [&s](auto* handle) {
    if (s.Failed()) {
      if (handle) handle->release();
      s.Check();
    }
    return handle;
  };
  std::unique_ptr<Firebird::IStatement, StatementFree> st(checked(
      att.Get()->prepare(s(), tr.Get(), static_cast<unsigned>(sql.size()), sql.c_str(),
                         att.Dialect(), Firebird::IStatement::PREPARE_PREFETCH_METADATA)));
  fb::Message in(checked(st->getInputMetadata(s())));
  if (param) in.SetInteger(0, *param);
  fb::Message out(checked(st->getOutputMetadata(s())));
  std::unique_ptr<Firebird::IResultSet, ResultSetClose> rs(
      checked(st->openCursor(s(), tr.Get(), in.Metadata(), in.Data(), out.Metadata(), 0)));
  while (rs->fetchNext(s(), out.Data()) == Firebird::IStatus::RESULT_OK) row(out);
  s.Check();
}

constexpr unsigned kKrajColumn = kStationTextFieldCount;

}  // namespace

CallbookListing ReadCallbook(const fs::path& folder, const CallbookFilter& filter) {
  CallbookListing listing;
  const auto file = FindFileCaseBlind(folder, kDatabaseFile);
  if (!file) return listing;
  listing.database = fs::absolute(*file).lexically_normal();
  if (const std::optional<std::string> refused = UnusableDatabasePath(listing.database))
    throw std::runtime_error(*refused);

  fb::ConnectOptions options;
  options.user = "sysdba";
  options.password = "quartzfog";
  options.charset = "WIN1250";
  fb::Attachment att;
  try {
    att = fb::Attachment::Open(listing.database.string(), options);
  } catch (const DatabaseError& e) {
    if (!e.Has(isc_already_opened)) throw;
    listing.state = CallbookListing::State::InUse;
    return listing;
  }
  {
    ReadTransaction tr(att);
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
      const bool possible = !filter.country || (*filter.country >= -32768 && *filter.country <= 32767);
      if (filter.country) sql += " WHERE KRAJ = ?";
      sql += " ORDER BY STACJA";
      const std::string prefix = ToUpper1250(filter.prefix);
      if (possible)
        Query(att, tr, sql, filter.country, [&](const fb::Message& m) {
          const std::string_view call = m.Text(0);
          if (!ToUpper1250(call).starts_with(prefix)) return;
          std::vector<std::optional<std::string>> row;
          for (unsigned i = 0; i < kStationTextFieldCount; ++i)
            row.push_back(m.IsNull(i) ? std::nullopt : std::optional<std::string>(m.Text(i)));
          row.push_back(m.IsNull(kKrajColumn)
                            ? std::nullopt
                            : std::optional<std::string>(std::to_string(m.Integer(kKrajColumn))));
          listing.rows.push_back(std::move(row));
        });
    }
  }
  att.Detach();
  return listing;
}

}  // namespace tolvo::show
