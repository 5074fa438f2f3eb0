#include "import/OkCallImport.h"

#include <string>
#include <string_view>

#include "text/Cp1250Text.h"
#include "text/FieldText.h"

namespace tolvo {

RecordOutcome ImportOKCallRecord(const IRecordFields& rec, ICallbook& book) {
  // Every field is read once, in this order; the values are views into them.
  const std::string call = rec.FieldAsString("Call");
  const std::string name = rec.FieldAsString("Name");
  const std::string lastName = rec.FieldAsString("LastName");
  const std::string addressField = rec.FieldAsString("Address");
  const std::string city = rec.FieldAsString("City");
  const std::string zip = rec.FieldAsString("ZIP");

  const std::string callSign = ToUpper1250(StripBlanksView(call));
  const std::string_view firstName = StripBlanksView(name);
  const std::string_view surname = StripBlanksView(lastName);
  const std::string_view address = StripBlanksView(addressField);
  const std::string_view town = StripBlanksView(city);
  const std::string_view postalCode = StripBlanksView(zip);

  const std::string_view key = StationKey(callSign);
  const bool found = book.FindStation(key);
  if (key.empty()) return RecordOutcome::NoCallSign;
  if (found) return RecordOutcome::AlreadyThere;

  book.AppendStation();
  book.SetField(StationField::STACJA, key);
  book.SetField(StationField::NAZWA, BuildFullName(surname, firstName));
  book.SetField(StationField::IMIE, firstName);
  book.SetField(StationField::NAZWISKO, surname);
  book.SetField(StationField::MIASTO, town);
  book.SetField(StationField::KODPOCZT, postalCode);
  book.SetField(StationField::ADRES, address);
  book.SetCountry(kCountryCzechRepublic);
  book.PostStation();
  return RecordOutcome::Added;
}

}  // namespace tolvo
