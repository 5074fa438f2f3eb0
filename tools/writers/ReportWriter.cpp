#include "tools/writers/ReportWriter.h"

#include <fstream>
#include <stdexcept>

namespace tolvo {
namespace {

constexpr std::size_t kLineLength = 199;

void Place(std::string& line, std::size_t column, std::size_t width, std::string_view value,
           const char* what) {
  if (value.size() > width)
    throw std::invalid_argument(std::string("AMATEUR.RPT ") + what + " wider than " +
                                std::to_string(width) + ": '" + std::string(value) + "'");
  line.replace(column - 1, value.size(), value);
}

}  // namespace

std::string AmateurLine(std::string_view call, std::string_view firstNames,
                        std::string_view surname, std::string_view address, std::string_view town,
                        std::string_view region, std::string_view postalCode) {
  std::string line(kLineLength, ' ');
  Place(line, 1, 6, call, "call sign");
  Place(line, 8, 35, firstNames, "first names");
  Place(line, 44, 35, surname, "surname");
  Place(line, 80, 70, address, "address");
  Place(line, 151, 35, town, "town");
  Place(line, 187, 2, region, "region");
  Place(line, 190, 10, postalCode, "postal code");
  return line;
}

std::string AmateurLine(const AmateurEntry& e) {
  return AmateurLine(e.call, e.firstNames, e.surname, e.address, e.town, e.region, e.postalCode);
}

std::vector<std::string> AmateurHeader() {
  return {
      "                    AMATEUR RADIO STATIONS - CANADA",
      "",
      "CALL   FIRST NAME                          SURNAME                             ADDRESS",
      "------ ----------------------------------- ----------------------------------- -------",
  };
}

void WriteAmateurReport(const std::filesystem::path& file, const std::vector<std::string>& lines,
                        std::string_view lineEnd) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  for (const auto& l : AmateurHeader()) out << l << lineEnd;
  for (const auto& l : lines) out << l << lineEnd;
  out.close();
  if (!out) throw std::runtime_error(file.string() + ": nie można zapisać pliku");
}

}  // namespace tolvo
