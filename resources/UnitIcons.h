// The pictures of the main window's buttons, drawn once in code in one style
// (dark strokes, one accent colour) and looked up by name.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>

namespace mlb {

const QStringList& ButtonIconNames();
// The picture at `size` pixels; null for an unknown name.
QImage ButtonImage(const QString& name, int size = 32);
// The icon of a button (needs a GUI application).
QIcon ButtonIcon(const QString& name);

}  // namespace mlb
