#include "source/DbfTable.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "source/FileLookup.h"
#include "text/FieldText.h"

namespace tolvo {
namespace {

constexpr std::size_t kFileBuffer = 1 << 16;
constexpr std::size_t kDescriptorSize = 32;
constexpr std::size_t kFileHeaderSize = 32;
constexpr char kDescriptorEnd = 0x0D;

std::uint16_t Le16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint64_t Le64(const unsigned char* p) {
  return static_cast<std::uint64_t>(Le32(p)) | (static_cast<std::uint64_t>(Le32(p + 4)) << 32);
}
std::uint16_t Be16(const unsigned char* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
std::uint32_t Be32(const unsigned char* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

std::string Hex(unsigned value) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s = "0x";
  s += digits[(value >> 4) & 0xF];
  s += digits[value & 0xF];
  return s;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool EqualsUpper(std::string_view name, const std::string& upper) {
  if (name.size() != upper.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper[i]) return false;
  }
  return true;
}

bool IsPad(char c) { return c == ' ' || c == '\0'; }

std::string_view TrimRight(std::string_view s) { return StripTrailing(s, IsPad); }
std::string_view Trim(std::string_view s) {
  s = TrimRight(s);
  while (!s.empty() && IsPad(s.front())) s.remove_prefix(1);
  return s;
}

std::uint64_t FileSize(std::FILE* f) {
  struct stat st {};
  if (fstat(fileno(f), &st) != 0) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

bool Seek(std::FILE* f, std::uint64_t offset) {
  return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
}

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
    default:
      return false;
  }
}

bool IsVisualFoxPro(std::uint8_t v) { return v == 0x30 || v == 0x31 || v == 0x32; }
bool IsFoxPro(std::uint8_t v) { return IsVisualFoxPro(v) || v == 0xF5 || v == 0xFB; }

std::string ErrnoText(int err) { return err ? std::strerror(err) : "unknown error"; }

// Proleptic Gregorian date of a Julian day number.
void CivilFromJulianDay(std::int64_t jd, int& year, int& month, int& day) {
  std::int64_t l = jd + 68569;
  const std::int64_t n = 4 * l / 146097;
  l -= (146097 * n + 3) / 4;
  const std::int64_t i = 4000 * (l + 1) / 1461001;
  l -= 1461 * i / 4 - 31;
  const std::int64_t j = 80 * l / 2447;
  day = static_cast<int>(l - 2447 * j / 80);
  l = j / 11;
  month = static_cast<int>(j + 2 - 12 * l);
  year = static_cast<int>(100 * (n - 49) + i + l);
}

void AppendPadded(std::string& out, long value, int width) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  (void)ec;
  for (int k = static_cast<int>(end - buf); k < width; ++k) out += '0';
  out.append(buf, end);
}

}  // namespace

// ---------------------------------------------------------------- TDbfField

std::string TDbfField::AsString() const {
  if (!table_) return {};
  const TDbfTable& t = *table_;
  if (t.Eof()) return {};
  // A copy of a field kept from an earlier opening may not fit the record.
  if (1 + offset_ + length_ > t.record_.size())
    t.Fail("field " + name_ + " does not belong to this table");
  const char* p = t.record_.data() + 1 + offset_;
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  const std::string_view raw(p, length_);
  switch (kind_) {
    case Kind::Bytes:
      return std::string(TrimRight(raw));
    case Kind::Number:
      return std::string(Trim(raw));
    case Kind::Date:
      return std::string(Trim(raw));
    case Kind::Logical:
      switch (raw[0]) {
        case 'T': case 't': case 'Y': case 'y': return "T";
        case 'F': case 'f': case 'N': case 'n': return "F";
        default: return {};
      }
    case Kind::Integer:
      return std::to_string(static_cast<std::int32_t>(Le32(u)));
    case Kind::Currency: {
      const auto value = static_cast<std::int64_t>(Le64(u));
      // Magnitude as unsigned so that the most negative value survives.
      const std::uint64_t mag =
          value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
      std::string out = value < 0 ? "-" : "";
      out += std::to_string(mag / 10000);
      out += '.';
      const std::string frac = std::to_string(mag % 10000);
      out.append(4 - frac.size(), '0');
      out += frac;
      return out;
    }
    case Kind::Double: {
      const double d = std::bit_cast<double>(Le64(u));
      char buf[32];
      auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d);
      if (ec != std::errc()) return {};
      return std::string(buf, end);
    }
    case Kind::DateTime: {
      const std::int32_t jd = static_cast<std::int32_t>(Le32(u));
      const std::uint32_t ms = Le32(u + 4);
      if (jd == 0 && ms == 0) return {};
      int y, m, d;
      CivilFromJulianDay(jd, y, m, d);
      const std::uint32_t secs = (ms + 500) / 1000;
      std::string out;
      AppendPadded(out, y, 4);
      AppendPadded(out, m, 2);
      AppendPadded(out, d, 2);
      AppendPadded(out, static_cast<long>(secs / 3600 % 100), 2);
      AppendPadded(out, static_cast<long>(secs / 60 % 60), 2);
      AppendPadded(out, static_cast<long>(secs % 60), 2);
      return out;
    }
    case Kind::Memo:
      return t.MemoText(*this);
    case Kind::Unsupported:
      break;
  }
  t.Fail("field " + name_ + " has type '" + std::string(1, type_) +
         "', which this reader cannot read");
}

// ---------------------------------------------------------------- TDbfTable

TDbfTable::TDbfTable(std::string componentName, std::string tableName)
    : componentName_(std::move(componentName)), tableName_(std::move(tableName)) {}

TDbfTable::~TDbfTable() = default;

void TDbfTable::Fail(const std::string& what) const {
  throw DbfError(displayName_.empty() ? tableName_ + ": " + what : displayName_ + ": " + what);
}

TDbfTable::FileStamp TDbfTable::StampOf(std::FILE* file) {
  struct stat st {};
  FileStamp stamp;
  if (fstat(fileno(file), &st) != 0) return stamp;
  stamp.device = static_cast<std::uint64_t>(st.st_dev);
  stamp.inode = static_cast<std::uint64_t>(st.st_ino);
  stamp.size = static_cast<std::uint64_t>(st.st_size);
  stamp.seconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  stamp.nanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
  return stamp;
}

TDbfTable::Layout TDbfTable::ReadLayout(std::FILE* file, std::uint64_t fileSize,
                                        bool requireRecords) const {
  // From the file as it is now: a seek inside what is buffered would keep
  // the buffered bytes, which may be older.
  std::fflush(file);
  if (fileSize < kFileHeaderSize)
    Fail("not a dBASE table: the file is only " + std::to_string(fileSize) + " bytes long");
  unsigned char head[kFileHeaderSize];
  if (!Seek(file, 0) || std::fread(head, 1, sizeof head, file) != sizeof head)
    Fail("cannot read the table header: " + ErrnoText(errno));

  Layout layout;
  layout.version = head[0];
  if (layout.version == 0x04 || layout.version == 0x8C)
    Fail("dBASE 7 tables are not supported");
  if (!KnownVersion(layout.version))
    Fail("not a dBASE table (unknown version byte " + Hex(layout.version) + ")");
  layout.recordCount = Le32(head + 4);
  layout.headerLength = Le16(head + 8);
  layout.recordLength = Le16(head + 10);

  if (layout.headerLength < kFileHeaderSize + kDescriptorSize + 1)
    Fail("damaged header: the header length " + std::to_string(layout.headerLength) +
         " leaves no room for a field");
  if (layout.headerLength > fileSize)
    Fail("the header is cut short: it declares " + std::to_string(layout.headerLength) +
         " bytes, the file has " + std::to_string(fileSize));

  // The header length is at most 65535, checked against the file above.
  std::string header(layout.headerLength - kFileHeaderSize, '\0');
  if (std::fread(header.data(), 1, header.size(), file) != header.size())
    Fail("cannot read the field descriptors: " + ErrnoText(errno));

  std::size_t pos = 0;
  std::size_t sum = 0;
  bool terminated = false;
  while (pos < header.size()) {
    if (header[pos] == kDescriptorEnd) {
      terminated = true;
      break;
    }
    if (pos + kDescriptorSize > header.size()) break;
    const auto* d = reinterpret_cast<const unsigned char*>(header.data() + pos);
    const std::size_t number = pos / kDescriptorSize + 1;

    TDbfField f;
    const auto* nameEnd = std::find(d, d + 11, '\0');
    f.name_ = std::string(TrimRight(std::string_view(reinterpret_cast<const char*>(d),
                                                     static_cast<std::size_t>(nameEnd - d))));
    f.type_ = static_cast<char>(d[11]);
    f.length_ = d[16];
    f.decimals_ = d[17];
    if (d[11] < 0x21 || d[11] > 0x7E)
      Fail("damaged field descriptor " + std::to_string(number) + " (type byte " + Hex(d[11]) +
           ")");
    const std::string label = "field " + (f.name_.empty() ? "#" + std::to_string(number) : f.name_);

    const bool vfp = IsVisualFoxPro(layout.version);
    auto requireLength = [&](std::size_t want) {
      if (f.length_ != want)
        Fail(label + " of type " + std::string(1, f.type_) + " has length " +
             std::to_string(f.length_) + " instead of " + std::to_string(want));
    };
    switch (f.type_) {
      case 'C':
        // Character fields longer than 255 keep the high byte of their length
        // in the decimals byte.
        f.length_ += static_cast<std::size_t>(f.decimals_) << 8;
        f.decimals_ = 0;
        f.kind_ = TDbfField::Kind::Bytes;
        break;
      case 'N': case 'F':
        f.kind_ = TDbfField::Kind::Number;
        break;
      case 'D':
        f.kind_ = TDbfField::Kind::Date;
        break;
      case 'L':
        f.kind_ = TDbfField::Kind::Logical;
        break;
      case 'I':
        requireLength(4);
        f.kind_ = TDbfField::Kind::Integer;
        break;
      case 'Y':
        requireLength(8);
        f.kind_ = TDbfField::Kind::Currency;
        break;
      case 'T':
        requireLength(8);
        f.kind_ = TDbfField::Kind::DateTime;
        break;
      case 'B':
        if (vfp) {
          requireLength(8);
          f.kind_ = TDbfField::Kind::Double;
        } else {
          f.kind_ = TDbfField::Kind::Memo;
        }
        break;
      case 'M': case 'G': case 'P': case 'W':
        f.kind_ = TDbfField::Kind::Memo;
        break;
      default:
        f.kind_ = TDbfField::Kind::Unsupported;
        break;
    }
    if (f.length_ == 0) Fail(label + " has length 0");
    f.offset_ = sum;
    sum += f.length_;
    layout.fields.push_back(std::move(f));
    pos += kDescriptorSize;
  }
  if (!terminated)
    Fail("damaged header: the field descriptors do not end within the header length " +
         std::to_string(layout.headerLength));
  if (layout.fields.empty()) Fail("damaged header: the table has no fields");
  if (layout.recordLength != sum + 1)
    Fail("damaged header: the record length " + std::to_string(layout.recordLength) +
         " does not match its fields (" + std::to_string(sum + 1) + " bytes)");
  // A file too short for its records may just have a record count that was
  // never brought up to date, or have been cut at a record's end: the whole
  // records are read and the first missing one raises. When the records do
  // not even end on a record boundary, the header's lengths do not belong to
  // this file, and every record would be read from the wrong place.
  if (requireRecords) {
    const std::uint64_t data = fileSize - layout.headerLength;
    const std::uint64_t declared =
        static_cast<std::uint64_t>(layout.recordCount) * layout.recordLength;
    const std::uint64_t tail = data % layout.recordLength;
    if (data < declared && tail > 1)  // 1: the end-of-file mark
      Fail("damaged header: its " + std::to_string(layout.recordCount) + " records of " +
           std::to_string(layout.recordLength) + " bytes after a header of " +
           std::to_string(layout.headerLength) + " bytes do not fit the file of " +
           std::to_string(fileSize) + " bytes");
  }
  layout.descriptorBytes.assign(header, 0, pos);
  return layout;
}

bool TDbfTable::SameFileAsOpened() const {
  const auto found = FindInWorkingFolder(tableName_);
  if (!found) return true;  // nothing else to read
  struct stat named {};
  if (stat(found->c_str(), &named) != 0) return true;
  const FileStamp open = StampOf(file_.get());
  return static_cast<std::uint64_t>(named.st_dev) == open.device &&
         static_cast<std::uint64_t>(named.st_ino) == open.inode;
}

void TDbfTable::Open() {
  if (Active()) {
    if (SameFileAsOpened()) return;
    // A new file of that name (a fresh download) took the old one's place:
    // it is the one the user means.
    Close();
  }
  const auto found = FindInWorkingFolder(tableName_);
  if (!found) {
    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    throw DbfError(tableName_ + ": file not found in the working folder " + cwd.string());
  }
  std::filesystem::path path = *found;
  displayName_ = path.filename().string();

  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) Fail("cannot open the file: " + ErrnoText(errno));
  std::setvbuf(file.get(), nullptr, _IOFBF, kFileBuffer);
  const FileStamp stamp = StampOf(file.get());
  Layout layout = ReadLayout(file.get(), stamp.size, true);

  path_ = std::move(path);
  stamp_ = stamp;
  version_ = layout.version;
  recordCount_ = layout.recordCount;
  headerLength_ = layout.headerLength;
  recordLength_ = layout.recordLength;
  descriptorBytes_ = std::move(layout.descriptorBytes);
  fields_ = std::move(layout.fields);
  upperNames_.clear();
  for (auto& f : fields_) {
    f.table_ = this;
    upperNames_.push_back(Upper(f.name_));
  }
  record_.assign(recordLength_, ' ');

  try {
    memo_.reset();
    memoKind_ = MemoKind::None;
    if (std::any_of(fields_.begin(), fields_.end(),
                    [](const TDbfField& f) { return f.kind_ == TDbfField::Kind::Memo; }))
      OpenMemo();
    file_ = std::move(file);
    First();
  } catch (...) {
    Close();
    throw;
  }
}

void TDbfTable::OpenMemo() {
  const std::filesystem::path folder = path_.parent_path();
  const std::string stem = path_.stem().string();
  const std::string ext = path_.extension().string();
  // Named in messages the way the table's own extension is written.
  const bool lower = !ext.empty() && ext == Lower(ext);
  auto memoName = [&](bool foxMemo) {
    return stem + (foxMemo ? (lower ? ".fpt" : ".FPT") : (lower ? ".dbt" : ".DBT"));
  };
  const bool fox = IsFoxPro(version_);
  const std::string primary = memoName(fox);
  const std::string secondary = memoName(!fox);
  auto found = FindFileCaseBlind(folder, primary);
  bool foxMemo = fox;
  if (!found) {
    found = FindFileCaseBlind(folder, secondary);
    foxMemo = !fox;
  }
  if (!found) Fail("the memo file " + primary + " is missing");

  memoPath_ = *found;
  memoName_ = memoPath_.filename().string();
  memo_.reset(std::fopen(memoPath_.c_str(), "rb"));
  memoPos_ = kUnknownMemoPos;
  if (!memo_) Fail("cannot open the memo file " + memoName_ + ": " + ErrnoText(errno));
  std::setvbuf(memo_.get(), nullptr, _IOFBF, kFileBuffer);
  memoSize_ = FileSize(memo_.get());
  memoKind_ = foxMemo ? MemoKind::FoxPro : MemoKind::Dbase;

  unsigned char head[22] = {};
  const std::size_t got = std::fread(head, 1, sizeof head, memo_.get());
  if (foxMemo) {
    if (got < 8) Fail("the memo file " + memoName_ + " is damaged (its header is cut short)");
    // A block size of 0 stands for blocks of one byte.
    memoBlockSize_ = std::max<std::uint64_t>(Be16(head + 6), 1);
  } else {
    memoBlockSize_ = 512;
    const bool dbase3 = version_ == 0x83 || (got > 16 && head[16] == 0x03);
    if (!dbase3 && got >= 22 && Le16(head + 20) != 0) memoBlockSize_ = Le16(head + 20);
  }
}

void TDbfTable::Close() {
  file_.reset();
  memo_.reset();
  memoKind_ = MemoKind::None;
  fields_.clear();
  upperNames_.clear();
  record_.clear();
  path_.clear();
  memoPath_.clear();
  memoName_.clear();
  descriptorBytes_.clear();
  stamp_ = {};
  recordCount_ = 0;
  recNo_ = 0;
  nextRecNo_ = 1;
  eof_ = true;
}

void TDbfTable::First() {
  if (!Active()) Fail("the table is not open");
  eof_ = true;
  recNo_ = 0;
  // The file may have been rewritten since it was opened: its header must
  // still describe the records that the fields are laid out for.
  const FileStamp stamp = StampOf(file_.get());
  const Layout now = ReadLayout(file_.get(), stamp.size, true);
  if (now.version != version_ || now.headerLength != headerLength_ ||
      now.recordLength != recordLength_ || now.descriptorBytes != descriptorBytes_)
    Fail("the table's structure changed while it was open");
  stamp_ = stamp;
  recordCount_ = now.recordCount;
  if (memo_) memoSize_ = FileSize(memo_.get());
  if (!Seek(file_.get(), headerLength_)) Fail("cannot read the records: " + ErrnoText(errno));
  nextRecNo_ = 1;
  ReadNext();
}

void TDbfTable::Next() {
  if (!Active()) Fail("the table is not open");
  if (eof_) return;
  ReadNext();
}

void TDbfTable::NoticeChanges() {
  const FileStamp now = StampOf(file_.get());
  if (now == stamp_) return;
  // Written to since its header was read: the records are read from the
  // file as it is now (not from what was buffered before), as long as its
  // header still describes them.
  const off_t at = ftello(file_.get());
  const Layout layout = ReadLayout(file_.get(), now.size, false);
  if (layout.version != version_ || layout.headerLength != headerLength_ ||
      layout.recordLength != recordLength_ || layout.descriptorBytes != descriptorBytes_)
    Fail("the table's structure changed while it was being read");
  if (at < 0 || !Seek(file_.get(), static_cast<std::uint64_t>(at)))
    Fail("cannot read the records: " + ErrnoText(errno));
  recordCount_ = layout.recordCount;
  stamp_ = now;
}

void TDbfTable::ReadNext() {
  eof_ = true;
  NoticeChanges();
  while (nextRecNo_ <= recordCount_) {
    const std::int64_t number = nextRecNo_++;
    const std::size_t got = std::fread(record_.data(), 1, recordLength_, file_.get());
    if (got != recordLength_) {
      if (std::ferror(file_.get()))
        Fail("cannot read record " + std::to_string(number) + ": " + ErrnoText(errno));
      Fail("the file ends inside record " + std::to_string(number) + " of the " +
           std::to_string(recordCount_) + " that its header declares");
    }
    if (record_[0] == '*') continue;  // marked deleted
    recNo_ = number;
    eof_ = false;
    return;
  }
}

const TDbfField& TDbfTable::FieldByName(std::string_view name) const {
  if (!Active()) Fail("the table is not open");
  for (std::size_t i = 0; i < upperNames_.size(); ++i)
    if (EqualsUpper(name, upperNames_[i])) return fields_[i];
  throw DbfError(componentName_ + ": Field '" + std::string(name) + "' not found");
}

// ---------------------------------------------------------------- memo

std::string TDbfTable::MemoText(const TDbfField& field) const {
  const std::string_view raw(record_.data() + 1 + field.offset_, field.length_);
  std::uint64_t block = 0;
  if (field.length_ == 4) {
    block = Le32(reinterpret_cast<const unsigned char*>(raw.data()));
  } else {
    const std::string_view digits = Trim(raw);
    if (digits.empty()) return {};
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), block);
    if (ec != std::errc() || end != digits.data() + digits.size())
      Fail("record " + std::to_string(recNo_) + ": field " + field.name_ +
           " holds a damaged memo reference");
  }
  if (block == 0) return {};  // block 0 is the memo file's header: no memo
  return ReadMemoBlock(block);
}

void TDbfTable::ReadMemoBytes(std::uint64_t offset, std::size_t count, char* out) const {
  // Memos mostly follow one another in the file: a read that starts where
  // the last one ended needs no seek, which would empty the read buffer.
  const bool there = offset == memoPos_;
  memoPos_ = kUnknownMemoPos;
  if ((!there && !Seek(memo_.get(), offset)) || std::fread(out, 1, count, memo_.get()) != count) {
    if (std::ferror(memo_.get()))
      Fail("cannot read the memo file " + memoName_ + ": " + ErrnoText(errno));
    Fail("the memo file " + memoName_ + " is cut short");
  }
  memoPos_ = offset + count;
}

std::string TDbfTable::ReadMemoBlock(std::uint64_t block) const {
  // Only a failure needs the words.
  const auto where = [&] {
    return "record " + std::to_string(recNo_) + ": memo block " + std::to_string(block);
  };
  if (memoSize_ / memoBlockSize_ < block || block * memoBlockSize_ >= memoSize_)
    Fail(where() + " lies beyond the end of the memo file " + memoName_);
  const std::uint64_t offset = block * memoBlockSize_;
  const std::uint64_t room = memoSize_ - offset;

  if (memoKind_ == MemoKind::FoxPro) {
    unsigned char head[8];
    if (room < sizeof head) Fail(where() + " is cut short in the memo file " + memoName_);
    ReadMemoBytes(offset, sizeof head, reinterpret_cast<char*>(head));
    const std::uint64_t length = Be32(head + 4);
    if (length > room - sizeof head)
      Fail(where() + " runs past the end of the memo file " + memoName_);
    std::string text(static_cast<std::size_t>(std::min<std::uint64_t>(length, kMemoKeep)), '\0');
    if (!text.empty()) ReadMemoBytes(offset + sizeof head, text.size(), text.data());
    return text;
  }

  // dBASE IV memos start with FF FF 08 00 and the length of the memo with
  // these eight bytes; dBASE III memos run up to a Ctrl-Z.
  unsigned char head[8] = {};
  const std::size_t probe = static_cast<std::size_t>(std::min<std::uint64_t>(room, sizeof head));
  ReadMemoBytes(offset, probe, reinterpret_cast<char*>(head));
  if (probe == sizeof head && head[0] == 0xFF && head[1] == 0xFF && head[2] == 0x08 &&
      head[3] == 0x00) {
    const std::uint64_t length = Le32(head + 4);
    if (length < sizeof head) Fail(where() + " is damaged in the memo file " + memoName_);
    if (length > room) Fail(where() + " runs past the end of the memo file " + memoName_);
    std::string text(
        static_cast<std::size_t>(std::min<std::uint64_t>(length - sizeof head, kMemoKeep)), '\0');
    if (!text.empty()) ReadMemoBytes(offset + sizeof head, text.size(), text.data());
    return text;
  }

  // The bytes probed above are the memo's first ones.
  const char* probed = reinterpret_cast<const char*>(head);
  const char* probeEnd = std::find(probed, probed + probe, '\x1A');
  std::string text(probed, probeEnd);
  if (probeEnd != probed + probe) return text;
  std::array<char, 512> chunk;
  std::uint64_t at = offset + probe;
  while (at < memoSize_ && text.size() < kMemoKeep) {
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), memoSize_ - at));
    ReadMemoBytes(at, n, chunk.data());
    const auto stop = std::find(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n), '\x1A');
    text.append(chunk.data(), static_cast<std::size_t>(stop - chunk.begin()));
    if (stop != chunk.begin() + static_cast<std::ptrdiff_t>(n)) break;
    at += n;
  }
  if (text.size() > kMemoKeep) text.resize(kMemoKeep);
  return text;
}

}  // namespace tolvo
