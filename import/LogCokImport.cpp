#include "import/LogCokImport.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "text/CountryNumbers.h"
#include "text/Cp1250Text.h"
#include "text/FieldText.h"
#include "text/LocatorRepair.h"

namespace tolvo {

bool HasPostalCodePrefix(std::string_view text) {
  const std::string_view t = StripBlanksView(text);
  return t.size() >= 6 && IsDigit(t[0]) && IsDigit(t[1]) && (t[2] == '-' || t[2] == ' ') &&
         IsDigit(t[3]) && IsDigit(t[4]) && IsDigit(t[5]);
}

std::string_view PostalCodePart(std::string_view text) { return text.substr(0, 6); }

std::string_view TownPart(std::string_view text) {
  if (!HasPostalCodePrefix(text)) return text;
  return text.size() > 6 ? text.substr(6) : std::string_view();
}

std::string AfterFirstWord(std::string_view text) {
  const std::string_view t = StripBlanksView(text);
  const std::size_t blank = t.find(' ');
  if (blank == std::string_view::npos) return {};
  return std::string(t.substr(blank + 1));
}

RecordPlan ImportLogCOKRecord(const IRecordFields& rec, IStationLookup& lookup) {
  const std::string call = rec.FieldAsString("Call");
  const std::string callSign = ToUpper1250(StripBlanksView(call));
  const std::string_view key = StationKey(callSign);
  const std::optional<StoredStation> found = lookup.Find(key);

  // Every field is read, in the table's order, whatever becomes of the
  // record, so that a table lacking one fails on any record.
  const std::string name = rec.FieldAsString("Name");
  const std::string memF = rec.FieldAsString("mem_f");
  const std::string locator = RepairLocator(rec.FieldAsString("QRA_LOC"));
  rec.FieldAsString("WOJ");  // must exist in the table; its value is not used

  std::optional<RecordPlan> ofFound;
  if (found) {
    // A known station only gets a locator it lacks; nothing else changes.
    ofFound = !locator.empty() && StripBlanksView(found->locator).empty()
                  ? RecordPlan::FillLocator(found->callSign, locator)
                  : RecordPlan::Skip(RecordOutcome::AlreadyThere);
    if (!lookup.WantsRowsOfFound()) return std::move(*ofFound);
  } else if (key.empty()) {
    return RecordPlan::Skip(RecordOutcome::NoCallSign);
  }

  const std::string_view firstName = StripBlanksView(name);

  // mem_f is "name;address;postal code and town". A blank field splits into
  // three empty parts, so nothing below is set from it.
  const SemicolonTriple parts = SplitSemicolonTriple(memF);
  std::string surname;
  std::string fullName;
  std::string_view postalCode;
  std::string_view town;
  const std::string_view address = parts.second;
  if (!parts.first.empty()) {
    // A "first-name surname" part 1 gives the surname; otherwise the display
    // name is part 1 as it stands, or, with a first name, the first name.
    if (!firstName.empty() && HasExactlyOneSpace(parts.first)) {
      surname = AfterFirstWord(parts.first);
      fullName = BuildFullName(surname, firstName);
    }
    if (firstName.empty()) fullName = parts.first;
    if (fullName.empty()) fullName = firstName;
  }
  const std::string_view townAndCode = StripBlanksView(parts.third);
  if (!townAndCode.empty()) {
    if (HasPostalCodePrefix(townAndCode)) {
      postalCode = PostalCodePart(townAndCode);
      town = TownPart(townAndCode);
    } else {
      town = parts.third;
    }
  }

  StationRow row;
  row.Set(StationField::STACJA, key);
  row.Set(StationField::NAZWA, fullName);
  row.Set(StationField::IMIE, firstName);
  row.Set(StationField::NAZWISKO, surname);
  row.Set(StationField::MIASTO, town);
  row.Set(StationField::KODPOCZT, postalCode);
  row.Set(StationField::ADRES, address);
  row.Set(StationField::LOKATOR, locator);
  row.country = kCountryCzechRepublic;
  if (ofFound) return std::move(*ofFound).WithRow(std::move(row));
  return RecordPlan::Insert(std::move(row));
}

}  // namespace tolvo
