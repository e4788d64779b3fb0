// mlbtool eval: an expression evaluated as the calculator does (no variables).
#include "cli/Commands.h"
#include "common/UnitNumberFormat.h"
#include "kinematics/UnitParser.h"

namespace mlb::cli {

int RunEval(const QStringList& args, QTextStream& out, QTextStream& err) {
  bool degrees = false;
  QString expression;
  for (const QString& a : args) {
    if (a == QLatin1String("--degrees"))
      degrees = true;
    else if (a == QLatin1String("--radians"))
      degrees = false;
    else
      expression += a;
  }
  // As typed into the calculator: both decimal marks, no blanks, "/" as division.
  expression = NormalizeDecimalSeparators(expression);
  expression.remove(QLatin1Char(' '));
  if (expression.isEmpty()) {
    err << "usage: mlbtool eval [--degrees] \"EXPRESSION\"\n";
    return 2;
  }
  TParser parser;
  parser.SetRadians(!degrees);
  parser.SetFormula(expression);
  if (!parser.Evaluate()) {
    err << parser.ErrorText() << "\n";
    return 1;
  }
  out << FormatGeneral(parser.Result(), 15, 0) << "\n";
  return 0;
}

}  // namespace mlb::cli
