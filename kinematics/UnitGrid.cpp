#include "kinematics/UnitGrid.h"

#include <QLocale>

#include "common/UnitNumberFormat.h"
#include "kinematics/UnitResultats.h"
#include "measurement/UnitData.h"

namespace mlb {

namespace {

const char* LongName(int code) {
  switch (code) {
    case grTemps:
      return "čas";
    case grX:
      return "x-ová souřadnice";
    case grY:
      return "Y-ová souřadnice";
    case grVx:
      return "X-ová složka rychlosti";
    case grVy:
      return "Y-ová složka rychlosti";
    case grV:
      return "Hodnota rychlosti";
    case grAx:
      return "X-ová složka zrychlení";
    case grAy:
      return "Y-ová složka zrychlení";
    case grA:
      return "Hodnota zrychlení";
    case grTheta:
      return "Úhlová souřadnice";
    case grR:
      return "Radiální souřadnice";
    case grOmega:
      return "Hodnota úhlové rychlosti";
    default:
      return "";
  }
}

const QString kAngleText =
    QStringLiteral("Úhel otočení soustavy souřadné ve směru trigonometrickém %1 %2 %3");

QString Shortest(double v) {
  return FormatGeneral(v, 15, 0);
}

}  // namespace

TColor ColumnGroupColour(int code) {
  auto rgb = [](int r, int g, int b) { return static_cast<TColor>(r | (g << 8) | (b << 16)); };
  switch (code) {
    case grTemps:
      return rgb(255, 255, 255);
    case grX:
    case grY:
      return rgb(248, 248, 255);
    case grVx:
    case grVy:
    case grV:
      return rgb(255, 250, 250);
    case grAx:
    case grAy:
    case grA:
      return rgb(255, 250, 240);
    default:
      return rgb(245, 245, 245);
  }
}

TGrid::TGrid(const TCalcul& calc, std::function<QString(int)> pointName)
    : calc_(calc), pointName_(std::move(pointName)) {
  ResetColumns();
  UpdateSize();
}

int TGrid::MarkCount() const {
  return std::max(0, calc_.MarkCount());
}

void TGrid::ResetColumns() {
  const std::size_t n = static_cast<std::size_t>(11 * MarkCount() + 1);
  FColumns.resize(n);
  if (!FColumns.empty()) FColumns[0].Visible = true;  // time is always shown
}

void TGrid::UpdateSize() {
  int visible = 0;
  for (const TColumn& c : FColumns) visible += c.Visible ? 1 : 0;
  FColCount = std::max(1, visible) + 1;
  FRowCount = calc_.SampleCount() + FFixedRows;
}

TColumnDescriptor TGrid::Descriptor(int logical) const {
  TColumnDescriptor d;
  const int N = MarkCount();
  if (logical <= 0 || N == 0) {
    d.code = grTemps;
  } else if (logical <= 2 * N) {
    d.rank = (logical - 1) / 2;
    d.code = (logical - 1) % 2 == 0 ? grX : grY;
  } else {
    const int group = (logical - 2 * N - 1) / (3 * N);  // 0 velocity, 1 acceleration, 2 polar
    const int within = (logical - 2 * N - 1) % (3 * N);
    d.rank = within / 3;
    static const int codes[3][3] = {{grVx, grVy, grV}, {grAx, grAy, grA}, {grTheta, grR, grOmega}};
    d.code = codes[std::min(group, 2)][within % 3];
  }
  d.symbol = QuantitySymbol(d.code);
  if (d.code != grTemps && d.rank >= 1) d.symbol += QString::number(d.rank + 1);
  d.unit = QuantityUnit(d.code);
  d.description = QString::fromUtf8(LongName(d.code));
  if (d.code != grTemps)
    d.description += QLatin1Char(' ') + (pointName_ ? pointName_(d.rank) : QString());
  return d;
}

int TGrid::LogicalColumn(int c) const {
  if (c < 1) return -1;
  int seen = 0;
  for (std::size_t i = 0; i < FColumns.size(); ++i)
    if (FColumns[i].Visible && ++seen == c) return static_cast<int>(i);
  return -1;
}

QString TGrid::Symbol(int c) const {
  const int l = LogicalColumn(c);
  return l < 0 ? QString() : Descriptor(l).symbol;
}
QString TGrid::UnitText(int c) const {
  const int l = LogicalColumn(c);
  return l < 0 ? QString() : Descriptor(l).unit;
}
QString TGrid::Description(int c) const {
  const int l = LogicalColumn(c);
  return l < 0 ? QString() : Descriptor(l).description;
}
TColor TGrid::ColumnColour(int c) const {
  const int l = LogicalColumn(c);
  return ColumnGroupColour(l < 0 ? grTemps : Descriptor(l).code);
}

QString TGrid::CellText(int c, int r, bool formatted) const {
  if (c < 0 || c >= FColCount || r < 0 || r >= FRowCount) return QString();
  const int j = r - FFixedRows;
  if (c == 0) return j < 0 ? QString() : QString::number(j + (Settings.startByZero ? 0 : 1));
  const int l = LogicalColumn(c);
  if (l < 0) return QString();
  const TColumnDescriptor d = Descriptor(l);
  switch (r) {
    case 0:
      return QString();
    case 1:
      return d.symbol;
    case 2:
      return d.unit;
    case 3:
      return d.description;
    default:
      break;
  }
  const int precision = FColumns[static_cast<std::size_t>(l)].Precision;
  auto text = [&](double v) { return formatted ? FormatTable(v, precision) : Shortest(v); };
  if (d.code == grTemps) return text(calc_.Times()[static_cast<std::size_t>(j)]);
  if (!calc_.Present(d.rank, j)) return QString();
  // First and last samples at which the mark is present.
  int first = -1, last = -1;
  for (int s = 0; s < calc_.SampleCount(); ++s)
    if (calc_.Present(d.rank, s)) {
      if (first < 0) first = s;
      last = s;
    }
  const bool velocity = d.code == grVx || d.code == grVy || d.code == grV;
  const bool acceleration = d.code == grAx || d.code == grAy || d.code == grA;
  if (velocity && Settings.hideEdgeV && (j == first || j == last)) return QString();
  if (acceleration && Settings.hideEdgeA && (j <= first + 1 || j >= last - 1)) return QString();
  return text(calc_.ValueAt(avAxes, d.rank, d.code, j));
}

void TGrid::SetGroupVisible(bool visible, std::initializer_list<int> codes) {
  for (std::size_t l = 1; l < FColumns.size(); ++l)
    for (int code : codes)
      if (Descriptor(static_cast<int>(l)).code == code) FColumns[l].Visible = visible;
  UpdateSize();
}

void TGrid::SetColumnVisible(bool visible, int c) {
  const int l = visible ? c : LogicalColumn(c);  // showing names a logical column
  if (l <= 0 || l >= static_cast<int>(FColumns.size())) return;
  FColumns[static_cast<std::size_t>(l)].Visible = visible;
  UpdateSize();
}

void TGrid::DecreasePrecision(int c) {
  const int l = LogicalColumn(c);
  if (l >= 0)
    FColumns[static_cast<std::size_t>(l)].Precision =
        std::max(0, FColumns[static_cast<std::size_t>(l)].Precision - 1);
}

void TGrid::IncreasePrecision(int c) {
  const int l = LogicalColumn(c);
  if (l >= 0)
    FColumns[static_cast<std::size_t>(l)].Precision =
        std::min(8, FColumns[static_cast<std::size_t>(l)].Precision + 1);
}

void TGrid::ResetPrecision() {
  for (TColumn& c : FColumns) c.Precision = 0;
}

QStringList TGrid::ExportLines(const QString& title, const QDateTime& when) const {
  QStringList lines;
  lines << title;
  lines << QLocale().toString(when, QLocale::ShortFormat);
  lines << kAngleText.arg(QStringLiteral(":"), Shortest(calc_.AxisAngle()), QStringLiteral("rad"));
  for (int r = 1; r < FRowCount; ++r) {
    QStringList cells;
    for (int c = 1; c < FColCount; ++c) cells << CellText(c, r, false);
    lines << cells.join(QLatin1Char('\t'));
  }
  return lines;
}

TMatriceStr TGrid::ExportMatrix() const {
  TMatriceStr m(static_cast<std::size_t>(FRowCount));
  for (int r = 0; r < FRowCount; ++r)
    for (int c = 1; c < FColCount; ++c)
      m[static_cast<std::size_t>(r)].push_back(CellText(c, r, false));
  if (FColCount - 1 > 1 && !m.empty()) {
    m[0][0] = kAngleText.arg(QStringLiteral("(rad)"), QStringLiteral(":"), QString());
    m[0][1] = Shortest(calc_.AxisAngle());
  }
  return m;
}

// ---------------------------------------------------------------- TResGrid

TResGrid::TResGrid(TResCalc& results, const TData& data) : data_(data) {
  fixed_ = std::make_unique<TGrid>(results.Fixed(), [&data](int k) {
    return k >= 0 && k < data.FixedStore().Names.size() ? data.FixedStore().Names[k] : QString();
  });
  transparent_ = std::make_unique<TGrid>(results.Transparent(), [&data](int k) {
    return k >= 0 && k < data.TransparentStore().Names.size() ? data.TransparentStore().Names[k]
                                                              : QString();
  });
}

TGrid& TResGrid::Current() {
  return data_.TransparentMode() ? *transparent_ : *fixed_;
}

void TResGrid::ResetColumns(TRefChoice which) {
  if (which == rcBoth || which == rcFixed || (which == rcCurrent && !data_.TransparentMode()))
    fixed_->ResetColumns();
  if (which == rcBoth || which == rcTransparent || (which == rcCurrent && data_.TransparentMode()))
    transparent_->ResetColumns();
}

void TResGrid::ResetPrecision(TRefChoice which) {
  if (which == rcBoth || which == rcFixed || (which == rcCurrent && !data_.TransparentMode()))
    fixed_->ResetPrecision();
  if (which == rcBoth || which == rcTransparent || (which == rcCurrent && data_.TransparentMode()))
    transparent_->ResetPrecision();
}

void TResGrid::ApplySettings(const TGridSettings& s) {
  fixed_->Settings = s;
  transparent_->Settings = s;
}

void TResMem::Reset(TRefChoice which) {
  const bool tsp = transparentMode_ && transparentMode_();
  if (which == rcBoth || which == rcFixed || (which == rcCurrent && !tsp)) fixed_.Reset();
  if (which == rcBoth || which == rcTransparent || (which == rcCurrent && tsp))
    transparent_.Reset();
}

}  // namespace mlb
