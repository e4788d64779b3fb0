// mlbtool fit: a model fitted to two columns of numbers or to a quantity of a project.
#include <QFile>

#include "cli/Commands.h"
#include "cli/ProjectLoad.h"
#include "common/UnitIniFile.h"
#include "common/UnitNumberFormat.h"
#include "kinematics/UnitResultats.h"
#include "measurement/UnitData.h"
#include "measurement/UnitMlb.h"
#include "measurement/UnitStaticView.h"
#include "models/UnitModeles.h"

namespace mlb::cli {

namespace {

bool ReadColumns(const QString& path, TDoubleDynArray& t, TDoubleDynArray& y, QString& why) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    why = f.errorString();
    return false;
  }
  const QStringList lines = DecodeIniBytes(f.readAll()).split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    const QString line = lines[i].trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    const QStringList cols = line.split(QLatin1Char('\t'));
    double a, b;
    if (cols.size() < 2 || !TryParseFloat(cols[0], a) || !TryParseFloat(cols[1], b)) {
      if (t.empty()) continue;  // header lines before the numbers
      why = QStringLiteral("line %1 is not two numbers").arg(i + 1);
      return false;
    }
    t.push_back(a);
    y.push_back(b);
  }
  if (t.empty()) why = QStringLiteral("no numbers");
  return !t.empty();
}

int QuantityCode(const QString& name) {
  for (int c : {grTemps, grX, grY, grVx, grVy, grV, grAx, grAy, grA, grTheta, grR, grOmega})
    if (QuantitySymbol(c) == name) return c;
  return -1;
}

// The quantity of point `point` (1-based) against time, from a project.
bool ProjectSeries(const QString& path, const QString& quantity, int point, const QString& size,
                   TDoubleDynArray& t, TDoubleDynArray& y, QString& why) {
  auto p = LoadHeadless(path, size, why);
  if (!p) return false;
  TResCalc& results = *p->results;
  const int code = QuantityCode(quantity);
  if (code < 0) {
    why = QStringLiteral("unknown quantity \"%1\"").arg(quantity);
    return false;
  }
  if (const int s = results.BuildPositions(rcCurrent)) {
    why = QStringLiteral("the positions cannot be computed (status %1)").arg(s);
    return false;
  }
  if (code != grX && code != grY && code != grTemps &&
      !results.Compute(rcCurrent, smoothSpeed | smoothAcceleration)) {
    why = QStringLiteral("velocities and accelerations need three marks of the point");
    return false;
  }
  TIntegerDynArray labels;
  TPointDDynArray pts;
  results.CurrentCalcul().QuantitySeries(avAxes, point - 1, code, grTemps, labels, pts);
  for (const TPointD& q : pts) t.push_back(q.x), y.push_back(q.y);
  if (t.empty()) why = QStringLiteral("point %1 has no marks").arg(point);
  return !t.empty();
}

}  // namespace

int RunFit(const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.size() < 2) {
    err << "usage: mlbtool fit MODEL FILE.tsv | mlbtool fit MODEL FILE.mlb --quantity Q --point N "
           "[--size WxH]\n";
    return 2;
  }
  const int kind = ModelKindFromName(args[0]);
  if (kind == mkNone) {
    err << "mlbtool fit: unknown model \"" << args[0]
        << "\" (affine, constant, exponential, parabola, proportional, sine, sine-exp, sine-lin)\n";
    return 2;
  }
  QString quantity = QStringLiteral("y"), size;
  int point = 1;
  for (int i = 2; i + 1 < args.size(); i += 2) {
    if (args[i] == QLatin1String("--quantity"))
      quantity = args[i + 1];
    else if (args[i] == QLatin1String("--point"))
      point = args[i + 1].toInt();
    else if (args[i] == QLatin1String("--size"))
      size = args[i + 1];
    else {
      err << "mlbtool fit: unexpected argument \"" << args[i] << "\"\n";
      return 2;
    }
  }
  TDoubleDynArray t, y;
  QString why;
  const bool project = args[1].endsWith(QLatin1String(".mlb"), Qt::CaseInsensitive);
  if (!(project ? ProjectSeries(args[1], quantity, point, size, t, y, why)
                : ReadColumns(args[1], t, y, why))) {
    err << "mlbtool fit: " << args[1] << ": " << why << "\n";
    return 1;
  }
  auto model = CreateModel(kind);
  // A plot of the data's extent, so that the limits of a drawn model apply.
  const auto [tmin, tmax] = std::minmax_element(t.begin(), t.end());
  const auto [ymin, ymax] = std::minmax_element(y.begin(), y.end());
  const double dy = *ymax - *ymin > 0 ? *ymax - *ymin : 1;
  model->SetPlotRect(0, 0, 800, 600);
  model->SetRanges(*tmin, *tmax > *tmin ? *tmax : *tmin + 1, *ymin - 0.1 * dy, *ymax + 0.1 * dy);
  model->SetData(t, y);
  for (const QString& line :
       model->EquationText(project ? quantity : QStringLiteral("y"), QStringLiteral("t")))
    out << line << "\n";
  out << "status\t" << model->LastFitStatus() << "\n";
  out << model->StatisticsText().join(QLatin1Char(' ')) << "\n";
  return 0;
}

}  // namespace mlb::cli
