// The memo files of dBASE tables, read one memo at a time:
//   .DBT of dBASE III: 512-byte blocks, a memo runs up to a Ctrl-Z;
//   .DBT of dBASE IV and later: the block size in the header, a memo starts
//        with FF FF 08 00 and its length (these eight bytes included), or
//        runs up to a Ctrl-Z as in dBASE III;
//   .FPT of FoxPro: the block size in the header (big-endian), a memo starts
//        with its type and its length (big-endian, without these 8 bytes).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "source/FileHelpers.h"
#include "source/ReaderError.h"

namespace tolvo {

class DbfMemoFile {
 public:
  // Only the first kKeep bytes of a memo are read and kept, so that a memo
  // that never ends (a damaged memo file) costs no more than that.
  static constexpr std::size_t kKeep = 1 << 16;

  // Opens the memo file that belongs to the table `tablePath`: its name with
  // .FPT for a FoxPro table, else .DBT, or the other one when that is
  // missing, found without regard to case. `tableName` heads error texts.
  void OpenBeside(const std::filesystem::path& tablePath, std::uint8_t tableVersion,
                  bool foxProTable, const std::string& tableName);
  bool IsOpen() const { return file_ != nullptr; }
  void Close();
  // Takes over the file's present size, after it may have grown.
  void Refresh();

  // The memo in `block` (from 1), read for record `record`; at most kKeep
  // bytes of it. Raises ReaderError when the block or the file is damaged.
  std::string Read(std::uint64_t block, std::int64_t record) const;

 private:
  [[noreturn]] void Fail(ReaderFault fault, ReaderFaultValues values) const;
  [[noreturn]] void FailAtBlock(ReaderFault fault, std::int64_t record, std::uint64_t block) const;
  std::string ReadFoxPro(std::uint64_t offset, std::uint64_t room, std::uint64_t block,
                         std::int64_t record) const;
  std::string ReadDbase(std::uint64_t offset, std::uint64_t room, std::uint64_t block,
                        std::int64_t record) const;
  void ReadBytes(std::uint64_t offset, std::size_t count, char* out) const;

  FilePtr file_;
  std::string tableName_;
  std::string name_;  // the memo file's own name, in error texts
  bool foxPro_ = false;
  std::uint64_t size_ = 0;
  std::uint64_t blockSize_ = 512;
  // Where the file stands after the last read of ReadBytes.
  static constexpr std::uint64_t kUnknownPos = ~std::uint64_t{0};
  // The longest gap before the next read that is read over rather than
  // sought past: the rest of a memo block.
  static constexpr std::size_t kSkipBytes = 1024;
  mutable std::uint64_t pos_ = kUnknownPos;
};

}  // namespace tolvo
