// mlbtool table: a project's result table as the export lines a user gets on
// the clipboard, or its formula table.
#include <QCoreApplication>

#include "cli/Commands.h"
#include "cli/ProjectLoad.h"
#include "common/UnitNumberFormat.h"
#include "kinematics/UnitFormules.h"
#include "kinematics/UnitGrid.h"

namespace mlb::cli {

int RunTable(const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.isEmpty()) {
    err << "usage: mlbtool table FILE.mlb [--frame fixed|transparent] "
           "[--smooth none|speed|acceleration|both] [--formulas] [--size WxH]\n";
    return 2;
  }
  QString frame, size;
  int flags = smoothSpeed | smoothAcceleration;
  bool formulas = false;
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    const QString next = i + 1 < args.size() ? args[i + 1] : QString();
    if (a == QLatin1String("--formulas")) {
      formulas = true;
    } else if (a == QLatin1String("--frame") &&
               (next == QLatin1String("fixed") || next == QLatin1String("transparent"))) {
      frame = next, ++i;
    } else if (a == QLatin1String("--size") && !next.isEmpty()) {
      size = next, ++i;
    } else if (a == QLatin1String("--smooth") && !next.isEmpty()) {
      if (next == QLatin1String("none"))
        flags = 0;
      else if (next == QLatin1String("speed"))
        flags = smoothSpeed;
      else if (next == QLatin1String("acceleration"))
        flags = smoothAcceleration;
      else if (next == QLatin1String("both"))
        flags = smoothSpeed | smoothAcceleration;
      else {
        err << "mlbtool table: unknown smoothing \"" << next << "\"\n";
        return 2;
      }
      ++i;
    } else {
      err << "mlbtool table: unexpected argument \"" << a << "\"\n";
      return 2;
    }
  }
  QString why;
  auto p = LoadHeadless(args[0], size, why);
  if (!p) {
    err << "mlbtool table: " << args[0] << ": " << why << "\n";
    return 1;
  }
  if (!frame.isEmpty())
    p->view->mode = frame == QLatin1String("transparent") ? mvTransparent : mvRepereFixe;
  TResCalc& results = *p->results;
  if (const int s = results.BuildPositions(rcCurrent)) {
    err << "mlbtool table: the positions cannot be computed (status " << s
        << (s == 4 ? ": the scale is not defined" : "") << ")\n";
    return 1;
  }
  const bool derived = results.Compute(rcCurrent, flags);
  if (formulas) {
    TFormules set(results);
    set.LoadFromRecords(p->project.formulas, p->project.constants);
    QStringList header{QStringLiteral("t")}, units{QStringLiteral("s")},
        comments{QStringLiteral("čas")};
    for (int f = 0; f < set.Count(); ++f) {
      header << set.DisplayText(f);
      units << set.Formula(f).FUnit;
      comments << set.Formula(f).FComment;
    }
    out << header.join(QLatin1Char('\t')) << "\n"
        << units.join(QLatin1Char('\t')) << "\n"
        << comments.join(QLatin1Char('\t')) << "\n";
    for (int j = 0; j < results.SampleCount(); ++j) {
      QStringList row{FormatGeneral(results.TimeAt(j), 15, 0)};
      for (int f = 0; f < set.Count(); ++f) {
        const TCurve& c = set.Formula(f).FCurve;
        if (c.FInvalid)
          row << QStringLiteral("#Nombre!");
        else if (j < static_cast<int>(c.FPresent.size()) &&
                 c.FPresent[static_cast<std::size_t>(j)] == 0)
          row << FormatGeneral(c.FValues[static_cast<std::size_t>(j)], 15, 0);
        else
          row << QString();
      }
      out << row.join(QLatin1Char('\t')) << "\n";
    }
    return 0;
  }
  TResGrid grids(results, *p->data);
  grids.ResetColumns(rcCurrent);
  TGrid& grid = grids.Current();
  grid.SetGroupVisible(true, {grX, grY});
  if (derived) {
    grid.SetGroupVisible(true, {grVx, grVy, grV});
    grid.SetGroupVisible(true, {grAx, grAy, grA});
    grid.SetGroupVisible(true, {grTheta, grR, grOmega});
  } else {
    err << "mlbtool table: velocities and accelerations need three marks of each point; "
           "positions only\n";
  }
  grid.UpdateSize();
  for (const QString& line : grid.ExportLines(QCoreApplication::applicationFilePath()))
    out << line << "\n";
  return 0;
}

}  // namespace mlb::cli
