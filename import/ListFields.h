// The fields of each dBASE list, written down once: their names as the
// per-record steps spell them (the reader matches them without regard to
// letter case), their types and widths. The steps read their fields through
// this description; the writers of sample lists (the demo folder, the
// benchmark, the tests) lay tables out from it.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "import/ImportKinds.h"
#include "source/RecordFields.h"

namespace tolvo {

struct ListField {
  std::string_view name;
  char type;        // 'C' character, 'M' memo
  unsigned length;  // in bytes; a memo's is its block number's, 10
};

namespace detail {

inline constexpr ListField kCbFields[] = {
    {"Znak", 'C', 10},   {"Imie", 'C', 15}, {"Nazwisko", 'C', 30}, {"Adres", 'C', 40},
    {"Poczta", 'C', 30}, {"Loc", 'C', 6},   {"Kod", 'C', 6}};
// LOG_C_SP.DBF and LOG_C_OK.DBF come from the same logging program.
inline constexpr ListField kLogCFields[] = {
    {"Call", 'C', 10}, {"Name", 'C', 30}, {"mem_f", 'M', 10}, {"QRA_LOC", 'C', 6}, {"WOJ", 'C', 3}};
inline constexpr ListField kOkCallFields[] = {{"Call", 'C', 10},     {"Name", 'C', 20},
                                              {"LastName", 'C', 40}, {"Address", 'C', 40},
                                              {"City", 'C', 35},     {"ZIP", 'C', 10}};

}  // namespace detail

// The fields of the list that `kind` reads, in table order; empty for the
// report, which has lines rather than fields.
constexpr std::span<const ListField> ListFieldsOf(ImportKindId kind) {
  switch (kind) {
    case ImportKindId::CB: return detail::kCbFields;
    case ImportKindId::LogCSP:
    case ImportKindId::LogCOK: return detail::kLogCFields;
    case ImportKindId::OKCall: return detail::kOkCallFields;
    case ImportKindId::Amateur: break;
  }
  return {};
}

// The values of `count` fields of `kind`'s list, from field `from` on (all
// of them by default), each read once, in table order.
template <ImportKindId kind, std::size_t from = 0,
          std::size_t count = ListFieldsOf(kind).size() - from>
std::array<std::string, count> ReadListFields(const IRecordFields& record) {
  static_assert(from + count <= ListFieldsOf(kind).size());
  std::array<std::string, count> values;
  for (std::size_t i = 0; i < count; ++i)
    values[i] = record.FieldAsString(ListFieldsOf(kind)[from + i].name);
  return values;
}

}  // namespace tolvo
