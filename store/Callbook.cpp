#include "store/Callbook.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "source/FileLookup.h"
#include "store/OpenFailure.h"

namespace tolvo {
namespace {

constexpr std::string_view kDatabaseName = "LOG.DAT";

fb::ConnectOptions BazaParams() {
  fb::ConnectOptions o;
  o.user = "sysdba";
  o.password = "quartzfog";
  o.charset = "WIN1250";
  return o;
}

constexpr std::array<std::string_view, 22> kCreateTable = {
    "CREATE TABLE Stacje(",
    "Stacja   VARCHAR(10) NOT NULL COLLATE PXW_PLK,",
    "Nazwa    VARCHAR(60) COLLATE PXW_PLK,",
    "Nazwisko VARCHAR(40) COLLATE PXW_PLK,",
    "Imie     VARCHAR(15) COLLATE PXW_PLK,",
    "Miasto   VARCHAR(25) COLLATE PXW_PLK,",
    "KodPoczt VARCHAR(10) COLLATE PXW_PLK,",
    "Adres    VARCHAR(50) COLLATE PXW_PLK,",
    "Lokator  VARCHAR( 6) COLLATE PXW_PLK,",
    "Domena   VARCHAR( 6) COLLATE PXW_PLK,",
    "Wojew    VARCHAR( 1) COLLATE PXW_PLK,",
    "Powiat   VARCHAR( 2) COLLATE PXW_PLK,",
    "Manager  VARCHAR( 7) COLLATE PXW_PLK,",
    "IOTA     VARCHAR( 6) COLLATE PXW_PLK,",
    "Email1   VARCHAR(50) COLLATE PXW_PLK,",
    "Email2   VARCHAR(50) COLLATE PXW_PLK,",
    "Uwagi    VARCHAR(50) COLLATE PXW_PLK,",
    "Rodzaj   CHAR(1) COLLATE PXW_PLK,",
    "Kraj     SMALLINT,",
    "DataAkt  DATE,",
    "Aktual   D_BOOL,",
    "CONSTRAINT pk_Stacje PRIMARY KEY (Stacja) )",
};

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

// The columns of STACJE that have no field object; always NULL in new rows.
constexpr std::array<std::string_view, 7> kUnusedColumns = {
    "MANAGER", "IOTA", "EMAIL1", "EMAIL2", "UWAGI", "DATAAKT", "AKTUAL"};

// In the lookup's result and in the INSERT and UPDATE parameters, the text
// columns come in StationField order and KRAJ follows them.
constexpr unsigned kKrajSlot = kStationTextFieldCount;
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

std::string UpdateSql() {
  return "UPDATE STACJE SET " + FieldColumnList(" = ?, ") + " = ? WHERE STACJA = ?";
}

std::string_view WithoutTrailingBlanks(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

unsigned SlotOf(StationField field) { return static_cast<unsigned>(field); }

}  // namespace

TCallbook::~TCallbook() {
  CloseStacje();
  trTworzStacje.CommitOrRollbackQuietly();
  trStacje.CommitOrRollbackQuietly();
  // Baza detaches silently in its own destructor.
}

void TCallbook::RequireConnection() const {
  if (!Baza.IsOpen()) throw std::logic_error("TCallbook: the database is not connected");
}

void TCallbook::RequireOpen() const {
  if (!Stacje.open) throw std::logic_error("TCallbook: the callbook is not open");
}

// ---- connection and schema ----

void TCallbook::CloseConnection() {
  CloseStacje();
  std::optional<DatabaseError> lost;
  for (fb::Transaction* tr : {&trTworzStacje, &trStacje}) {
    try {
      tr->CommitOrRollback();
    } catch (const DatabaseError& e) {
      if (!lost) lost = e;
    }
  }
  if (lost) {
    try {
      Baza.Detach();
    } catch (const DatabaseError&) {
      // the lost rows are what must be reported
    }
    throw DatabaseError(std::string(kPreviousImportLost) + lost->what(), lost->Code());
  }
  Baza.Detach();
}

bool TCallbook::ConnectDatabase() {
  CloseConnection();
  openFailure_.clear();
  std::optional<std::filesystem::path> file = FindInWorkingFolder(kDatabaseName);
  if (!file) {
    std::error_code ec;  // a working folder that is gone has no name to give
    openFailure_ = MissingDatabaseCause(std::filesystem::current_path(ec));
    return false;
  }
  try {
    Baza = fb::Attachment::Open(file->string(), BazaParams());
  } catch (const DatabaseError& e) {
    openFailure_ = OpenFailureCause(*file, e, EngineLockFolder());
    return false;
  } catch (const std::exception& e) {
    openFailure_ = e.what();
    return false;
  }
  return true;
}

bool TCallbook::StationsTableExists() {
  if (Stacje.open) return true;
  RequireConnection();
  fb::Transaction shortTr;
  shortTr.Start(Baza);
  bool exists = false;
  try {
    fb::Statement query(Baza, shortTr, kTableExistsQuery);
    fb::Message row = query.NewOutput();
    fb::Cursor cursor = query.Open(shortTr, nullptr, row);
    exists = cursor.Fetch();
    cursor.Close();
  } catch (...) {
    shortTr.CommitOrRollbackQuietly();
    throw;
  }
  shortTr.CommitOrRollback();
  return exists;
}

void TCallbook::ExecuteTworzStacje() { Baza.ExecuteImmediate(trTworzStacje, TworzStacje); }

bool TCallbook::CreateStationsTable() {
  RequireConnection();
  trTworzStacje.CommitOrRollback();
  trTworzStacje.Start(Baza);
  // However the statements end, what succeeded of them is committed.
  try {
    TworzStacje.clear();
    for (std::size_t i = 0; i < kCreateTable.size(); ++i) {
      if (i > 0) TworzStacje += '\n';
      TworzStacje += kCreateTable[i];
    }
    ExecuteTworzStacje();
    for (std::string_view index : kCreateIndexes) {
      TworzStacje.clear();
      TworzStacje = index;
      ExecuteTworzStacje();
    }
  } catch (...) {
    trTworzStacje.CommitOrRollbackQuietly();
    throw;
  }
  trTworzStacje.CommitOrRollback();
  return true;
}

bool TCallbook::OpenCallbook() {
  if (!ConnectDatabase()) return false;
  if (!StationsTableExists()) {
    if (!CreateStationsTable()) return false;
  }
  trStacje.CommitOrRollback();
  trStacje.Start(Baza);
  OpenStacje();
  return true;
}

void TCallbook::Close() { CloseConnection(); }

// ---- the table view ----

void TCallbook::OpenStacje() {
  TableView view;
  view.lookup = fb::Statement(Baza, trStacje, LookupSql());
  view.insert = fb::Statement(Baza, trStacje, InsertSql());
  view.update = fb::Statement(Baza, trStacje, UpdateSql());
  view.key = view.lookup.NewInput();
  view.row = view.lookup.NewOutput();
  view.fetched = view.lookup.NewOutput();
  view.insertValues = view.insert.NewInput();
  view.updateValues = view.update.NewInput();
  view.open = true;
  Stacje = std::move(view);
}

void TCallbook::CloseStacje() noexcept { Stacje = TableView{}; }

bool TCallbook::FindStation(std::string_view callSign) {
  RequireOpen();
  const std::string_view key = WithoutTrailingBlanks(callSign);
  // A key longer than the column can never equal a stored value.
  if (key.size() > Stacje.key.Capacity(0)) return false;
  Stacje.key.SetText(0, key);
  bool found = false;
  fb::Cursor cursor = Stacje.lookup.Open(trStacje, &Stacje.key, Stacje.fetched);
  while (cursor.Fetch()) {
    // The collation decides what the server calls equal; the callbook
    // matches the bytes exactly.
    if (WithoutTrailingBlanks(Stacje.fetched.Text(0)) == key) {
      found = true;
      break;
    }
  }
  cursor.Close();
  if (found) {
    Stacje.row.Swap(Stacje.fetched);
    Stacje.hasCurrent = true;
  }
  return found;
}

std::string TCallbook::FieldAsString(StationField field) const {
  RequireOpen();
  if (!Stacje.hasCurrent) return {};
  return std::string(Stacje.row.Text(SlotOf(field)));
}

void TCallbook::AppendStation() {
  RequireOpen();
  for (unsigned i = 0; i < kRowSlots; ++i) Stacje.insertValues.SetNull(i);
  Stacje.pending = TableView::Pending::New;
}

void TCallbook::EditStation() {
  RequireOpen();
  if (!Stacje.hasCurrent) throw std::logic_error("TCallbook::EditStation: no current row");
  for (unsigned i = 0; i < kRowSlots; ++i) Stacje.updateValues.CopySlot(i, Stacje.row, i);
  Stacje.updateValues.CopySlot(kRowSlots, Stacje.row, SlotOf(StationField::STACJA));
  Stacje.pending = TableView::Pending::Edit;
}

fb::Message& TCallbook::PendingValues() {
  RequireOpen();
  switch (Stacje.pending) {
    case TableView::Pending::New:
      return Stacje.insertValues;
    case TableView::Pending::Edit:
      return Stacje.updateValues;
    case TableView::Pending::None:
      break;
  }
  throw std::logic_error("TCallbook: no pending row");
}

void TCallbook::SetField(StationField field, std::string_view value) {
  fb::Message& values = PendingValues();
  const std::optional<std::string> stored = ColumnValue(field, value);
  if (stored)
    values.SetText(SlotOf(field), *stored);
  else
    values.SetNull(SlotOf(field));
}

void TCallbook::SetKraj(std::int16_t kraj) { PendingValues().SetInteger(kKrajSlot, kraj); }

void TCallbook::PostStation() {
  fb::Message& values = PendingValues();
  fb::Statement& statement =
      Stacje.pending == TableView::Pending::New ? Stacje.insert : Stacje.update;
  // A row that the server refuses is not kept pending.
  Stacje.pending = TableView::Pending::None;
  statement.Execute(trStacje, &values);
  for (unsigned i = 0; i < kRowSlots; ++i) Stacje.row.CopySlot(i, values, i);
  Stacje.hasCurrent = true;
}

}  // namespace tolvo
