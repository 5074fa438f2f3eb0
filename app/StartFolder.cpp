#include "app/StartFolder.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSettings>

#include <cstdio>
#include <system_error>

#include "app/StartOptions.h"
#include "source/FileLookup.h"
#include "store/Callbook.h"

namespace tolvo {
namespace {

namespace fs = std::filesystem;

const char* const kFolderKey = "TolvoFolder";

QSettings ProgramSettings() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tolvoimp"),
                   QStringLiteral("tolvoimp"));
}

bool HoldsCallbook(const fs::path& folder) {
  return FindFileCaseBlind(folder, kCallbookFile).has_value();
}

bool Enter(const fs::path& folder) {
  std::error_code ec;
  fs::current_path(folder, ec);
  return !ec;
}

QString PathText(const fs::path& path) { return QFile::decodeName(path.c_str()); }

}  // namespace

std::optional<fs::path> AskForTolvoFolder(const QString& start) {
  QFileDialog dialog(nullptr, QString::fromUtf8("Wskaż folder programu Tolvo (z plikiem LOG.DAT)"),
                     start);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  dialog.setLabelText(QFileDialog::LookIn, QString::fromUtf8("Szukaj w:"));
  dialog.setLabelText(QFileDialog::FileName, QString::fromUtf8("Folder:"));
  dialog.setLabelText(QFileDialog::FileType, QString::fromUtf8("Pokaż:"));
  dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8("Wybierz"));
  dialog.setLabelText(QFileDialog::Reject, QString::fromUtf8("Anuluj"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return fs::path(QFile::encodeName(dialog.selectedFiles().first()).toStdString());
}

std::optional<fs::path> RememberedTolvoFolder() {
  const QString folder = ProgramSettings().value(QString::fromLatin1(kFolderKey)).toString();
  if (folder.isEmpty()) return std::nullopt;
  return fs::path(QFile::encodeName(folder).toStdString());
}

bool EnterWorkingFolder(const StartOptions& options, const FolderQuestion& ask) {
  if (options.folder && !Enter(*options.folder)) {
    std::fprintf(stderr, "tolvoimp: nie można przejść do folderu %s\n", options.folder->c_str());
    return false;
  }
  // A database named on the command line needs no LOG.DAT here.
  if (!options.fromMenu || options.connection || FindInWorkingFolder(kCallbookFile)) return true;

  const std::optional<fs::path> remembered = RememberedTolvoFolder();
  if (remembered && HoldsCallbook(*remembered) && Enter(*remembered)) return true;
  const std::optional<fs::path> chosen = ask(remembered ? PathText(*remembered) : QDir::homePath());
  if (chosen && Enter(*chosen)) {
    std::error_code ec;
    ProgramSettings().setValue(QString::fromLatin1(kFolderKey), PathText(fs::current_path(ec)));
  }
  return true;
}

}  // namespace tolvo
