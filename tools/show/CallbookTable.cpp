#include "tools/show/CallbookTable.h"

#include <algorithm>
#include <string_view>

#include "text/Cp1250Text.h"
#include "text/PolishPlural.h"

namespace tolvo::show {
namespace {

constexpr std::string_view kGap = " ";
constexpr char kCutMark = '\x85';  // "…" in Windows-1250

// Every Windows-1250 byte is one character, so widths count bytes.
std::size_t TableWidth(const std::vector<std::size_t>& widths) {
  std::size_t sum = widths.empty() ? 0 : (widths.size() - 1) * kGap.size();
  for (std::size_t w : widths) sum += w;
  return sum;
}

std::string Shown(std::string_view cell) {
  std::string s(cell);
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return s;
}

}  // namespace

std::vector<std::size_t> ColumnWidths(const CallbookListing& listing, bool whole,
                                      std::size_t limit) {
  const std::size_t n = listing.columns.size();
  std::vector<std::size_t> natural(n), least(n);
  for (std::size_t c = 0; c < n; ++c) natural[c] = least[c] = listing.columns[c].size();
  for (const auto& row : listing.rows)
    for (std::size_t c = 0; c < n && c < row.size(); ++c)
      if (row[c]) natural[c] = std::max(natural[c], row[c]->size());
  if (whole || TableWidth(natural) <= limit) return natural;

  // The call sign and the country are never cut.
  const auto keptWhole = [n](std::size_t c) { return c == 0 || c == n - 1; };
  for (std::size_t c = 0; c < n; ++c)
    if (keptWhole(c)) least[c] = natural[c];
  // fits[c][w]: how many values of column c are at most w long.
  std::vector<std::vector<std::size_t>> fits(n);
  for (std::size_t c = 0; c < n; ++c) {
    fits[c].assign(natural[c] + 1, 0);
    for (const auto& row : listing.rows) ++fits[c][c < row.size() && row[c] ? row[c]->size() : 0];
    for (std::size_t w = 1; w <= natural[c]; ++w) fits[c][w] += fits[c][w - 1];
  }

  std::vector<std::size_t> width = least;
  std::size_t room = limit > TableWidth(least) ? limit - TableWidth(least) : 0;
  // Each round widens the column where the room bought saves the most values
  // per column of room, looking past widths that save none.
  while (room > 0) {
    std::size_t best = n, bestTo = 0, bestGain = 0;
    for (std::size_t c = 0; c < n; ++c) {
      for (std::size_t to = width[c] + 1; to <= std::min(natural[c], width[c] + room); ++to) {
        const std::size_t gain = fits[c][to] - fits[c][width[c]];
        // gain / (to - width[c]) against bestGain / (bestTo - width[best])
        if (gain > 0 && (best == n || gain * (bestTo - width[best]) > bestGain * (to - width[c]))) {
          best = c;
          bestTo = to;
          bestGain = gain;
        }
      }
    }
    if (best == n) break;  // every column shows all its values whole
    room -= bestTo - width[best];
    width[best] = bestTo;
  }
  return width;
}

std::string FormatCallbook(const CallbookListing& listing, bool whole) {
  const std::size_t n = listing.columns.size();
  const std::vector<std::size_t> width = ColumnWidths(listing, whole);
  bool cut = false;
  auto line = [&](auto cell) {
    std::string l;
    for (std::size_t c = 0; c < n; ++c) {
      if (c) l += kGap;
      std::string v = cell(c);
      if (v.size() > width[c]) {
        v.resize(width[c] - 1);
        v += kCutMark;
        cut = true;
      }
      if (c == n - 1 && n > 1) l += std::string(width[c] - v.size(), ' ') + v;  // KRAJ to the right
      else l += v + std::string(width[c] - v.size(), ' ');
    }
    while (!l.empty() && l.back() == ' ') l.pop_back();
    return Cp1250ToUtf8(l) + "\n";
  };
  std::string out = line([&](std::size_t c) { return listing.columns[c]; });
  out += line([&](std::size_t c) { return std::string(width[c], '-'); });
  for (const auto& row : listing.rows)
    out += line(
        [&](std::size_t c) { return c < row.size() && row[c] ? Shown(*row[c]) : std::string(); });
  out += PolishCount(listing.rows.size(), "stacja", "stacje", "stacji") + "\n";
  if (cut) out += "Wartości dłuższe niż ich kolumna są ucięte („…”); całe pokazuje opcja --full.\n";
  return out;
}

std::string InUseText(const std::filesystem::path& database) {
  return database.string() +
         " jest otwarty przez inny program (Tolvo lub TolvoIMP). Zamknij go i spróbuj ponownie.";
}

}  // namespace tolvo::show
