// The five imports as data: what tells one import dialog from another (its
// names, texts and layout), which file it reads and how, and the per-record
// step that turns a record into a station. The dialog, the window owner, the
// benchmark, the fuzz harness and a command-line import all read this one
// table. Texts are UTF-8.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "import/ImportRun.h"
#include "source/RecordFields.h"
#include "store/ICallbook.h"

namespace tolvo {

// The fixed messages of an import.
inline constexpr const char* kMissingFilePrefix = "Brak pliku: ";
inline constexpr const char* kDatabaseFile = "Log.dat";
inline constexpr const char* kCannotOpenCallbook = "Nie udało się otworzyć bazy Tolvo.dat";
inline constexpr const char* kImportFinished = "Zakończono przetwarzanie!";

// The imports, in the order of the main window's menu.
enum class ImportKindId { CB, LogCSP, LogCOK, OKCall, Amateur };

enum class SourceKind {
  DbaseTable,  // read record by record; its record count is known at the start
  TextReport,  // read line by line after its header; no count is known
};

// Where the dialog's controls stand in its client area, in pixels, left
// and top first. The total and the progress bar are only in the dialogs of
// a dBASE table.
struct ImportDialogLayout {
  struct Point {
    int x = 0;
    int y = 0;
  };
  struct Size {
    int width = 0;
    int height = 0;
  };
  struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
  };

  Size client;          // fixed
  Box informationBox;   // GroupBox2 "Informacje"
  Box informationText;  // Label1, inside the box
  Box startButton;
  Point recordCaption;       // Label2 "Przetwarzany wpis:"
  Point recordNumber;        // LogBookAktLbl
  Point totalCaption;        // Label3 "Liczba wszystkich wpisów:"
  Point totalNumber;         // LogbookAllLbl
  int progressBarWidth = 0;  // ProgBarSP
  Point closeButton;         // CloseBtn, 90 x 25
};

struct ImportKind {
  ImportKindId id;
  const char* dialogName;    // object name of the dialog
  const char* caption;       // its window caption
  const char* menuItemName;  // object name of the main window's menu item
  const char* menuCaption;
  const char* sourceFile;  // the file tested in the working folder
  SourceKind source;
  const char* tableName;  // the file the table reader opens (dBASE only)
  // The per-record step: recordStep for a dBASE table, lineStep for a report.
  RecordPlan (*recordStep)(const IRecordFields& record, IStationLookup& lookup);
  RecordPlan (*lineStep)(std::string_view line, IStationLookup& lookup);
  const char* startName;  // object name of the start button
  const char* startCaption;
  const char* information;  // Label1, lines separated by '\n'
  ImportDialogLayout layout;

  // Whether the dialog shows a total and a progress bar.
  bool HasTotal() const { return source == SourceKind::DbaseTable; }
};

// Every import, in menu order.
std::span<const ImportKind> ImportKinds();

const ImportKind& ImportKindOf(ImportKindId id);

// The import of `kind` from its source file in the working folder, with the
// kind's own step and a table opened afresh, reported to `display`: a run
// without the dialog (a command-line import, the benchmark, tests). The
// callbook must be open. A missing source file raises std::runtime_error
// with the dialog's message ("Brak pliku: ...").
RunSummary RunImportInWorkingFolder(const ImportKind& kind, ICallbook& book, IRunDisplay& display);
// The same, with `summary` kept up to date record by record (see RunImport).
void RunImportInWorkingFolder(const ImportKind& kind, ICallbook& book, IRunDisplay& display,
                              RunSummary& summary);

// The kind whose source file is `name`, matched without regard to ASCII
// letter case (as the file itself is found); nullptr when none is.
const ImportKind* ImportKindOfFile(std::string_view name);

}  // namespace tolvo
