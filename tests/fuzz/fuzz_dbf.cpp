// libFuzzer target: a dBASE table and its memo file, read field by field.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tolvo::fuzz::EnterScratchFolder(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tolvo::fuzz::DbfCase(bytes);
  return 0;
}
