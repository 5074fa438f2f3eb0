#include "import/ImportKinds.h"

#include <stdexcept>
#include <string>

#include "import/AmateurImport.h"
#include "import/CbImport.h"
#include "import/LogCokImport.h"
#include "import/LogCspImport.h"
#include "import/OkCallImport.h"
#include "source/DbfTable.h"
#include "source/FileLookup.h"

namespace tolvo {
namespace {

constexpr ImportKind kImportKinds[] = {
    {
        .id = ImportKindId::CB,
        .dialogName = "CzytajCBFrm",
        .caption = "Import z pliku CB.DBF (Polska)",
        .menuItemName = "WczytajPolskaCBDBF1",
        .menuCaption = "Wczytaj (Polska - CB.DBF)",
        .sourceFile = "CB.DBF",
        .source = SourceKind::DbaseTable,
        .tableName = "CB.DBF",
        .recordStep = ImportCBRecord,
        .lineStep = nullptr,
        .startName = "StartBtn",
        .startCaption = "Wczytaj dane z pliku CB.DBF",
        .information = "Import jest przeznaczony dla użytkowników polskiego programu\n"
                       "callbookowego, który przechowuje dane w pliku CB.DBF.\n"
                       "W programie tym polskie litery są kodowane w standardzie Mazovia.\n"
                       "Podczas wczytywania są one zamieniane na stronę kodową Windows.",
        .layout = {.client = {539, 208},
                   .informationBox = {7, 4, 410, 77},
                   .informationText = {9, 16, 392, 57},
                   .startButton = {8, 84, 237, 25},
                   .recordCaption = {5, 120},
                   .recordNumber = {168, 120},
                   .totalCaption = {5, 144},
                   .totalNumber = {167, 144},
                   .progressBarWidth = 521,
                   .closeButton = {432, 16}},
    },
    {
        .id = ImportKindId::LogCSP,
        .dialogName = "CzytajLogCSPFrm",
        .caption = "Import z pliku LOG_C_SP.DBF (Polska)",
        .menuItemName = "Wczytaj11",
        .menuCaption = "Wczytaj (Polska - LOG_C_SP.DBF)",
        .sourceFile = "LOG_C_SP.DBF",
        .source = SourceKind::DbaseTable,
        .tableName = "LOG_C_SP.DBF",
        .recordStep = ImportLogCSPRecord,
        .lineStep = nullptr,
        .startName = "Button1",
        .startCaption = "Wczytaj dane z pliku LOG_C_SP.DBF",
        .information = "Import jest przeznaczony dla użytkowników programu (program do "
                       "prowadzenia dziennika stacji).\n"
                       "Pozwala na wczytanie danych ze zbioru  LOG_C_SP.DBF.",
        .layout = {.client = {647, 187},
                   .informationBox = {7, 4, 530, 51},
                   .informationText = {9, 16, 512, 31},
                   .startButton = {8, 62, 237, 25},
                   .recordCaption = {5, 101},
                   .recordNumber = {168, 101},
                   .totalCaption = {5, 125},
                   .totalNumber = {168, 125},
                   .progressBarWidth = 631,
                   .closeButton = {546, 16}},
    },
    {
        .id = ImportKindId::LogCOK,
        .dialogName = "CzytajLogCOKFrm",
        .caption = "Import z pliku LOG_C_OK.DBF (Czechy)",
        .menuItemName = "Wczytaj21",
        .menuCaption = "Wczytaj (Czechy - LOG_C_OK.DBF)",
        .sourceFile = "LOG_C_OK.DBF",
        .source = SourceKind::DbaseTable,
        .tableName = "LOG_C_OK.DBF",
        .recordStep = ImportLogCOKRecord,
        .lineStep = nullptr,
        .startName = "StartBtn",
        .startCaption = "Wczytaj dane z pliku LOG_C_OK.DBF",
        .information = "Import jest przeznaczony dla użytkowników programu (program do "
                       "prowadzenia dziennika stacji).\n"
                       "Pozwala na wczytanie danych ze zbioru  LOG_C_OK.DBF.",
        .layout = {.client = {649, 200},
                   .informationBox = {6, 4, 530, 58},
                   .informationText = {9, 16, 512, 38},
                   .startButton = {8, 68, 237, 25},
                   .recordCaption = {5, 110},
                   .recordNumber = {168, 110},
                   .totalCaption = {5, 134},
                   .totalNumber = {168, 134},
                   .progressBarWidth = 631,
                   .closeButton = {546, 15}},
    },
    {
        .id = ImportKindId::OKCall,
        .dialogName = "CzytajOKCallFrm",
        .caption = "Import z pliku OKCALL.DBF (Czechy)",
        .menuItemName = "WczytajCzechyOKCALLDBF1",
        .menuCaption = "Wczytaj (Czechy - OKCALL.DBF)",
        .sourceFile = "OKCALL.DBF",
        .source = SourceKind::DbaseTable,
        .tableName = "okcall.dbf",
        .recordStep = ImportOKCallRecord,
        .lineStep = nullptr,
        .startName = "StartBtn",
        .startCaption = "Wczytaj dane z pliku OKCALL.DBF",
        .information = "Plik OKCALL.DBF  znajduje się pod internetowym adrersem:\n"
                       "(katalog serwera FTP z czeskim wykazem stacji krótkofalarskich)",
        .layout = {.client = {536, 200},
                   .informationBox = {7, 4, 410, 60},
                   .informationText = {9, 16, 281, 26},
                   .startButton = {8, 68, 237, 25},
                   .recordCaption = {5, 110},
                   .recordNumber = {168, 110},
                   .totalCaption = {5, 134},
                   .totalNumber = {167, 134},
                   .progressBarWidth = 521,
                   .closeButton = {432, 16}},
    },
    {
        .id = ImportKindId::Amateur,
        .dialogName = "CzytajAmateurCAFrm",
        .caption = "Import z pliku AMATEUR.RPT (Kanada)",
        .menuItemName = "WczytajKanadaAMATEUTRPT1",
        .menuCaption = "Wczytaj (Kanada - AMATEUR.RPT)",
        .sourceFile = "AMATEUR.RPT",
        .source = SourceKind::TextReport,
        .tableName = nullptr,
        .recordStep = nullptr,
        .lineStep = ImportAmateurLine,
        .startName = "Button1",
        .startCaption = "Wczytaj dane z pliku AMATEUR.RPT",
        .information = "Pod internetowym adresem: (serwer FTP kanadyjskiego urzędu ISED) znajduje\n"
                       "się plik CDNCALDB.ZIP. Po jego rozpakowaniu otrzyma się m. in. plik\n"
                       "AMATEUR.RPT zawierający informacje o krótkofalowcach z Kanady.",
        .layout = {.client = {536, 135},
                   .informationBox = {7, 4, 410, 68},
                   .informationText = {9, 16, 392, 48},
                   .startButton = {8, 79, 237, 25},
                   .recordCaption = {5, 110},
                   .recordNumber = {168, 110},
                   .totalCaption = {},
                   .totalNumber = {},
                   .progressBarWidth = 0,
                   .closeButton = {432, 16}},
    },
};

// The table is indexed by its ids.
constexpr bool InIdOrder() {
  for (std::size_t i = 0; i < std::size(kImportKinds); ++i)
    if (static_cast<std::size_t>(kImportKinds[i].id) != i) return false;
  return true;
}
static_assert(InIdOrder());

}  // namespace

std::span<const ImportKind> ImportKinds() { return kImportKinds; }

const ImportKind& ImportKindOf(ImportKindId id) {
  return kImportKinds[static_cast<std::size_t>(id)];
}

RunSummary RunImportInWorkingFolder(const ImportKind& kind, ICallbook& book, IRunDisplay& display) {
  RunSummary summary;
  RunImportInWorkingFolder(kind, book, display, summary);
  return summary;
}

void RunImportInWorkingFolder(const ImportKind& kind, ICallbook& book, IRunDisplay& display,
                              RunSummary& summary) {
  summary = RunSummary{};
  const std::optional<std::filesystem::path> file = FindInWorkingFolder(kind.sourceFile);
  if (!file) throw std::runtime_error(std::string(kMissingFilePrefix) + kind.sourceFile);
  if (kind.source == SourceKind::TextReport) {
    ReportSource source(*file, kind.lineStep);
    RunImport(source, book, display, summary);
    return;
  }
  DbfTable table("Calls", kind.tableName);
  TableSource source(table, kind.recordStep);
  RunImport(source, book, display, summary);
}

const ImportKind* ImportKindOfFile(std::string_view name) {
  for (const ImportKind& kind : kImportKinds) {
    if (EqualsIgnoreAsciiCase(kind.sourceFile, name)) return &kind;
  }
  return nullptr;
}

}  // namespace tolvo
