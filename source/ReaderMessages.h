// Every error text of the table and report readers, built in one place, in
// Polish (UTF-8), from the fault a reader raises (ReaderError) and its
// values: what is wrong with the file and, where the user can do something
// about it, what to do ("Pobierz listę ponownie i powtórz import.").
// Describe puts the file's name and ": " in front of each. The one text in
// English is the missing field's first line, which the program has always
// worded so.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "source/FileHelpers.h"
#include "source/ReaderError.h"

namespace tolvo::messages {

// The whole text of a reader's error: "<file>: " and the text of `fault`
// with its values, as the functions below word it.
std::string Describe(const std::string& file, ReaderFault fault, const ReaderFaultValues& values);

// --- opening and reading a file ------------------------------------------------
std::string FileNotFound(std::string_view folder);  // after the name looked for
// The system's reason `err`; when it is 0, the path leads to no regular
// file but to a `kind` of its own (OpenRegularFile).
std::string CannotOpen(int err, FileKind kind = FileKind::Regular);
std::string CannotClose(int err);
std::string ReadError(int err);
std::string NotOpen();
std::string TableNotOpen();
std::string ReportNotOpen();  // a report read before any was opened: the whole text
std::string ChangedWhileRead();
// Line `line` of a report is longer than `bound` bytes.
std::string ReportLineTooLong(std::int64_t line, std::size_t bound);

// --- the table header ----------------------------------------------------------
std::string TooShortForTable(std::uint64_t fileSize);
std::string CannotReadHeader(int err);
std::string Dbase7();
std::string UnknownVersion(unsigned version);
std::string NoRoomForField(std::size_t headerLength);
std::string HeaderCutShort(std::size_t headerLength, std::uint64_t fileSize);
std::string CannotReadDescriptors(int err);
std::string DamagedDescriptor(std::size_t number, unsigned typeByte);
std::string DescriptorsDoNotEnd(std::size_t headerLength);
std::string NoFields();
std::string RecordShorterThanFields(std::size_t recordLength, std::size_t fieldBytes);
std::string RecordsDoNotFit(std::int64_t records, std::size_t recordLength,
                            std::size_t headerLength, std::uint64_t fileSize);
// The header counts no record, yet the file holds `present` whole records.
std::string HeaderCountsNoRecords(std::uint64_t present);
// How a field is named in a message: "pole NAME", or "pole nr N" for a field
// without a name.
std::string FieldLabel(std::string_view name, std::size_t number);
std::string WrongFieldLength(std::string_view label, char type, std::size_t length,
                             std::size_t want);
std::string ZeroFieldLength(std::string_view label);
// `whileOpen`: found when the table was started again, else while its
// records were read.
std::string StructureChanged(bool whileOpen);

// --- records and fields --------------------------------------------------------
std::string CannotReadRecords(int err);
std::string CannotReadRecord(std::int64_t number, int err);
std::string EndsInsideRecord(std::int64_t number, std::int64_t declared);
// The whole text: the fixed line with the reader's component name in front,
// and under it the cause, naming the file and the list it was taken for.
std::string FieldNotFound(std::string_view component, std::string_view name,
                          std::string_view fileName, std::string_view listName);
std::string FieldOfAnotherTable(std::string_view name);
std::string UnreadableFieldType(std::string_view name, char type);

// --- memo files ----------------------------------------------------------------
std::string MemoMissing(std::string_view memoName);
std::string CannotOpenMemo(std::string_view memoName, int err, FileKind kind = FileKind::Regular);
std::string MemoHeaderCutShort(std::string_view memoName);
std::string CannotReadMemo(std::string_view memoName, int err);
std::string MemoCutShort(std::string_view memoName);
std::string DamagedMemoReference(std::int64_t record, std::string_view field);
// What is wrong with one memo block.
enum class MemoBlockFault { BeyondEnd, CutShort, RunsPastEnd, Damaged };
std::string BadMemoBlock(std::int64_t record, std::uint64_t block, MemoBlockFault fault,
                         std::string_view memoName);

}  // namespace tolvo::messages
