#include "import/OkCallImport.h"

#include <string>
#include <string_view>

#include "import/ListFields.h"
#include "text/Cp1250Text.h"
#include "text/FieldText.h"

namespace tolvo {

RecordPlan ImportOKCallRecord(const IRecordFields& rec, IStationLookup& lookup) {
  // Every field is read once, in the table's order; the values are views
  // into them.
  const auto [call, name, lastName, addressField, city, zip] =
      ReadListFields<ImportKindId::OKCall>(rec);

  const std::string callSign = ToUpper1250(StripBlanksView(call));
  const std::string_view firstName = StripBlanksView(name);
  const std::string_view surname = StripBlanksView(lastName);
  const std::string_view address = StripBlanksView(addressField);
  const std::string_view town = StripBlanksView(city);
  const std::string_view postalCode = StripBlanksView(zip);

  const std::string_view key = StationKey(callSign);
  const NewCheck check = CheckNew(key, lookup);
  if (check.skip) return RecordPlan::Skip(*check.skip);

  const std::string fullName = BuildFullName(surname, firstName);
  // clang-format off
  return PlanRow(NewStationRow({.callSign = key, .fullName = fullName, .firstName = firstName,
                                .surname = surname, .town = town, .postalCode = postalCode,
                                .address = address},
                               kCountryCzechRepublic),
                 check.found);
  // clang-format on
}

}  // namespace tolvo
