// mlbtool project-info: what a project file holds, without opening its video.
#include <cmath>

#include "cli/Commands.h"
#include "common/UnitNumberFormat.h"
#include "measurement/UnitMlb.h"

namespace mlb::cli {

namespace {

QString Num(double v) {
  return FormatGeneral(v, 15, 0);
}

int MarkCount(const TStoreRecord& s) {
  int n = 0;
  for (const auto& c : s.containers) n += static_cast<int>(c.marks.size());
  return n;
}

}  // namespace

int RunProjectInfo(const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.size() != 1) {
    err << "usage: mlbtool project-info FILE.mlb\n";
    return 2;
  }
  const QString file = args[0];
  TMlb mlb;
  TProjectData p;
  QString why;
  if (!mlb.Open(file, &why) || !mlb.ConvertOldFormat(&why, false) ||
      !ReadProject(mlb.Ini(), p, &why)) {
    err << file << "\n\nChyba čtení souboru..\n";
    if (!why.isEmpty()) err << "(" << why << ")\n";
    return 1;
  }
  out << "video\t" << p.videoFileName << "\n";
  out << "frame period (s)\t" << Num(p.requiredDuration) << "\n";
  out << "fixed frame: points per frame\t" << p.grid.marksNumberPerFrame << "\n";
  out << "fixed frame: pointed frames\t" << p.grid.containers.size() << "\n";
  out << "fixed frame: marks\t" << MarkCount(p.grid) << "\n";
  out << "fixed frame: names\t" << p.grid.names.join(QStringLiteral(", ")) << "\n";
  out << "transparent frame: marks\t" << MarkCount(p.layer) << "\n";
  out << "transparent frame: overlay origins\t" << p.origins.size() << "\n";
  const char* kinds[3] = {"single", "horizontal", "vertical"};
  for (int k = 0; k < 3; ++k) {
    if (p.scalePointsNumber[k] == 0) continue;
    out << "scale (" << kinds[k] << ")\t" << p.scalePointsNumber[k] << " points ("
        << Num(p.scalePoints[k][0].x) << "; " << Num(p.scalePoints[k][0].y) << ") ("
        << Num(p.scalePoints[k][1].x) << "; " << Num(p.scalePoints[k][1].y) << "), "
        << Num(p.scaleLength[k]) << " m\n";
  }
  if (p.originePointsNumber > 0)
    out << "origin\t(" << Num(p.gridOrigin.x) << "; " << Num(p.gridOrigin.y) << ")\n";
  else
    out << "origin\tnot placed\n";
  out << "axis angle (degrees)\t" << Num(p.xAxisAngle * 180 / M_PI) << "\n";
  out << "formulas\t" << p.formulas.size() << "\n";
  out << "constants\t" << p.constants.size() << "\n";
  return 0;
}

}  // namespace mlb::cli
