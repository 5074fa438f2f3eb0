#include "store/Callbook.h"

#include <ibase.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "source/FileLookup.h"
#include "text/Cp1250Text.h"
#include "text/FieldText.h"
#include "store/OpenFailure.h"

namespace tolvo {
namespace {

// Runs `step`; a database error it raises is raised again with our sentence
// (what could not be done) as its first line and the server's own words
// after it.
template <class F>
auto Saying(const std::string& sentence, F&& step) {
  try {
    return step();
  } catch (const DatabaseError& e) {
    throw DatabaseError(sentence + "\n" + e.what(), e.Codes());
  }
}

constexpr std::string_view kCreateTable =
    "CREATE TABLE Stacje(\n"
    "Stacja   VARCHAR(10) NOT NULL COLLATE PXW_PLK,\n"
    "Nazwa    VARCHAR(60) COLLATE PXW_PLK,\n"
    "Nazwisko VARCHAR(40) COLLATE PXW_PLK,\n"
    "Imie     VARCHAR(15) COLLATE PXW_PLK,\n"
    "Miasto   VARCHAR(25) COLLATE PXW_PLK,\n"
    "KodPoczt VARCHAR(10) COLLATE PXW_PLK,\n"
    "Adres    VARCHAR(50) COLLATE PXW_PLK,\n"
    "Lokator  VARCHAR( 6) COLLATE PXW_PLK,\n"
    "Domena   VARCHAR( 6) COLLATE PXW_PLK,\n"
    "Wojew    VARCHAR( 1) COLLATE PXW_PLK,\n"
    "Powiat   VARCHAR( 2) COLLATE PXW_PLK,\n"
    "Manager  VARCHAR( 7) COLLATE PXW_PLK,\n"
    "IOTA     VARCHAR( 6) COLLATE PXW_PLK,\n"
    "Email1   VARCHAR(50) COLLATE PXW_PLK,\n"
    "Email2   VARCHAR(50) COLLATE PXW_PLK,\n"
    "Uwagi    VARCHAR(50) COLLATE PXW_PLK,\n"
    "Rodzaj   CHAR(1) COLLATE PXW_PLK,\n"
    "Kraj     SMALLINT,\n"
    "DataAkt  DATE,\n"
    "Aktual   D_BOOL,\n"
    "CONSTRAINT pk_Stacje PRIMARY KEY (Stacja) )";

constexpr std::array<std::string_view, 10> kCreateIndexes = {
    "CREATE INDEX Stacje_Nazwa ON Stacje(Nazwa)",
    "CREATE INDEX Stacje_Nazwisko ON Stacje(Nazwisko)",
    "CREATE INDEX Stacje_Imie ON Stacje(Imie)",
    "CREATE INDEX Stacje_Miasto ON Stacje(Miasto)",
    "CREATE INDEX Stacje_KodPoczt ON Stacje(KodPoczt)",
    "CREATE INDEX Stacje_Lokator ON Stacje(Lokator)",
    "CREATE INDEX Stacje_Wojew ON Stacje(Wojew)",
    "CREATE INDEX Stacje_Powiat ON Stacje(Powiat)",
    "CREATE INDEX Stacje_Rodzaj ON Stacje(Rodzaj)",
    "CREATE INDEX Stacje_Kraj ON Stacje(Kraj)",
};

constexpr std::string_view kTableExistsQuery =
    "Select USER from RDB$RELATIONS where RDB$RELATION_NAME = 'STACJE'";

// A table that takes the number a cut-off creation left pages under (see
// ClearCutOffCreation); it lives only from one commit to the next.
constexpr std::string_view kPlaceholderExistsQuery =
    "SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'TOLVOIMP$PLACEHOLDER'";
constexpr std::string_view kCreatePlaceholder = "CREATE TABLE TOLVOIMP$PLACEHOLDER (X SMALLINT)";
constexpr std::string_view kDropPlaceholder = "DROP TABLE TOLVOIMP$PLACEHOLDER";
// The engine's own records (pages, row formats) under the number the next
// new table gets, which no table has.
constexpr std::string_view kLeftoversAtNextTableQuery =
    "SELECT 1 FROM RDB$DATABASE d"
    " WHERE NOT EXISTS (SELECT 1 FROM RDB$RELATIONS r WHERE r.RDB$RELATION_ID = d.RDB$RELATION_ID)"
    " AND (EXISTS (SELECT 1 FROM RDB$PAGES p WHERE p.RDB$RELATION_ID = d.RDB$RELATION_ID)"
    " OR EXISTS (SELECT 1 FROM RDB$FORMATS f WHERE f.RDB$RELATION_ID = d.RDB$RELATION_ID))";

// The columns of STACJE that have no field object; always NULL in new rows.
constexpr std::array<std::string_view, 7> kUnusedColumns = {
    "MANAGER", "IOTA", "EMAIL1", "EMAIL2", "UWAGI", "DATAAKT", "AKTUAL"};

// In the lookup's result and in the INSERT and UPDATE parameters, the text
// columns come in StationField order and KRAJ follows them.
constexpr unsigned kCountrySlot = kStationTextFieldCount;
constexpr unsigned kRowSlots = kStationTextFieldCount + 1;

std::string FieldColumnList(std::string_view separator) {
  std::string list;
  for (const auto& info : kStationFieldInfo) {
    list += info.column;
    list += separator;
  }
  list += "KRAJ";
  return list;
}

std::string LookupSql() {
  return "SELECT " + FieldColumnList(", ") + " FROM STACJE WHERE STACJA = ?";
}

std::string InsertSql() {
  std::string columns = FieldColumnList(", ");
  unsigned count = kRowSlots;
  for (auto c : kUnusedColumns) {
    columns += ", ";
    columns += c;
    ++count;
  }
  std::string values = "?";
  for (unsigned i = 1; i < count; ++i) values += ", ?";
  return "INSERT INTO STACJE (" + columns + ") VALUES (" + values + ")";
}

constexpr std::string_view kEveryStationSql = "SELECT STACJA, LOKATOR FROM STACJE";

std::string EveryRowSql() { return "SELECT " + FieldColumnList(", ") + " FROM STACJE"; }

std::string UpdateSql() {
  return "UPDATE STACJE SET " + FieldColumnList(" = ?, ") + " = ? WHERE STACJA = ?";
}

unsigned SlotOf(StationField field) { return static_cast<unsigned>(field); }

}  // namespace

fb::ConnectOptions CallbookConnectOptions() {
  fb::ConnectOptions o;
  o.user = "sysdba";
  o.password = "quartzfog";
  o.charset = "WIN1250";
  o.connectTimeout = kConnectTimeoutSeconds;
  return o;
}

Callbook::~Callbook() {
  stations_ = TableView{};
  if (trial_) writing_ = fb::Transaction{};  // rolled back, silently
  else writing_.CommitOrRollbackQuietly();
  // The connection detaches silently in its own destructor.
}

void Callbook::RequireOpen() const {
  if (!stations_.open) throw std::logic_error("Callbook: the callbook is not open");
}

// ---- connection and schema ----

void Callbook::CloseConnection() {
  stations_ = TableView{};
  unmade_.reset();
  if (trial_) {
    openedFile_.clear();
    if (writing_.IsActive()) writing_.Rollback();
    if (connection_.IsOpen()) connection_.Detach();
    return;
  }
  try {
    writing_.CommitOrRollback();
  } catch (const DatabaseError& e) {
    openedFile_.clear();
    try {
      connection_.Detach();
    } catch (const DatabaseError&) {
      // the lost rows are what must be reported
    }
    throw DatabaseError(std::string(kPreviousImportLost) + e.what(), e.Code());
  }
  // Asked while the engine still holds the file, so that a renamed file can
  // be found under its present name.
  const std::string moved = connection_.IsOpen() ? WhereTheRowsWent() : std::string();
  openedFile_.clear();
  try {
    connection_.Detach();
  } catch (const DatabaseError&) {
    if (moved.empty()) throw;
  }
  if (!moved.empty()) throw DatabaseMoved(moved);
}

namespace {

struct FileIdentity {
  std::uint64_t device = 0, inode = 0;
  bool present = false;
};

FileIdentity IdentityOf(const std::filesystem::path& file) {
  struct stat st {};
  if (stat(file.c_str(), &st) != 0) return {};
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
}

// The present name of a file this process holds open, found through its
// descriptors; `deleted` when it has no name left. Empty when no
// descriptor of the process holds it.
std::string OpenFileName(std::uint64_t device, std::uint64_t inode, bool& deleted) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end;
       it.increment(ec)) {
    struct stat st {};
    if (stat(it->path().c_str(), &st) != 0 || static_cast<std::uint64_t>(st.st_dev) != device ||
        static_cast<std::uint64_t>(st.st_ino) != inode)
      continue;
    deleted = st.st_nlink == 0;
    std::error_code rec;
    return std::filesystem::read_symlink(it->path(), rec).string();
  }
  return {};
}

}  // namespace

std::string Callbook::WhereTheRowsWent() const {
  if (openedFile_.empty()) return {};
  const FileIdentity now = IdentityOf(openedFile_);
  if (now.present && now.device == openedDevice_ && now.inode == openedInode_) return {};
  const std::string file = openedFile_.string();
  const std::string other =
      now.present ? " W miejscu " + file + " jest teraz inny plik, bez wpisów tego importu." : "";
  bool deleted = false;
  const std::string present = OpenFileName(openedDevice_, openedInode_, deleted);
  if (present.empty())
    return "Plik " + file +
           " przeniesiono, zastąpiono albo usunięto w trakcie importu; nie wiadomo, do jakiego "
           "pliku trafiły wpisy tego importu." +
           other;
  if (deleted)
    return "Plik " + file +
           " usunięto w trakcie importu: wpisy tego importu trafiły do usuniętego pliku i nie ma "
           "ich w żadnej bazie." +
           other;
  return "Plik " + file +
         " przeniesiono lub zmieniono jego nazwę w trakcie importu: wpisy tego "
         "importu zapisano w pliku " +
         present + "." + other;
}

bool Callbook::Open(const std::filesystem::path& file) {
  const std::filesystem::path absolute = std::filesystem::absolute(file);
  // What the client library cannot be given safely (a loop of symbolic
  // links, a pipe) is refused before it sees the name.
  if (std::optional<std::string> refused = UnusableDatabasePath(absolute)) {
    CloseConnection();
    openFailure_ = *refused;
    return false;
  }
  const FileIdentity identity = IdentityOf(absolute);
  const bool opened = Attach(absolute.string(), [&](const DatabaseError& e) {
    return OpenFailureCause(file, e, EngineLockFolder());
  });
  if (opened) {
    openedFile_ = absolute;
    openedDevice_ = identity.device;
    openedInode_ = identity.inode;
  }
  return opened;
}

std::string AbsoluteConnection(const std::string& connection) {
  if (IsRemoteConnection(connection)) return connection;
  std::error_code ec;
  std::filesystem::path file = std::filesystem::absolute(connection, ec).lexically_normal();
  if (!std::filesystem::exists(std::filesystem::symlink_status(file, ec)) && file.has_filename())
    if (const auto found = FindFileCaseBlind(file.parent_path(), file.filename().string()))
      file = *found;
  return file.string();
}

bool Callbook::OpenConnection(const std::string& connection) {
  if (!IsRemoteConnection(connection)) return Open(connection);
  const auto start = std::chrono::steady_clock::now();
  return Attach(connection, [&](const DatabaseError& e) {
    // A server that never answered: the client gave up at its time limit.
    const bool unanswered =
        std::chrono::steady_clock::now() - start >=
        std::chrono::seconds(kConnectTimeoutSeconds) - std::chrono::milliseconds(500);
    return ConnectionFailureCause(connection, e, unanswered ? kConnectTimeoutSeconds : 0);
  });
}

template <class Cause>
bool Callbook::Attach(const std::string& attachTo, Cause cause) {
  CloseConnection();
  openFailure_.clear();
  try {
    connection_ = fb::Attachment::Open(attachTo, CallbookConnectOptions());
  } catch (const DatabaseError& e) {
    openFailure_ = cause(e);
    return false;
  } catch (const std::exception& e) {
    openFailure_ = e.what();
    return false;
  }
  const bool unmade = !StationsTableExists();
  if (unmade) {
    // A trial leaves the catalogue alone, the remains of a cut-off creation
    // included.
    if (!trial_) ClearCutOffCreation();
    CreateStationsTable();
  }
  // Each wait for a lock lasts a second at most; ExecuteWaiting waits again
  // up to kLockWaitSeconds, asking the handler in between.
  fb::TransactionOptions writing;
  writing.lockTimeout = 1;
  writing_ = fb::Transaction(connection_, writing);
  if (unmade && trial_) {
    unmade_ = std::make_unique<MemoryCallbook>();
    stations_.open = true;
  } else {
    OpenTableView();
  }
  return true;
}

void Callbook::Close() { CloseConnection(); }

bool Callbook::HasRow(std::string_view query) {
  fb::Transaction reading(connection_);
  fb::Statement statement(connection_, reading, query);
  fb::Message row = statement.NewOutput();
  fb::Cursor cursor = statement.Open(reading, nullptr, row);
  const bool found = cursor.Fetch();
  cursor.Close();
  reading.CommitOrRollback();
  return found;
}

void Callbook::ExecuteAlone(std::string_view statement) {
  fb::Transaction alone(connection_);  // rolled back when the statement fails
  connection_.ExecuteImmediate(alone, statement);
  alone.CommitOrRollback();
}

bool Callbook::StationsTableExists() { return HasRow(kTableExistsQuery); }

// A process killed while it commits the creation of a table (of STACJE, or
// of any other) leaves behind what the engine records outside the
// transaction: in RDB$PAGES the pages it had already made for the new table,
// in RDB$FORMATS its row format, both under the number it had given the
// table. The number itself goes back with the transaction, so the next table
// made gets it again and takes those records over: STACJE would find the
// places of its indexes taken, and its primary key would be refused
// ("cannot create index PK_STACJE") at every import from then on. A table
// without indexes, made and dropped first, each in a transaction of its own,
// uses that number up and takes those records away with its own; STACJE
// then gets the next number, which is clean. A placeholder that a kill
// between the two left behind is dropped first.
void Callbook::ClearCutOffCreation() {
  if (HasRow(kPlaceholderExistsQuery)) ExecuteAlone(kDropPlaceholder);
  if (!HasRow(kLeftoversAtNextTableQuery)) return;
  ExecuteAlone(kCreatePlaceholder);
  ExecuteAlone(kDropPlaceholder);
}

// The table, its key and its indexes are made in one transaction, all or
// nothing. The server refuses a statement when it is executed (a name already
// taken, a missing domain) or at the commit, where the engine does the work it
// deferred (it builds the indexes then, and may find no room). Either way the
// transaction is rolled back, leaving the catalogue as it was, so that the
// next import tries again from the start.
void Callbook::CreateStationsTable() {
  Saying("Nie udało się dodać do bazy tabeli callbooka STACJE; w bazie nic nie zmieniono:", [&] {
    fb::Transaction schema(connection_);  // rolled back when a statement fails
    connection_.ExecuteImmediate(schema, kCreateTable);
    for (std::string_view index : kCreateIndexes) connection_.ExecuteImmediate(schema, index);
    if (trial_) schema.Rollback();
    else schema.CommitOrRollback();
  });
}

// ---- the table view ----

void Callbook::OpenTableView() {
  TableView view;
  Saying("Nie udało się przygotować tabeli callbooka STACJE do importu:", [&] {
    view.lookup = fb::Statement(connection_, writing_, LookupSql());
    view.insert = fb::Statement(connection_, writing_, InsertSql());
    view.update = fb::Statement(connection_, writing_, UpdateSql());
    view.everyStation = fb::Statement(connection_, writing_, kEveryStationSql);
  });
  view.key = view.lookup.NewInput();
  view.row = view.lookup.NewOutput();
  view.fetched = view.lookup.NewOutput();
  view.insertValues = view.insert.NewInput();
  view.updateValues = view.update.NewInput();
  view.open = true;
  stations_ = std::move(view);
}

void Callbook::ReadIndex() {
  TableView& v = stations_;
  v.index.Clear();
  v.rows.Clear();
  bool fits = true;
  if (wholeRows_) {
    // One pass over the whole rows gives the index and the rows.
    if (!v.everyRow.IsPrepared()) v.everyRow = fb::Statement(connection_, writing_, EveryRowSql());
    fb::Message row = v.everyRow.NewOutput();
    fb::Cursor cursor = v.everyRow.Open(writing_, nullptr, row);
    v.rowsHeld = true;
    while (fits && cursor.Fetch()) {
      const std::optional<std::uint32_t> station = v.index.Put(
          row.Text(SlotOf(StationField::STACJA)), row.Text(SlotOf(StationField::LOKATOR)));
      fits = station.has_value();
      if (fits && v.rowsHeld) v.rowsHeld = HoldRow(*station, row);
    }
    cursor.Close();
  } else {
    fb::Message station = v.everyStation.NewOutput();
    fb::Cursor cursor = v.everyStation.Open(writing_, nullptr, station);
    while (fits && cursor.Fetch()) fits = v.index.Put(station.Text(0), station.Text(1)).has_value();
    cursor.Close();
  }
  v.indexRead = true;
  v.indexed = fits;
  if (!fits) v.index.Clear();
  if (!fits || !v.rowsHeld) {
    v.rows.Clear();
    v.rowsHeld = false;
  }
}

bool Callbook::HoldRow(std::uint32_t station, const fb::Message& row) {
  if (!stations_.rows.Begin(station)) return false;
  for (unsigned i = 0; i < kStationTextFieldCount; ++i)
    if (!stations_.rows.Text(row.OptionalText(i))) return false;
  stations_.rows.Country(row.OptionalInteger(kCountrySlot));
  return true;
}

bool Callbook::LookUpRow(std::string_view key) {
  stations_.key.SetText(0, key);
  const bool found = Saying("Nie udało się odczytać callbooka z bazy danych:", [&] {
    fb::Cursor cursor = stations_.lookup.Open(writing_, &stations_.key, stations_.fetched);
    bool match = false;
    while (cursor.Fetch()) {
      // The collation decides what the server calls equal; the callbook
      // matches the bytes exactly.
      if (StripTrailingSpaces(stations_.fetched.Text(0)) == key) {
        match = true;
        break;
      }
    }
    cursor.Close();
    return match;
  });
  if (found) {
    stations_.row.Swap(stations_.fetched);
    stations_.rowKey = std::string(key);
  }
  return found;
}

std::optional<StoredStation> Callbook::Find(std::string_view callSign) {
  RequireOpen();
  if (unmade_) return unmade_->Find(callSign);
  const std::string_view key = StripTrailingSpaces(callSign);
  // A key longer than the column can never equal a stored value.
  if (key.size() > stations_.key.Capacity(0)) return std::nullopt;
  if (stations_.indexed && !stations_.indexRead)
    Saying("Nie udało się odczytać callbooka z bazy danych:", [&] { ReadIndex(); });
  if (!stations_.indexed) {
    if (!LookUpRow(key)) return std::nullopt;
    return StoredStation{std::string(key),
                         std::string(stations_.row.Text(SlotOf(StationField::LOKATOR)))};
  }
  const std::optional<std::uint32_t> station = stations_.index.Find(key);
  stations_.lastFound = station;
  if (!station) return std::nullopt;
  // The rest of the row is read only when it is written.
  stations_.rowKey.reset();
  return StoredStation{std::string(key), std::string(stations_.index.Locator(*station))};
}

void Callbook::Insert(const StationRow& row) {
  RequireOpen();
  if (unmade_) return unmade_->Insert(row);
  fb::Message& values = stations_.insertValues;
  for (unsigned i = 0; i < kStationTextFieldCount; ++i) {
    const auto field = static_cast<StationField>(i);
    values.SetOptionalText(i, row.text[i] ? ColumnValue(field, *row.text[i]) : std::nullopt);
  }
  values.SetOptionalInteger(kCountrySlot, row.country);
  Write(stations_.insert, values);
}

void Callbook::FillLocator(std::string_view callSign, std::string_view locator) {
  RequireOpen();
  if (unmade_) return unmade_->FillLocator(callSign, locator);
  const std::string_view key = StripTrailingSpaces(callSign);
  // The UPDATE writes back every column as stored, but LOKATOR.
  if (stations_.rowKey != key && !LookUpRow(key))
    throw std::logic_error("Callbook::FillLocator: no station " + std::string(key));
  fb::Message& values = stations_.updateValues;
  for (unsigned i = 0; i < kRowSlots; ++i) values.CopySlot(i, stations_.row, i);
  values.CopySlot(kRowSlots, stations_.row, SlotOf(StationField::STACJA));
  values.SetOptionalText(SlotOf(StationField::LOKATOR),
                         ColumnValue(StationField::LOKATOR, locator));
  Write(stations_.update, values);
}

bool Callbook::StoredRow(std::string_view callSign, StationRow& row) {
  RequireOpen();
  if (unmade_) return unmade_->StoredRow(callSign, row);
  const std::string_view key = StripTrailingSpaces(callSign);
  if (key.size() > stations_.key.Capacity(0)) return false;
  if (stations_.indexed && !stations_.indexRead)
    Saying("Nie udało się odczytać callbooka z bazy danych:", [&] { ReadIndex(); });
  if (stations_.rowsHeld) {
    // Mostly the station that the last lookup found.
    std::optional<std::uint32_t> station = stations_.lastFound;
    if (!station || stations_.index.CallSign(*station) != key) station = stations_.index.Find(key);
    return station && stations_.rows.Row(*station, row);
  }
  if (stations_.rowKey != key && !LookUpRow(key)) return false;
  for (unsigned i = 0; i < kStationTextFieldCount; ++i) {
    if (const auto text = stations_.row.OptionalText(i)) row.text[i] = *text;
    else row.text[i].reset();
  }
  const auto country = stations_.row.OptionalInteger(kCountrySlot);
  row.country =
      country ? std::optional<std::int16_t>(static_cast<std::int16_t>(*country)) : std::nullopt;
  return true;
}

void Callbook::Write(fb::Statement& statement, fb::Message& values) {
  try {
    ExecuteWaiting(statement, values);
  } catch (const DatabaseError& e) {
    const unsigned call = SlotOf(StationField::STACJA);
    const std::string station =
        values.IsNull(call) ? "stacji" : "stacji " + Cp1250ToUtf8(values.Text(call));
    throw DatabaseError("Nie udało się zapisać " + station + " w bazie danych:\n" + e.what(),
                        e.Codes());
  }
  for (unsigned i = 0; i < kRowSlots; ++i) stations_.row.CopySlot(i, values, i);
  const std::string_view stored = values.Text(SlotOf(StationField::STACJA));
  stations_.rowKey = std::string(StripTrailingSpaces(stored));
  // The written row is in the transaction's view from now on: a new station
  // is found, a filled locator is no longer empty.
  std::optional<std::uint32_t> station;
  if (stations_.indexed && stations_.indexRead &&
      !(station = stations_.index.Put(stored, values.Text(SlotOf(StationField::LOKATOR))))) {
    stations_.indexed = false;
    stations_.index.Clear();
  }
  if (stations_.rowsHeld && !(station && HoldRow(*station, values))) {
    stations_.rowsHeld = false;
    stations_.rows.Clear();
  }
}

// A new row whose call sign another program holds uncommitted waits for
// that program's transaction and, once the wait times out, is refused as a
// duplicate key, as it is when the other row is committed; only a look at
// the key outside the snapshot tells the two apart.
void Callbook::ExecuteWaiting(fb::Statement& statement, fb::Message& values) {
  const auto start = std::chrono::steady_clock::now();
  const bool insert = &statement == &stations_.insert;
  for (;;) {
    try {
      statement.Execute(writing_, &values);
      return;
    } catch (const DatabaseError& e) {
      // A failed statement leaves the transaction as it was before it.
      std::optional<DatabaseError> held;
      if (e.Has(isc_lock_timeout) || e.Has(isc_lock_conflict)) held = e;
      else if (insert && e.Has(isc_unique_key_violation))
        held = KeyHeldElsewhere(values.Text(SlotOf(StationField::STACJA)));
      if (!held) throw;
      if (std::chrono::steady_clock::now() - start >= std::chrono::seconds(kLockWaitSeconds) ||
          (keepWaiting_ && !keepWaiting_()))
        throw *held;
    }
  }
}

std::optional<DatabaseError> Callbook::KeyHeldElsewhere(std::string_view callSign) {
  // A row this import wrote, or one committed before it began, is a plain
  // duplicate.
  if (HasKey(writing_, callSign)) return std::nullopt;
  fb::TransactionOptions latest;
  latest.isolation = fb::TransactionOptions::Isolation::ReadCommittedLatest;
  latest.readOnly = true;
  latest.wait = false;
  fb::Transaction probe(connection_, latest);
  try {
    HasKey(probe, callSign);
  } catch (const DatabaseError& e) {
    if (e.Has(isc_lock_conflict) || e.Has(isc_deadlock)) return e;
    throw;
  }
  return std::nullopt;
}

bool Callbook::HasKey(fb::Transaction& transaction, std::string_view callSign) {
  fb::Statement lookup(connection_, transaction, "SELECT 1 FROM STACJE WHERE STACJA = ?");
  fb::Message key = lookup.NewInput();
  key.SetText(0, callSign);
  fb::Message row = lookup.NewOutput();
  fb::Cursor cursor = lookup.Open(transaction, &key, row);
  const bool found = cursor.Fetch();
  cursor.Close();
  return found;
}

}  // namespace tolvo
