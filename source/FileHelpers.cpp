#include "source/FileHelpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tolvo {
namespace {

FileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::Regular;
  if (S_ISDIR(mode)) return FileKind::Folder;
  if (S_ISFIFO(mode)) return FileKind::Fifo;
  if (S_ISSOCK(mode)) return FileKind::Socket;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::Device;
  return FileKind::Other;
}

}  // namespace

bool Seek(std::FILE* file, std::uint64_t offset) {
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::string ErrnoText(int err) {
  switch (err) {
    case 0: return "nieznany błąd";
    case ENOENT: return "nie ma takiego pliku ani folderu";
    case EACCES: return "brak uprawnień dostępu";
    case EPERM: return "operacja niedozwolona";
    case EISDIR: return "to jest folder, a nie plik";
    case ENOTDIR: return "część ścieżki nie jest folderem";
    case ENOSPC: return "brak miejsca na dysku";
    case EDQUOT: return "wyczerpany przydział miejsca na dysku";
    case EFBIG: return "plik przekroczył największy dozwolony rozmiar";
    case EOVERFLOW: return "plik jest za duży";
    case EIO: return "błąd wejścia-wyjścia (uszkodzony nośnik lub przerwane połączenie)";
    case EMFILE: return "za dużo otwartych plików w tym programie";
    case ENFILE: return "za dużo otwartych plików w systemie";
    case ENOMEM: return "brak pamięci";
    case ENAMETOOLONG: return "za długa nazwa pliku lub ścieżka";
    case ELOOP: return "za dużo dowiązań symbolicznych w ścieżce";
    case EROFS: return "system plików jest tylko do odczytu";
    case EBUSY: return "plik lub urządzenie jest zajęte";
    case ETXTBSY: return "plik jest w użyciu";
    case EEXIST: return "plik już istnieje";
    case ENXIO:
    case ENODEV: return "brak urządzenia";
    case ESTALE: return "nieaktualny uchwyt pliku sieciowego";
    case EAGAIN: return "zasób chwilowo niedostępny";
    case EINTR: return "operacja przerwana";
    case EINVAL: return "nieprawidłowy argument";
    default: break;
  }
  std::string text = "błąd systemowy nr " + std::to_string(err);
  if (const char* name = strerrorname_np(err)) text += std::string(" (") + name + ")";
  return text;
}

OpenedFile OpenRegularFile(const std::filesystem::path& path) {
  OpenedFile out;
  struct stat st {};
  // Looked at first, so that a device is not even opened (opening some has
  // effects of their own) and a socket, which open() refuses, is named.
  if (stat(path.c_str(), &st) != 0) {
    out.err = errno;
    return out;
  }
  out.kind = KindOf(st.st_mode);
  if (out.kind != FileKind::Regular) return out;
  // Non-blocking, should a FIFO have taken the file's place meanwhile;
  // what was opened is looked at again.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    out.err = errno;
    return out;
  }
  std::FILE* file = nullptr;
  if (fstat(fd, &st) != 0) {
    out.err = errno;
  } else if ((out.kind = KindOf(st.st_mode)) == FileKind::Regular) {
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 || !(file = fdopen(fd, "rb")))
      out.err = errno;
  }
  if (!file) {
    close(fd);
    return out;
  }
  out.file.reset(file);
  return out;
}

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
