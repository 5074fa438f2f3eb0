// libFuzzer target: records of CB.DBF fed to its importer's per-record step.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tolvo::fuzz::ImportCase(tolvo::fuzz::Importer::CB, bytes);
  return 0;
}
