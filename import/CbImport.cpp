#include "import/CbImport.h"

#include <string>
#include <string_view>

#include "text/CountryNumbers.h"
#include "text/Cp1250Text.h"
#include "text/FieldText.h"
#include "text/Locators.h"

namespace tolvo {
RecordOutcome ImportCBRecord(const IRecordFields& rec, ICallbook& book) {
  // Every field is read once, in the table's order; the values below are
  // views into these.
  const std::string znak = rec.FieldAsString("Znak");
  const std::string imie = rec.FieldAsString("Imie");
  const std::string nazwisko = rec.FieldAsString("Nazwisko");
  const std::string adres = rec.FieldAsString("Adres");
  const std::string poczta = rec.FieldAsString("Poczta");
  const std::string loc = rec.FieldAsString("Loc");
  const std::string kod = rec.FieldAsString("Kod");

  const std::string callSign = ToUpper1250(StripBlanksView(znak));
  std::string_view locator = StripBlanksView(loc);
  const std::string_view kodStripped = StripBlanksView(kod);

  const std::string_view key = StationKey(callSign);
  // Only a record that will be written needs its text converted.
  const bool found = book.FindStation(key);
  if (key.empty()) return RecordOutcome::NoCallSign;
  if (found) return RecordOutcome::AlreadyThere;

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

  book.AppendStation();
  book.SetField(StationField::STACJA, key);
  book.SetField(StationField::NAZWA, BuildFullName(surname, firstName));
  book.SetField(StationField::IMIE, firstName);
  book.SetField(StationField::NAZWISKO, surname);
  book.SetField(StationField::LOKATOR, locator);
  book.SetField(StationField::MIASTO, town);
  book.SetField(StationField::KODPOCZT, postalCode);
  book.SetField(StationField::ADRES, address);
  book.SetField(StationField::WOJEW, voivodeship);
  book.SetField(StationField::POWIAT, county);
  book.SetCountry(kCountryPoland);
  book.PostStation();
  return RecordOutcome::Added;
}

}  // namespace tolvo
