// Comparison of names typed by the user (points, formulas, constants,
// functions): without regard to case, Czech letters included.
#pragma once

#include <QString>

namespace mlb {

bool SameText(const QString& a, const QString& b);

// Letters A..Z, a..z and digits 0..9 only (names of the formula language).
inline bool IsAsciiLetter(QChar c) {
  const char16_t u = c.unicode();
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}
inline bool IsAsciiDigit(QChar c) {
  return c.unicode() >= '0' && c.unicode() <= '9';
}

}  // namespace mlb
