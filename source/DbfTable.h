// A read-only, streaming reader of dBASE tables (.DBF): dBASE III, IV and 5,
// FoxPro and Visual FoxPro, with their memo files (.DBT, .FPT). One record is
// held in memory at a time; values come back as text with the stored bytes.
// A table written to while it is read is read as it is now, as long as its
// header still describes the same records; otherwise the reader raises.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "source/RecordFields.h"

namespace tolvo {

// Every failure of the reader: a file that is not a dBASE table, is damaged
// or cut short, cannot be read, or a field that the table lacks.
class DbfError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TDbfTable;

// One field of the table's current record.
class TDbfField {
 public:
  const std::string& name() const { return name_; }
  char type() const { return type_; }            // 'C', 'N', 'M', ...
  std::size_t length() const { return length_; }  // bytes in the record
  unsigned decimals() const { return decimals_; }

  // The value in the current record as text ("" when there is no current
  // record):
  //   C  the stored bytes, trailing blanks and NULs removed
  //   N F  the stored digits without surrounding blanks
  //   L  "T", "F" or "" (not set)
  //   D  the stored "YYYYMMDD" ("" when blank)
  //   I  the 32-bit integer in decimal
  //   Y  the currency value with four decimals
  //   B O  (binary double) the number in shortest form
  //   T  (date and time) "YYYYMMDDhhmmss" ("" when blank)
  //   M G P, B in dBASE tables  the memo's bytes ("" when there is none), at
  //                             most the first TDbfTable::kMemoKeep of them
  std::string AsString() const;

 private:
  friend class TDbfTable;
  enum class Kind { Bytes, Number, Logical, Date, Integer, Currency, Double, DateTime,
                    Memo, Unsupported };

  const TDbfTable* table_ = nullptr;
  std::string name_;
  char type_ = 'C';
  Kind kind_ = Kind::Bytes;
  std::size_t offset_ = 0;  // within the record, after the deletion flag
  std::size_t length_ = 0;
  unsigned decimals_ = 0;
};

class TDbfTable : public IRecordFields {
 public:
  // Only the first kMemoKeep bytes of a memo are read and kept, so that a
  // memo that never ends (a damaged memo file) costs no more than that.
  static constexpr std::size_t kMemoKeep = 1 << 16;

  // `componentName` names the reader in error texts ("Calls"); `tableName`
  // is the file looked up, without regard to case, in the working folder.
  TDbfTable(std::string componentName, std::string tableName);
  ~TDbfTable() override;
  TDbfTable(const TDbfTable&) = delete;
  TDbfTable& operator=(const TDbfTable&) = delete;

  // Opens the table and moves to its first record. Does nothing when the
  // table is already open, unless the working folder's file of that name is
  // no longer the one that was opened (it was replaced): then that file is
  // opened instead.
  void Open();
  bool Active() const { return file_ != nullptr; }
  void Close();

  // The number of records that the header declares, deleted ones included.
  std::int64_t RecordCount() const { return Active() ? recordCount_ : 0; }

  // Moves to the first record that is not marked deleted. Re-reads the
  // header first: a table whose layout changed under the reader raises,
  // a changed record count is taken over.
  void First();
  // True when there is no current record: an empty table, or after Next
  // has left the last record. Records marked deleted are passed over.
  bool Eof() const { return !Active() || eof_; }
  // The physical number of the current record, from 1; 0 when there is none.
  std::int64_t RecNo() const { return Eof() ? 0 : recNo_; }
  // Moves to the following record that is not marked deleted. A record that
  // the file does not hold in full raises, and so does a header rewritten
  // with another structure since the table was opened.
  void Next();

  // The field of that name, matched without regard to ASCII case. A name
  // the table lacks raises "<component>: Field '<name>' not found".
  const TDbfField& FieldByName(std::string_view name) const;
  std::string FieldAsString(std::string_view name) const override {
    return FieldByName(name).AsString();
  }

  const std::vector<TDbfField>& Fields() const { return fields_; }
  // The file that was opened (empty when closed).
  const std::filesystem::path& Path() const { return path_; }

 private:
  friend class TDbfField;
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  using FilePtr = std::unique_ptr<std::FILE, FileCloser>;
  enum class MemoKind { None, Dbase, FoxPro };

  // What tells whether a file was written to, or is another file.
  struct FileStamp {
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t seconds = 0, nanoseconds = 0;  // last modification
    bool operator==(const FileStamp&) const = default;
  };
  static FileStamp StampOf(std::FILE* file);

  struct Layout {
    std::uint8_t version = 0;
    std::int64_t recordCount = 0;
    std::size_t headerLength = 0;
    std::size_t recordLength = 0;
    std::vector<TDbfField> fields;
    std::string descriptorBytes;  // for recognising a changed layout
  };

  [[noreturn]] void Fail(const std::string& what) const;
  // The header of the file. With `requireRecords`, a header whose records
  // neither fit the file nor end on a record boundary is refused too.
  Layout ReadLayout(std::FILE* file, std::uint64_t fileSize, bool requireRecords) const;
  bool SameFileAsOpened() const;
  void NoticeChanges();
  void OpenMemo();
  void ReadNext();
  std::string MemoText(const TDbfField& field) const;
  std::string ReadMemoBlock(std::uint64_t block) const;
  void ReadMemoBytes(std::uint64_t offset, std::size_t count, char* out) const;

  std::string componentName_;
  std::string tableName_;
  std::filesystem::path path_;
  std::string displayName_;  // the file's name in error texts

  FilePtr file_;
  FileStamp stamp_;  // of the table file when its header was last read
  std::uint8_t version_ = 0;
  std::int64_t recordCount_ = 0;
  std::size_t headerLength_ = 0;
  std::size_t recordLength_ = 0;
  std::string descriptorBytes_;
  std::vector<TDbfField> fields_;
  std::vector<std::string> upperNames_;

  std::vector<char> record_;  // the current record, deletion flag first
  std::int64_t recNo_ = 0;
  std::int64_t nextRecNo_ = 1;  // physical number of the record the file is at
  bool eof_ = true;

  FilePtr memo_;
  std::filesystem::path memoPath_;
  std::string memoName_;
  MemoKind memoKind_ = MemoKind::None;
  std::uint64_t memoSize_ = 0;
  // Where the memo file stands after the last read of ReadMemoBytes.
  static constexpr std::uint64_t kUnknownMemoPos = ~std::uint64_t{0};
  mutable std::uint64_t memoPos_ = kUnknownMemoPos;
  std::uint64_t memoBlockSize_ = 512;
};

}  // namespace tolvo
