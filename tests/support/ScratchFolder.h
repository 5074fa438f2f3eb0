// A temporary folder for one test: made under /tmp, removed with everything
// in it when the object goes. Optionally the working folder for its lifetime.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvo {

// Makes `folder` the working folder until the guard goes, then returns to
// the one that was current before.
class WorkingFolderGuard {
 public:
  explicit WorkingFolderGuard(const std::filesystem::path& folder);
  ~WorkingFolderGuard();
  WorkingFolderGuard(const WorkingFolderGuard&) = delete;
  WorkingFolderGuard& operator=(const WorkingFolderGuard&) = delete;

 private:
  std::filesystem::path previous_;
};

// The names of what `folder` holds, sorted.
std::vector<std::string> Entries(const std::filesystem::path& folder);

class ScratchFolder {
 public:
  enum class Enter { No, Yes };
  // Throws std::runtime_error when the folder cannot be made.
  explicit ScratchFolder(Enter enter = Enter::No);
  // Leaves the folder first when it was entered, then removes it.
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
  std::optional<WorkingFolderGuard> guard_;
};

}  // namespace tolvo
