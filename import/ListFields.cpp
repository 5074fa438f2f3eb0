#include "import/ListFields.h"

namespace tolvo {
namespace {

constexpr ListField kCb[] = {{"Znak", 'C', 10},   {"Imie", 'C', 15}, {"Nazwisko", 'C', 30},
                             {"Adres", 'C', 40},  {"Poczta", 'C', 30}, {"Loc", 'C', 6},
                             {"Kod", 'C', 6}};
// LOG_C_SP.DBF and LOG_C_OK.DBF come from the same logging program.
constexpr ListField kLogC[] = {{"Call", 'C', 10}, {"Name", 'C', 30}, {"mem_f", 'M', 10},
                               {"QRA_LOC", 'C', 6}, {"WOJ", 'C', 3}};
constexpr ListField kOkCall[] = {{"Call", 'C', 10},    {"Name", 'C', 20}, {"LastName", 'C', 40},
                                 {"Address", 'C', 40}, {"City", 'C', 35}, {"ZIP", 'C', 10}};

}  // namespace

std::span<const ListField> ListFieldsOf(ImportKindId kind) {
  switch (kind) {
    case ImportKindId::CB: return kCb;
    case ImportKindId::LogCSP:
    case ImportKindId::LogCOK: return kLogC;
    case ImportKindId::OKCall: return kOkCall;
    case ImportKindId::Amateur: break;
  }
  return {};
}

}  // namespace tolvo
