#include "source/FileHelpers.h"

#include <sys/stat.h>

#include <cstring>

namespace tolvo {

std::string ErrnoText(int err) { return err ? std::strerror(err) : "unknown error"; }

bool ReadStamp(std::FILE* file, FileStamp& stamp) {
  struct stat st {};
  if (fstat(fileno(file), &st) != 0) return false;
  stamp.device = static_cast<std::uint64_t>(st.st_dev);
  stamp.inode = static_cast<std::uint64_t>(st.st_ino);
  stamp.size = static_cast<std::uint64_t>(st.st_size);
  stamp.seconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  stamp.nanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
  return true;
}

FileStamp StampOf(std::FILE* file) {
  FileStamp stamp;
  if (!ReadStamp(file, stamp)) return {};
  return stamp;
}

}  // namespace tolvo
