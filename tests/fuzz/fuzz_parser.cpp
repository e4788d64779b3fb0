// libFuzzer target: any text as a formula, with a resolver that knows a few
// names and answers values (or none) for any index. Nothing may crash, leak
// or overflow the stack.
#include <cstddef>
#include <cstdint>

#include <QString>

#include "common/UnitNumberFormat.h"
#include "kinematics/UnitParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool init = [] {
    mlb::SetDecimalSeparator(QLatin1Char(','));
    return true;
  }();
  (void)init;
  if (size == 0) return 0;
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  mlb::TParser parser;
  parser.SetRadians(data[0] & 1);
  parser.Resolver = [](const QString& name, bool hasIndex, bool, int offset, bool& hasValue,
                       double& value) {
    if (name.size() > 3) return false;
    hasValue = !hasIndex || (offset > -3 && offset < 3);
    value = name.size() * 1.5 - offset;
    return true;
  };
  parser.SetFormula(text);
  for (int row = 0; row < 3; ++row) parser.Evaluate();
  (void)parser.ErrorText();
  return 0;
}
