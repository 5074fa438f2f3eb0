// The callbook store: one connection to the Tolvo database file its caller
// names, the table STACJE (created with its indexes when the database has
// none yet), and the lookup, insertion and update of station rows inside the
// writing transaction. Rows stay uncommitted until the next Open or Close.
//
// The writing transaction is a snapshot: it sees the rows committed before it
// started and its own writes, nothing that others commit later. So the call
// signs and locators of STACJE are read once, at the first lookup, into an
// index in memory that the transaction's own inserts and updates keep up to
// date; a lookup is answered from it without asking the database, and the
// rest of a found row is read only when its locator is filled, or when its
// stored row is asked for. A caller that is going to ask for most of them
// says so first (ExpectStoredRows): the whole rows are then read with the
// call signs and kept beside the index.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "store/Firebird.h"
#include "store/ICallbook.h"
#include "store/MemoryCallbook.h"
#include "store/StationIndex.h"
#include "store/StationRows.h"

namespace tolvo {

// The name of the database file in the working folder. Callers look it up
// without regard to letter case; this spelling wins over the others.
inline constexpr std::string_view kCallbookFile = "LOG.DAT";

// How every program of the project connects to a Tolvo database: the
// logging program's user and password, Windows-1250 text, and a time limit
// for a server to answer.
fb::ConnectOptions CallbookConnectOptions();

// The beginning of the error raised when the rows of the previous import
// could not be committed; the database's own text follows it.
inline constexpr std::string_view kPreviousImportLost =
    "Nie udało się zapisać w bazie danych poprzedniego importu: ";

// How long a station's row waits for a lock that another program holds on
// it (an uncommitted row of the same call sign, say) before the import
// reports the conflict at that station; and how long a server may take to
// answer a connection.
inline constexpr int kLockWaitSeconds = 30;
inline constexpr int kConnectTimeoutSeconds = 15;

// Raised by Close when the rows were committed, but into a file that is no
// longer the LOG.DAT that was opened (it was renamed, replaced or deleted
// meanwhile). what() says where the rows went, in Polish.
class DatabaseMoved : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A connection string as a user gives it, made to last a change of working
// folder: a local file is made absolute from the working folder and, when
// not there as spelled, matched without regard to letter case, as LOG.DAT
// in a folder is. A connection through a server is returned unchanged.
std::string AbsoluteConnection(const std::string& connection);

class Callbook : public ICallbook {
 public:
  Callbook() = default;
  // Commits the writing transaction and closes the connection; silent (a
  // failed commit is rolled back), never throws.
  ~Callbook() override;
  Callbook(const Callbook&) = delete;
  Callbook& operator=(const Callbook&) = delete;

  // Ends the connection (committing the rows of the previous import), then
  // opens the database `file`, creates STACJE when it has none, starts a
  // fresh writing transaction and prepares the row statements. False when
  // the file cannot be opened (missing, not a database, held elsewhere).
  // Throws DatabaseError when the previous import's rows could not be
  // committed (they are rolled back and the connection is closed), and with
  // the server's text when the table cannot be created (nothing of it is
  // left) or its statements cannot be prepared.
  bool Open(const std::filesystem::path& file);
  // The same through a connection string as Firebird's client takes it
  // ("host:/path/LOG.DAT", "host/3050:C:\\Tolvo\\LOG.DAT"): the database is
  // reached through the server named there, whatever on-disk structure that
  // server opens. A string without a host is a local file, as for Open.
  bool OpenConnection(const std::string& connection);
  // End of program: commits the writing transaction and closes the
  // connection. Throws like Open when the commit fails.
  // Why the last Open failed, as one Polish line with what to do; empty
  // after a success.
  const std::string& OpenFailure() const { return openFailure_; }
  void Close();

  bool IsConnected() const { return connection_.IsOpen(); }

  // A trial run, set before Open: everything goes as in an import, but the
  // writing transaction is rolled back where it would be committed (at
  // Close, at the next Open, in the destructor), and nothing else is
  // committed either. A database without STACJE stays without it: the
  // table's creation is tried and rolled back, and the run goes on against
  // an empty table held in memory.
  void SetTrialRun(bool trial) { trial_ = trial; }

  // Asked about once a second while a row waits for a lock held by another
  // program: false gives the wait up (the row then fails with the lock's
  // error, as it does after kLockWaitSeconds). A window pumps its messages
  // here; without a handler the wait goes on to its limit.
  void SetLockWaitHandler(std::function<bool()> keepWaiting) {
    keepWaiting_ = std::move(keepWaiting);
  }

  // ICallbook; every operation needs a successful Open first.
  std::optional<StoredStation> Find(std::string_view callSign) override;
  void Insert(const StationRow& row) override;
  void FillLocator(std::string_view callSign, std::string_view locator) override;
  bool StoredRow(std::string_view callSign, StationRow& row) override;
  void ExpectStoredRows() override { wholeRows_ = true; }

 private:
  // The row statements on STACJE, prepared in the writing transaction, with
  // their buffers and the row last read or written.
  struct TableView {
    bool open = false;
    fb::Statement lookup;
    fb::Statement insert;
    fb::Statement update;
    fb::Statement everyStation;  // STACJA and LOKATOR of every row
    fb::Statement everyRow;      // the whole of every row, as the lookup returns it
    fb::Message key;             // the lookup's parameter
    fb::Message row;             // the row last read or written, as the lookup returns it
    fb::Message fetched;         // where the lookup fetches before a match is known
    fb::Message insertValues;
    fb::Message updateValues;
    // The call signs and locators as the writing transaction sees them;
    // read at the first lookup. Not used (every lookup asks the database)
    // when a stored value is wider than its entries hold.
    StationIndex index;
    bool indexRead = false;
    bool indexed = true;
    // The whole rows, by the index's numbers, when they were read with it
    // (rowsHeld); StoredRow asks the database otherwise.
    StationRows rows;
    bool rowsHeld = false;
    std::optional<std::uint32_t> lastFound;  // what the index gave last
    // The call sign (trailing blanks cut) of the row that `row` holds
    // whole: the one the last lookup read from the database, or the last
    // one written; nothing after a lookup the index answered.
    std::optional<std::string> rowKey;
  };

  void RequireOpen() const;
  // Whether `query` gives a row, asked in a short transaction of its own.
  bool HasRow(std::string_view query);
  // Executes one statement in a transaction of its own and commits it.
  void ExecuteAlone(std::string_view statement);
  bool StationsTableExists();
  void ClearCutOffCreation();
  // Makes STACJE with its indexes; in a trial run only tries to.
  void CreateStationsTable();
  void OpenTableView();
  void ReadIndex();
  // Keeps `row` (in the lookup's layout) as the whole row of the indexed
  // station `station`; false when it does not fit.
  bool HoldRow(std::uint32_t station, const fb::Message& row);
  // Asks the database for the row whose STACJA is `key` (trailing blanks
  // cut) and reads it whole into `row`; false when there is none.
  bool LookUpRow(std::string_view key);
  // Executes the INSERT or UPDATE with `values`; a refused row fails with
  // the station's call sign and the server's text. The written row then is
  // in `row` and in the index.
  void Write(fb::Statement& statement, fb::Message& values);
  // Ends the writing transaction by commit and detaches; throws when the
  // commit failed.
  void CloseConnection();
  // Open's work once the target is named: `attachTo` as the client takes
  // it, `cause` the reason of a refused attach.
  template <class Cause>
  bool Attach(const std::string& attachTo, Cause cause);

  // Executes a row statement, waiting for a lock up to kLockWaitSeconds.
  void ExecuteWaiting(fb::Statement& statement, fb::Message& values);
  // The lock conflict met when `callSign` is looked up outside the
  // snapshot, in its newest committed or uncommitted version: another
  // program's transaction holds that row. Nothing when no one does.
  std::optional<DatabaseError> KeyHeldElsewhere(std::string_view callSign);
  // Whether `transaction` sees a row of `callSign`.
  bool HasKey(fb::Transaction& transaction, std::string_view callSign);
  // Where the rows of a file that is no longer the one opened went; empty
  // while it still is.
  std::string WhereTheRowsWent() const;

  // Declared in the order of creation; destroyed the other way round.
  fb::Attachment connection_;
  fb::Transaction writing_;  // lookups, inserts and updates of station rows
  TableView stations_;
  std::string openFailure_;
  std::function<bool()> keepWaiting_;
  bool trial_ = false;
  bool wholeRows_ = false;  // see ExpectStoredRows
  // A trial run's STACJE where the database has none.
  std::unique_ptr<MemoryCallbook> unmade_;
  // The local file opened, as it was found then (device and inode); empty
  // for a connection through a server.
  std::filesystem::path openedFile_;
  std::uint64_t openedDevice_ = 0, openedInode_ = 0;
};

}  // namespace tolvo
