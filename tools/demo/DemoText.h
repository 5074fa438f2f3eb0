// Text of the demo lists in the code pages the lists are written in. The
// word lists are UTF-8; the Polish lists hold Mazovia bytes, everything else
// Windows-1250.
#pragma once

#include <string>
#include <string_view>

namespace tolvo::demo {

// UTF-8 as Mazovia bytes: ASCII stays, the 18 Polish letters get their Mazovia
// codes. Throws DemoError on bad UTF-8 or any other character.
std::string Utf8ToMazovia(std::string_view utf8);

// UTF-8 as Windows-1250. Throws DemoError on bad UTF-8 or a character the code
// page lacks.
std::string Utf8To1250(std::string_view utf8);

// Windows-1250 text as Mazovia bytes (Polish letters only, as Utf8ToMazovia).
std::string Cp1250ToMazovia(std::string_view cp1250);

// Windows-1250 text with the Polish letters stripped of their marks, case
// kept.
std::string FoldPolish(std::string_view cp1250);

}  // namespace tolvo::demo
