#include "source/ReaderMessages.h"

#include "source/FileHelpers.h"

namespace tolvo::messages {
namespace {

std::string N(std::uint64_t n) { return std::to_string(n); }
std::string S(std::string_view s) { return std::string(s); }

std::string Hex(unsigned value) {
  static const char digits[] = "0123456789ABCDEF";
  return std::string("0x") + digits[(value >> 4) & 0xF] + digits[value & 0xF];
}

}  // namespace

std::string FileNotFound(std::string_view folder) {
  return "file not found in the working folder " + S(folder);
}
std::string CannotOpen(int err) { return "cannot open the file: " + ErrnoText(err); }
std::string CannotClose(int err) { return "cannot close the file: " + ErrnoText(err); }
std::string ReadError(int err) { return "read error: " + ErrnoText(err); }
std::string NotOpen() { return "not open"; }
std::string TableNotOpen() { return "the table is not open"; }
std::string ReportNotOpen() { return "report: not open"; }
std::string ChangedWhileRead() { return "the file changed while it was being read"; }

std::string TooShortForTable(std::uint64_t fileSize) {
  return "not a dBASE table: the file is only " + N(fileSize) + " bytes long";
}
std::string CannotReadHeader(int err) { return "cannot read the table header: " + ErrnoText(err); }
std::string Dbase7() { return "dBASE 7 tables are not supported"; }
std::string UnknownVersion(unsigned version) {
  return "not a dBASE table (unknown version byte " + Hex(version) + ")";
}
std::string NoRoomForField(std::size_t headerLength) {
  return "damaged header: the header length " + N(headerLength) + " leaves no room for a field";
}
std::string HeaderCutShort(std::size_t headerLength, std::uint64_t fileSize) {
  return "the header is cut short: it declares " + N(headerLength) + " bytes, the file has " +
         N(fileSize);
}
std::string CannotReadDescriptors(int err) {
  return "cannot read the field descriptors: " + ErrnoText(err);
}
std::string DamagedDescriptor(std::size_t number, unsigned typeByte) {
  return "damaged field descriptor " + N(number) + " (type byte " + Hex(typeByte) + ")";
}
std::string DescriptorsDoNotEnd(std::size_t headerLength) {
  return "damaged header: the field descriptors do not end within the header length " +
         N(headerLength);
}
std::string NoFields() { return "damaged header: the table has no fields"; }
std::string RecordShorterThanFields(std::size_t recordLength, std::size_t fieldBytes) {
  return "damaged header: the record length " + N(recordLength) + " is shorter than its fields (" +
         N(fieldBytes) + " bytes)";
}
std::string RecordsDoNotFit(std::int64_t records, std::size_t recordLength,
                            std::size_t headerLength, std::uint64_t fileSize) {
  return "damaged header: its " + std::to_string(records) + " records of " + N(recordLength) +
         " bytes after a header of " + N(headerLength) + " bytes do not fit the file of " +
         N(fileSize) + " bytes";
}
std::string FieldLabel(std::string_view name, std::size_t number) {
  return "field " + (name.empty() ? "#" + N(number) : S(name));
}
std::string WrongFieldLength(std::string_view label, char type, std::size_t length,
                             std::size_t want) {
  return S(label) + " of type " + std::string(1, type) + " has length " + N(length) +
         " instead of " + N(want);
}
std::string ZeroFieldLength(std::string_view label) { return S(label) + " has length 0"; }
std::string StructureChanged(bool whileOpen) {
  return whileOpen ? "the table's structure changed while it was open"
                   : "the table's structure changed while it was being read";
}

std::string CannotReadRecords(int err) { return "cannot read the records: " + ErrnoText(err); }
std::string CannotReadRecord(std::int64_t number, int err) {
  return "cannot read record " + std::to_string(number) + ": " + ErrnoText(err);
}
std::string EndsInsideRecord(std::int64_t number, std::int64_t declared) {
  return "the file ends inside record " + std::to_string(number) + " of the " +
         std::to_string(declared) + " that its header declares";
}
std::string FieldNotFound(std::string_view component, std::string_view name) {
  return S(component) + ": Field '" + S(name) + "' not found";
}
std::string FieldOfAnotherTable(std::string_view name) {
  return "field " + S(name) + " does not belong to this table";
}
std::string UnreadableFieldType(std::string_view name, char type) {
  return "field " + S(name) + " has type '" + std::string(1, type) +
         "', which this reader cannot read";
}

std::string MemoMissing(std::string_view memoName) {
  return "the memo file " + S(memoName) + " is missing";
}
std::string CannotOpenMemo(std::string_view memoName, int err) {
  return "cannot open the memo file " + S(memoName) + ": " + ErrnoText(err);
}
std::string MemoHeaderCutShort(std::string_view memoName) {
  return "the memo file " + S(memoName) + " is damaged (its header is cut short)";
}
std::string CannotReadMemo(std::string_view memoName, int err) {
  return "cannot read the memo file " + S(memoName) + ": " + ErrnoText(err);
}
std::string MemoCutShort(std::string_view memoName) {
  return "the memo file " + S(memoName) + " is cut short";
}
std::string DamagedMemoReference(std::int64_t record, std::string_view field) {
  return "record " + std::to_string(record) + ": field " + S(field) +
         " holds a damaged memo reference";
}
std::string BadMemoBlock(std::int64_t record, std::uint64_t block, MemoBlockFault fault,
                         std::string_view memoName) {
  const char* what = "";
  switch (fault) {
    case MemoBlockFault::BeyondEnd: what = " lies beyond the end of"; break;
    case MemoBlockFault::CutShort: what = " is cut short in"; break;
    case MemoBlockFault::RunsPastEnd: what = " runs past the end of"; break;
    case MemoBlockFault::Damaged: what = " is damaged in"; break;
  }
  return "record " + std::to_string(record) + ": memo block " + N(block) + what +
         " the memo file " + S(memoName);
}

}  // namespace tolvo::messages
