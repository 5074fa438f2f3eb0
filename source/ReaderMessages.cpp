#include "source/ReaderMessages.h"

#include <cerrno>
#include <utility>

#include "source/FileHelpers.h"
#include "text/PolishPlural.h"

namespace tolvo::messages {
namespace {

std::string N(std::uint64_t n) { return std::to_string(n); }
std::string S(std::string_view s) { return std::string(s); }

std::string Hex(unsigned value) {
  static const char digits[] = "0123456789ABCDEF";
  return std::string("0x") + digits[(value >> 4) & 0xF] + digits[value & 0xF];
}

std::string Bytes(std::uint64_t n) { return PolishCount(n, "bajt", "bajty", "bajtów"); }

// What to do about a damaged list: the usual cause is a download cut short.
constexpr const char* kDownloadAgain = "Pobierz listę ponownie i powtórz import.";

std::string DownloadWithMemo(std::string_view memoName) {
  return "Pobierz listę ponownie razem z plikiem " + S(memoName) + " i powtórz import.";
}

// What to do when the system refused to open or read a file.
const char* Advice(int err) {
  switch (err) {
    case EACCES:
    case EPERM: return "Sprawdź, czy masz prawo odczytu tego pliku, i powtórz import.";
    case ENOENT:
    case ENOTDIR:
    case ESTALE: return "Sprawdź, czy plik nadal jest na swoim miejscu, i powtórz import.";
    case EISDIR: return "Umieść w tym miejscu pobrany plik listy zamiast folderu.";
    case EIO: return "Skopiuj plik z innego nośnika albo pobierz go ponownie i powtórz import.";
    case EMFILE:
    case ENFILE:
    case ENOMEM: return "Zamknij inne programy i powtórz import.";
    case ELOOP:
    case ENAMETOOLONG: return "Sprawdź ścieżkę do pliku i powtórz import.";
    default: return "Powtórz import; gdy błąd wróci, pobierz listę ponownie.";
  }
}

// The system's reason and what to do, after a colon.
std::string Reason(int err) { return ErrnoText(err) + ". " + Advice(err); }

// The same for a file that could not be opened: without a reason of the
// system's, a FIFO, a socket or a device stands where the file should be (a
// folder has its errno wording).
std::string OpenReason(int err, FileKind kind) {
  const char* what = nullptr;
  if (err == 0) {
    switch (kind) {
      case FileKind::Regular: break;
      case FileKind::Folder: return Reason(EISDIR);
      case FileKind::Fifo: what = "to jest potok (FIFO), a nie plik"; break;
      case FileKind::Socket: what = "to jest gniazdo, a nie plik"; break;
      case FileKind::Device: what = "to jest urządzenie, a nie plik"; break;
      case FileKind::Other: what = "to nie jest zwykły plik"; break;
    }
  }
  if (!what) return Reason(err);
  return std::string(what) + ". Umieść w tym miejscu pobrany plik listy i powtórz import.";
}

}  // namespace

std::string FileNotFound(std::string_view folder) {
  return "nie znaleziono pliku w folderze roboczym " + S(folder) +
         ". Umieść go tam i powtórz import.";
}
std::string CannotOpen(int err, FileKind kind) {
  return "nie można otworzyć pliku: " + OpenReason(err, kind);
}
std::string CannotClose(int err) { return "nie można zamknąć pliku: " + Reason(err); }
std::string ReadError(int err) { return "błąd odczytu pliku: " + Reason(err); }
std::string NotOpen() { return "plik nie jest otwarty"; }
std::string TableNotOpen() { return "tabela nie jest otwarta"; }
std::string ReportNotOpen() { return "Plik raportu nie jest otwarty"; }
std::string ChangedWhileRead() {
  return "plik zmienił się w trakcie odczytu. Poczekaj, aż pobieranie lub kopiowanie się "
         "zakończy, i powtórz import.";
}

std::string ReportLineTooLong(std::int64_t line, std::size_t bound) {
  return "uszkodzony raport: wiersz " + std::to_string(line) + " ma ponad " + Bytes(bound) +
         ", a wiersze raportu mają około 200 bajtów. " + kDownloadAgain;
}

std::string TooShortForTable(std::uint64_t fileSize) {
  return std::string("to nie jest tabela dBASE: ") +
         (fileSize == 0 ? "plik jest pusty. " : "plik ma tylko " + Bytes(fileSize) + ". ") +
         kDownloadAgain;
}
std::string CannotReadHeader(int err) {
  return "nie można odczytać nagłówka tabeli: " + Reason(err);
}
std::string Dbase7() {
  return "tabele dBASE 7 nie są obsługiwane. Zapisz tabelę w formacie dBASE III lub IV i powtórz "
         "import.";
}
std::string UnknownVersion(unsigned version) {
  return "to nie jest tabela dBASE (nieznany bajt wersji " + Hex(version) +
         "). Sprawdź, czy to właściwy plik, albo pobierz listę ponownie.";
}
std::string NoRoomForField(std::size_t headerLength) {
  return "uszkodzony nagłówek: jego długość (" + Bytes(headerLength) +
         ") nie mieści opisu żadnego pola. " + kDownloadAgain;
}
std::string HeaderCutShort(std::size_t headerLength, std::uint64_t fileSize) {
  return "plik jest obcięty: sam nagłówek powinien mieć " + Bytes(headerLength) +
         ", a cały plik ma tylko " + Bytes(fileSize) + ". " + kDownloadAgain;
}
std::string CannotReadDescriptors(int err) {
  return "nie można odczytać opisów pól tabeli: " + Reason(err);
}
std::string DamagedDescriptor(std::size_t number, unsigned typeByte) {
  return "uszkodzony opis pola nr " + N(number) + " (bajt typu " + Hex(typeByte) + "). " +
         kDownloadAgain;
}
std::string DescriptorsDoNotEnd(std::size_t headerLength) {
  return "uszkodzony nagłówek: opisy pól nie kończą się w obrębie nagłówka (" +
         Bytes(headerLength) + "). " + kDownloadAgain;
}
std::string NoFields() {
  return std::string("uszkodzony nagłówek: tabela nie ma żadnego pola. ") + kDownloadAgain;
}
std::string RecordShorterThanFields(std::size_t recordLength, std::size_t fieldBytes) {
  return "uszkodzony nagłówek: rekord ma " + Bytes(recordLength) + ", a jego pola wymagają " +
         Bytes(fieldBytes) + ". " + kDownloadAgain;
}
std::string RecordsDoNotFit(std::int64_t records, std::size_t recordLength,
                            std::size_t headerLength, std::uint64_t fileSize) {
  const auto count = static_cast<std::uint64_t>(records);
  const std::uint64_t needed = headerLength + count * recordLength;
  return "plik jest obcięty lub uszkodzony: nagłówek zapowiada " +
         PolishCount(count, "rekord", "rekordy", "rekordów") + " po " + Bytes(recordLength) +
         ", czyli razem z nagłówkiem " + Bytes(needed) + ", a plik ma tylko " + Bytes(fileSize) +
         ". " + kDownloadAgain;
}
std::string HeaderCountsNoRecords(std::uint64_t present) {
  return "uszkodzony nagłówek: zapowiada 0 rekordów, a plik zawiera " +
         PolishCount(present, "rekord", "rekordy", "rekordów") + ". " + kDownloadAgain;
}
std::string FieldLabel(std::string_view name, std::size_t number) {
  return name.empty() ? "pole nr " + N(number) : "pole " + S(name);
}
std::string WrongFieldLength(std::string_view label, char type, std::size_t length,
                             std::size_t want) {
  return "uszkodzony opis pola: " + S(label) + " typu " + std::string(1, type) + " ma długość " +
         N(length) + " zamiast " + N(want) + ". " + kDownloadAgain;
}
std::string ZeroFieldLength(std::string_view label) {
  return "uszkodzony opis pola: " + S(label) + " ma długość 0. " + kDownloadAgain;
}
std::string StructureChanged(bool whileOpen) {
  return whileOpen ? "budowa tabeli zmieniła się od jej otwarcia. Uruchom program ponownie i "
                     "powtórz import."
                   : "budowa tabeli zmieniła się w trakcie odczytu. Poczekaj, aż pobieranie lub "
                     "kopiowanie się zakończy, i powtórz import.";
}

std::string CannotReadRecords(int err) { return "nie można odczytać rekordów: " + Reason(err); }
std::string CannotReadRecord(std::int64_t number, int err) {
  return "nie można odczytać rekordu " + std::to_string(number) + ": " + Reason(err);
}
std::string EndsInsideRecord(std::int64_t number, std::int64_t declared) {
  // Record `number` is cut short or missing altogether: the whole ones are
  // those before it.
  if (declared == 1)
    return std::string("plik nie zawiera w całości jedynego rekordu zapowiedzianego w nagłówku. ") +
           kDownloadAgain;
  if (number == 1)
    return "plik nie zawiera w całości żadnego z " + std::to_string(declared) +
           " rekordów zapowiedzianych w nagłówku. " + kDownloadAgain;
  return "plik jest obcięty: zawiera w całości tylko " +
         PolishCount(static_cast<std::uint64_t>(number - 1), "rekord", "rekordy", "rekordów") +
         " z " + std::to_string(declared) + " zapowiedzianych w nagłówku. " + kDownloadAgain;
}
std::string FieldNotFound(std::string_view component, std::string_view name,
                          std::string_view fileName, std::string_view listName) {
  return S(component) + ": Field '" + S(name) + "' not found\nPlik " + S(fileName) +
         " nie jest listą " + S(listName) + ": nie ma w nim pola " + S(name) + ".";
}
std::string FieldOfAnotherTable(std::string_view name) {
  return "pole " + S(name) + " nie należy do tej tabeli";
}
std::string UnreadableFieldType(std::string_view name, char type) {
  return "pole " + S(name) + " ma typ „" + std::string(1, type) +
         "”, którego program nie obsługuje. Sprawdź, czy to właściwy plik listy.";
}

std::string MemoMissing(std::string_view memoName) {
  return "brak pliku memo " + S(memoName) +
         ", który należy do tej tabeli. Umieść go obok tabeli, w tym samym folderze, i powtórz "
         "import.";
}
std::string CannotOpenMemo(std::string_view memoName, int err, FileKind kind) {
  return "nie można otworzyć pliku memo " + S(memoName) + ": " + OpenReason(err, kind);
}
std::string MemoHeaderCutShort(std::string_view memoName) {
  return "plik memo " + S(memoName) + " jest uszkodzony (obcięty nagłówek). " +
         DownloadWithMemo(memoName);
}
std::string CannotReadMemo(std::string_view memoName, int err) {
  return "nie można odczytać pliku memo " + S(memoName) + ": " + Reason(err);
}
std::string MemoCutShort(std::string_view memoName) {
  return "plik memo " + S(memoName) + " jest obcięty. " + DownloadWithMemo(memoName);
}
std::string DamagedMemoReference(std::int64_t record, std::string_view field) {
  return "rekord " + std::to_string(record) + ": pole " + S(field) +
         " zawiera uszkodzony odnośnik do pliku memo. " + kDownloadAgain;
}
std::string BadMemoBlock(std::int64_t record, std::uint64_t block, MemoBlockFault fault,
                         std::string_view memoName) {
  const char* what = "";
  switch (fault) {
    case MemoBlockFault::BeyondEnd: what = " leży poza końcem"; break;
    case MemoBlockFault::CutShort: what = " jest obcięty w"; break;
    case MemoBlockFault::RunsPastEnd: what = " wychodzi poza koniec"; break;
    case MemoBlockFault::Damaged: what = " jest uszkodzony w"; break;
  }
  return "rekord " + std::to_string(record) + ": blok memo " + N(block) + what + " pliku memo " +
         S(memoName) + ". " + DownloadWithMemo(memoName);
}

namespace {

MemoBlockFault BlockFault(ReaderFault fault) {
  switch (fault) {
    case ReaderFault::MemoBlockCutShort: return MemoBlockFault::CutShort;
    case ReaderFault::MemoBlockRunsPastEnd: return MemoBlockFault::RunsPastEnd;
    case ReaderFault::MemoBlockDamaged: return MemoBlockFault::Damaged;
    default: return MemoBlockFault::BeyondEnd;
  }
}

}  // namespace

std::string Describe(const std::string& file, ReaderFault fault, const ReaderFaultValues& v) {
  using F = ReaderFault;
  const auto records = static_cast<std::uint64_t>(v.records);
  std::string text;
  switch (fault) {
    case F::FileNotFound: text = FileNotFound(v.name); break;
    case F::CannotOpen: text = CannotOpen(v.err, v.kind); break;
    case F::CannotClose: text = CannotClose(v.err); break;
    case F::ReadError: text = ReadError(v.err); break;
    case F::NotOpen: text = NotOpen(); break;
    case F::TableNotOpen: text = TableNotOpen(); break;
    case F::ReportNotOpen: return ReportNotOpen();  // whole: there is no file to name
    case F::ChangedWhileRead: text = ChangedWhileRead(); break;
    case F::ReportLineTooLong: text = ReportLineTooLong(v.record, v.length); break;
    case F::TooShortForTable: text = TooShortForTable(v.fileSize); break;
    case F::CannotReadHeader: text = CannotReadHeader(v.err); break;
    case F::Dbase7: text = Dbase7(); break;
    case F::UnknownVersion: text = UnknownVersion(v.byte); break;
    case F::NoRoomForField: text = NoRoomForField(v.headerLength); break;
    case F::HeaderCutShort: text = HeaderCutShort(v.headerLength, v.fileSize); break;
    case F::CannotReadDescriptors: text = CannotReadDescriptors(v.err); break;
    case F::DamagedDescriptor: text = DamagedDescriptor(v.field, v.byte); break;
    case F::DescriptorsDoNotEnd: text = DescriptorsDoNotEnd(v.headerLength); break;
    case F::NoFields: text = NoFields(); break;
    case F::RecordShorterThanFields:
      text = RecordShorterThanFields(v.recordLength, v.length);
      break;
    case F::RecordsDoNotFit:
      text = RecordsDoNotFit(v.records, v.recordLength, v.headerLength, v.fileSize);
      break;
    case F::HeaderCountsNoRecords: text = HeaderCountsNoRecords(records); break;
    case F::WrongFieldLength:
      text = WrongFieldLength(FieldLabel(v.name, v.field), v.type, v.length, v.expected);
      break;
    case F::ZeroFieldLength: text = ZeroFieldLength(FieldLabel(v.name, v.field)); break;
    case F::StructureChangedSinceOpen: text = StructureChanged(true); break;
    case F::StructureChangedWhileRead: text = StructureChanged(false); break;
    case F::CannotReadRecords: text = CannotReadRecords(v.err); break;
    case F::CannotReadRecord: text = CannotReadRecord(v.record, v.err); break;
    case F::EndsInsideRecord: text = EndsInsideRecord(v.record, v.records); break;
    // The missing field's text is whole: its first line names the reader.
    case F::FieldNotFound: return FieldNotFound(v.component, v.name, file, v.list);
    case F::FieldOfAnotherTable: text = FieldOfAnotherTable(v.name); break;
    case F::UnreadableFieldType: text = UnreadableFieldType(v.name, v.type); break;
    case F::MemoMissing: text = MemoMissing(v.memo); break;
    case F::CannotOpenMemo: text = CannotOpenMemo(v.memo, v.err, v.kind); break;
    case F::MemoHeaderCutShort: text = MemoHeaderCutShort(v.memo); break;
    case F::CannotReadMemo: text = CannotReadMemo(v.memo, v.err); break;
    case F::MemoCutShort: text = MemoCutShort(v.memo); break;
    case F::DamagedMemoReference: text = DamagedMemoReference(v.record, v.name); break;
    case F::MemoBlockBeyondEnd:
    case F::MemoBlockCutShort:
    case F::MemoBlockRunsPastEnd:
    case F::MemoBlockDamaged:
      text = BadMemoBlock(v.record, v.block, BlockFault(fault), v.memo);
      break;
  }
  return file + ": " + text;
}

}  // namespace tolvo::messages

namespace tolvo {

ReaderError::ReaderError(std::string file, ReaderFault fault, ReaderFaultValues values)
    : std::runtime_error(messages::Describe(file, fault, values)),
      file_(std::move(file)),
      fault_(fault),
      values_(std::move(values)) {}

}  // namespace tolvo
