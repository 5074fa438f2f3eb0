#include "tests/store/StoreHelpers.h"

#include "tests/support/TolvoDb.h"

namespace tolvo::storetest {

StoreTest::StoreTest() : db(dir / "LOG.DAT") { CreateTolvo10Database(db); }

}  // namespace tolvo::storetest
