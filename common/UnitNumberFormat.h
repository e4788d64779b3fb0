// Conversions of numbers to and from text with the locale's decimal separator.
//
// Three formats recur wherever the program shows a number, each with a
// precision P (significant digits) and a second count D:
//  - General: P significant digits, plain decimal notation without trailing
//    zeros while the integer part has at most P digits and the magnitude is at
//    least 0.00001, otherwise "1,5E20" / "1,5E-07" (exponent with at least D
//    digits, a sign only when negative).
//  - Fixed: P significant digits and exactly D decimals ("1,570" for pi/2 at
//    P = 3, D = 3), the General scientific form when the integer part has more
//    than P digits.
//  - Scientific: "1,57E+000" (one digit, P - 1 decimals, exponent sign always,
//    at least D exponent digits).
// No format inserts thousands separators.
#pragma once

#include <QChar>
#include <QString>

namespace mlb {

enum class TFloatFormat { General, Fixed, Scientific };

// The decimal separator used for every number shown or read. It is taken from
// the system locale the first time it is needed unless set before.
QChar DecimalSeparator();
void SetDecimalSeparator(QChar c);

QString FormatFloat(double value, TFloatFormat format, int precision, int digits);
inline QString FormatGeneral(double v, int p, int d) {
  return FormatFloat(v, TFloatFormat::General, p, d);
}
inline QString FormatFixed(double v, int p, int d) {
  return FormatFloat(v, TFloatFormat::Fixed, p, d);
}
inline QString FormatScientific(double v, int p, int d) {
  return FormatFloat(v, TFloatFormat::Scientific, p, d);
}

// The table number format at precision level -1..8 (tables, boxes, parameter
// fields): "#Nombre!" for NaN; fixed notation with level + 4 significant digits
// and 3..0 more decimals for 0.01 <= |x| <= 10000 (the smaller |x|, the more
// decimals); otherwise "0" for zero, else scientific with level + 3 digits and
// at least level + 1 exponent digits.
QString FormatTable(double value, int level);

// Replaces every "," and every "." by the locale's decimal separator, as done
// for every number read from a file or typed by the user.
QString NormalizeDecimalSeparators(const QString& text);

// Reads a number typed by the user or read from a file: surrounding blanks are
// ignored and both "," and "." are accepted as the decimal separator.
// Returns false (and leaves value unchanged) when the text is not a number.
bool TryParseFloat(const QString& text, double& value);

}  // namespace mlb
