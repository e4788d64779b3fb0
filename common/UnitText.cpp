#include "common/UnitText.h"

namespace mlb {

bool SameText(const QString& a, const QString& b) {
  return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

}  // namespace mlb
