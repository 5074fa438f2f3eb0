// What the header of a dBASE table says: its version, record count, where
// the records begin, how long each is and the fields that fill it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "source/DbfField.h"

namespace tolvo {

struct DbfLayout {
  std::uint8_t version = 0;
  std::int64_t recordCount = 0;
  std::size_t headerLength = 0;
  std::size_t recordLength = 0;
  std::vector<DbfField> fields;
  std::string descriptorBytes;  // as stored, for recognising a changed layout

  // The header of `file`, `fileSize` bytes long, read from the file itself
  // rather than from bytes buffered before. With `requireRecords`, a header
  // whose records neither fit the file nor end on a record boundary is
  // refused too, and so is one that counts no record before whole records.
  // Raises ReaderError headed by `fileName`.
  static DbfLayout Read(std::FILE* file, std::uint64_t fileSize, bool requireRecords,
                        const std::string& fileName);

  // True when `other` lays out the records the same way; the record count
  // may differ.
  bool SameStructure(const DbfLayout& other) const;

  bool VisualFoxPro() const;
  bool FoxPro() const;  // FoxPro of any kind, Visual FoxPro included
  bool HasMemo() const;

 private:
  DbfField ParseDescriptor(const unsigned char* descriptor, std::size_t number,
                           const std::string& fileName) const;
  void ReadDescriptors(std::FILE* file, const std::string& fileName);
  // Whether the byte where the file stands can begin the records.
  static bool RecordFollows(std::FILE* file);
  void CheckRecordsFit(std::FILE* file, std::uint64_t fileSize, const std::string& fileName) const;
};

}  // namespace tolvo
