// Small helpers shared by the table and the report readers: the text of an
// errno value, an owning FILE pointer, opening a file that must be a plain
// file, and what tells whether a file was written to or replaced since it was
// last looked at.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
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

// What a path leads to, where that is not a file with contents of its own.
enum class FileKind { Regular, Folder, Fifo, Socket, Device, Other };

struct OpenedFile {
  FilePtr file;                       // null when refused
  int err = 0;                        // the system's reason when it could not be opened at all
  FileKind kind = FileKind::Regular;  // what it is when it is no regular file
};

// Opens `path` (symbolic links followed) for reading in binary mode, but only
// when it is a regular file: a FIFO, a socket, a device or a folder is
// refused with its kind, before anything could block on it (opening a FIFO
// with no writer, reading a device that never ends). The descriptor is not
// inherited by child processes.
OpenedFile OpenRegularFile(const std::filesystem::path& path);

struct FileStamp {
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t seconds = 0, nanoseconds = 0;  // last modification
  bool operator==(const FileStamp&) const = default;
};

// Moves `file` to byte `offset` from its start; false, with errno set, when
// it cannot.
bool Seek(std::FILE* file, std::uint64_t offset);

// The stamp of an open file into `stamp`; false, with errno set, when the
// system cannot tell.
bool ReadStamp(std::FILE* file, FileStamp& stamp);
// The same, all zero when it cannot be had.
FileStamp StampOf(std::FILE* file);

}  // namespace tolvo
