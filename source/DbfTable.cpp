#include "source/DbfTable.h"

#include <sys/stat.h>

#include <cerrno>

#include "source/DbfFieldTypes.h"
#include "source/FileLookup.h"
#include "text/FieldText.h"

namespace tolvo {
namespace {

constexpr std::size_t kFileBuffer = 1 << 16;

}  // namespace

// ---------------------------------------------------------------- DbfField

std::string DbfField::AsString() const {
  if (!table_) return {};
  const DbfTable& t = *table_;
  if (t.Eof()) return {};
  // A copy of a field kept from an earlier opening may not fit the record.
  if (1 + offset_ + length_ > t.record_.size())
    t.Fail(ReaderFault::FieldOfAnotherTable, {.name = name_});
  if (!kind_) t.Fail(ReaderFault::UnreadableFieldType, {.type = type_, .name = name_});
  if (!kind_->text) return t.MemoText(*this);
  return kind_->text(std::string_view(t.record_.data() + 1 + offset_, length_));
}

// ---------------------------------------------------------------- DbfTable

DbfTable::DbfTable(std::string componentName, std::string tableName)
    : componentName_(std::move(componentName)), tableName_(std::move(tableName)) {}

DbfTable::~DbfTable() = default;

const std::string& DbfTable::NameInMessages() const {
  return displayName_.empty() ? tableName_ : displayName_;
}

void DbfTable::Fail(ReaderFault fault, ReaderFaultValues values) const {
  throw ReaderError(NameInMessages(), fault, std::move(values));
}

bool DbfTable::SameFileAsOpened() const {
  const auto found = FindInWorkingFolder(tableName_);
  if (!found) return true;  // nothing else to read
  struct stat named {};
  if (stat(found->c_str(), &named) != 0) return true;
  const FileStamp open = StampOf(file_.get());
  return static_cast<std::uint64_t>(named.st_dev) == open.device &&
         static_cast<std::uint64_t>(named.st_ino) == open.inode;
}

void DbfTable::Open(Pass pass) {
  if (Active()) {
    if (SameFileAsOpened()) return;
    // A new file of that name (a fresh download) took the old one's place:
    // it is the one the user means.
    Close();
  }
  const auto found = FindInWorkingFolder(tableName_);
  if (!found) {
    std::error_code ec;
    throw ReaderError(tableName_, ReaderFault::FileNotFound,
                      {.name = std::filesystem::current_path(ec).string()});
  }
  std::filesystem::path path = *found;
  displayName_ = path.filename().string();

  OpenedFile opened = OpenRegularFile(path);
  if (!opened.file) Fail(ReaderFault::CannotOpen, {.err = opened.err, .kind = opened.kind});
  FilePtr file = std::move(opened.file);
  std::setvbuf(file.get(), nullptr, _IOFBF, kFileBuffer);
  const FileStamp stamp = StampOf(file.get());
  DbfLayout layout = DbfLayout::Read(file.get(), stamp.size, true, displayName_);

  path_ = std::move(path);
  stamp_ = stamp;
  layout_ = std::move(layout);
  for (auto& f : layout_.fields) f.table_ = this;
  record_.assign(layout_.recordLength, ' ');

  try {
    memo_.Close();
    if (layout_.HasMemo()) memo_.OpenBeside(path_, layout_.version, layout_.FoxPro(), displayName_);
    file_ = std::move(file);
    First(pass);
  } catch (...) {
    Close();
    throw;
  }
}

void DbfTable::Close() {
  file_.reset();
  memo_.Close();
  layout_ = {};
  record_.clear();
  path_.clear();
  stamp_ = {};
  recNo_ = 0;
  nextRecNo_ = 1;
  deleted_ = 0;
  eof_ = true;
  passing_ = false;
}

void DbfTable::TakeOverHeader(const FileStamp& now, bool requireRecords, bool whileOpen) {
  const DbfLayout layout = DbfLayout::Read(file_.get(), now.size, requireRecords, displayName_);
  if (!layout.SameStructure(layout_))
    Fail(whileOpen ? ReaderFault::StructureChangedSinceOpen
                   : ReaderFault::StructureChangedWhileRead);
  layout_.recordCount = layout.recordCount;
  stamp_ = now;
}

void DbfTable::First(Pass pass) {
  if (!Active()) Fail(ReaderFault::TableNotOpen);
  eof_ = true;
  recNo_ = 0;
  // The file may have been rewritten since it was opened: its header must
  // still describe the records that the fields are laid out for.
  TakeOverHeader(StampOf(file_.get()), true, true);
  if (memo_.IsOpen()) memo_.Refresh();
  if (!Seek(file_.get(), layout_.headerLength))
    Fail(ReaderFault::CannotReadRecords, {.err = errno});
  nextRecNo_ = 1;
  deleted_ = 0;
  ReadNext(pass);
}

void DbfTable::Next(Pass pass) {
  if (!Active()) Fail(ReaderFault::TableNotOpen);
  if (eof_ && !passing_) return;
  ReadNext(pass);
}

void DbfTable::NoticeChanges() {
  const FileStamp now = StampOf(file_.get());
  if (now == stamp_) return;
  // Written to since its header was read: the records are read from the
  // file as it is now (not from what was buffered before), as long as its
  // header still describes them.
  const off_t at = ftello(file_.get());
  TakeOverHeader(now, false, false);
  if (at < 0 || !Seek(file_.get(), static_cast<std::uint64_t>(at)))
    Fail(ReaderFault::CannotReadRecords, {.err = errno});
}

void DbfTable::ReadNext(Pass pass) {
  eof_ = true;
  passing_ = false;
  NoticeChanges();
  std::size_t passed = 0;  // bytes of deleted records passed over in this call
  while (nextRecNo_ <= layout_.recordCount) {
    if (pass == Pass::Some && passed >= kPassOverBytes) {
      passing_ = true;
      return;
    }
    const std::int64_t number = nextRecNo_++;
    const std::size_t got = std::fread(record_.data(), 1, record_.size(), file_.get());
    if (got != record_.size()) {
      if (std::ferror(file_.get()))
        Fail(ReaderFault::CannotReadRecord, {.err = errno, .record = number});
      Fail(ReaderFault::EndsInsideRecord, {.record = number, .records = layout_.recordCount});
    }
    if (record_[0] == '*') {  // marked deleted
      passed += record_.size();
      ++deleted_;
      continue;
    }
    recNo_ = number;
    eof_ = false;
    return;
  }
}

const DbfField& DbfTable::FieldByName(std::string_view name) const {
  if (!Active()) Fail(ReaderFault::TableNotOpen);
  for (const DbfField& field : layout_.fields)
    if (EqualsIgnoreAsciiCase(name, field.name_)) return field;
  Fail(ReaderFault::FieldNotFound,
       {.name = std::string(name), .component = componentName_, .list = AsciiUpper(tableName_)});
}

std::string DbfTable::MemoText(const DbfField& field) const {
  const auto block =
      MemoBlockOf(std::string_view(record_.data() + 1 + field.offset_, field.length_));
  if (!block) Fail(ReaderFault::DamagedMemoReference, {.record = recNo_, .name = field.name_});
  if (*block == 0) return {};  // block 0 is the memo file's header: no memo
  return memo_.Read(*block, recNo_);
}

}  // namespace tolvo
