// Comparison of names typed by the user (points, formulas, constants,
// functions): without regard to case, Czech letters included.
#pragma once

#include <QString>

namespace mlb {

bool SameText(const QString& a, const QString& b);

}  // namespace mlb
