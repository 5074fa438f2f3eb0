#include "app/StartOptions.h"

#include <QFile>

#include <cstdio>

namespace tolvo {
namespace {

constexpr int kExitUsage = 2;

// The usage, for --help and after a wrong call.
constexpr const char* kUsage = R"(użycie: tolvoimp [--menu] [--database POŁĄCZENIE] [FOLDER]
  Okno importu list stacji do callbooka programu Tolvo (tabeli STACJE w pliku LOG.DAT).
  Program pracuje w folderze FOLDER (domyślnie w bieżącym): stamtąd czyta listy i LOG.DAT.
  --menu                 uruchomienie z menu: gdy w folderze nie ma LOG.DAT, program pyta
                         o folder programu Tolvo i zapamiętuje go na następny raz
  --database POŁĄCZENIE  baza przez serwer Firebird zamiast LOG.DAT z folderu,
                         np. serwer:C:\Tolvo\LOG.DAT albo serwer/3050:/dane/LOG.DAT
)";

void Usage(std::FILE* to) { std::fputs(kUsage, to); }

std::optional<StartOptions> WrongCall(const QString& what, int& exitStatus) {
  std::fprintf(stderr, "tolvoimp: %s\n", what.toUtf8().constData());
  Usage(stderr);
  exitStatus = kExitUsage;
  return std::nullopt;
}

}  // namespace

std::optional<StartOptions> ParseStartOptions(const QStringList& arguments, int& exitStatus) {
  StartOptions options;
  const QString databaseNeeded =
      QString::fromUtf8("--database wymaga połączenia, np. serwer:/dane/LOG.DAT");
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
      Usage(stdout);
      exitStatus = 0;
      return std::nullopt;
    }
    if (arg == QLatin1String("--menu")) {
      options.fromMenu = true;
    } else if (arg == QLatin1String("--database") || arg.startsWith(QLatin1String("--database="))) {
      QString value;
      if (arg == QLatin1String("--database")) {
        if (i + 1 >= arguments.size()) return WrongCall(databaseNeeded, exitStatus);
        value = arguments[++i];
      } else {
        value = arg.mid(static_cast<qsizetype>(sizeof "--database=") - 1);
      }
      if (value.isEmpty()) return WrongCall(databaseNeeded, exitStatus);
      options.connection = value.toStdString();
    } else if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
      return WrongCall(QString::fromUtf8("nieznana opcja ") + arg, exitStatus);
    } else if (options.folder) {
      return WrongCall(QString::fromUtf8("za dużo argumentów: ") + arg, exitStatus);
    } else {
      options.folder = std::filesystem::path(QFile::encodeName(arg).toStdString());
    }
  }
  return options;
}

}  // namespace tolvo
