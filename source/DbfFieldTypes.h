// The field types of dBASE tables: for each type letter, what its
// descriptor must say and how its stored bytes become text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvo {

struct DbfFieldType {
  enum class Tables { All, VisualFoxPro, OtherThanVisualFoxPro };

  char letter;
  Tables tables;                  // the tables whose letter means this type
  std::size_t length;             // the one length allowed; 0 for any
  bool lengthHighByteInDecimals;  // long character fields
  // The value as text from the field's stored bytes; none for a memo, whose
  // bytes refer to the memo file (see MemoBlockOf).
  std::string (*text)(std::string_view stored);
};

// The type that `letter` stands for in a Visual FoxPro table or another;
// none for a letter this reader cannot read.
const DbfFieldType* FindFieldType(char letter, bool visualFoxPro);

// The memo block a memo field's stored bytes refer to: four bytes are a
// binary number, anything else decimal digits between blanks (blanks alone:
// 0, no memo). None when the bytes are neither.
std::optional<std::uint64_t> MemoBlockOf(std::string_view stored);

// Stored bytes without the blanks and NULs that pad them after, or on both
// sides of, the value.
std::string_view WithoutTrailingPadding(std::string_view s);
std::string_view WithoutPadding(std::string_view s);

}  // namespace tolvo
