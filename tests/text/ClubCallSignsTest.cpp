#include "text/ClubCallSigns.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

#include "import/LogCspImport.h"

namespace tolvo {
namespace {

TEST(ClubCallSigns, FourGroupsAscendingAndExactLookup) {
  ASSERT_EQ(ClubCallSignCount(), 68u);
  const char groups[] = "KPZY";
  const std::size_t sizes[] = {23, 21, 9, 15};
  std::size_t i = 0;
  for (std::size_t g = 0; g < 4; ++g) {
    for (std::size_t n = 0; n < sizes[g]; ++n, ++i) {
      const std::string_view c = ClubCallSign(i);
      ASSERT_EQ(c.size(), 6u) << c;
      EXPECT_TRUE(c.starts_with("SP") && std::isdigit(static_cast<unsigned char>(c[2])) &&
                  c[3] == groups[g] && std::isupper(static_cast<unsigned char>(c[4])) &&
                  std::isupper(static_cast<unsigned char>(c[5])))
          << c;
      if (n > 0) {
        EXPECT_LT(ClubCallSign(i - 1), c);
      }
    }
  }
  const std::string call(ClubCallSign(67));
  EXPECT_TRUE(IsClubCallSign(" " + call + "\t"));
  std::string lower = call;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string& other : {lower, call + "/P", call.substr(0, 5), std::string()})
    EXPECT_FALSE(IsClubCallSign(other)) << other;
}

}  // namespace
}  // namespace tolvo
