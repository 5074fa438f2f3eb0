// Test text written in UTF-8, as the Windows-1250 bytes the code under test
// works on.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "text/Cp1250Text.h"

namespace tolvo::test {

inline std::string W(std::string_view utf8) {
  std::string out;
  EXPECT_TRUE(Utf8ToCp1250(utf8, out)) << utf8;
  return out;
}

}  // namespace tolvo::test
