// One field of a dBASE table. Every failure of the reader (a file that is
// not a dBASE table, is damaged or cut short, cannot be read, or a field
// that the table lacks) raises ReaderError.
#pragma once

#include <cstddef>
#include <string>

#include "source/ReaderError.h"

namespace tolvo {

class DbfTable;
struct DbfFieldType;
struct DbfLayout;

// One field of the table's current record.
class DbfField {
 public:
  const std::string& name() const { return name_; }
  char type() const { return type_; }             // 'C', 'N', 'M', ...
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
  //   B  in Visual FoxPro tables (a double) the number in shortest form
  //   T  (date and time) "YYYYMMDDhhmmss" ("" when blank)
  //   M G P, B in dBASE tables  the memo's bytes ("" when there is none), at
  //                             most the first DbfTable::kMemoKeep of them
  std::string AsString() const;

 private:
  friend class DbfTable;
  friend struct DbfLayout;

  const DbfTable* table_ = nullptr;
  const DbfFieldType* kind_ = nullptr;  // none for a type this reader cannot read
  std::string name_;
  char type_ = 'C';
  std::size_t offset_ = 0;  // within the record, after the deletion flag
  std::size_t length_ = 0;
  unsigned decimals_ = 0;
};

}  // namespace tolvo
