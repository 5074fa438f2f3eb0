// The callbook store: the one connection to LOG.DAT in the working folder, the
// table STACJE (created with its indexes when the database has none yet), and
// the lookup, insertion and update of station rows inside the writing
// transaction. Rows stay uncommitted until the next OpenCallbook or Close.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/Firebird.h"
#include "store/ICallbook.h"

namespace tolvo {

// The beginning of the error raised when the rows of the previous import
// could not be committed; the database's own text follows it.
inline constexpr std::string_view kPreviousImportLost =
    "Nie udało się zapisać w bazie danych poprzedniego importu: ";

class TCallbook : public ICallbook {
 public:
  TCallbook() = default;
  // Commits active transactions and closes the connection; silent (a failed
  // commit is rolled back), never throws.
  ~TCallbook() override;
  TCallbook(const TCallbook&) = delete;
  TCallbook& operator=(const TCallbook&) = delete;

  // Closes the connection (committing its transactions), then opens LOG.DAT
  // of the working folder again. False when the file is missing or cannot be
  // opened. Throws DatabaseError when the rows of the previous import could
  // not be committed (they are rolled back and the connection is closed).
  bool ConnectDatabase();
  // Why the last ConnectDatabase (or OpenCallbook) failed, as one Polish
  // line with what to do; empty after a success.
  const std::string& OpenFailure() const { return openFailure_; }
  // Whether the database has the table STACJE.
  bool StationsTableExists();
  // Creates STACJE, its primary key and its ten indexes in the schema
  // transaction, which is committed however the sequence ends. True, or a
  // DatabaseError from the failing statement.
  bool CreateStationsTable();
  // Reconnects, creates STACJE if missing, starts a fresh writing
  // transaction and opens the table view. False only when the connection
  // cannot be opened.
  bool OpenCallbook();
  // End of program: commits the active transactions and closes the
  // connection. Throws like ConnectDatabase when the commit fails.
  void Close();

  bool IsConnected() const { return Baza.IsOpen(); }

  // ICallbook; every operation needs a successful OpenCallbook first.
  bool FindStation(std::string_view callSign) override;
  std::string FieldAsString(StationField field) const override;
  void AppendStation() override;
  void EditStation() override;
  void SetField(StationField field, std::string_view value) override;
  void SetKraj(std::int16_t kraj) override;
  void PostStation() override;

 private:
  // The table view: the prepared lookup, INSERT and UPDATE with their
  // buffers, the current row and the pending row.
  struct TableView {
    enum class Pending { None, New, Edit };
    bool open = false;
    fb::Statement lookup;
    fb::Statement insert;
    fb::Statement update;
    fb::Message key;      // the lookup's parameter
    fb::Message row;      // the current row, as the lookup returns it
    fb::Message fetched;  // where the lookup fetches before a match is known
    fb::Message insertValues;
    fb::Message updateValues;
    bool hasCurrent = false;
    Pending pending = Pending::None;
  };

  void RequireConnection() const;
  void RequireOpen() const;
  fb::Message& PendingValues();
  void OpenStacje();
  void CloseStacje() noexcept;
  void ExecuteTworzStacje();
  // Ends the transactions by commit and detaches; throws when a commit failed.
  void CloseConnection();

  // Declared in the order of creation; destroyed the other way round.
  fb::Attachment Baza;
  fb::Transaction trTworzStacje;
  fb::Transaction trStacje;
  std::string TworzStacje;  // text of the schema statement, run in trTworzStacje
  TableView Stacje;
  std::string openFailure_;
};

}  // namespace tolvo
