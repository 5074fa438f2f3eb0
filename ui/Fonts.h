// The program's typeface: the face its windows were laid out for where the
// system has it with the Polish letters, and narrowing a label's text to fit.
#pragma once

#include <QFont>

#include <string_view>

class QLabel;

namespace tolvo {

// The 18 Polish letters.
inline constexpr std::u32string_view kPolishLetters = U"ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";

// Whether `font` itself has a glyph for every Polish letter.
bool HasPolishLetters(const QFont& font);

// "MS Sans Serif" at `pixelSize` pixels where the system has it with the
// Polish letters, otherwise the system's sans-serif face (or a common face
// that has them) at the same pixel height.
QFont ProgramFont(int pixelSize);

// Narrows the label's font (never below half its width) until every line
// of its text fits into `width` pixels. Does nothing when it fits already,
// as it does in the font the windows were laid out for.
void FitTextToWidth(QLabel* label, int width);

}  // namespace tolvo
