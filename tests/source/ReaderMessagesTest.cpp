#include "source/ReaderMessages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <string>
#include <vector>

#include "source/FileHelpers.h"
#include "text/Cp1250Text.h"

namespace tolvo {
namespace {

namespace m = messages;

// Every text the readers can show: each message function with every kind of
// argument that changes its wording, and the system's reasons for the errno
// values a file can fail with (one without a wording of its own among them).
std::vector<std::string> EveryReaderText() {
  const std::vector<int> errors = {ENOENT, EACCES, EPERM,  EISDIR,       ENOTDIR, ENOSPC, EFBIG,
                                   EIO,    EMFILE, ENFILE, ENAMETOOLONG, ELOOP,   EROFS,  ENOMEM,
                                   ESTALE, EPROTO, 0,      9999};
  std::vector<std::string> texts = {
      m::FileNotFound("/home/sp5abc/tolvo"),
      m::NotOpen(),
      m::TableNotOpen(),
      m::ReportNotOpen(),
      m::ChangedWhileRead(),
      m::ReportLineTooLong(1, 65536),
      m::TooShortForTable(0),
      m::TooShortForTable(17),
      m::Dbase7(),
      m::UnknownVersion(0x42),
      m::NoRoomForField(40),
      m::HeaderCutShort(225, 100),
      m::DamagedDescriptor(3, 0),
      m::DescriptorsDoNotEnd(64),
      m::NoFields(),
      m::RecordShorterThanFields(12, 17),
      m::RecordsDoNotFit(284, 137, 225, 19567),
      m::HeaderCountsNoRecords(50),
      m::WrongFieldLength(m::FieldLabel("DATA", 2), 'D', 5, 8),
      m::ZeroFieldLength(m::FieldLabel("", 4)),
      m::StructureChanged(true),
      m::StructureChanged(false),
      m::EndsInsideRecord(11, 1000),
      m::EndsInsideRecord(1, 1),
      m::FieldOfAnotherTable("ZNAK"),
      m::UnreadableFieldType("FOTO", 'G'),
      m::MemoMissing("LOG_C_SP.DBT"),
      m::MemoHeaderCutShort("LOG_C_SP.DBT"),
      m::MemoCutShort("LOG_C_SP.DBT"),
      m::DamagedMemoReference(12, "MEM_F"),
  };
  for (auto fault : {m::MemoBlockFault::BeyondEnd, m::MemoBlockFault::CutShort,
                     m::MemoBlockFault::RunsPastEnd, m::MemoBlockFault::Damaged})
    texts.push_back(m::BadMemoBlock(163, 159, fault, "LOG_C_SP.DBT"));
  for (auto kind :
       {FileKind::Folder, FileKind::Fifo, FileKind::Socket, FileKind::Device, FileKind::Other}) {
    texts.push_back(m::CannotOpen(0, kind));
    texts.push_back(m::CannotOpenMemo("LOG_C_SP.DBT", 0, kind));
  }
  for (int err : errors) {
    for (const std::string& t :
         {m::CannotOpen(err), m::CannotClose(err), m::ReadError(err), m::CannotReadHeader(err),
          m::CannotReadDescriptors(err), m::CannotReadRecords(err), m::CannotReadRecord(7, err),
          m::CannotOpenMemo("LOG_C_SP.DBT", err), m::CannotReadMemo("LOG_C_SP.DBT", err)})
      texts.push_back(t);
  }
  return texts;
}

// The words of a text, ASCII letters in lower case: runs of letters, any
// byte of a multi-byte character counting as one.
std::vector<std::string> Words(const std::string& s) {
  std::vector<std::string> words;
  std::string w;
  for (char c : s + ' ') {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      w += static_cast<char>(c | 0x20);
    } else if (static_cast<unsigned char>(c) >= 0x80) {
      w += c;
    } else if (!w.empty()) {
      words.push_back(w);
      w.clear();
    }
  }
  return words;
}

// No reader text is left in English (the missing field's text aside, which
// keeps its fixed wording), the system's reasons included: none holds an
// English word that the old texts or the C library's used, and each holds
// Polish.
TEST(ReaderMessages, EveryTextIsPolish) {
  const std::set<std::string> english = {
      "the",       "and",     "of",     "is",       "are",        "not",     "no",
      "cannot",    "file",    "record", "records",  "field",      "header",  "damaged",
      "missing",   "error",   "found",  "open",     "read",       "table",   "bytes",
      "in",        "its",     "has",    "unknown",  "supported",  "denied",  "such",
      "directory", "changed", "while",  "beyond",   "end",        "ends",    "block",
      "short",     "cut",     "length", "type",     "instead",    "version", "lies",
      "runs",      "past",    "does",   "belong",   "this",       "which",   "being",
      "declares",  "fit",     "room",   "within",   "input",      "output",  "operation",
      "permitted", "space",   "device", "left",     "too",        "large",   "many",
      "name",      "links",   "busy",   "protocol", "permission", "memory"};
  const std::set<std::string> polish = {"nie",    "jest",    "brak",   "pliku",  "plik", "pole",
                                        "rekord", "rekordu", "tabela", "tabeli", "nr"};
  for (const std::string& text : EveryReaderText()) {
    SCOPED_TRACE(text);
    EXPECT_TRUE(IsValidUtf8(text));
    bool hasPolish = text.find_first_of("\xC4\xC5\xC3") != std::string::npos;  // ą ł ó ...
    for (const std::string& w : Words(text)) {
      EXPECT_FALSE(english.count(w)) << "English word: " << w;
      hasPolish = hasPolish || polish.count(w);
    }
    EXPECT_TRUE(hasPolish);
  }
}

// A few texts pinned whole: the ones a user meets most, with the counts in
// the grammatical number that goes with them.
TEST(ReaderMessages, KeyTextsAndTheirNumbers) {
  EXPECT_EQ(m::EndsInsideRecord(11, 1000),
            "plik jest obcięty: zawiera w całości tylko 10 rekordów z 1000 zapowiedzianych w "
            "nagłówku. Pobierz listę ponownie i powtórz import.");
  EXPECT_TRUE(
      m::EndsInsideRecord(3, 5).starts_with("plik jest obcięty: zawiera w całości tylko 2 "
                                            "rekordy z 5 zapowiedzianych"));
  EXPECT_EQ(
      m::RecordsDoNotFit(284, 137, 225, 19567),
      "plik jest obcięty lub uszkodzony: nagłówek zapowiada 284 rekordy po 137 bajtów, czyli "
      "razem z nagłówkiem 39133 bajty, a plik ma tylko 19567 bajtów. Pobierz listę ponownie i "
      "powtórz import.");
  EXPECT_EQ(m::MemoMissing("LOG_C_SP.DBT"),
            "brak pliku memo LOG_C_SP.DBT, który należy do tej tabeli. Umieść go obok tabeli, w "
            "tym samym folderze, i powtórz import.");
  EXPECT_EQ(m::CannotOpen(EACCES),
            "nie można otworzyć pliku: brak uprawnień dostępu. Sprawdź, czy masz prawo odczytu "
            "tego pliku, i powtórz import.");
  EXPECT_EQ(m::CannotOpen(0, FileKind::Fifo),
            "nie można otworzyć pliku: to jest potok (FIFO), a nie plik. Umieść w tym miejscu "
            "pobrany plik listy i powtórz import.");
  EXPECT_EQ(m::CannotOpen(0, FileKind::Folder), m::CannotOpen(EISDIR));
  EXPECT_EQ(m::HeaderCountsNoRecords(50),
            "uszkodzony nagłówek: zapowiada 0 rekordów, a plik zawiera 50 rekordów. Pobierz listę "
            "ponownie i powtórz import.");
  EXPECT_EQ(m::ReportLineTooLong(1, 65536),
            "uszkodzony raport: wiersz 1 ma ponad 65536 bajtów, a wiersze raportu mają około 200 "
            "bajtów. Pobierz listę ponownie i powtórz import.");
  // The fixed English line stays the first; the cause follows in Polish.
  EXPECT_EQ(m::FieldNotFound("Calls", "Znak", "cb.dbf", "CB.DBF"),
            "Calls: Field 'Znak' not found\nPlik cb.dbf nie jest listą CB.DBF: nie ma w nim pola "
            "Znak.");
  EXPECT_EQ(ErrnoText(EPROTO), "błąd systemowy nr " + std::to_string(EPROTO) + " (EPROTO)");
  EXPECT_EQ(ErrnoText(9999), "błąd systemowy nr 9999");

  // 1 bajt, 2-4 bajty, 5-21 bajtów, 22 bajty, 112 bajtów ...
  for (const auto& [n, words] : std::vector<std::pair<int, const char*>>{{1, "1 bajt."},
                                                                         {3, "3 bajty."},
                                                                         {5, "5 bajtów."},
                                                                         {12, "12 bajtów."},
                                                                         {14, "14 bajtów."},
                                                                         {22, "22 bajty."},
                                                                         {112, "112 bajtów."},
                                                                         {1024, "1024 bajty."}})
    EXPECT_NE(m::TooShortForTable(n).find(std::string("plik ma tylko ") + words), std::string::npos)
        << n;
  EXPECT_NE(m::RecordsDoNotFit(1, 20, 65, 70).find("zapowiada 1 rekord po 20 bajtów"),
            std::string::npos);
}

}  // namespace
}  // namespace tolvo
