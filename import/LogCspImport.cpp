#include "import/LogCspImport.h"

#include <array>
#include <cstdint>
#include <optional>

#include "import/ListFields.h"
#include "store/StationFields.h"
#include "text/AddressFixes.h"
#include "text/ClubCallSigns.h"
#include "text/ClubNames.h"
#include "text/CountryNumbers.h"
#include "text/Cp1250Text.h"
#include "text/FieldText.h"
#include "text/FirstNames.h"
#include "text/PlaceNames.h"
#include "text/LocatorRepair.h"

namespace tolvo {

namespace {

// Mazovia (small and capital, plus the two bytes that upper-casing the raw
// text produces) -> Windows-1250 capital.
constexpr ByteMap kUpperMap = [] {
  ByteMap m = IdentityByteMap();
  m[0x86] = 0xA5;  // ą -> Ą
  m[0x8C] = 0xA3;  // Ł upper-cased as Windows-1250 -> Ł
  m[0x8E] = 0x8C;  // ś upper-cased as Windows-1250 -> Ś
  m[0x8F] = 0xA5;  // Ą
  m[0x90] = 0xCA;  // Ę
  m[0x91] = 0xCA;  // ę -> Ę
  m[0x92] = 0xA3;  // ł -> Ł
  m[0x95] = 0xC6;  // Ć
  m[0x98] = 0x8C;  // Ś
  m[0x9C] = 0xA3;  // Ł
  m[0xA0] = 0x8F;  // Ź
  m[0xA1] = 0xAF;  // Ż
  m[0xA2] = 0xD3;  // ó -> Ó
  m[0xA3] = 0xD3;  // Ó
  m[0xA4] = 0xD1;  // ń -> Ń
  m[0xA5] = 0xD1;  // Ń
  m[0xA6] = 0x8F;  // ź -> Ź
  m[0xA7] = 0xAF;  // ż -> Ż
  return m;
}();

// The upper-case conversion leaves Mazovia ć (0x8D) and ś (0x9E) alone, so
// that the club-name keys, which hold them, still match. Text that is stored
// must not keep them: they would read as Ť and ž.
void FinishUpperConversion(std::string& text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) == 0x8D) c = static_cast<char>(0xC6);       // Ć
    else if (static_cast<unsigned char>(c) == 0x9E) c = static_cast<char>(0x8C);  // Ś
  }
}

// Mazovia text, upper-cased or not, in Windows-1250 capitals.
std::string UpperPolishLetters(std::string_view text) {
  std::string out = MazoviaToCp1250Upper(text);
  FinishUpperConversion(out);
  return out;
}

// StripBlanks as a view: no copy where only a test or a slice follows.
constexpr std::string_view Trimmed(std::string_view s) { return StripBlanksView(s); }

char Upper(char c) { return static_cast<char>(ToUpper1250(static_cast<unsigned char>(c))); }
char Lower(char c) { return static_cast<char>(ToLower1250(static_cast<unsigned char>(c))); }

// A name or town looked up by its trimmed, upper-cased form; when the table
// lacks it, that form with capital initial, its Polish letters converted.
std::string NormalizeByTable(std::string_view text, const NameTable& table) {
  std::string key = ToUpper1250(Trimmed(text));
  if (key.empty()) return {};
  if (const std::string_view* value = table.Find(key)) return std::string(*value);
  return CapitalizeWord(UpperPolishLetters(key));
}

}  // namespace

std::string MazoviaToCp1250Upper(std::string_view text) { return MapBytes(text, kUpperMap); }

std::string NormalizeFirstName(std::string_view text) {
  return NormalizeByTable(text, FirstNames());
}

std::string NormalizePlaceName(std::string_view text) {
  return NormalizeByTable(text, PlaceNames());
}

bool IsClubCallSign(std::string_view callSign) {
  const std::string_view call = Trimmed(callSign);
  for (std::size_t i = 0; i < ClubCallSignCount(); ++i)
    if (ClubCallSign(i) == call) return true;
  return false;
}

std::string TitleCase(std::string_view text) {
  std::string out = ToLower1250(Trimmed(text));
  char before = ' ';
  for (char& c : out) {
    const char self = c;
    if (before == ' ' || before == '-' || before == '.' || before == ';') c = Upper(c);
    before = self;
  }
  return out;
}

std::string LowerTail(std::string_view text) {
  std::string out(text);
  if (out.size() >= 2)
    for (std::size_t i = 1; i < out.size(); ++i) out[i] = Lower(out[i]);
  return out;
}

std::string CapitalAfterHyphen(std::string_view text) {
  std::string out(text);
  const std::size_t hyphen = out.find('-');
  if (hyphen != std::string::npos && hyphen + 1 < out.size())
    out[hyphen + 1] = Upper(out[hyphen + 1]);
  return out;
}

std::string SurnamePart(std::string_view text) {
  return CapitalAfterHyphen(LowerTail(AfterFirstWord(text)));
}

RecordPlan ImportLogCSPRecord(const IRecordFields& rec, IStationLookup& lookup) {
  const auto [callField] = ReadListFields<ImportKindId::LogCSP, 0, 1>(rec);
  const std::string call = ToUpper1250(Trimmed(callField));

  // The row is looked up by the key it would be stored under: a call sign
  // longer than the column (or holding a NUL) is cut the same way in both
  // places, so that a second such record finds the first instead of
  // colliding with it at the insert.
  const std::optional<std::string> stored = ColumnValue(StationField::STACJA, call);
  const std::string_view key = stored ? std::string_view(*stored) : std::string_view();
  const NewCheck check = CheckNew(key, lookup);

  // Every field is read, in the table's order, whether or not the record
  // will be written, so that a table lacking one fails on any record; the
  // text work below is done only for a row that will be appended.
  const auto [nameField, memF, locField, wojField] = ReadListFields<ImportKindId::LogCSP, 1>(rec);
  if (check.skip) return RecordPlan::Skip(*check.skip);

  std::string firstName = NormalizeFirstName(Trimmed(nameField));
  const auto parts = SplitSemicolonTriple(memF);

  std::string surname, fullName, address, postalCode, town;
  if (!Trimmed(memF).empty()) {
    // The name (first piece of mem_f) in two forms: as the club-name table
    // keys it, and with every Polish letter converted, for what is stored
    // when no club name matches.
    std::string part1, part1Letters;
    bool fullNameIsPart1 = false;
    if (!parts.first.empty()) {
      part1 = MazoviaToCp1250Upper(parts.first);
      part1Letters = part1;
      FinishUpperConversion(part1Letters);
      if (!firstName.empty() && HasExactlyOneSpace(part1)) {
        surname = TitleCase(SurnamePart(part1Letters));
        fullName = BuildFullName(surname, firstName);
      }
      if (firstName.empty()) {
        fullName = part1;
        fullNameIsPart1 = true;
      }
      if (IsClubCallSign(call)) {
        firstName.clear();
        surname.clear();
        fullName = part1;
        fullNameIsPart1 = true;
      }
      if (fullName.empty()) fullName = firstName;
    }
    if (!fullName.empty()) {
      if (const std::string_view* club = ClubNames().Find(fullName)) fullName = std::string(*club);
      else if (fullNameIsPart1) fullName = part1Letters;
    }

    address = TitleCase(UpperPolishLetters(parts.second));
    if (!address.empty()) address = FixAbbreviations(address);

    const std::string_view part3 = parts.third;
    if (!Trimmed(part3).empty()) {
      if (BeginsWithPostalCode(part3)) postalCode = PostalCodeOf(part3);
      town = NormalizePlaceName(ToUpper1250(TownAfterPostalCode(part3)));
    }
  }

  const std::string locator = RepairLocator(locField);

  const std::string region = ToUpper1250(Trimmed(wojField));
  std::string_view voivodeship, county;
  if (region.size() == 3) {
    voivodeship = std::string_view(region).substr(0, 1);
    county = std::string_view(region).substr(1, 2);
  }

  // clang-format off
  return PlanRow(NewStationRow({.callSign = key, .fullName = fullName, .firstName = firstName,
                                .surname = surname, .town = town, .postalCode = postalCode,
                                .address = address, .locator = locator, .voivodeship = voivodeship,
                                .county = county},
                               kCountryPoland),
                 check.found);
  // clang-format on
}

}  // namespace tolvo
