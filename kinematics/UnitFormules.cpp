#include "kinematics/UnitFormules.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QRegularExpression>

#include "common/UnitMessageBox.h"
#include "common/UnitNumberFormat.h"
#include "common/UnitText.h"
#include "kinematics/UnitResultats.h"
#include "measurement/UnitMlb.h"

namespace mlb {

const QString TRec::kNoComment = QStringLiteral("žádný zadaný komentář");
const QString TRec::kNoUnit = QStringLiteral("žádná zadaná jednotka");

namespace {

constexpr int kNoRow = -1073741823;  // no relative index reaches a row from here
const QChar kSuperTwo(0x00B2), kSuperThree(0x00B3);

QString ReduceSigns(QString s) {
  for (qsizetype before = -1; before != s.size();) {
    before = s.size();
    s.replace(QLatin1String("+-"), QLatin1String("-"));
    s.replace(QLatin1String("-+"), QLatin1String("-"));
    s.replace(QLatin1String("--"), QLatin1String("+"));
    s.replace(QLatin1String("++"), QLatin1String("+"));
  }
  return s;
}

QString WithoutBlanks(QString s) {
  s.remove(QLatin1Char(' '));
  s.remove(QLatin1Char('\t'));
  return s;
}

// The predefined quantities in resolution order.
struct Predefined {
  const char* symbol;
  int code;
  int group;  // 0 always, 1 velocity, 2 acceleration, 3 polar
};
const Predefined kPredefined[] = {{"t", grTemps, 0}, {"x", grX, 0},   {"y", grY, 0},
                                  {"vx", grVx, 1},   {"vy", grVy, 1}, {"v", grV, 1},
                                  {"ax", grAx, 2},   {"ay", grAy, 2}, {"a", grA, 2},
                                  {"O", grTheta, 3}, {"R", grR, 3},   {"w", grOmega, 3}};
constexpr int kAxisAngleCode = -2;  // "B"

}  // namespace

// ---------------------------------------------------------------- TRec

void TRec::SetIdentifier(const QString& text) {
  QString id = ReduceSigns(WithoutBlanks(text));
  FIdentifier = id;
  FName.clear();
  FIndexed = false;
  FNameValid = false;
  FIndexValid = true;
  FIndex = 0;
  FIndexText = QStringLiteral("0");
  const qsizetype close = id.indexOf(QLatin1Char(']'));
  if (id.isEmpty() || !IsAsciiLetter(id[0]) || (close >= 0 && close != id.size() - 1) ||
      id.contains(QLatin1String("[]")))
    return;
  qsizetype i = 0;
  while (i < id.size() && (IsAsciiLetter(id[i]) || IsAsciiDigit(id[i]) ||
                           id[i] == QLatin1Char('_') || id[i] == kSuperTwo || id[i] == kSuperThree))
    ++i;
  FName = id.left(i);
  if (i == id.size()) {
    FNameValid = true;
    return;
  }
  if (id[i] != QLatin1Char('[') || !id.endsWith(QLatin1Char(']'))) return;
  FNameValid = true;
  const QString index = id.mid(i + 1, id.size() - i - 2);
  FIndexText = index;
  QString number = index;
  bool relative = false;
  if (!number.isEmpty() && (number[0] == QLatin1Char('i') || number[0] == QLatin1Char('I'))) {
    relative = true;
    number.remove(0, 1);
  }
  bool ok = true;
  int k = 0;
  if (!number.isEmpty()) {
    k = number.toInt(&ok);
    if (number.startsWith(QLatin1Char('+')) && ok) k = number.mid(1).toInt(&ok);
  } else if (!relative) {
    ok = false;
  }
  if (!ok) {
    FIndexText = QStringLiteral("0");
    FIndexValid = false;
    return;
  }
  // A formula takes only a relative index (name[i] is the name itself); a
  // constant only an absolute row.
  if (FKind == 0) {
    FIndexValid = relative;
    FIndex = relative ? k : 0;
    FIndexed = relative && k != 0;
  } else {
    FIndexValid = !relative;
    FIndex = relative ? 0 : k;
    FIndexed = !relative;
  }
}

// ---------------------------------------------------------------- TFormules

TFormules::TFormules(TResCalc& results) : results_(results) {
  parser_.SetRadians(settings_.radians);
  parser_.Resolver = [this](const QString& n, bool h, bool a, int o, bool& hv, double& v) {
    return Resolve(n, h, a, o, hv, v);
  };
}

TFormules::~TFormules() = default;

void TFormules::ApplySettings(const TFormulaSettings& s) {
  const bool recompute = s.radians != settings_.radians;
  if (s.speedAllowed != settings_.speedAllowed || s.accelAllowed != settings_.accelAllowed ||
      s.polarAllowed != settings_.polarAllowed)
    results_.Invalidate(rcBoth);
  settings_ = s;
  parser_.SetRadians(s.radians);
  if (recompute) {
    ComputeConstants();
    ComputeFormulas();
  }
}

int TFormules::Row(bool isAbsolute, int offset) const {
  const int u = settings_.startByZero ? 0 : 1;
  return isAbsolute ? offset - u : row_ + offset;
}

// The code of a predefined name (kAxisAngleCode for "B") and its mark rank;
// -1 when the name is not predefined (or not allowed now).
int TFormules::PredefinedCode(const QString& name, int& rank) const {
  rank = 0;
  if (SameText(name, QStringLiteral("B"))) return kAxisAngleCode;
  const int marks = results_.CurrentCalcul().MarkCount();
  for (const Predefined& p : kPredefined) {
    if ((p.group == 1 && !settings_.speedAllowed) || (p.group == 2 && !settings_.accelAllowed) ||
        (p.group == 3 && !settings_.polarAllowed))
      continue;
    const QLatin1String sym(p.symbol);
    if (name.size() < sym.size() || !SameText(name.left(sym.size()), sym)) continue;
    const QString rest = name.mid(sym.size());
    if (rest.isEmpty()) return p.code;
    if (p.code == grTemps) continue;
    bool digits = std::all_of(rest.begin(), rest.end(), [](QChar c) { return IsAsciiDigit(c); });
    if (!digits) continue;
    bool ok = false;
    const int k = rest.toInt(&ok);
    if (ok && k >= 1 && k <= marks) {
      rank = k - 1;
      return p.code;
    }
  }
  return -1;
}

bool TFormules::IsPredefinedName(const QString& name) const {
  int rank;
  return PredefinedCode(name, rank) != -1;
}

bool TFormules::ColumnValue(int code, int rank, int row, double& value) const {
  const TCalcul& c = results_.CurrentCalcul();
  if (row < 0 || row >= c.SampleCount()) return false;
  if (code == grTemps) {
    value = c.Times()[static_cast<std::size_t>(row)];
    return true;
  }
  if (!c.Present(rank, row)) return false;
  value = c.ValueAt(avAxes, rank, code, row);
  if (code == grTheta && !settings_.radians) value *= 180 / std::numbers::pi;
  return true;
}

bool TFormules::Resolve(const QString& name, bool hasIndex, bool isAbsolute, int offset,
                        bool& hasValue, double& value) {
  hasValue = false;
  const int u = settings_.startByZero ? 0 : 1;
  for (const auto& c : constants_) {
    if (!SameText(c->FName, name)) continue;
    const bool match = (!hasIndex && !c->FIndexed) ||
                       (hasIndex && isAbsolute && c->FIndexed && offset == c->FIndex) ||
                       (hasIndex && !isAbsolute && c->FIndexed && row_ + u + offset == c->FIndex);
    if (match) {
      hasValue = !std::isnan(c->FValue);
      value = c->FValue;
      return true;
    }
  }
  const int row = Row(hasIndex && isAbsolute, hasIndex ? offset : 0);
  if (!constantsOnly_) {
    int rank;
    const int code = PredefinedCode(name, rank);
    if (code == kAxisAngleCode) {
      value = results_.CurrentCalcul().AxisAngle();
      if (!settings_.radians) value *= 180 / std::numbers::pi;
      hasValue = true;
      return true;
    }
    if (code >= 0) {
      hasValue = ColumnValue(code, rank, row, value);
      return true;
    }
    for (const auto& f : formulas_) {
      if (f->FName.isEmpty() || !SameText(f->FName, name)) continue;
      const TCurve& curve = f->FCurve;
      hasValue = row >= 0 && row < static_cast<int>(curve.FPresent.size()) &&
                 curve.FPresent[static_cast<std::size_t>(row)] == 0;
      if (hasValue) value = curve.FValues[static_cast<std::size_t>(row)];
      return true;
    }
  }
  return false;
}

int TFormules::ComputeRecord(TRec& rec) {
  if (rec.FKind == 1) {
    if (rec.FPhrase.isEmpty()) return 0;
    constantsOnly_ = true;
    row_ = kNoRow;
    parser_.SetFormula(rec.FPhrase);
    const bool ok = parser_.Evaluate();
    constantsOnly_ = false;
    rec.FUsedNames = parser_.Names();
    if (ok) {
      rec.FValue = parser_.Result();
      rec.FValueText = FormatTable(rec.FValue, 0);
      return 0;
    }
    rec.FError = parser_.ErrorText();
    rec.FValueText = QStringLiteral("#Nombre!");
    rec.FValue = std::nan("");
    return 5;
  }
  const int S = results_.SampleCount();
  const int u = settings_.startByZero ? 0 : 1;
  TCurve& c = rec.FCurve;
  parser_.SetFormula(rec.FPhrase);
  c.FValues.assign(static_cast<std::size_t>(std::max(0, S)), 0.0);
  c.FPresent.assign(static_cast<std::size_t>(std::max(0, S)), -1);
  int values = 0;
  for (int r = 0; r < S; ++r) {
    if (S - 1 < rec.FIndex) {
      rec.FError = ValidationMessage(11, rec.FIdentifier);
      c.FInvalid = true;
      c.FShown = false;
      return 11;
    }
    row_ = r - rec.FIndex;
    double v = 0;
    bool overridden = false;
    if (!rec.FName.isEmpty())
      for (const auto& k : constants_)
        if (k->FIndexed && SameText(k->FName, rec.FName) && k->FIndex == r + u) {
          v = k->FValue;
          overridden = true;
          break;
        }
    if (!overridden) {
      if (!parser_.Evaluate()) continue;
      v = parser_.Result();
    }
    c.FValues[static_cast<std::size_t>(r)] = v;
    c.FPresent[static_cast<std::size_t>(r)] = 0;
    ++values;
  }
  rec.FUsedNames = parser_.Names();
  if (values == 0) {
    rec.FError = parser_.Status() ? parser_.ErrorText() : TParser::Message(26, QString());
    c.FInvalid = true;
    c.FShown = false;
    return 5;
  }
  c.FInvalid = false;
  auto uses = [&](std::initializer_list<int> codes) {
    for (const QString& n : rec.FUsedNames) {
      int rank;
      const int code = PredefinedCode(n, rank);
      if (std::find(codes.begin(), codes.end(), code) != codes.end()) return true;
    }
    return false;
  };
  c.FUsesSpeed = uses({grVx, grVy, grV});
  c.FUsesAccel = uses({grAx, grAy, grA});
  for (const auto& f : formulas_)
    if (f.get() != &rec && !f->FName.isEmpty())
      for (const QString& n : rec.FUsedNames)
        if (SameText(n, f->FName)) {
          c.FUsesSpeed = c.FUsesSpeed || f->FCurve.FUsesSpeed;
          c.FUsesAccel = c.FUsesAccel || f->FCurve.FUsesAccel;
        }
  c.FFirst = c.FLast = -1;
  for (int r = 0; r < S; ++r)
    if (c.FPresent[static_cast<std::size_t>(r)] == 0) {
      if (c.FFirst < 0) c.FFirst = r;
      c.FLast = r;
    }
  return 0;
}

// Records are computed after those they use; records that use each other in
// a cycle are recomputed together, from empty values, until their values stop
// changing (at most S + 1 rounds), else they are marked invalid.
void TFormules::ComputeList(std::vector<std::unique_ptr<TRec>>& list) {
  const int n = static_cast<int>(list.size());
  if (n == 0) return;
  auto nameOf = [&](int j) {
    return list[static_cast<std::size_t>(j)]->FName.isEmpty()
               ? QStringLiteral("$") + QString::number(j)
               : list[static_cast<std::size_t>(j)]->FName;
  };
  // Names used: parse once (tokenizing asks only whether names are known).
  for (auto& r : list) {
    parser_.SetFormula(r->FPhrase);
    constantsOnly_ = r->FKind == 1;
    row_ = 0;
    parser_.Evaluate();
    constantsOnly_ = false;
    r->FUsedNames = parser_.Names();
  }
  auto uses = [&](int k, int j) {
    if (k == j) return false;
    for (const QString& name : list[static_cast<std::size_t>(k)]->FUsedNames)
      if (SameText(name, nameOf(j))) return true;
    return false;
  };
  std::vector<int> level(static_cast<std::size_t>(n), 0);
  bool changed = true;
  for (int pass = 0; changed && pass < n + 1; ++pass) {
    changed = false;
    for (int j = 0; j < n; ++j)
      for (int k = 0; k < n; ++k)
        if (uses(k, j) &&
            level[static_cast<std::size_t>(j)] < level[static_cast<std::size_t>(k)] + 1) {
          level[static_cast<std::size_t>(j)] = level[static_cast<std::size_t>(k)] + 1;
          changed = true;
        }
  }
  // Records on a cycle: j reaches itself through "uses".
  std::vector<std::vector<bool>> reach(static_cast<std::size_t>(n),
                                       std::vector<bool>(static_cast<std::size_t>(n)));
  for (int k = 0; k < n; ++k)
    for (int j = 0; j < n; ++j)
      reach[static_cast<std::size_t>(k)][static_cast<std::size_t>(j)] = uses(k, j);
  for (int m = 0; m < n; ++m)
    for (int k = 0; k < n; ++k)
      if (reach[static_cast<std::size_t>(k)][static_cast<std::size_t>(m)])
        for (int j = 0; j < n; ++j)
          if (reach[static_cast<std::size_t>(m)][static_cast<std::size_t>(j)])
            reach[static_cast<std::size_t>(k)][static_cast<std::size_t>(j)] = true;
  std::vector<int> order(static_cast<std::size_t>(n));
  for (int j = 0; j < n; ++j) order[static_cast<std::size_t>(j)] = j;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return level[static_cast<std::size_t>(a)] > level[static_cast<std::size_t>(b)];
  });
  std::vector<int> cyclic;
  for (int j : order)
    if (reach[static_cast<std::size_t>(j)][static_cast<std::size_t>(j)]) {
      cyclic.push_back(j);
      auto& c = list[static_cast<std::size_t>(j)]->FCurve;
      c.FPresent.assign(c.FPresent.size(), -1);
      list[static_cast<std::size_t>(j)]->FValue = std::nan("");
    }
  for (int j : order) ComputeRecord(*list[static_cast<std::size_t>(j)]);
  if (cyclic.empty()) return;
  const int rounds = results_.SampleCount() + 1;
  for (int round = 0; round < rounds; ++round) {
    bool stable = true;
    for (int j : cyclic) {
      TRec& r = *list[static_cast<std::size_t>(j)];
      const TCurve before = r.FCurve;
      const double valueBefore = r.FValue;
      ComputeRecord(r);
      if (r.FCurve.FPresent != before.FPresent || r.FCurve.FValues != before.FValues ||
          !(r.FValue == valueBefore || (std::isnan(r.FValue) && std::isnan(valueBefore))))
        stable = false;
    }
    if (stable) return;
  }
  for (int j : cyclic) {
    TRec& r = *list[static_cast<std::size_t>(j)];
    r.FCurve.FInvalid = true;
    r.FCurve.FShown = false;
    r.FCurve.FPresent.assign(r.FCurve.FPresent.size(), -1);
    if (r.FKind == 1) r.FValue = std::nan(""), r.FValueText = QStringLiteral("#Nombre!");
  }
}

void TFormules::ComputeConstants() {
  ComputeList(constants_);
}

void TFormules::ComputeFormulas() {
  ComputeList(formulas_);
  if (abscissa_ >= Count() || (abscissa_ >= 0 && Formula(abscissa_).FCurve.FInvalid))
    abscissa_ = -1;
}

TRec* TFormules::AddFormula(const QString& text, const QString& comment, const QString& unit) {
  auto rec = std::make_unique<TRec>();
  rec->FKind = 0;
  const QString t = NormalizeDecimalSeparators(WithoutBlanks(text));
  const qsizetype eq = t.indexOf(QLatin1Char('='));
  if (eq >= 0) {
    rec->SetIdentifier(t.left(eq));
    rec->FPhrase = t.mid(eq + 1);
  } else {
    rec->FPhrase = t;
    rec->FNameValid = true;  // an expression alone has no name to check
  }
  if (!comment.trimmed().isEmpty()) rec->FComment = comment.trimmed();
  if (!unit.trimmed().isEmpty()) rec->FUnit = unit.trimmed();
  rec->FCurve.FShown = true;
  formulas_.push_back(std::move(rec));
  return formulas_.back().get();
}

TRec* TFormules::AddConstant(const QString& identifier, const QString& expression,
                             const QString& unit, const QString& valueText) {
  auto rec = std::make_unique<TRec>();
  rec->FKind = 1;
  rec->SetIdentifier(NormalizeDecimalSeparators(identifier));
  rec->FPhrase = NormalizeDecimalSeparators(WithoutBlanks(expression));
  if (!unit.trimmed().isEmpty()) rec->FUnit = unit.trimmed();
  if (!valueText.trimmed().isEmpty())
    rec->FValueText = NormalizeDecimalSeparators(valueText.trimmed());
  double v = 0;
  if (rec->FPhrase.isEmpty()) rec->FValue = TryParseFloat(rec->FValueText, v) ? v : std::nan("");
  constants_.push_back(std::move(rec));
  return constants_.back().get();
}

void TFormules::Remove(TRec* rec) {
  for (auto* list : {&formulas_, &constants_})
    for (auto it = list->begin(); it != list->end(); ++it)
      if (it->get() == rec) {
        list->erase(it);
        if (abscissa_ >= Count()) abscissa_ = -1;
        return;
      }
}

void TFormules::Clear() {
  formulas_.clear();
  constants_.clear();
  abscissa_ = -1;
}

QString TFormules::ValidationMessage(int code, const QString& text) {
  switch (code) {
    case 1:
      return QStringLiteral(" Jméno proměnné již bylo užito ve skrytém sloupci: %1").arg(text);
    case 2:
      return QStringLiteral(
                 "Název nesmí začínat číslicí a obsahuje pouze písmena nebo čísla. Proměnná nebo "
                 "konstanta nesprávně zadána: %1")
          .arg(text);
    case 3:
      return QStringLiteral(
                 "Toto jméno již bylo použito (program nerozlišuje velká a malá písmena). Proměnná "
                 "nebo konstanta se opakuje: %1")
          .arg(text);
    case 4:
      return QStringLiteral(
                 "Byly zjištěny shodné vzorce (program nerozlišuje velká a malá písmena) : %1.")
          .arg(text);
    case 6:
      return TParser::Message(22, text);
    case 7:
      return QStringLiteral("Výpočetní jednotka detekovala chybu. Běžící operace bude zrušena.");
    case 8:
      return QStringLiteral(
          "Řetězec znaků musí být tvořen znaménkem (výběrově), číslicemi, desetinnou čárkou "
          "(výběrově) a mantisou (výběrově).");
    case 9:
      return QStringLiteral(
                 "Název je shodný s názvem předdefinované proměnné (program nerozlišuje velká a "
                 "malá písmena). Zmíněná proměnná: %1")
          .arg(text);
    case 10:
      return QStringLiteral("Číslo je příliš velké nebo příliš malé");
    case 11:
      return QStringLiteral(
                 "Nelze spočítat hodnotu (index je patrně příliš velký). Proměnnou nelze spočítat: "
                 "%1")
          .arg(text);
    default:
      return QString();
  }
}

int TFormules::CheckAndCompute(TRec* rec) {
  if (!rec) return 7;
  int code = 0;
  QString text = rec->FIdentifier;
  const bool named = !rec->FIdentifier.isEmpty() || rec->FKind == 1;
  if (named && !rec->FNameValid)
    code = 2;
  else if (named && !rec->FIndexValid)
    code = 6;
  else if (named && IsPredefinedName(rec->FName))
    code = 9;
  if (code == 0 && rec->FKind == 0) {
    for (const auto& f : formulas_)
      if (f.get() != rec && !rec->FName.isEmpty() && SameText(f->FName, rec->FName)) {
        code = f->FCurve.FInTable ? 3 : 1;
        break;
      }
    for (const auto& c : constants_)
      if (code == 0 && !rec->FName.isEmpty() && SameText(c->FIdentifier, rec->FName)) code = 3;
    for (const auto* list : {&formulas_, &constants_})
      for (const auto& other : *list)
        if (code == 0 && other.get() != rec && !other->FPhrase.isEmpty() &&
            SameText(other->FPhrase, rec->FPhrase)) {
          code = 4;
          text = rec->FPhrase;
        }
    if (code == 0) code = ComputeRecord(*rec);
  } else if (code == 0) {
    for (const auto& f : formulas_)
      if (SameText(f->FName, rec->FIdentifier)) code = 3;
    for (const auto& c : constants_)
      if (code == 0 && c.get() != rec && SameText(c->FIdentifier, rec->FIdentifier)) code = 3;
    if (code == 0 && !rec->FPhrase.isEmpty()) {
      for (const auto* list : {&formulas_, &constants_})
        for (const auto& other : *list)
          if (code == 0 && other.get() != rec && SameText(other->FPhrase, rec->FPhrase)) {
            code = 4;
            text = rec->FPhrase;
          }
      if (code == 0) code = ComputeRecord(*rec);
    } else if (code == 0) {
      double v = 0;
      const QString t = rec->FValueText.trimmed();
      if (!TryParseFloat(t, v)) {
        // Beyond the range of a double, or not a number at all.
        bool looksNumeric = !t.isEmpty();
        for (QChar ch : t)
          looksNumeric =
              looksNumeric && (IsAsciiDigit(ch) || QStringLiteral("+-eE.,").contains(ch));
        code = looksNumeric && t.contains(QRegularExpression(QStringLiteral("[eE][+]?\\d{3,}")))
                   ? 10
                   : 8;
      } else {
        rec->FValue = v;
      }
    }
  }
  if (code != 0) {
    const QString message = code == 5 ? rec->FError : ValidationMessage(code, text);
    TMessage(icWarning).AddButton(QStringLiteral("Ok"), btOk).AddParagraph(message).Execute();
    if (code == 8)
      TMessage(icWarning)
          .AddButton(QStringLiteral("Ok"), btOk)
          .AddParagraph(QStringLiteral(
              "Mantisa obsahuje \"E\" nebo \"e\" následuje znaménko (výběrově) a celé číslo."))
          .Execute();
  }
  return code;
}

QString TFormules::DisplayText(int i) const {
  const TRec& r = Formula(i);
  return r.FIdentifier.isEmpty() ? r.FPhrase : r.FIdentifier + QLatin1Char('=') + r.FPhrase;
}

void TFormules::SetShown(int i, bool shown) {
  if (i < 0 || i >= Count() || Formula(i).FCurve.FInvalid) return;
  Formula(i).FCurve.FShown = shown;
}

int TFormules::ShownCount() const {
  return static_cast<int>(ShownIndices().size());
}

TIntegerDynArray TFormules::ShownIndices() const {
  TIntegerDynArray r;
  for (int i = 0; i < Count(); ++i)
    if (Formula(i).FCurve.FShown) r.push_back(i);
  return r;
}

void TFormules::SelectAbscissa(int i) {
  abscissa_ = (i >= 0 && i < Count() && !Formula(i).FCurve.FInvalid) ? i : -1;
}

TPointDDynArray TFormules::FormulaPoints(int i) const {
  TPointDDynArray pts;
  if (i < 0 || i >= Count()) return pts;
  const TCurve& c = Formula(i).FCurve;
  for (std::size_t r = 0; r < c.FPresent.size(); ++r) {
    if (c.FPresent[r] != 0) continue;
    double x;
    if (abscissa_ >= 0) {
      const TCurve& a = Formula(abscissa_).FCurve;
      if (r >= a.FPresent.size() || a.FPresent[r] != 0) continue;
      x = a.FValues[r];
    } else {
      x = results_.TimeAt(static_cast<int>(r));
    }
    pts.push_back({x, c.FValues[r]});
  }
  return pts;
}

void TFormules::FormulaExtents(double& xMin, double& xMax, double& yMin, double& yMax) const {
  xMin = yMin = 1e100;
  xMax = yMax = -1e100;
  for (int i : ShownIndices())
    for (const TPointD& p : FormulaPoints(i)) {
      xMin = std::min(xMin, p.x), xMax = std::max(xMax, p.x);
      yMin = std::min(yMin, p.y), yMax = std::max(yMax, p.y);
    }
}

void TFormules::LoadFromRecords(const std::vector<TFormulaRecord>& formulas,
                                const std::vector<TConstantRecord>& constants) {
  Clear();
  for (const TConstantRecord& c : constants) {
    const QString value = c.value.trimmed();
    const bool expression = c.value.startsWith(QLatin1Char('='));
    TRec* rec = AddConstant(c.identifier.trimmed(), expression ? c.value.mid(1) : QString(),
                            c.unit.trimmed(), expression ? QString() : value);
    Q_UNUSED(rec);
  }
  for (const TFormulaRecord& f : formulas) {
    const QString id = f.identifier.trimmed(), phrase = f.phrase.trimmed();
    AddFormula(id.isEmpty() ? phrase : id + QLatin1Char('=') + phrase, f.comment.trimmed(),
               f.unit.trimmed());
  }
  ComputeConstants();
  ComputeFormulas();
}

void TFormules::SaveToRecords(std::vector<TFormulaRecord>& formulas,
                              std::vector<TConstantRecord>& constants) const {
  formulas.clear();
  constants.clear();
  for (const auto& f : formulas_)
    formulas.push_back({f->FIdentifier, f->FPhrase, f->FComment, f->FUnit});
  for (const auto& c : constants_)
    constants.push_back({c->FIdentifier, c->FIndexText,
                         c->FPhrase.isEmpty() ? c->FValueText : QStringLiteral("=") + c->FPhrase,
                         c->FUnit});
}

}  // namespace mlb
