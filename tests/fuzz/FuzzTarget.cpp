// libFuzzer target: the case of FuzzHarness.h that the build names in
// TOLVO_FUZZ_CASE, one program a case. Every target works in a scratch folder
// of its own, where the table and report cases write their input as files.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tolvo::fuzz::EnterScratchFolder(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const tolvo::fuzz::Case run = tolvo::fuzz::Cases().at(TOLVO_FUZZ_CASE);
  run(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
