// Small helpers shared by the table and the report readers: the text of an
// errno value, an owning FILE pointer, and what tells whether a file was
// written to or replaced since it was last looked at.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace tolvo {

// What went wrong, in Polish, for the errno value `err`: a lower-case phrase
// without a final full stop, to follow a colon ("nie można otworzyć pliku:
// brak uprawnień"). Values without a wording of their own give "błąd
// systemowy nr N" with the symbolic name when the C library knows it; 0
// gives "nieznany błąd".
std::string ErrnoText(int err);

// Closes the file when the pointer goes; a failure to close is not seen.
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct FileStamp {
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t seconds = 0, nanoseconds = 0;  // last modification
  bool operator==(const FileStamp&) const = default;
};

// The stamp of an open file into `stamp`; false, with errno set, when the
// system cannot tell.
bool ReadStamp(std::FILE* file, FileStamp& stamp);
// The same, all zero when it cannot be had.
FileStamp StampOf(std::FILE* file);

}  // namespace tolvo
