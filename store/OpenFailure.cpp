#include "store/OpenFailure.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <ibase.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "source/FileLookup.h"
#include "store/Callbook.h"

namespace tolvo {
namespace {

namespace fs = std::filesystem;

// The header page's fields used here (all versions keep them in place; the
// page is stored in the byte order of the machine that wrote it, which for
// the files this program meets is little-endian).
constexpr std::size_t kPageTypeAt = 0;
constexpr std::size_t kPageSizeAt = 16;
constexpr std::size_t kOdsVersionAt = 18;
// The minor version moved when the structure changed with ODS 12.
constexpr std::size_t kOdsMinorBefore12At = 62;
constexpr std::size_t kOdsMinorAt = 64;
constexpr unsigned char kHeaderPageType = 1;
constexpr unsigned kFirebirdFlag = 0x8000;
constexpr std::size_t kSmallestPage = 1024;

unsigned Word(const std::array<unsigned char, kSmallestPage>& page, std::size_t at) {
  return page[at] | (page[at + 1] << 8);
}

bool IsPageSize(unsigned size) {
  for (unsigned s = 1024; s <= 32768; s *= 2)
    if (size == s) return true;
  return false;
}

std::string Quoted(const fs::path& path) { return path.string(); }

// Where the advice of a message is explained at length: the Polish guide,
// as the package installs it.
constexpr const char* kSeeGuide = " Zob. podręcznik (/usr/share/doc/tolvoimp/PODRECZNIK.md).";

std::string UserName(uid_t uid) {
  if (const passwd* pw = getpwuid(uid)) return pw->pw_name;
  return std::to_string(uid);
}

std::string GroupName(gid_t gid) {
  if (const group* gr = getgrgid(gid)) return gr->gr_name;
  return std::to_string(gid);
}

std::string Mode(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

// "właściciel root:firebird, prawa 0770"
std::string OwnerAndMode(const struct stat& st) {
  return "właściciel " + UserName(st.st_uid) + ":" + GroupName(st.st_gid) + ", prawa " +
         Mode(st.st_mode);
}

std::string ThisUser() { return UserName(geteuid()); }

// Whether this process can keep its lock files in `folder`: an existing
// folder it may enter and write, or a missing one it can make.
bool LockFolderUsable(const fs::path& folder) {
  struct stat st {};
  if (stat(folder.c_str(), &st) == 0)
    return S_ISDIR(st.st_mode) && access(folder.c_str(), R_OK | W_OK | X_OK) == 0;
  const fs::path parent = folder.parent_path();
  return access(parent.empty() ? "." : parent.c_str(), W_OK | X_OK) == 0;
}

std::string LockFolderCause(const fs::path& folder) {
  std::string state;
  std::string advice =
      "Ustaw zmienną FIREBIRD_LOCK na własny folder (np. export "
      "FIREBIRD_LOCK=$HOME/.firebird-lock) i uruchom program ponownie";
  struct stat st {};
  if (stat(folder.c_str(), &st) == 0) {
    state = " (" + OwnerAndMode(st) + ")";
    // A folder open to its group lets a member of that group in; the
    // administrators' group is no advice to give.
    if (st.st_gid != 0 && (st.st_mode & S_IRWXG) == S_IRWXG)
      advice += " albo dopisz się do grupy " + GroupName(st.st_gid) + " i zaloguj się ponownie";
  } else {
    state = " (nie istnieje i nie można go utworzyć)";
  }
  return "Folder blokad Firebirda " + Quoted(folder) + " jest niedostępny dla użytkownika " +
         ThisUser() + state + ". " + advice + ".";
}

// The file stays with the server of its own version, which the import then
// goes through; a file older than the engine's can also be moved over to it
// (a newer one cannot: a backup does not restore into an older version).
// Firebird's client reaches no InterBase server after InterBase 6.
std::string StructureCause(const fs::path& file, const DatabaseFileHeader& header) {
  std::string version = std::to_string(header.odsMajor);
  if (header.odsMinor) version += "." + std::to_string(*header.odsMinor);
  const std::string what = "Plik " + Quoted(file) + " ma strukturę dyskową ODS " + version +
                           ", którą zapisuje " + OdsWriters(header) +
                           "; wbudowany Firebird 3 otwiera tylko ODS " +
                           std::to_string(kEngineOdsMajor) + ".";
  if (!header.firebird && header.odsMajor > 10)
    return what +
           " Klient Firebirda nie łączy się z serwerami InterBase 7 i nowszymi, więc do tej bazy "
           "nie da się importować. Użyj LOG.DAT zapisanego przez Firebirda, np. z kopii "
           "zapasowej." +
           kSeeGuide;
  const bool older = !header.firebird || header.odsMajor < kEngineOdsMajor;
  return what + " Aby importować, użyj tolvo-import --database przez serwer " + OdsWriters(header) +
         ", który obsługuje ten plik, np. tolvo-import --database localhost:" +
         Quoted(fs::absolute(file)) + " LISTA" +
         (older ? "; albo przenieś bazę do Firebirda 3: kopia zapasowa gbak -b wykonana starszą "
                  "wersją i odtworzenie gbak -c Firebirdem 3."
                : ".") +
         kSeeGuide;
}

std::string NotDatabaseCause(const fs::path& file) {
  return "Plik " + Quoted(file) +
         " nie jest bazą danych Firebird ani InterBase. Przywróć LOG.DAT z kopii zapasowej "
         "albo uruchom program w folderze Tolvo.";
}

std::string InUseCause(const fs::path& file) {
  return "Plik " + Quoted(file) +
         " jest otwarty przez inny program (np. Tolvo). Zamknij ten program i spróbuj ponownie "
         "albo udostępnij bazę przez lokalny serwer Firebird 3." +
         kSeeGuide;
}

// The attribute of a file that forbids writing it to everybody, the
// administrator included ("i": immutable, "a": append only); 0 when none.
char WriteForbiddingAttribute(const fs::path& file) {
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return 0;
  int flags = 0;
  const bool known = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  close(fd);
  if (!known) return 0;
  if (flags & FS_IMMUTABLE_FL) return 'i';
  if (flags & FS_APPEND_FL) return 'a';
  return 0;
}

// The file could not be opened for writing (`readable`: but for reading it
// could) or not at all.
std::string PermissionCause(const fs::path& file, bool readable) {
  if (const char attribute = WriteForbiddingAttribute(file))
    return "Plik " + Quoted(file) + " ma atrybut " +
           (attribute == 'i' ? "„niezmienny” (immutable)" : "„tylko dopisywanie” (append only)") +
           ", który zabrania zapisu każdemu, także właścicielowi i administratorowi; prawa "
           "dostępu nic tu nie zmienią. Zdejmij ten atrybut (sudo chattr -" +
           std::string(1, attribute) + " " + Quoted(file) + ") i spróbuj ponownie.";
  if (access(file.c_str(), W_OK) != 0 && errno == EROFS)
    return "Plik " + Quoted(file) +
           " leży w systemie plików tylko do odczytu. Skopiuj LOG.DAT do folderu z prawem "
           "zapisu i uruchom program tam.";
  std::string state;
  struct stat st {};
  if (stat(file.c_str(), &st) == 0) state = " (" + OwnerAndMode(st) + ")";
  return std::string(readable ? "Brak prawa zapisu do pliku "
                              : "Brak prawa odczytu i zapisu do pliku ") +
         Quoted(file) + state + " dla użytkownika " + ThisUser() +
         (readable ? ". Nadaj to prawo" : ". Nadaj te prawa") +
         " (np. chmod u+rw) albo uruchom program jako właściciel pliku.";
}

}  // namespace

HeaderReading ReadDatabaseFileHeader(const fs::path& file) {
  HeaderReading result;
  // Not blocking: a named pipe in the file's place must not hang the program.
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    result.systemError = errno;
    return result;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    result.outcome = HeaderReading::Outcome::NotDatabase;
    return result;
  }
  std::array<unsigned char, kSmallestPage> page{};
  std::size_t got = 0;
  while (got < page.size()) {
    const ssize_t n = pread(fd, page.data() + got, page.size() - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.systemError = errno;
      close(fd);
      return result;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  close(fd);

  result.outcome = HeaderReading::Outcome::NotDatabase;
  if (got < page.size() || page[kPageTypeAt] != kHeaderPageType) return result;
  const unsigned pageSize = Word(page, kPageSizeAt);
  const unsigned version = Word(page, kOdsVersionAt);
  const unsigned major = version & ~kFirebirdFlag;
  if (!IsPageSize(pageSize) || static_cast<std::uintmax_t>(st.st_size) < pageSize || major < 2 ||
      major > 99)
    return result;

  DatabaseFileHeader& header = result.header;
  header.firebird = (version & kFirebirdFlag) != 0;
  header.odsMajor = major;
  header.pageSize = pageSize;
  if (major < kEngineOdsMajor) header.odsMinor = Word(page, kOdsMinorBefore12At);
  else if (header.firebird) header.odsMinor = Word(page, kOdsMinorAt);
  result.outcome = HeaderReading::Outcome::Database;
  return result;
}

std::string OdsWriters(const DatabaseFileHeader& header) {
  const unsigned major = header.odsMajor;
  const unsigned minor = header.odsMinor.value_or(0);
  if (!header.firebird) {
    if (major < 10) return "InterBase 5 lub starszy";
    if (major == 10) return "InterBase 6 lub Firebird 1.0";
    return "InterBase 7 lub nowszy";
  }
  switch (major) {
    case 10: return minor == 0 ? "Firebird 1.0" : "Firebird 1.5";
    case 11: return minor == 0 ? "Firebird 2.0" : minor == 1 ? "Firebird 2.1" : "Firebird 2.5";
    case 12: return "Firebird 3";
    case 13: return minor == 0 ? "Firebird 4" : "Firebird 5";
    default: return major < 10 ? "InterBase 5 lub starszy" : "Firebird nowszy niż 5";
  }
}

fs::path EngineLockFolder() {
  const char* set = std::getenv("FIREBIRD_LOCK");
  return set && *set ? fs::path(set) : fs::path("/tmp/firebird");
}

std::string OpenFailureCause(const fs::path& file, const DatabaseError& error,
                             const fs::path& lockFolder) {
  // The engine could not start its lock manager: nothing was opened.
  if ((error.Has(isc_lock_dir_access) || error.Has(isc_sys_request)) &&
      !LockFolderUsable(lockFolder))
    return LockFolderCause(lockFolder);

  // What the file itself is comes before who holds it: a file of another
  // structure cannot be opened here whoever lets go of it.
  const HeaderReading reading = ReadDatabaseFileHeader(file);
  if (reading.outcome == HeaderReading::Outcome::NotDatabase) return NotDatabaseCause(file);
  if (reading.outcome == HeaderReading::Outcome::Database &&
      (!reading.header.firebird || reading.header.odsMajor != kEngineOdsMajor))
    return StructureCause(file, reading.header);

  if (error.Has(isc_already_opened)) return InUseCause(file);
  if (error.Has(isc_no_priv)) return PermissionCause(file, true);
  const int system = error.SystemError() ? error.SystemError() : reading.systemError;
  if (error.Has(isc_io_error) && (system == EACCES || system == EPERM))
    return PermissionCause(file, false);
  if (error.Has(isc_io_error) && system == ENOENT) {
    if (FindFileCaseBlind(file.parent_path(), kCallbookFile) ||
        !EqualsIgnoreAsciiCase(file.filename().string(), kCallbookFile))
      return "Nie ma pliku " + Quoted(file) + ".";
    return MissingDatabaseCause(file.parent_path());
  }
  if (error.Has(isc_bad_db_format)) return NotDatabaseCause(file);
  return std::string("Firebird zgłasza: ") + error.what();
}

std::optional<std::string> UnusableDatabasePath(const fs::path& file) {
  struct stat st {};
  if (stat(file.c_str(), &st) == 0)
    return S_ISREG(st.st_mode) ? std::nullopt : std::optional<std::string>(NotDatabaseCause(file));
  const int err = errno;
  if (err == ELOOP)
    return "Plik " + Quoted(file) +
           " jest dowiązaniem symbolicznym, które prowadzi w pętli z powrotem do siebie, a nie do "
           "bazy. Usuń to dowiązanie i umieść w folderze plik LOG.DAT.";
  struct stat link {};
  if (err == ENOENT && lstat(file.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    std::error_code ec;
    return "Plik " + Quoted(file) + " jest dowiązaniem symbolicznym do pliku " +
           fs::read_symlink(file, ec).string() +
           ", którego nie ma. Usuń to dowiązanie albo przywróć plik, na który wskazuje.";
  }
  return std::nullopt;
}

std::string MissingDatabaseCause(const fs::path& folder) {
  return "W folderze " + Quoted(folder) + " nie ma pliku LOG.DAT.";
}

bool IsRemoteConnection(std::string_view connection) {
  for (std::string_view protocol : {"inet://", "inet4://", "inet6://", "wnet://", "xnet://"})
    if (connection.starts_with(protocol)) return true;
  if (connection.starts_with("\\\\")) return true;
  if (connection.starts_with('/') || connection.starts_with('.')) return false;
  return connection.find(':') != std::string_view::npos;
}

namespace {

// "host/port:path" -> host/port and path; the URL forms as they stand.
struct ConnectionParts {
  std::string server;
  std::string file;
};

ConnectionParts SplitConnection(std::string_view connection) {
  const std::size_t scheme = connection.find("://");
  if (scheme != std::string_view::npos) {
    const std::size_t slash = connection.find('/', scheme + 3);
    if (slash == std::string_view::npos) return {std::string(connection), {}};
    return {std::string(connection.substr(0, slash)), std::string(connection.substr(slash + 1))};
  }
  if (connection.starts_with("\\\\")) {
    const std::size_t backslash = connection.find('\\', 2);
    if (backslash == std::string_view::npos) return {std::string(connection), {}};
    return {std::string(connection.substr(2, backslash - 2)),
            std::string(connection.substr(backslash + 1))};
  }
  const std::size_t colon = connection.find(':');
  if (colon == std::string_view::npos) return {{}, std::string(connection)};
  return {std::string(connection.substr(0, colon)), std::string(connection.substr(colon + 1))};
}

// The client's text on one line: its lines joined.
std::string OneLine(std::string_view text) {
  std::string line(text);
  while (!line.empty() && line.back() == '\n') line.pop_back();
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  return line;
}

bool HasAny(const DatabaseError& error, std::initializer_list<long> codes) {
  for (long code : codes)
    if (error.Has(code)) return true;
  return false;
}

// "host/port" or "host" as host:port, with the default port where none is
// given.
std::string HostAndPort(const std::string& server) {
  const std::size_t slash = server.find('/');
  if (slash == std::string::npos) return server + ":3050";
  return server.substr(0, slash) + ":" + server.substr(slash + 1);
}

}  // namespace

std::string ConnectionFailureCause(std::string_view connection, const DatabaseError& error,
                                   int unansweredSeconds) {
  const ConnectionParts parts = SplitConnection(connection);
  const std::string server = "Serwer Firebird " + parts.server;
  std::string sentence;
  if (unansweredSeconds > 0 &&
      HasAny(error, {isc_connect_reject, isc_network_error, isc_net_connect_err, isc_net_read_err,
                     isc_conn_lost})) {
    sentence = "Pod adresem " + HostAndPort(parts.server) +
               " żaden serwer Firebird nie odpowiedział w ciągu " +
               std::to_string(unansweredSeconds) +
               " s. Sprawdź, czy serwer działa i czy nazwa komputera i port w --database są "
               "poprawne.";
  } else if (HasAny(error, {isc_network_error, isc_net_connect_err, isc_net_lookup_err,
                            isc_net_read_err, isc_net_write_err, isc_conn_lost})) {
    sentence = "Nie udało się połączyć z serwerem Firebird " + parts.server +
               ". Sprawdź, czy serwer działa i czy nazwa komputera i port w --database są "
               "poprawne.";
  } else if (HasAny(error, {isc_wirecrypt_incompatible, isc_miss_wirecrypt, isc_wirecrypt_key,
                            isc_wirecrypt_plugin})) {
    sentence = server +
               " i klient nie uzgodniły szyfrowania połączenia. Na serwerze Firebird 3 lub "
               "nowszym ustaw WireCrypt = Enabled." +
               kSeeGuide;
  } else if (HasAny(error, {isc_login, isc_login_error})) {
    sentence = server +
               " nie przyjął logowania SYSDBA z hasłem programu Tolvo. Sprawdź hasło SYSDBA na "
               "serwerze; serwer Firebird 3 lub nowszy z użytkownikami starszej wersji potrzebuje "
               "AuthServer = Srp, Legacy_Auth i WireCrypt = Enabled." +
               kSeeGuide;
  } else if (error.Has(isc_wrong_ods)) {
    sentence = server + " nie otwiera pliku " + parts.file +
               ": plik ma strukturę dyskową innej wersji Firebirda. Połącz się przez serwer tej "
               "wersji, która obsługuje ten plik." +
               kSeeGuide;
  } else if (error.Has(isc_already_opened)) {
    sentence = "Plik " + parts.file + " na serwerze " + parts.server +
               " jest otwarty przez inny program. Zamknij ten program i spróbuj ponownie.";
  } else if (error.Has(isc_no_priv) ||
             (error.Has(isc_io_error) &&
              (error.SystemError() == EACCES || error.SystemError() == EPERM))) {
    sentence = server + " nie ma prawa zapisu do pliku " + parts.file +
               ". Nadaj je użytkownikowi, z którego uprawnieniami działa serwer (np. firebird).";
  } else if (error.Has(isc_io_error)) {
    sentence = server + " nie może otworzyć pliku " + parts.file +
               ". Sprawdź ścieżkę w --database (ścieżka na komputerze serwera) i prawa "
               "użytkownika, z którego uprawnieniami działa serwer.";
  } else if (error.Has(isc_bad_db_format)) {
    sentence = "Plik " + parts.file + " na serwerze " + parts.server +
               " nie jest bazą danych Firebird ani InterBase.";
  } else {
    sentence = server + " nie otworzył pliku " + parts.file + ".";
  }
  return sentence + " Firebird zgłasza: " + OneLine(error.what());
}

}  // namespace tolvo
