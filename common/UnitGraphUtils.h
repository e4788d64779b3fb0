// The shared drawing toolbox: the colours of marks and curves from two
// palettes, the 18 small marker shapes at three sizes, and the cell painter
// of the result and formula tables. Draws with QPainter on any paint device.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

#include "common/UnitTypes.h"

class QPainter;

namespace mlb {

// TColor (0x00BBGGRR) to and from Qt.
QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);

// One marker shape. Size 0 small (4-pixel half-side), 1 medium (7), 2 large (10).
class TMotif {
 public:
  explicit TMotif(std::uint8_t shape) : shape_(shape) {}
  std::uint8_t Shape() const { return shape_; }
  std::uint8_t Size = 0;
  // Offsets of the polygon's vertices around the centre at the current size
  // (empty for the disc, shape 14, which is an ellipse of half-side Extent()).
  std::vector<QPoint> Vertices() const;
  int Extent() const;
  void Draw(QPainter& p, QPoint centre, TColor colour) const;

 private:
  std::uint8_t shape_;
};

class TGraphUtils {
 public:
  TGraphUtils();

  static constexpr int kShapeCount = 18;
  static constexpr int kCurveShapes = 12;     // entries 0..11: marks and data curves
  static constexpr int kSecondSetShapes = 4;  // entries 12..15: formula curves
  static constexpr int kOriginShape = 16;
  static constexpr int kHollowShape = 17;

  TColor PaletteColor(int i) const;
  TColor SecondPaletteColor(int i) const;
  int PaletteIndex(TColor c) const;
  int CurveShape(int i) const { return i % kCurveShapes; }
  int SecondSetShape(int i) const { return kCurveShapes + i % kSecondSetShapes; }

  // Nothing when i < 0; otherwise shape i mod 12.
  void DrawMark(QPainter& p, QPoint centre, TColor colour, std::uint8_t size, int i);
  // Nothing for a shape number outside 0..17.
  void DrawShape(QPainter& p, QPoint centre, TColor colour, std::uint8_t size, int shape);

  // Style bits of PaintCell.
  enum : int { csCentred = 1, csFramed = 2, csSunken = 4, csArrows = 8, csHideButton = 16 };
  // One grid cell: background, optional frame, precision arrows, hide button,
  // sunken edge and text. fontStyle 1 is bold.
  void PaintCell(QPainter& p, const QRect& cell, TColor background, const QString& text, int style,
                 int fontStyle, TColor textColour);

 private:
  std::vector<TColor> palette_;
  std::vector<TColor> secondPalette_;
  std::vector<TMotif> shapes_;
};

// The program's one toolbox.
TGraphUtils& GraphUtils();

}  // namespace mlb
