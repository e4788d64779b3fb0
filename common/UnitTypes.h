// Shared types of every Motilab module: points, growable arrays, work modes,
// tools, frame-of-reference selectors, quantity codes and colours.
#pragma once

#include <cstdint>
#include <vector>

#include <QString>

namespace mlb {

// A point of two doubles. Marks, origins and scale points are stored in
// normalized image coordinates: x from 0 (left edge) to 1 (right edge), y from
// 0 (top) to 1 (bottom).
struct TPointD {
  double x = 0.0;
  double y = 0.0;
  friend TPointD operator+(TPointD a, TPointD b) { return {a.x + b.x, a.y + b.y}; }
  friend TPointD operator-(TPointD a, TPointD b) { return {a.x - b.x, a.y - b.y}; }
  friend bool operator==(TPointD a, TPointD b) = default;
};

// An integer point: screen positions in view pixels.
struct TPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(TPoint a, TPoint b) = default;
};

// An integer rectangle (left, top, right, bottom).
struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const TRect& a, const TRect& b) = default;
};

// Colours are 32-bit values 0x00BBGGRR.
using TColor = std::uint32_t;

// Growable arrays exchanged by the numeric code. std::vector keeps existing
// elements on resize and value-initializes (zero-fills) new ones.
using TDoubleDynArray = std::vector<double>;
using TIntegerDynArray = std::vector<int>;
using TColorDynArray = std::vector<TColor>;
using TPointDDynArray = std::vector<TPointD>;
using TPointDynArray = std::vector<TPoint>;
using TMatriceD = std::vector<TDoubleDynArray>;
using TMatriceI = std::vector<TIntegerDynArray>;
using TMatricePointD = std::vector<TPointDDynArray>;
using TMatricePoint = std::vector<TPointDynArray>;
using TMatrice3D = std::vector<TMatriceD>;
using TMatrice3B = std::vector<std::vector<std::vector<std::uint8_t>>>;
using TMatriceStr = std::vector<std::vector<QString>>;

// Work mode held by the video view. The pointing modes are mvRepereFixe and
// mvTransparent; mvRepereFixe is the mode at start-up and after opening a video.
enum TModeVideo : std::uint8_t {
  mvCapture = 1,
  mvMontage = 2,
  mvRepereFixe = 3,
  mvTracking = 4,
  mvTransparent = 5,
};

// Measurement tool held by the measurement data.
enum TOutil : std::uint8_t {
  otAucun = 0,
  otEchelle = 1,
  otMarque = 2,
  otDeplacer = 3,
  otOrigine = 4,
  otEffacer = 5,
  otTsp = 6,
};

// Which frame(s) of reference an operation acts on.
enum TRefChoice : std::uint8_t {
  rcBoth = 0,
  rcCurrent = 1,
  rcTransparent = 2,
  rcFixed = 3,
};

// Kinematic quantity codes; 9 and 10 are unassigned and act as no quantity.
enum TGrandeur : int {
  grTemps = 0,
  grX = 1,
  grY = 2,
  grVx = 3,
  grVy = 4,
  grV = 5,
  grAx = 6,
  grAy = 7,
  grA = 8,
  grTheta = 11,
  grR = 12,
  grOmega = 13,
};

// Smoothing flags of the derived quantities.
enum TSmoothFlag : std::uint8_t {
  smoothSpeed = 1,         // velocities and angular velocity
  smoothAcceleration = 2,  // accelerations
};

// Decoding, writing and capture back ends. The values and their order are
// stored in the settings and shown to the user.
enum TFramework : std::uint8_t {
  fwVfw = 0,
  fwDS = 1,
  fwFFMpeg = 2,
};

}  // namespace mlb
