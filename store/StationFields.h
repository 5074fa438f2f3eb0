// The columns of STACJE that the importers read or write, with their widths.
//
// The column names are Polish, as the logging program made them:
//   STACJA    station: the call sign (the primary key)
//   NAZWA     name: the operator's or station's full name as an import composes it
//   IMIE      first name
//   NAZWISKO  surname
//   MIASTO    town
//   KODPOCZT  postal code
//   ADRES     street address
//   LOKATOR   Maidenhead locator
//   WOJEW     Polish voivodeship (province), one letter
//   POWIAT    Polish county (powiat) code
//   RODZAJ    kind of station; no import sets it
//   DOMENA    region code, such as a Canadian province
//   KRAJ      country, as its DXCC entity number (269 Poland, 503 Czech
//             Republic, 1 Canada)
// and, never written by this system: MANAGER (QSL manager), IOTA (Islands on
// the Air reference), EMAIL1, EMAIL2, UWAGI (remarks), DATAAKT (date of the
// last update), AKTUAL (up to date: yes or no).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tolvo {

// One field object per text column the system uses (the table view's
// StacjeSTACJA ... StacjeDOMENA); KRAJ is set through its own operation.
enum class StationField : std::size_t {
  STACJA,
  NAZWA,
  IMIE,
  NAZWISKO,
  MIASTO,
  KODPOCZT,
  ADRES,
  LOKATOR,
  WOJEW,
  POWIAT,
  RODZAJ,
  DOMENA,
};

inline constexpr std::size_t kStationTextFieldCount = 12;

struct StationFieldInfo {
  std::string_view column;  // capitalised column name as the catalogue stores it
  std::size_t width;        // characters (one byte each in WIN1250)
};

inline constexpr std::array<StationFieldInfo, kStationTextFieldCount> kStationFieldInfo = {{
    {"STACJA", 10},
    {"NAZWA", 60},
    {"IMIE", 15},
    {"NAZWISKO", 40},
    {"MIASTO", 25},
    {"KODPOCZT", 10},
    {"ADRES", 50},
    {"LOKATOR", 6},
    {"WOJEW", 1},
    {"POWIAT", 2},
    {"RODZAJ", 1},
    {"DOMENA", 6},
}};

constexpr const StationFieldInfo& InfoOf(StationField f) {
  return kStationFieldInfo[static_cast<std::size_t>(f)];
}

// What setting a text column stores: the value up to its first NUL, cut to
// the column's width; an empty result is NULL (nullopt).
constexpr std::optional<std::string_view> ColumnView(StationField f, std::string_view value) {
  const std::size_t nul = value.find('\0');
  if (nul != std::string_view::npos) value = value.substr(0, nul);
  value = value.substr(0, InfoOf(f).width);
  if (value.empty()) return std::nullopt;
  return value;
}
inline std::optional<std::string> ColumnValue(StationField f, std::string_view value) {
  const std::optional<std::string_view> stored = ColumnView(f, value);
  if (!stored) return std::nullopt;
  return std::string(*stored);
}

// The call sign as STACJA will hold it: up to a NUL, at most the column's
// width. Importers look up and test this form rather than the raw value, so
// that an over-long call sign occurring twice finds its own first row
// instead of colliding with it on insert.
constexpr std::string_view StationKey(std::string_view callSign) {
  return ColumnView(StationField::STACJA, callSign).value_or(std::string_view());
}

}  // namespace tolvo
