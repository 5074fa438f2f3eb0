#include "import/CbImport.h"

#include <string>
#include <string_view>

#include "import/ListFields.h"
#include "text/CountryNumbers.h"
#include "text/Cp1250Text.h"
#include "text/FieldText.h"
#include "text/Locators.h"

namespace tolvo {
RecordPlan ImportCBRecord(const IRecordFields& rec, IStationLookup& lookup) {
  // Every field is read once, in the table's order; the values below are
  // views into these.
  const auto [znak, imie, nazwisko, adres, poczta, loc, kod] =
      ReadListFields<ImportKindId::CB>(rec);

  const std::string callSign = ToUpper1250(StripBlanksView(znak));
  std::string_view locator = StripBlanksView(loc);
  const std::string_view kodStripped = StripBlanksView(kod);

  const std::string_view key = StationKey(callSign);
  // Only a record that will be written needs its text converted.
  const NewCheck check = CheckNew(key, lookup);
  if (check.skip) return RecordPlan::Skip(*check.skip);

  // CB.DBF marks an unknown locator with a lone question mark.
  if (locator == "?") locator = {};

  std::string_view voivodeship;
  std::string_view county;
  if (locator.size() == 6) {
    const LocatorRegion region = FindLocatorRegion(locator);
    if (region.found) {
      voivodeship = region.voivodeship;
      county = region.county;
    }
  }

  const std::string firstName = MazoviaToCp1250(StripBlanksView(imie));
  const std::string surname = MazoviaToCp1250(StripBlanksView(nazwisko));
  const std::string address = MazoviaToCp1250(StripBlanksView(adres));
  const std::string town = MazoviaToCp1250(StripBlanksView(poczta));

  // CB.DBF keeps postal codes without their hyphen: 00950 -> 00-950.
  std::string postalCode(kodStripped);
  if (postalCode.size() == 5) postalCode.insert(2, 1, '-');

  const std::string fullName = BuildFullName(surname, firstName);
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
