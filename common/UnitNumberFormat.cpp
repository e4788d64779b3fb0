#include "common/UnitNumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QLocale>

namespace mlb {

namespace {

QChar g_separator;  // null until first use or explicit setting

// Decimal digits of |v| rounded to p significant digits: digits holds exactly p
// characters, and |v| ~= 0.d1d2...dp x 10^(exp10 + 1), i.e. d1 is the digit of
// weight 10^exp10.
struct Decimal {
  std::string digits;
  int exp10 = 0;
  bool negative = false;
};

Decimal ToDecimal(double v, int p) {
  Decimal d;
  d.negative = std::signbit(v);
  char buf[64];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, p - 1);
  // buf looks like "1.2345e+03"
  const std::string s(buf, res.ptr);
  const auto e = s.find('e');
  for (std::size_t i = 0; i < e; ++i)
    if (s[i] != '.') d.digits.push_back(s[i]);
  d.exp10 = std::atoi(s.c_str() + e + 1);
  return d;
}

QString ExponentText(int exp10, int minDigits, bool alwaysSign) {
  QString t;
  if (exp10 < 0)
    t += QLatin1Char('-');
  else if (alwaysSign)
    t += QLatin1Char('+');
  t += QString::number(std::abs(exp10)).rightJustified(std::max(0, minDigits), QLatin1Char('0'));
  return t;
}

// The scientific form shared by General and Fixed: mantissa without trailing
// zeros, "E", minus sign only for a negative exponent.
QString GeneralScientific(const Decimal& d, int digits) {
  std::string m = d.digits;
  while (m.size() > 1 && m.back() == '0') m.pop_back();
  QString t;
  if (d.negative) t += QLatin1Char('-');
  t += QLatin1Char(m[0]);
  if (m.size() > 1) {
    t += DecimalSeparator();
    t += QString::fromLatin1(m.c_str() + 1);
  }
  t += QLatin1Char('E');
  t += ExponentText(d.exp10, digits, false);
  return t;
}

QString SpecialValue(double v) {
  if (std::isnan(v)) return QStringLiteral("NAN");
  return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

bool AllZero(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c == '0'; });
}

}  // namespace

QChar DecimalSeparator() {
  if (g_separator.isNull()) {
    const QString dp = QLocale().decimalPoint();
    g_separator = dp.isEmpty() ? QLatin1Char('.') : dp.at(0);
  }
  return g_separator;
}

void SetDecimalSeparator(QChar c) {
  g_separator = c;
}

QString FormatFloat(double value, TFloatFormat format, int precision, int digits) {
  if (!std::isfinite(value)) return SpecialValue(value);
  const int p = std::clamp(precision, 1, 17);
  digits = std::clamp(digits, 0, 18);

  if (format == TFloatFormat::Scientific) {
    Decimal d = ToDecimal(value, p);
    if (value == 0.0) d.negative = false;
    QString t;
    if (d.negative) t += QLatin1Char('-');
    t += QLatin1Char(d.digits[0]);
    if (p > 1) {
      t += DecimalSeparator();
      t += QString::fromLatin1(d.digits.c_str() + 1);
    }
    t += QLatin1Char('E');
    t += ExponentText(value == 0.0 ? 0 : d.exp10, digits, true);
    return t;
  }

  if (value == 0.0) {
    if (format == TFloatFormat::General || digits == 0) return QStringLiteral("0");
    return QStringLiteral("0") + DecimalSeparator() + QString(digits, QLatin1Char('0'));
  }

  if (format == TFloatFormat::General) {
    // Fast path: the shortest "%.Pg" text is the General form whenever it is
    // plain notation (no exponent), which covers almost every value written.
    char fast[64];
    const auto res = std::to_chars(fast, fast + sizeof fast, value, std::chars_format::general, p);
    if (res.ec == std::errc() && std::find(fast, res.ptr, 'e') == res.ptr) {
      QString t = QString::fromLatin1(fast, res.ptr - fast);
      const qsizetype dot = t.indexOf(QLatin1Char('.'));
      if (dot >= 0) t[dot] = DecimalSeparator();
      if (t == QLatin1String("-0")) t = QStringLiteral("0");
      return t;
    }
  }

  const Decimal d = ToDecimal(value, p);

  if (format == TFloatFormat::General) {
    if (d.exp10 + 1 > p || d.exp10 < -5) return GeneralScientific(d, digits);
    // Plain notation: place the decimal point after exp10 + 1 digits.
    std::string intPart, fracPart;
    if (d.exp10 >= 0) {
      intPart = d.digits.substr(0, static_cast<std::size_t>(d.exp10) + 1);
      fracPart = d.digits.substr(static_cast<std::size_t>(d.exp10) + 1);
    } else {
      intPart = "0";
      fracPart = std::string(static_cast<std::size_t>(-d.exp10 - 1), '0') + d.digits;
    }
    while (!fracPart.empty() && fracPart.back() == '0') fracPart.pop_back();
    QString t;
    if (d.negative) t += QLatin1Char('-');
    t += QString::fromLatin1(intPart.c_str());
    if (!fracPart.empty()) {
      t += DecimalSeparator();
      t += QString::fromLatin1(fracPart.c_str());
    }
    return t;
  }

  // Fixed.
  if (d.exp10 + 1 > p) return GeneralScientific(d, digits);
  // P significant digits leave p - 1 - exp10 decimals; show exactly `digits`.
  const int sigDecimals = p - 1 - d.exp10;
  const int shown = std::min(sigDecimals, digits);
  char buf[400];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, shown);
  std::string s(buf, res.ptr);
  if (digits > shown) {
    if (shown == 0) s += '.';
    s += std::string(static_cast<std::size_t>(digits - shown), '0');
  }
  std::string bare = s;
  bare.erase(std::remove(bare.begin(), bare.end(), '.'), bare.end());
  QString t;
  if (d.negative && !AllZero(bare)) t += QLatin1Char('-');
  for (char c : s) t += (c == '.') ? DecimalSeparator() : QChar(QLatin1Char(c));
  return t;
}

QString FormatTable(double x, int level) {
  // Level -1 is the coarsest: the angle box of the main window uses it.
  const int p = std::clamp(level, -1, 8);
  if (std::isnan(x)) return QStringLiteral("#Nombre!");
  const double a = std::abs(x);
  if (a >= 0.01 && a <= 10000) {
    const int d = a > 1000 ? p : a > 100 ? p + 1 : a > 10 ? p + 2 : p + 3;
    return FormatFixed(x, p + 4, std::max(d, 0));
  }
  if (x == 0) return QStringLiteral("0");
  return FormatScientific(x, p + 3, std::max(p + 1, 1));
}

QString NormalizeDecimalSeparators(const QString& text) {
  QString t = text;
  const QChar sep = DecimalSeparator();
  for (QChar& c : t)
    if (c == QLatin1Char(',') || c == QLatin1Char('.')) c = sep;
  return t;
}

bool TryParseFloat(const QString& text, double& value) {
  // Numbers are plain ASCII: copy to a small buffer with "," read as ".".
  char buf[128];
  qsizetype b = 0, e = text.size();
  while (b < e && text[b].isSpace()) ++b;
  while (e > b && text[e - 1].isSpace()) --e;
  if (b < e && text[b] == QLatin1Char('+')) ++b;
  if (b == e || e - b >= static_cast<qsizetype>(sizeof buf)) return false;
  std::size_t n = 0;
  for (qsizetype i = b; i < e; ++i) {
    const char16_t u = text[i].unicode();
    if (u >= 128) return false;
    buf[n++] = u == ',' ? '.' : static_cast<char>(u);
  }
  double v = 0;
  const auto [end, ec] = std::from_chars(buf, buf + n, v);
  if (ec != std::errc() || end != buf + n || !std::isfinite(v)) return false;
  value = v;
  return true;
}

}  // namespace mlb
