// Finding a file by name in a folder without regard to letter case, as the
// station lists and LOG.DAT are named on Windows.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "text/FieldText.h"  // EqualsIgnoreAsciiCase, as names are compared here

namespace tolvo {

// The path of the entry of `folder` whose name equals `name` ignoring ASCII
// letter case. When several differ only in case, the exact spelling wins,
// otherwise the first in byte order of the names. Directories do not count
// unless `allowDirectories`. Nothing when there is none or the folder
// cannot be read.
std::optional<std::filesystem::path> FindFileCaseBlind(const std::filesystem::path& folder,
                                                       std::string_view name,
                                                       bool allowDirectories = false);

// The same in the current working folder, as an absolute path.
std::optional<std::filesystem::path> FindInWorkingFolder(std::string_view name);

}  // namespace tolvo
