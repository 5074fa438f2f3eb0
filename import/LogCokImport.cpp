#include "import/LogCokImport.h"

#include <optional>
#include <string>
#include <string_view>

#include "import/ListFields.h"
#include "text/CountryNumbers.h"
#include "text/Cp1250Text.h"
#include "text/FieldText.h"
#include "text/LocatorRepair.h"

namespace tolvo {

namespace {

// The list writes a postal code with a hyphen or a blank.
constexpr std::string_view kPostalSeparators = "- ";

}  // namespace

RecordPlan ImportLogCOKRecord(const IRecordFields& rec, IStationLookup& lookup) {
  const auto [call] = ReadListFields<ImportKindId::LogCOK, 0, 1>(rec);
  const std::string callSign = ToUpper1250(StripBlanksView(call));
  const std::string_view key = StationKey(callSign);
  const std::optional<StoredStation> found = lookup.Find(key);

  // Every field is read, in the table's order, whatever becomes of the
  // record, so that a table lacking one fails on any record (WOJ too,
  // whose value is not used).
  [[maybe_unused]] const auto [name, memF, qraLoc, woj] =
      ReadListFields<ImportKindId::LogCOK, 1>(rec);
  const std::string locator = RepairLocator(qraLoc);

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
    if (BeginsWithPostalCode(townAndCode, kPostalSeparators)) {
      postalCode = PostalCodeOf(townAndCode);
      town = TownAfterPostalCode(townAndCode, kPostalSeparators);
    } else {
      town = parts.third;
    }
  }

  // clang-format off
  return PlanRow(NewStationRow({.callSign = key, .fullName = fullName, .firstName = firstName,
                                .surname = surname, .town = town, .postalCode = postalCode,
                                .address = address, .locator = locator},
                               kCountryCzechRepublic),
                 std::move(ofFound));
  // clang-format on
}

}  // namespace tolvo
