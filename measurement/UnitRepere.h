// Frames of reference (the fixed frame bound to the camera picture and the
// transparent overlay dragged onto a moving body) and the length scale.
//
// Positions are normalized image coordinates; cached screen points are view
// pixels recomputed after every view change. Angles are radians,
// counter-clockwise as seen on the screen.
#pragma once

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "common/UnitTypes.h"
#include "measurement/UnitHistorique.h"

namespace mlb {

class TData;

// Two doubles are equal when they differ by less than this.
inline constexpr double kSameTolerance = 1e-100;
inline bool SameDouble(double a, double b) {
  return !(std::abs(a - b) >= kSameTolerance);
}
inline bool SamePoint(TPointD a, TPointD b) {
  return SameDouble(a.x, b.x) && SameDouble(a.y, b.y);
}

// Keeps an angle in [-pi, pi].
double NormalizeAngle(double a);

// One position of the overlay's origin on one frame.
class TOrigine : public THistObject {
 public:
  TOrigine() { Kind = hkOrigine; }
  int FrameNumber = -1;  // "OrigineImageNumber"
  TPointD Position;

  void Assign(const THistObject& source) override;
  bool SameAs(const THistObject& other) const override;
};

// Base of both frames of reference.
class TRepere : public THistObject {
 public:
  explicit TRepere(TData* data) : data_(data) {}

  bool DirectXAxisDirection = true;
  bool DirectYAxisDirection = true;

  void Assign(const THistObject& source) override;
  bool SameAs(const THistObject& other) const override;

  // Takes the origin; false (and frees it) when null or already listed.
  virtual bool AddOrigin(std::unique_ptr<TOrigine> o, int action);
  // Records o with the action and destroys it; true when it was listed.
  virtual bool RemoveOrigin(TOrigine* o, int action);
  virtual void SetDirectX(bool b);
  virtual void SetDirectY(bool b);
  virtual void SetOrigin(TPointD p);

  TPointD CurrentOrigin() const { return currentOrigin_; }
  const std::vector<std::unique_ptr<TOrigine>>& Origins() const { return origins_; }
  TOrigine* FindOriginByFrame(int frame) const;
  TOrigine* FindOriginById(int id) const;
  // Records the origin of the frame with action 15 and removes it.
  bool RemoveOriginOfFrame(int frame);
  void SetLastOriginFrame(int frame);
  void ClearOrigins() { origins_.clear(); }
  TData* Data() const { return data_; }

 protected:
  // Inserts at the remembered list index when valid, else appends.
  void InsertOrigin(std::unique_ptr<TOrigine> o);
  int IndexOfOrigin(const TOrigine* o) const;

  TData* data_;  // null for undo snapshots: they have no side effects
  TPointD currentOrigin_;
  std::vector<std::unique_ptr<TOrigine>> origins_;
};

// The frame of reference fixed to the camera picture: one origin placed by a
// click, axes turned by an angle.
class TRepereFixe : public TRepere {
 public:
  explicit TRepereFixe(TData* data);

  int OriginePointsNumber = 0;
  double XAxisAngle = 0.0;
  double YAxisAngle;  // always XAxisAngle + pi/2, normalized

  void Assign(const THistObject& source) override;
  bool SameAs(const THistObject& other) const override;

  void Reset();
  std::uint8_t DragState() const { return dragState_; }
  void SetDragState(std::uint8_t s) { dragState_ = s; }
  void SetXAngle(double a);
  void SetYAngle(double a);

  // Left press: places the origin when none is placed, else starts a drag.
  void LeftPress(TPoint p);
  // Right press (and the erase command): removes the origin.
  void RemoveOriginPoint();
  void Move(TPoint p);
  void Release() { dragState_ = 0; }
  // Enter with the origin tool: a release during a drag, else a left press.
  void Enter(TPoint pointer);

  void ComputeAxisLines();
  TPoint OriginScreen() const { return originScreen_; }
  std::array<TPoint, 2> XAxisEnds() const { return xEnds_; }
  std::array<TPoint, 2> YAxisEnds() const { return yEnds_; }

 private:
  void Place(TPoint p);
  void AfterAngleChange();

  std::uint8_t dragState_ = 0;  // 0 none, 1 origin, 2 x axis, 3 y axis
  std::array<TPoint, 2> xEnds_{};
  std::array<TPoint, 2> yEnds_{};
  TPoint originScreen_;
  TPoint lastPointer_;
};

// The transparent overlay: a rectangle whose origin the user drags onto a
// moving reference body on every frame.
class TTransparent : public TRepere {
 public:
  explicit TTransparent(TData* data);

  double LayerWidth = 0.5;   // half width, normalized
  double LayerHeight = 0.5;  // half height, normalized

  void Assign(const THistObject& source) override;
  bool SameAs(const THistObject& other) const override;

  bool AddOrigin(std::unique_ptr<TOrigine> o, int action) override;
  bool RemoveOrigin(TOrigine* o, int action) override;
  void SetDirectX(bool b) override;
  void SetDirectY(bool b) override;
  void SetOrigin(TPointD p) override;

  void Reset();
  // 0 waiting for a grab, 1 being dragged, 2 waiting for the mark.
  std::uint8_t LayerStage() const { return stage_; }
  void StageForward();
  void StageBackward();
  // Loading from a project: the stage as saved and the origins in file order.
  void RestoreStage(std::uint8_t s) { stage_ = s > 2 ? 0 : s; }
  void AppendLoadedOrigin(int frame, TPointD position);
  void CancelDrag() {
    if (stage_ == 1) StageBackwardTo(0);
  }

  void Grab(TPoint p);
  void Drag(TPoint p);
  void Drop();
  void RemoveLastOrigin();
  void Shrink();
  void Grow();
  void ComputeDefaultOrigin();
  void ComputeRect();
  TRect Rect() const { return rect_; }
  TPointD DefaultOrigin() const { return defaultOrigin_.Position; }
  TPointD GrabOffset() const { return grabOffset_; }

  // Pointer dispatch of the overlay tool.
  void LeftPress(TPoint p);
  void RightPress();
  void Move(TPoint p);
  void Release();

 private:
  void StageBackwardTo(std::uint8_t s);
  // Current origin := the last listed origin, or the default one.
  void FallBackToLastOrigin();

  std::uint8_t stage_ = 0;
  TRect rect_;
  TPointD pointer_;
  TPointD grabOffset_;
  TOrigine defaultOrigin_;
};

// Scale kinds: one segment and its length, or separate horizontal and
// vertical segments.
enum TScaleKind : std::uint8_t { skSingle = 0, skHoriz = 1, skVert = 2 };

class TEchelle : public THistObject {
 public:
  explicit TEchelle(TData* data);

  // Points defined (0, 1, 2), lengths in metres and normalized points of the
  // single, horizontal and vertical scales, indexed by TScaleKind.
  std::array<int, 3> PointsNumber{};
  std::array<double, 3> Length{};
  std::array<std::array<TPointD, 2>, 3> Points{};
  TScaleKind ActiveKind = skSingle;

  void Assign(const THistObject& source) override;
  bool SameAs(const THistObject& other) const override;

  void Reset(bool separateScales);
  // Metres per normalized unit along x and y; -1 where undefined.
  TPointD GetScaleFactors(bool separateScales, int imageWidth, int imageHeight) const;
  bool IsComplete() const;
  void SetLength(TScaleKind kind, double value);

  void LeftPress(TPoint p);
  void RightPress() { RemoveLastPoint(); }
  void RemoveLastPoint();
  void Move(TPoint p);
  void Release() { dragState_ = -2; }
  int DragState() const { return dragState_; }

  void ComputeScreenPoints();
  TPoint ScreenPoint(TScaleKind kind, int i) const { return screen_[kind][i]; }

 private:
  int HitTest(TPoint p) const;

  TData* data_;
  int dragState_ = -2;  // -2 none, -1 whole segment, 0 point 1, 1 point 2
  std::array<std::array<TPoint, 2>, 3> screen_{};
  TPoint lastPointer_;
};

}  // namespace mlb
