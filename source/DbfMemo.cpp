#include "source/DbfMemo.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include "source/DbfField.h"
#include "source/FileLookup.h"
#include "source/LittleEndian.h"

namespace tolvo {
namespace {

constexpr std::size_t kFileBuffer = 1 << 16;
constexpr char kCtrlZ = '\x1A';

bool IsLower(const std::string& s) {
  return std::none_of(s.begin(), s.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

}  // namespace

void DbfMemoFile::Fail(ReaderFault fault, ReaderFaultValues values) const {
  throw ReaderError(tableName_, fault, std::move(values));
}

void DbfMemoFile::FailAtBlock(ReaderFault fault, std::int64_t record, std::uint64_t block) const {
  Fail(fault, {.record = record, .block = block, .memo = name_});
}

void DbfMemoFile::OpenBeside(const std::filesystem::path& tablePath, std::uint8_t tableVersion,
                             bool foxProTable, const std::string& tableName) {
  Close();
  tableName_ = tableName;
  const std::filesystem::path folder = tablePath.parent_path();
  const std::string stem = tablePath.stem().string();
  const std::string ext = tablePath.extension().string();
  // Named in messages the way the table's own extension is written.
  const bool lower = !ext.empty() && IsLower(ext);
  auto memoName = [&](bool fox) {
    return stem + (fox ? (lower ? ".fpt" : ".FPT") : (lower ? ".dbt" : ".DBT"));
  };
  auto found = FindFileCaseBlind(folder, memoName(foxProTable));
  foxPro_ = foxProTable;
  if (!found) {
    found = FindFileCaseBlind(folder, memoName(!foxProTable));
    foxPro_ = !foxProTable;
  }
  if (!found) Fail(ReaderFault::MemoMissing, {.memo = memoName(foxProTable)});

  name_ = found->filename().string();
  OpenedFile opened = OpenRegularFile(*found);
  file_ = std::move(opened.file);
  pos_ = kUnknownPos;
  if (!file_)
    Fail(ReaderFault::CannotOpenMemo, {.err = opened.err, .kind = opened.kind, .memo = name_});
  std::setvbuf(file_.get(), nullptr, _IOFBF, kFileBuffer);
  Refresh();

  unsigned char head[22] = {};
  const std::size_t got = std::fread(head, 1, sizeof head, file_.get());
  if (foxPro_) {
    if (got < 8) Fail(ReaderFault::MemoHeaderCutShort, {.memo = name_});
    // A block size of 0 stands for blocks of one byte.
    blockSize_ = std::max<std::uint64_t>(Be16(head + 6), 1);
  } else {
    blockSize_ = 512;
    const bool dbase3 = tableVersion == 0x83 || (got > 16 && head[16] == 0x03);
    if (!dbase3 && got >= 22 && Le16(head + 20) != 0) blockSize_ = Le16(head + 20);
  }
}

void DbfMemoFile::Close() {
  file_.reset();
  name_.clear();
  size_ = 0;
  pos_ = kUnknownPos;
}

void DbfMemoFile::Refresh() { size_ = StampOf(file_.get()).size; }

void DbfMemoFile::ReadBytes(std::uint64_t offset, std::size_t count, char* out) const {
  // Memos mostly follow one another in the file, each at the start of its
  // block: a read that starts where the last one ended, or a little after
  // it, needs no seek (a system call), but at most a skip over the rest of
  // the block, which the read buffer mostly holds already.
  bool there = offset == pos_;
  if (!there && pos_ != kUnknownPos && offset > pos_ && offset - pos_ <= kSkipBytes) {
    char skipped[kSkipBytes];
    const auto gap = static_cast<std::size_t>(offset - pos_);
    there = std::fread(skipped, 1, gap, file_.get()) == gap;
  }
  pos_ = kUnknownPos;
  if ((!there && !Seek(file_.get(), offset)) || std::fread(out, 1, count, file_.get()) != count) {
    if (std::ferror(file_.get())) Fail(ReaderFault::CannotReadMemo, {.err = errno, .memo = name_});
    Fail(ReaderFault::MemoCutShort, {.memo = name_});
  }
  pos_ = offset + count;
}

std::string DbfMemoFile::Read(std::uint64_t block, std::int64_t record) const {
  if (size_ / blockSize_ < block || block * blockSize_ >= size_)
    FailAtBlock(ReaderFault::MemoBlockBeyondEnd, record, block);
  const std::uint64_t offset = block * blockSize_;
  const std::uint64_t room = size_ - offset;
  return foxPro_ ? ReadFoxPro(offset, room, block, record) : ReadDbase(offset, room, block, record);
}

std::string DbfMemoFile::ReadFoxPro(std::uint64_t offset, std::uint64_t room, std::uint64_t block,
                                    std::int64_t record) const {
  unsigned char head[8];
  if (room < sizeof head) FailAtBlock(ReaderFault::MemoBlockCutShort, record, block);
  ReadBytes(offset, sizeof head, reinterpret_cast<char*>(head));
  const std::uint64_t length = Be32(head + 4);
  if (length > room - sizeof head) FailAtBlock(ReaderFault::MemoBlockRunsPastEnd, record, block);
  std::string text(static_cast<std::size_t>(std::min<std::uint64_t>(length, kKeep)), '\0');
  if (!text.empty()) ReadBytes(offset + sizeof head, text.size(), text.data());
  return text;
}

std::string DbfMemoFile::ReadDbase(std::uint64_t offset, std::uint64_t room, std::uint64_t block,
                                   std::int64_t record) const {
  unsigned char head[8] = {};
  const std::size_t probe = static_cast<std::size_t>(std::min<std::uint64_t>(room, sizeof head));
  ReadBytes(offset, probe, reinterpret_cast<char*>(head));
  if (probe == sizeof head && head[0] == 0xFF && head[1] == 0xFF && head[2] == 0x08 &&
      head[3] == 0x00) {
    const std::uint64_t length = Le32(head + 4);
    if (length < sizeof head) FailAtBlock(ReaderFault::MemoBlockDamaged, record, block);
    if (length > room) FailAtBlock(ReaderFault::MemoBlockRunsPastEnd, record, block);
    std::string text(static_cast<std::size_t>(std::min<std::uint64_t>(length - sizeof head, kKeep)),
                     '\0');
    if (!text.empty()) ReadBytes(offset + sizeof head, text.size(), text.data());
    return text;
  }

  // Up to a Ctrl-Z; the bytes probed above are the memo's first ones.
  const char* probed = reinterpret_cast<const char*>(head);
  const char* probeEnd = std::find(probed, probed + probe, kCtrlZ);
  std::string text(probed, probeEnd);
  if (probeEnd != probed + probe) return text;
  std::array<char, 512> chunk;
  std::uint64_t at = offset + probe;
  while (at < size_ && text.size() < kKeep) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), size_ - at));
    ReadBytes(at, n, chunk.data());
    const auto stop =
        std::find(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n), kCtrlZ);
    text.append(chunk.data(), static_cast<std::size_t>(stop - chunk.begin()));
    if (stop != chunk.begin() + static_cast<std::ptrdiff_t>(n)) break;
    at += n;
  }
  if (text.size() > kKeep) text.resize(kKeep);
  return text;
}

}  // namespace tolvo
