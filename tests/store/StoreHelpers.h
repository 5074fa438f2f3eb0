// Direct access to a database file beside the store under test: queries and
// statements in transactions of their own, as another program would run them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "store/Firebird.h"
#include "tests/support/DbAccess.h"
#include "tests/support/ScratchFolder.h"

namespace tolvo::storetest {

namespace fs = std::filesystem;
using testdb::Catalogue;
using testdb::CatalogueChanges;
using testdb::Execute;
using testdb::Query;
using testdb::ReadBytes;
using testdb::Row;
using testdb::WriteBytes;

// A scratch working folder with a fresh Tolvo 1.0 database LOG.DAT in it.
class StoreTest : public ::testing::Test {
 protected:
  StoreTest();
  ScratchFolder dir{ScratchFolder::Enter::Yes};
  fs::path db;
};

}  // namespace tolvo::storetest
