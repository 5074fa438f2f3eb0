#include "text/LocatorRepair.h"

#include "text/Cp1250Text.h"
#include "text/FieldText.h"

namespace tolvo {

std::string RepairLocator(std::string_view raw) {
  std::string locator(StripBlanksView(raw));
  if (locator.size() >= 4) {
    for (std::size_t i : {2u, 3u})
      if (locator[i] == 'O' || locator[i] == 'o') locator[i] = '0';
  }
  if (locator.size() == 6) {
    for (std::size_t i : {4u, 5u})
      if (locator[i] == '?') locator[i] = ' ';
  }
  return std::string(StripBlanksView(locator));
}

}  // namespace tolvo
