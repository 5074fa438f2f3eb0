// Builds AMATEUR.RPT text for tests and tools: one station per line in fixed
// columns (call 1-6, first names 8-42, surname 44-78, address 80-149, town
// 151-185, region 187-188, postal code 190-199), after four header lines.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tolvo {

struct AmateurEntry {
  std::string call, firstNames, surname, address, town, region, postalCode;
};

// One line of 199 bytes, every value left-aligned in its column and padded
// with blanks. A value wider than its column throws std::invalid_argument.
std::string AmateurLine(std::string_view call, std::string_view firstNames,
                        std::string_view surname, std::string_view address, std::string_view town,
                        std::string_view region, std::string_view postalCode);
std::string AmateurLine(const AmateurEntry& entry);

// The four header lines that open a report.
std::vector<std::string> AmateurHeader();

// Writes the header and then `lines`, each followed by `lineEnd`.
// Throws std::runtime_error when the file cannot be written.
void WriteAmateurReport(const std::filesystem::path& file, const std::vector<std::string>& lines,
                        std::string_view lineEnd = "\r\n");

}  // namespace tolvo
