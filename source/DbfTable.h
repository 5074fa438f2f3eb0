// A read-only, streaming reader of dBASE tables (.DBF): dBASE III, IV and 5,
// FoxPro and Visual FoxPro, with their memo files (.DBT, .FPT). One record is
// held in memory at a time; values come back as text with the stored bytes.
// A table written to while it is read is read as it is now, as long as its
// header still describes the same records; otherwise the reader raises.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "source/DbfField.h"
#include "source/DbfLayout.h"
#include "source/DbfMemo.h"
#include "source/FileHelpers.h"
#include "source/RecordFields.h"

namespace tolvo {

class DbfTable : public IRecordFields {
 public:
  // Only the first kMemoKeep bytes of a memo are read and kept, so that a
  // memo that never ends (a damaged memo file) costs no more than that.
  static constexpr std::size_t kMemoKeep = DbfMemoFile::kKeep;

  // `componentName` names the reader in error texts ("Calls"); `tableName`
  // is the file looked up, without regard to case, in the working folder.
  DbfTable(std::string componentName, std::string tableName);
  ~DbfTable() override;
  DbfTable(const DbfTable&) = delete;
  DbfTable& operator=(const DbfTable&) = delete;

  // How far First and Next may go among records marked deleted. Pass::All
  // passes over any number of them. Pass::Some, for a walk that asks between
  // records whether to stop, passes over about kPassOverBytes of them in a
  // row at most: when that is where it stops, Passing() is true, there is no
  // current record (Eof()), and the next Next goes on from there.
  enum class Pass { All, Some };
  static constexpr std::size_t kPassOverBytes = 1 << 18;

  // Opens the table and moves to its first record, as First(pass). Does
  // nothing when the table is already open, unless the working folder's file
  // of that name is no longer the one that was opened (it was replaced):
  // then that file is opened instead.
  void Open(Pass pass = Pass::All);
  bool Active() const { return file_ != nullptr; }
  void Close();

  // The number of records that the header declares, deleted ones included.
  std::int64_t RecordCount() const { return Active() ? layout_.recordCount : 0; }

  // Moves to the first record that is not marked deleted. Re-reads the
  // header first: a table whose layout changed under the reader raises,
  // a changed record count is taken over.
  void First(Pass pass = Pass::All);
  // True when there is no current record: an empty table, or after Next
  // has left the last record. Records marked deleted are passed over.
  bool Eof() const { return !Active() || eof_; }
  // The physical number of the current record, from 1; 0 when there is none.
  std::int64_t RecNo() const { return Eof() ? 0 : recNo_; }
  // Moves to the following record that is not marked deleted. A record that
  // the file does not hold in full raises, and so does a header rewritten
  // with another structure since the table was opened.
  void Next(Pass pass = Pass::All);
  // First or Next with Pass::Some stopped among records marked deleted.
  bool Passing() const { return Active() && passing_; }
  // The records marked deleted that First and Next have passed over since
  // First.
  std::int64_t DeletedPassed() const { return Active() ? deleted_ : 0; }

  // The field of that name, matched without regard to ASCII case. A name
  // the table lacks raises "<component>: Field '<name>' not found", with a
  // second line in Polish naming the file.
  const DbfField& FieldByName(std::string_view name) const;
  std::string FieldAsString(std::string_view name) const override {
    return FieldByName(name).AsString();
  }

  const std::vector<DbfField>& Fields() const { return layout_.fields; }
  // The file that was opened (empty when closed).
  const std::filesystem::path& Path() const { return path_; }

 private:
  friend class DbfField;

  [[noreturn]] void Fail(ReaderFault fault, ReaderFaultValues values = {}) const;
  const std::string& NameInMessages() const;
  bool SameFileAsOpened() const;
  // Re-reads the header after the file changed; it must describe the same
  // records. `whileOpen` tells the message which of the two it was.
  void TakeOverHeader(const FileStamp& now, bool requireRecords, bool whileOpen);
  void NoticeChanges();
  void ReadNext(Pass pass);
  std::string MemoText(const DbfField& field) const;

  std::string componentName_;
  std::string tableName_;
  std::filesystem::path path_;
  std::string displayName_;  // the file's name in error texts

  FilePtr file_;
  FileStamp stamp_;  // of the table file when its header was last read
  DbfLayout layout_;

  std::vector<char> record_;  // the current record, deletion flag first
  std::int64_t recNo_ = 0;
  std::int64_t nextRecNo_ = 1;  // physical number of the record the file is at
  bool eof_ = true;
  bool passing_ = false;      // stopped among deleted records, not at the end
  std::int64_t deleted_ = 0;  // records marked deleted passed over since First

  DbfMemoFile memo_;
};

}  // namespace tolvo
