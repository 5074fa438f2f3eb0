#include "import/AmateurImport.h"

#include <string>
#include <string_view>

#include "text/FieldText.h"

namespace tolvo {
namespace {

// Columns `from` (counted from 1) to from + width - 1 of the line, as far as
// the line reaches.
std::string_view Columns(std::string_view line, std::size_t from, std::size_t width) {
  if (from > line.size()) return {};
  return line.substr(from - 1, width);
}

// The blank-stripped columns, empty when they hold the report's placeholder
// for an unknown value (compared with its case).
std::string Field(std::string_view line, std::size_t from, std::size_t width,
                  std::string_view unknown = {}) {
  const std::string_view value = StripBlanksView(Columns(line, from, width));
  if (!unknown.empty() && value == unknown) return {};
  return std::string(value);
}

}  // namespace

RecordPlan ImportAmateurLine(std::string_view line, IStationLookup& lookup) {
  if (line.size() < kAmateurMinLineLength) return RecordPlan::Skip(RecordOutcome::Skipped);

  const std::string callSign = AsciiUpper(Field(line, 1, 6));
  const std::string firstNames = Field(line, 8, 35, "First Name Unknown");
  const std::string surname = Field(line, 44, 35, "Surname Unknown");
  const std::string address = Field(line, 80, 70, "ADDRESS UNKNOWN");
  const std::string town = Field(line, 151, 35, "CITY UNKNOWN");
  const std::string region = Field(line, 187, 2);
  const std::string postalCode = Field(line, 190, 10);

  const std::string_view key = StationKey(callSign);
  const NewCheck check = CheckNew(key, lookup);
  if (check.skip) return RecordPlan::Skip(*check.skip);

  // IMIE holds one given name: of "John Paul" only "John"; longer runs of
  // names stay whole.
  const std::string firstName =
      !firstNames.empty() && HasExactlyOneSpace(firstNames) ? FirstWord(firstNames) : firstNames;

  const std::string fullName = BuildFullName(surname, firstNames);
  // clang-format off
  return PlanRow(NewStationRow({.callSign = key, .fullName = fullName, .firstName = firstName,
                                .surname = surname, .town = town, .postalCode = postalCode,
                                .address = address, .region = region},
                               kCountryCanada),
                 check.found);
  // clang-format on
}

}  // namespace tolvo
