#include "tools/writers/Tolvo10Database.h"

#include "store/Callbook.h"
#include "store/Firebird.h"

namespace tolvo {

void CreateTolvo10Database(const std::filesystem::path& file, bool withDomain, int dialect) {
  fb::ConnectOptions options = CallbookConnectOptions();
  options.dbCharset = "WIN1250";
  options.dialect = dialect;
  // Scratch databases need no synchronous writes; they make every commit
  // and page allocation wait for the disk.
  options.forcedWrites = false;
  fb::Attachment att = fb::Attachment::Create(std::filesystem::absolute(file).string(), options);
  if (withDomain) {
    fb::Transaction tr(att);
    att.ExecuteImmediate(
        tr, "CREATE DOMAIN D_BOOL AS SMALLINT CHECK (VALUE IS NULL OR VALUE IN (0,1))");
    tr.Commit();
  }
  att.Detach();
}

}  // namespace tolvo
