#include "tests/support/ScratchFolder.h"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>

namespace tolvo {

WorkingFolderGuard::WorkingFolderGuard(const std::filesystem::path& folder)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(folder);
}

WorkingFolderGuard::~WorkingFolderGuard() {
  std::error_code ec;
  std::filesystem::current_path(previous_, ec);
}

ScratchFolder::ScratchFolder(Enter enter) {
  std::string pattern = "/tmp/tolvo-test-XXXXXX";
  if (!mkdtemp(pattern.data()))
    throw std::runtime_error("cannot make a scratch folder: " + std::string(std::strerror(errno)));
  path_ = pattern;
  if (enter == Enter::Yes) {
    try {
      guard_.emplace(path_);
    } catch (...) {
      std::error_code ec;
      std::filesystem::remove_all(path_, ec);
      throw;
    }
  }
}

ScratchFolder::~ScratchFolder() {
  guard_.reset();
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> Entries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tolvo
