#include "tests/store/StoreHelpers.h"

#include "tools/writers/Tolvo10Database.h"

namespace tolvo::storetest {

StoreTest::StoreTest() : db(dir / "LOG.DAT") { CreateTolvo10Database(db); }

}  // namespace tolvo::storetest
