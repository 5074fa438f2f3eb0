// The one error of the table and report readers: what went wrong, as a code
// with the values it names (the record, the field, the sizes, the system's
// reason). ReaderMessages makes the Polish text of it, which what() gives,
// headed by the file's name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "source/FileHelpers.h"

namespace tolvo {

// Each fault names the values it uses after it.
enum class ReaderFault {
  // opening and reading a file
  FileNotFound,  // name: the folder looked in
  CannotOpen,    // err, kind
  CannotClose,   // err
  ReadError,     // err
  NotOpen,
  TableNotOpen,
  ReportNotOpen,  // a report read before any was opened (no file to name)
  ChangedWhileRead,
  ReportLineTooLong,  // record: the line, length: the bound
  // the table header
  TooShortForTable,  // fileSize
  CannotReadHeader,  // err
  Dbase7,
  UnknownVersion,         // byte
  NoRoomForField,         // headerLength
  HeaderCutShort,         // headerLength, fileSize
  CannotReadDescriptors,  // err
  DamagedDescriptor,      // field, byte: its type byte
  DescriptorsDoNotEnd,    // headerLength
  NoFields,
  RecordShorterThanFields,  // recordLength, length: what the fields need
  RecordsDoNotFit,          // records, recordLength, headerLength, fileSize
  HeaderCountsNoRecords,    // records: the whole records present
  WrongFieldLength,         // name, field, type, length, expected
  ZeroFieldLength,          // name, field
  StructureChangedSinceOpen,
  StructureChangedWhileRead,
  // records and fields
  CannotReadRecords,    // err
  CannotReadRecord,     // record, err
  EndsInsideRecord,     // record, records: those the header declares
  FieldNotFound,        // name, component, list
  FieldOfAnotherTable,  // name
  UnreadableFieldType,  // name, type
  // memo files
  MemoMissing,           // memo
  CannotOpenMemo,        // memo, err, kind
  MemoHeaderCutShort,    // memo
  CannotReadMemo,        // memo, err
  MemoCutShort,          // memo
  DamagedMemoReference,  // record, name: the field
  MemoBlockBeyondEnd,    // record, block, memo
  MemoBlockCutShort,     // record, block, memo
  MemoBlockRunsPastEnd,  // record, block, memo
  MemoBlockDamaged,      // record, block, memo
};

struct ReaderFaultValues {
  int err = 0;                        // the system's reason (errno)
  FileKind kind = FileKind::Regular;  // what stands where the file should be
  std::int64_t record = 0;            // a record's number from 1, or a report line's
  std::int64_t records = 0;           // a count of records
  std::uint64_t fileSize = 0;
  std::size_t headerLength = 0;
  std::size_t recordLength = 0;
  std::size_t length = 0;    // a field's length, or another count of bytes
  std::size_t expected = 0;  // the length a field of its type has
  std::size_t field = 0;     // a field's number from 1
  std::uint64_t block = 0;   // a memo block's number
  unsigned byte = 0;         // a version or type byte
  char type = 0;             // a field's type letter
  std::string name{};        // a field's name, or the folder looked in
  std::string memo{};        // the memo file's name
  std::string component{};   // the reader's name, for the missing field's first line
  std::string list{};        // the list the table was opened as
};

class ReaderError : public std::runtime_error {
 public:
  // `file` heads the text ("<file>: ..."); ReportNotOpen names none.
  ReaderError(std::string file, ReaderFault fault, ReaderFaultValues values = {});

  const std::string& file() const { return file_; }
  ReaderFault fault() const { return fault_; }
  const ReaderFaultValues& values() const { return values_; }

 private:
  std::string file_;
  ReaderFault fault_;
  ReaderFaultValues values_;
};

}  // namespace tolvo
