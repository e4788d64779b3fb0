// The program's named cursors: small pictures drawn once, with their hot
// spots, looked up by name ("Marque", "Marque0".."Marque9", "Zoom", ...).
#pragma once

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

namespace mlb {

// Every name of the cursor set, in the order of their numbers (1..50).
const QStringList& CursorNames();
// The picture of a named cursor and its hot spot; a null image for an unknown name.
QImage CursorImage(const QString& name, QPoint* hotSpot = nullptr);
// The cursor of that name; the default arrow for "" or an unknown name.
// Needs a running GUI application.
QCursor NamedCursor(const QString& name);

}  // namespace mlb
