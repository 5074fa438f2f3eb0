#include "source/DbfLayout.h"

#include <algorithm>
#include <cerrno>

#include "source/DbfFieldTypes.h"
#include "source/LittleEndian.h"

namespace tolvo {
namespace {

constexpr std::size_t kFileHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr char kDescriptorEnd = 0x0D;
constexpr int kEndOfFile = 0x1A;

// Table versions this reader understands (the first header byte).
bool KnownVersion(std::uint8_t v) {
  switch (v) {
    case 0x03:  // dBASE III+, IV, 5, FoxBASE+, FoxPro, Clipper without memo
    case 0x05:  // dBASE 5 without memo
    case 0x30:  // Visual FoxPro
    case 0x31:  // Visual FoxPro with an autoincrement field
    case 0x32:  // Visual FoxPro with varchar or varbinary fields
    case 0x43:  // dBASE IV SQL table
    case 0x63:  // dBASE IV SQL system table
    case 0x83:  // dBASE III+ with memo
    case 0x8B:  // dBASE IV with memo
    case 0x8E:  // dBASE IV with SQL table
    case 0xCB:  // dBASE IV SQL table with memo
    case 0xE5:  // Clipper SMT memo
    case 0xF5:  // FoxPro 2.x with memo
    case 0xFB:  // FoxBASE with memo
      return true;
    default: return false;
  }
}

bool IsVisualFoxPro(std::uint8_t v) { return v == 0x30 || v == 0x31 || v == 0x32; }

// The first 32 bytes: version, record count, header and record length.
DbfLayout ReadFileHeader(std::FILE* file, std::uint64_t fileSize, const std::string& fileName) {
  if (fileSize < kFileHeaderSize)
    throw ReaderError(fileName, ReaderFault::TooShortForTable, {.fileSize = fileSize});
  unsigned char head[kFileHeaderSize];
  if (!Seek(file, 0) || std::fread(head, 1, sizeof head, file) != sizeof head)
    throw ReaderError(fileName, ReaderFault::CannotReadHeader, {.err = errno});

  DbfLayout layout;
  layout.version = head[0];
  if (layout.version == 0x04 || layout.version == 0x8C)
    throw ReaderError(fileName, ReaderFault::Dbase7);
  if (!KnownVersion(layout.version))
    throw ReaderError(fileName, ReaderFault::UnknownVersion, {.byte = layout.version});
  layout.recordCount = Le32(head + 4);
  layout.headerLength = Le16(head + 8);
  layout.recordLength = Le16(head + 10);
  if (layout.headerLength < kFileHeaderSize + kDescriptorSize)
    throw ReaderError(fileName, ReaderFault::NoRoomForField, {.headerLength = layout.headerLength});
  if (layout.headerLength > fileSize)
    throw ReaderError(fileName, ReaderFault::HeaderCutShort,
                      {.fileSize = fileSize, .headerLength = layout.headerLength});
  return layout;
}

}  // namespace

bool DbfLayout::VisualFoxPro() const { return IsVisualFoxPro(version); }
bool DbfLayout::FoxPro() const { return VisualFoxPro() || version == 0xF5 || version == 0xFB; }

bool DbfLayout::HasMemo() const {
  return std::any_of(fields.begin(), fields.end(),
                     [](const DbfField& f) { return f.kind_ && !f.kind_->text; });
}

bool DbfLayout::SameStructure(const DbfLayout& other) const {
  return version == other.version && headerLength == other.headerLength &&
         recordLength == other.recordLength && descriptorBytes == other.descriptorBytes;
}

DbfField DbfLayout::ParseDescriptor(const unsigned char* d, std::size_t number,
                                    const std::string& fileName) const {
  DbfField f;
  const auto* nameEnd = std::find(d, d + 11, '\0');
  f.name_ = std::string(WithoutTrailingPadding(
      std::string_view(reinterpret_cast<const char*>(d), static_cast<std::size_t>(nameEnd - d))));
  f.type_ = static_cast<char>(d[11]);
  f.length_ = d[16];
  f.decimals_ = d[17];
  if (d[11] < 0x21 || d[11] > 0x7E)
    throw ReaderError(fileName, ReaderFault::DamagedDescriptor, {.field = number, .byte = d[11]});

  f.kind_ = FindFieldType(f.type_, VisualFoxPro());
  if (f.kind_ && f.kind_->length && f.length_ != f.kind_->length)
    throw ReaderError(fileName, ReaderFault::WrongFieldLength,
                      {.length = f.length_,
                       .expected = f.kind_->length,
                       .field = number,
                       .type = f.type_,
                       .name = f.name_});
  if (f.kind_ && f.kind_->lengthHighByteInDecimals) {
    // Character fields longer than 255 keep the high byte of their length
    // in the decimals byte.
    f.length_ += static_cast<std::size_t>(f.decimals_) << 8;
    f.decimals_ = 0;
  }
  if (f.length_ == 0)
    throw ReaderError(fileName, ReaderFault::ZeroFieldLength, {.field = number, .name = f.name_});
  return f;
}

bool DbfLayout::RecordFollows(std::FILE* file) {
  const int flag = std::fgetc(file);
  return flag == EOF || flag == ' ' || flag == '*' || flag == kEndOfFile;
}

void DbfLayout::ReadDescriptors(std::FILE* file, const std::string& fileName) {
  // The header length is at most 65535, checked against the file before.
  std::string header(headerLength - kFileHeaderSize, '\0');
  if (std::fread(header.data(), 1, header.size(), file) != header.size())
    throw ReaderError(fileName, ReaderFault::CannotReadDescriptors, {.err = errno});

  std::size_t pos = 0;
  std::size_t sum = 0;
  bool terminated = false;
  while (pos < header.size()) {
    if (header[pos] == kDescriptorEnd) {
      terminated = true;
      break;
    }
    if (pos + kDescriptorSize > header.size()) break;
    DbfField f = ParseDescriptor(reinterpret_cast<const unsigned char*>(header.data() + pos),
                                 pos / kDescriptorSize + 1, fileName);
    f.offset_ = sum;
    sum += f.length_;
    fields.push_back(std::move(f));
    pos += kDescriptorSize;
  }
  // Some writers leave out the terminator. The header length then still
  // says where the records begin, as long as it ends with a whole field
  // descriptor and a record's deletion flag follows; a header length that
  // cuts the descriptors short would have the records read from the
  // middle of one.
  if (!terminated && (pos != header.size() || !RecordFollows(file)))
    throw ReaderError(fileName, ReaderFault::DescriptorsDoNotEnd, {.headerLength = headerLength});
  if (fields.empty()) throw ReaderError(fileName, ReaderFault::NoFields);
  // Bytes after the last field (some writers pad records) are passed over;
  // records shorter than their fields would be read misaligned.
  if (recordLength < sum + 1)
    throw ReaderError(fileName, ReaderFault::RecordShorterThanFields,
                      {.recordLength = recordLength, .length = sum + 1});
  descriptorBytes.assign(header, 0, pos);
}

void DbfLayout::CheckRecordsFit(std::FILE* file, std::uint64_t fileSize,
                                const std::string& fileName) const {
  // A file too short for its records may just have a record count that was
  // never brought up to date, or have been cut at a record's end: the whole
  // records are read and the first missing one raises. When the records do
  // not even end on a record boundary, the header's lengths do not belong to
  // this file, and every record would be read from the wrong place.
  const std::uint64_t data = fileSize - headerLength;
  const std::uint64_t declared = static_cast<std::uint64_t>(recordCount) * recordLength;
  const std::uint64_t tail = data % recordLength;
  if (data < declared && tail > 1)  // 1: the end-of-file mark
    throw ReaderError(fileName, ReaderFault::RecordsDoNotFit,
                      {.records = recordCount,
                       .fileSize = fileSize,
                       .headerLength = headerLength,
                       .recordLength = recordLength});
  // A header that counts no record, before whole records that begin with a
  // deletion flag: its count was never written, and reading the table as
  // empty would lose them all. (A record is at least two bytes long, so the
  // end-of-file mark alone is none.)
  const std::uint64_t present = data / recordLength;
  if (recordCount != 0 || present == 0 || !Seek(file, headerLength)) return;
  const int flag = std::fgetc(file);
  if (flag == ' ' || flag == '*')
    throw ReaderError(fileName, ReaderFault::HeaderCountsNoRecords,
                      {.records = static_cast<std::int64_t>(present)});
}

DbfLayout DbfLayout::Read(std::FILE* file, std::uint64_t fileSize, bool requireRecords,
                          const std::string& fileName) {
  // From the file as it is now: a seek inside what is buffered would keep
  // the buffered bytes, which may be older.
  std::fflush(file);
  DbfLayout layout = ReadFileHeader(file, fileSize, fileName);
  layout.ReadDescriptors(file, fileName);
  if (requireRecords) layout.CheckRecordsFit(file, fileSize, fileName);
  return layout;
}

}  // namespace tolvo
