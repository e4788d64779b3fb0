#include "kinematics/UnitParser.h"

#include <charconv>
#include <cmath>
#include <numbers>

#include "common/UnitNumberFormat.h"
#include "common/UnitText.h"

namespace mlb {

namespace {

constexpr double kPi = std::numbers::pi;
const QChar kDivisionSign(0x00F7);
const QChar kSuperTwo(0x00B2), kSuperThree(0x00B3);

struct FunctionName {
  const char* name;
  int kind;
};
const FunctionName kFunctions[] = {{"SIN", ekSin},       {"COS", ekCos},      {"LN", ekLn},
                                   {"LOG", ekLog},       {"EXP", ekExp},      {"ABS", ekAbs},
                                   {"TAN", ekTan},       {"SQRT", ekSqrt},    {"ARCSIN", ekArcSin},
                                   {"ARCCOS", ekArcCos}, {"ARCTAN", ekArcTan}};

bool IsNameChar(QChar c) {
  return IsAsciiLetter(c) || c == QLatin1Char('_') || c == kSuperTwo || c == kSuperThree;
}
bool IsFunction(int kind) {
  return kind >= ekSin && kind <= ekArcTan;
}

// Operator kind by rank: ";" 1, "+" 2, "-" 3, "/" 4, "*" 5, "^" 6.
const int kRankKinds[] = {ekSemicolon, ekPlus, ekMinus, ekDivide, ekMultiply, ekPower};

}  // namespace

// ---------------------------------------------------------------- tree

class TNoeud {
 public:
  TNoeud(TParser& p, int lo, int hi) : p_(p), lo_(lo), hi_(hi) {}

  // Builds the subtree of the token range [lo, hi); false on an error.
  bool Build() {
    auto& t = p_.tokens_;
    for (;;) {  // outer parentheses enclosing everything
      if (hi_ - lo_ < 2 || t[lo_].Kind != ekOpen || t[hi_ - 1].Kind != ekClose ||
          t[lo_].Level != t[hi_ - 1].Level || !Encloses(lo_, hi_ - 1))
        break;
      ++lo_, --hi_;
      if (lo_ >= hi_) return p_.Fail(3, QString());
    }
    for (;;) {  // functions applied to the whole range
      if (hi_ - lo_ < 3 || !IsFunction(t[lo_].Kind) || t[lo_ + 1].Kind != ekOpen ||
          t[hi_ - 1].Kind != ekClose || t[lo_ + 1].Level != t[hi_ - 1].Level ||
          !Encloses(lo_ + 1, hi_ - 1))
        break;
      functions_.push_back(t[lo_].Kind);
      lo_ += 2, --hi_;
      if (lo_ >= hi_) return p_.Fail(23, QString());
      // Parentheses doubled inside the function's own: "SIN((x))".
      while (hi_ - lo_ >= 2 && t[lo_].Kind == ekOpen && t[hi_ - 1].Kind == ekClose &&
             t[lo_].Level == t[hi_ - 1].Level && Encloses(lo_, hi_ - 1)) {
        ++lo_, --hi_;
        if (lo_ >= hi_) return p_.Fail(3, QString());
      }
    }
    if (lo_ >= hi_) return p_.Fail(25, QString());
    int minLevel = t[lo_].Level, maxLevel = t[lo_].Level;
    for (int i = lo_; i < hi_; ++i)
      minLevel = std::min(minLevel, t[i].Level), maxLevel = std::max(maxLevel, t[i].Level);
    for (int level = minLevel; level <= maxLevel; ++level)
      for (int kind : kRankKinds)
        for (int i = hi_ - 1; i >= lo_; --i) {
          if (t[i].Kind != kind || t[i].Level != level) continue;
          if (kind == ekSemicolon && (functions_.empty() || functions_.back() != ekArcTan))
            return p_.Fail(30, QString());
          op_ = i;
          if (i == lo_ || i == hi_ - 1) return p_.Fail(24, t[i].Text);
          left_ = std::make_unique<TNoeud>(p_, lo_, i);
          right_ = std::make_unique<TNoeud>(p_, i + 1, hi_);
          return left_->Build() && right_->Build();
        }
    if (hi_ - lo_ != 1 || (t[lo_].Kind != ekNumber && t[lo_].Kind != ekName))
      return p_.Fail(25, QString());
    op_ = lo_;
    return true;
  }

  // False with the parser's status set on an error; `value` may be NaN for
  // a name without a defined value at this row.
  bool Eval(double& value) {
    auto& tok = p_.tokens_[static_cast<std::size_t>(op_)];
    const bool degrees = !p_.radians_;
    if (!left_) {
      if (tok.Kind == ekNumber) {
        value = tok.Value;
      } else if (tok.Kind == ekName) {
        bool hasValue = false;
        double v = 0;
        if (!p_.Resolver ||
            !p_.Resolver(tok.Text, tok.HasIndex, tok.IsAbsolute, tok.Offset, hasValue, v) ||
            !hasValue)
          return p_.Fail(28, tok.Text);
        tok.Value = v;
        value = v;
      } else {
        return p_.Fail(27, QString());
      }
      return ApplyFunctions(value, functions_.size());
    }
    double a = 0, b = 0;
    if (!left_->Eval(a) || !right_->Eval(b)) return false;
    if (std::isnan(a) || std::isnan(b)) {
      value = 0;
      return true;
    }
    if (tok.Negate) b = -b;
    std::size_t functions = functions_.size();
    switch (tok.Kind) {
      case ekPlus:
        value = a + b;
        break;
      case ekMinus:
        value = a - b;
        break;
      case ekMultiply:
        value = a * b;
        break;
      case ekDivide:
        if (std::abs(b) < 1e-100) return p_.Fail(14, QString());
        value = a / b;
        break;
      case ekPower:
        if (!Power(a, b, value)) return false;
        break;
      case ekSemicolon: {
        // ARCTAN(a;b): the angle of the point (b, a).
        value = std::atan2(a, b);
        if (degrees) value *= 180 / kPi;
        --functions;  // the innermost function is that ARCTAN
        return ApplyFunctions(value, functions);
      }
      default:
        return p_.Fail(27, QString());
    }
    if (!std::isfinite(value)) return p_.Fail(19, QString());
    return ApplyFunctions(value, functions);
  }

 private:
  // True when the "(" at `open` is closed by the ")" at `close`.
  bool Encloses(int open, int close) const {
    const auto& t = p_.tokens_;
    const int level = t[open].Level;
    for (int i = open + 1; i < close; ++i) {
      if (t[i].Level < level) return false;
      if (t[i].Kind == ekClose && t[i].Level == level) return false;
    }
    return true;
  }

  bool Power(double b, double p, double& value) {
    if (p == 0) {
      value = 1;
    } else if (b > 0) {
      value = std::exp(p * std::log(b));
    } else if (b == 0) {
      value = 0;
    } else if (std::abs(p - std::trunc(p)) < 1e-100) {
      // A negative base with an integral exponent: repeated squaring.
      double n = std::abs(std::trunc(p)), base = b, r = 1;
      while (n >= 1) {
        if (std::fmod(n, 2) >= 1) r *= base;
        base *= base;
        n = std::floor(n / 2);
        if (!std::isfinite(r) || (!std::isfinite(base) && n >= 1)) return p_.Fail(17, QString());
      }
      value = p < 0 ? 1 / r : r;
    } else {
      return p_.Fail(15, QString());
    }
    if (!std::isfinite(value)) return p_.Fail(17, QString());
    return true;
  }

  // Applies the first `count` functions of the stack, innermost first.
  bool ApplyFunctions(double& v, std::size_t count) {
    if (std::isnan(v)) return true;  // an undefined value stays undefined, without an error
    const bool degrees = !p_.radians_;
    const double toRad = degrees ? kPi / 180 : 1, toDeg = degrees ? 180 / kPi : 1;
    for (std::size_t k = count; k-- > 0;) {
      const int f = functions_[k];
      double r = 0;
      int fault = 0;
      switch (f) {
        case ekSin:
          r = std::sin(v * toRad), fault = 6;
          break;
        case ekCos:
          r = std::cos(v * toRad), fault = 5;
          break;
        case ekTan:
          r = std::tan(v * toRad), fault = 7;
          break;
        case ekLn:
        case ekLog:
          if (!(v > 0)) return p_.Fail(11, QString());
          r = f == ekLn ? std::log(v) : std::log10(v);
          fault = 11;
          break;
        case ekSqrt:
          if (v < 0) return p_.Fail(13, QString());
          r = std::sqrt(v);
          fault = 13;
          break;
        case ekExp:
          r = std::exp(v), fault = 16;
          break;
        case ekAbs:
          r = std::abs(v);
          break;
        case ekArcSin:
          if (std::abs(v) > 1) return p_.Fail(9, QString());
          r = std::atan2(v, std::sqrt(1 - v * v)) * toDeg;
          fault = 9;
          break;
        case ekArcCos:
          if (std::abs(v) > 1) return p_.Fail(8, QString());
          r = std::atan2(std::sqrt(1 - v * v), v) * toDeg;
          fault = 8;
          break;
        case ekArcTan:
          r = std::atan(v) * toDeg, fault = 10;
          break;
      }
      if (!std::isfinite(r)) return p_.Fail(fault ? fault : 27, QString());
      v = r;
    }
    return true;
  }

  TParser& p_;
  int lo_, hi_;
  int op_ = -1;
  std::vector<int> functions_;  // outermost first
  std::unique_ptr<TNoeud> left_, right_;
};

// ---------------------------------------------------------------- parser

TParser::TParser() = default;
TParser::~TParser() = default;

void TParser::SetFormula(const QString& text) {
  formula_ = text;
  tokens_.clear();
  root_.reset();
  names_.clear();
  tokenized_ = tokenFailed_ = buildFailed_ = false;
  status_ = 0;
  errorText_.clear();
}

bool TParser::Fail(int status, const QString& text) {
  status_ = status;
  errorText_ = text;
  return false;
}

bool TParser::Tokenize() {
  tokenized_ = true;
  if (formula_.size() > kMaxFormulaLength) return Fail(kStatusTooLong, QString());
  QString s = formula_;
  // Signs.
  for (qsizetype before = -1; before != s.size();) {
    before = s.size();
    s.replace(QLatin1String(";+"), QLatin1String(";"));
    s.replace(QLatin1String("+-"), QLatin1String("-"));
    s.replace(QLatin1String("-+"), QLatin1String("-"));
    s.replace(QLatin1String("--"), QLatin1String("+"));
    s.replace(QLatin1String("++"), QLatin1String("+"));
    s.replace(QLatin1String("*+"), QLatin1String("*"));
    s.replace(QLatin1String("/+"), QLatin1String("/"));
    s.replace(QString(kDivisionSign) + QLatin1Char('+'), QString(kDivisionSign));
    s.replace(QLatin1String("^+"), QLatin1String("^"));
  }
  for (qsizetype i = 0; i < s.size(); ++i) {
    const bool start = i == 0 || s[i - 1] == QLatin1Char('(');
    if (!start) continue;
    if (s[i] == QLatin1Char('+')) {
      s.remove(i, 1);
      --i;
    } else if (s[i] == QLatin1Char('-')) {
      s.insert(i, QLatin1Char('0'));
      ++i;
    }
  }

  const QChar sep = DecimalSeparator();
  int depth = 0;
  qsizetype i = 0;
  const qsizetype n = s.size();
  while (i < n) {
    TElemPile tok;
    const QChar c = s[i];
    if (IsAsciiDigit(c) || c == sep) {
      QString text;
      while (i < n && (IsAsciiDigit(s[i]) || s[i] == sep)) {
        if (s[i] == sep && !text.isEmpty() && text.back() == sep) return Fail(4, text + sep);
        text += s[i++];
      }
      if (i < n && (s[i] == QLatin1Char('E') || s[i] == QLatin1Char('e'))) {
        text += s[i++];
        if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) text += s[i++];
        if (i >= n || !IsAsciiDigit(s[i])) return Fail(4, text);
        while (i < n && IsAsciiDigit(s[i])) text += s[i++];
      }
      std::string ascii;
      for (QChar ch : text) ascii += ch == sep ? '.' : static_cast<char>(ch.unicode());
      double v = 0;
      const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
      if (ec != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(v))
        return Fail(4, text);
      tok.Kind = ekNumber;
      tok.Value = v;
      tok.Text = text;
    } else if (!IsNameChar(c)) {
      ++i;
      switch (c.unicode()) {
        case '(':
          tok.Kind = ekOpen, ++depth;
          break;
        case ')':
          tok.Kind = ekClose;
          break;
        case '*':
          tok.Kind = ekMultiply;
          break;
        case '+':
          tok.Kind = ekPlus;
          break;
        case '-':
          tok.Kind = ekMinus;
          break;
        case '/':
          tok.Kind = ekDivide;
          break;
        case ';':
          tok.Kind = ekSemicolon;
          break;
        case '^':
          tok.Kind = ekPower;
          break;
        default:
          if (c == kDivisionSign) {
            tok.Kind = ekDivide;
            break;
          }
          return Fail(21, QString(c));
      }
      tok.Text = QString(c);
      tok.Level = depth;
      if (tok.Kind == ekClose) --depth;
      const bool takesNegate = tok.Kind == ekMultiply || tok.Kind == ekDivide ||
                               tok.Kind == ekSemicolon || tok.Kind == ekPower;
      if (takesNegate && i < n - 1 && s[i] == QLatin1Char('-')) {
        tok.Negate = true;
        ++i;
      }
      tokens_.push_back(tok);
      continue;
    } else {
      qsizetype j = i;
      while (j < n && IsAsciiLetter(s[j])) ++j;
      const QString letters = s.mid(i, j - i);
      if (SameText(letters, QStringLiteral("pi"))) {
        tok.Kind = ekNumber;
        tok.Value = kPi;
        tok.Text = letters;
        i = j;
        tok.Level = depth;
        tokens_.push_back(tok);
        continue;
      }
      int function = 0;
      if (j < n && s[j] == QLatin1Char('('))
        for (const FunctionName& f : kFunctions)
          if (SameText(letters, QLatin1String(f.name))) function = f.kind;
      if (function) {
        tok.Kind = function;
        tok.Text = letters.toUpper();
        i = j;
      } else {
        j = i;
        while (j < n && (IsNameChar(s[j]) || IsAsciiDigit(s[j]))) ++j;
        tok.Text = s.mid(i, j - i);
        i = j;
        if (i < n && s[i] == QLatin1Char('[')) {
          tok.HasIndex = true;
          ++i;
          bool relative = false, sign = false, digits = false;
          int offset = 0;
          if (i < n && (s[i] == QLatin1Char('i') || s[i] == QLatin1Char('I'))) relative = true, ++i;
          bool negative = false;
          if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
            sign = true, negative = s[i] == QLatin1Char('-'), ++i;
          qsizetype k = i;
          while (k < n && IsAsciiDigit(s[k])) ++k;
          if (k > i) {
            digits = true;
            bool ok = false;
            offset = s.mid(i, k - i).toInt(&ok);
            if (!ok) return Fail(22, tok.Text);
            if (negative) offset = -offset;
          }
          i = k;
          if (i >= n || s[i] != QLatin1Char(']')) return Fail(29, tok.Text);
          ++i;
          if ((!relative && !digits) || (sign && !digits)) return Fail(22, tok.Text);
          tok.IsAbsolute = !relative;
          tok.Offset = offset;
        }
        bool hasValue = false;
        double v = 0;
        if (!Resolver || !Resolver(tok.Text, tok.HasIndex, tok.IsAbsolute, tok.Offset, hasValue, v))
          return Fail(20, tok.Text);
        tok.Kind = ekName;
        bool listed = false;
        for (const QString& name : names_) listed = listed || SameText(name, tok.Text);
        if (!listed) names_ << tok.Text;
      }
    }
    tok.Level = depth;
    tokens_.push_back(tok);
  }
  if (depth > 0) return Fail(1, QString());
  if (depth < 0) return Fail(2, QString());
  if (tokens_.empty()) return Fail(26, QString());
  return true;
}

bool TParser::Evaluate() {
  if (!tokenized_ && !Tokenize()) tokenFailed_ = true;
  if (tokenFailed_) return false;
  if (!root_ && !buildFailed_) {
    root_ = std::make_unique<TNoeud>(*this, 0, static_cast<int>(tokens_.size()));
    if (!root_->Build()) buildFailed_ = true;
  }
  if (buildFailed_) return false;
  status_ = 0;
  errorText_.clear();
  double v = 0;
  if (!root_->Eval(v)) return false;
  result_ = v;
  return true;
}

QString TParser::ErrorText() const {
  return Message(status_, errorText_);
}

QString TParser::Message(int status, const QString& text) {
  switch (status) {
    case 0:
      return QString();
    case 1:
      return QStringLiteral("Nebyly uzavřeny závorky.");
    case 2:
      return QStringLiteral("Závorky nebyly otevřeny.");
    case 3:
      return QStringLiteral("Prázdné závorky.");
    case 4:
      return QStringLiteral("Nesprávné číslo: %1").arg(text);
    case 5:
      return QStringLiteral("Výpočet kosinu selhal.");
    case 6:
      return QStringLiteral("Výpočet funkce sinus se nezdařil.");
    case 7:
      return QStringLiteral("Výpočet funkce tangens se nezdařil.");
    case 8:
      return QStringLiteral("Výpočet funkce arccos nelze provést.");
    case 9:
      return QStringLiteral("Výpočet funkce arcsin nelze provést.");
    case 10:
      return QStringLiteral("Výpočet funkce arctan nelze provést.");
    case 11:
      return QStringLiteral("Výpočet logaritmu nulového nebo záporného čísla");
    case 13:
      return QStringLiteral("Výpočet odmocniny ze záporného čísla.");
    case 14:
      return QStringLiteral("Dělení nulou.");
    case 15:
      return QStringLiteral("Výpočet mocniny se zlomkovým mocnitelem ze záporného čísla.");
    case 16:
      return QStringLiteral("Výpočet exponenciely selhal.");
    case 17:
      return QStringLiteral("Výpočet mocniny selhal.");
    case 19:
      return QStringLiteral("Výsledek výpočtu je číslo příliš malé nebo příliš velké.");
    case 20:
      return QStringLiteral("Vzorec obsahuje neznámou proměnnou nebo konstantu: %1").arg(text);
    case 21:
      return QStringLiteral("Vzorec obsahuje nepovolený nebo nevhodný znak: %1").arg(text);
    case 22:
      return QStringLiteral(
                 "Index proměnné nebo konstanty je umístěný do hranatých závorek. Index mezi "
                 "hranatými závorkami není rozpoznán. Dotčená proměnná nebo konstanta s nesprávným "
                 "indexem: %1")
          .arg(text);
    case 23:
      return QStringLiteral("Funkce bez argumentu.");
    case 24:
      return QStringLiteral("Operátor bez funkce: %1").arg(text);
    case 25:
      return QStringLiteral("Funkce bez operátoru.");
    case 26:
      return QStringLiteral("Vzorec je prázdný.");
    case 28:
      return QStringLiteral(
                 "Proměnná, jejíž hodnota není známa: %1. Ověřte, že počáteční hodnota (%2 nebo "
                 "%3) "
                 "je zapsána v tabulce konstant.")
          .arg(text, text + QStringLiteral("[0]"), text + QStringLiteral("[1]"));
    case 29:
      return QStringLiteral(
                 " Index proměnné nebo konstanty je umístěný do hranatých závorek. Uzavírající "
                 "závorka chybí nebo je chybně umístěna. Dotčená proměnná nebo konstanta: %1")
          .arg(text);
    case 30:
      return QStringLiteral(
          "Použít středník pro oddělení dvou proměnných jedné funkce. Příklad : ArcTan(x;y).");
    case kStatusTooLong:
      return QStringLiteral("Vzorec je příliš dlouhý (nejvýše %1 znaků).").arg(kMaxFormulaLength);
    default:
      return QStringLiteral("Neznámá chyba.");
  }
}

}  // namespace mlb
