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
#include "tests/support/ScratchFolder.h"

namespace tolvo::storetest {

namespace fs = std::filesystem;
using Value = std::optional<std::string>;
using Row = std::vector<Value>;

fb::Attachment OpenRaw(const fs::path& file);

// Every value as text (integers in decimal); NULL as nullopt.
std::vector<Row> Query(const fs::path& file, std::string_view sql);
// Executes the statements one by one in one transaction and commits it.
void Execute(const fs::path& file, const std::vector<std::string>& statements);

std::string ReadBytes(const fs::path& file);
void WriteBytes(const fs::path& file, std::string_view bytes);

// A scratch working folder with a fresh Tolvo 1.0 database LOG.DAT in it.
class StoreTest : public ::testing::Test {
 protected:
  StoreTest();
  ScratchFolder dir{ScratchFolder::Enter::Yes};
  fs::path db;
};

}  // namespace tolvo::storetest
