#include "import/ImportChecks.h"

#include <system_error>

#include "source/FileLookup.h"
#include "store/OpenFailure.h"

namespace tolvo {

ImportFiles FindImportFiles(const ImportKind& kind, bool withDatabase) {
  ImportFiles files;
  std::error_code ec;  // a working folder that is gone has no name to give
  const std::filesystem::path here = std::filesystem::current_path(ec);
  if (withDatabase) {
    files.database = FindInWorkingFolder(kDatabaseFile);
    if (!files.database) {
      files.message = std::string(kMissingFilePrefix) + kDatabaseFile;
      files.cause = MissingDatabaseCause(here);
      return files;
    }
  }
  files.list = FindInWorkingFolder(kind.sourceFile);
  if (!files.list) {
    files.message = std::string(kMissingFilePrefix) + kind.sourceFile;
    files.cause = "W folderze " + here.string() + " nie ma pliku " + kind.sourceFile + ".";
  }
  return files;
}

}  // namespace tolvo
