#include "source/FileLookup.h"

#include <system_error>

namespace tolvo {

std::optional<std::filesystem::path> FindFileCaseBlind(const std::filesystem::path& folder,
                                                       std::string_view name,
                                                       bool allowDirectories) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  if (ec) return std::nullopt;
  std::optional<fs::path> best;
  for (; it != end; it.increment(ec)) {
    if (ec) break;
    const std::string entry = it->path().filename().string();
    if (!EqualsIgnoreAsciiCase(entry, name)) continue;
    std::error_code tec;
    if (!allowDirectories && fs::is_directory(it->path(), tec)) continue;
    if (entry == name) return it->path();
    if (!best || entry < best->filename().string()) best = it->path();
  }
  return best;
}

std::optional<std::filesystem::path> FindInWorkingFolder(std::string_view name) {
  std::error_code ec;
  auto cwd = std::filesystem::current_path(ec);
  if (ec) return std::nullopt;
  return FindFileCaseBlind(cwd, name);
}

}  // namespace tolvo
