#include "import/OkCallImport.h"

#include <string>
#include <string_view>
#include <utility>

#include "text/Cp1250Text.h"
#include "text/FieldText.h"

namespace tolvo {

RecordPlan ImportOKCallRecord(const IRecordFields& rec, IStationLookup& lookup) {
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
  const bool found = lookup.Find(key).has_value();
  if (key.empty()) return RecordPlan::Skip(RecordOutcome::NoCallSign);
  if (found && !lookup.WantsRowsOfFound()) return RecordPlan::Skip(RecordOutcome::AlreadyThere);

  StationRow row;
  row.Set(StationField::STACJA, key);
  row.Set(StationField::NAZWA, BuildFullName(surname, firstName));
  row.Set(StationField::IMIE, firstName);
  row.Set(StationField::NAZWISKO, surname);
  row.Set(StationField::MIASTO, town);
  row.Set(StationField::KODPOCZT, postalCode);
  row.Set(StationField::ADRES, address);
  row.country = kCountryCzechRepublic;
  if (found) return RecordPlan::Skip(RecordOutcome::AlreadyThere).WithRow(std::move(row));
  return RecordPlan::Insert(std::move(row));
}

}  // namespace tolvo
