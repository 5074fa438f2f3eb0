#include "ui/Fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QStringList>

#include <algorithm>

namespace tolvo {

bool HasPolishLetters(const QFont& font) {
  const QFontMetrics metrics(font);
  for (const char32_t letter : kPolishLetters) {
    if (!metrics.inFontUcs4(letter)) return false;
  }
  return true;
}

QFont ProgramFont(int pixelSize) {
  // The face the windows were laid out for, where the system has it with
  // the Polish letters (old bitmap versions of it carry Western European
  // letters only); otherwise the system's own sans-serif face, or a common
  // one that has them.
  static const QString kFamilies[] = {
      QStringLiteral("MS Sans Serif"), QString(), QStringLiteral("DejaVu Sans"),
      QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans")};
  QFont fallback;
  for (const QString& family : kFamilies) {
    QFont font;
    if (family.isEmpty()) {
      font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
      font.setStyleHint(QFont::SansSerif);
    } else if (QFontDatabase::hasFamily(family)) {
      font = QFont(family);
    } else {
      continue;
    }
    font.setPixelSize(pixelSize);
    if (family.isEmpty()) fallback = font;
    if (HasPolishLetters(font)) return font;
  }
  // None has them all: the system's face, whose missing letters the toolkit
  // takes from other faces.
  return fallback;
}

void FitTextToWidth(QLabel* label, int width) {
  QFont font = label->font();
  const QStringList lines = label->text().split(QLatin1Char('\n'));
  auto widest = [&lines](const QFont& f) {
    const QFontMetrics metrics(f);
    int w = 0;
    for (const QString& line : lines) w = std::max(w, metrics.horizontalAdvance(line));
    return w;
  };
  int stretch = 100;
  while (widest(font) > width && stretch > 50) {
    stretch -= 5;
    font.setStretch(stretch);
  }
  if (stretch != 100) label->setFont(font);
}

}  // namespace tolvo
