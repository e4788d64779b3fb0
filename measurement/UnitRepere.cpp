#include "measurement/UnitRepere.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "measurement/UnitData.h"

namespace mlb {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kHitTolerance = 3;  // pixels each way around a point or a line

bool InHitSquare(TPoint p, TPoint c) {
  return std::abs(p.x - c.x) <= kHitTolerance && std::abs(p.y - c.y) <= kHitTolerance;
}

double DistanceToSegment(TPoint p, TPoint a, TPoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = 0.0;
  if (len2 > 0) t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0);
  const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return std::sqrt(ex * ex + ey * ey);
}

TPoint RoundPoint(double x, double y) {
  return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
}

}  // namespace

double NormalizeAngle(double a) {
  if (!std::isfinite(a)) return 0.0;
  a = std::remainder(a, 2 * kPi);  // brings any angle near [-pi, pi] in one step
  while (a < -kPi) a += 2 * kPi;
  while (a > kPi) a -= 2 * kPi;
  return a;
}

// ---------------------------------------------------------------- TOrigine

void TOrigine::Assign(const THistObject& source) {
  THistObject::Assign(source);
  if (auto* o = dynamic_cast<const TOrigine*>(&source)) {
    FrameNumber = o->FrameNumber;
    Position = o->Position;
  }
}

bool TOrigine::SameAs(const THistObject& other) const {
  auto* o = dynamic_cast<const TOrigine*>(&other);
  return o && FrameNumber == o->FrameNumber && SamePoint(Position, o->Position);
}

// ---------------------------------------------------------------- TRepere

void TRepere::Assign(const THistObject& source) {
  THistObject::Assign(source);
  auto* r = dynamic_cast<const TRepere*>(&source);
  if (!r) return;
  DirectXAxisDirection = r->DirectXAxisDirection;
  DirectYAxisDirection = r->DirectYAxisDirection;
  currentOrigin_ = r->currentOrigin_;
  // Origins are reused by index so that live objects keep their ids.
  origins_.resize(std::min(origins_.size(), r->origins_.size()));
  for (std::size_t i = 0; i < r->origins_.size(); ++i) {
    if (i == origins_.size()) origins_.push_back(std::make_unique<TOrigine>());
    origins_[i]->Assign(*r->origins_[i]);
  }
}

bool TRepere::SameAs(const THistObject& other) const {
  auto* r = dynamic_cast<const TRepere*>(&other);
  if (!r || DirectXAxisDirection != r->DirectXAxisDirection ||
      DirectYAxisDirection != r->DirectYAxisDirection ||
      !SamePoint(currentOrigin_, r->currentOrigin_) || origins_.size() != r->origins_.size())
    return false;
  for (std::size_t i = 0; i < origins_.size(); ++i)
    if (!origins_[i]->SameAs(*r->origins_[i])) return false;
  return true;
}

int TRepere::IndexOfOrigin(const TOrigine* o) const {
  for (std::size_t i = 0; i < origins_.size(); ++i)
    if (origins_[i].get() == o) return static_cast<int>(i);
  return -1;
}

void TRepere::InsertOrigin(std::unique_ptr<TOrigine> o) {
  const int n = static_cast<int>(origins_.size());
  if (o->ListIndex >= 0 && o->ListIndex < n) {
    origins_.insert(origins_.begin() + o->ListIndex, std::move(o));
  } else {
    o->ListIndex = n;
    origins_.push_back(std::move(o));
  }
}

bool TRepere::AddOrigin(std::unique_ptr<TOrigine> o, int /*action*/) {
  if (!o || IndexOfOrigin(o.get()) >= 0) return false;
  TOrigine* raw = o.get();
  InsertOrigin(std::move(o));
  if (data_) {
    data_->Record(raw, haAddOrigin);
    data_->InvalidateCurrent();
  }
  return true;
}

bool TRepere::RemoveOrigin(TOrigine* o, int action) {
  const int i = IndexOfOrigin(o);
  if (i < 0) return false;
  o->ListIndex = i;
  if (data_) data_->Record(o, action);
  origins_.erase(origins_.begin() + i);
  return true;
}

void TRepere::SetDirectX(bool b) {
  if (b == DirectXAxisDirection) return;
  if (data_) data_->Record(this, haDirection);
  DirectXAxisDirection = b;
  if (data_) data_->InvalidateCurrent();
}

void TRepere::SetDirectY(bool b) {
  if (b == DirectYAxisDirection) return;
  if (data_) data_->Record(this, haDirection);
  DirectYAxisDirection = b;
  if (data_) data_->InvalidateCurrent();
}

void TRepere::SetOrigin(TPointD p) {
  if (!SamePoint(p, currentOrigin_) && data_) data_->InvalidateCurrent();
  currentOrigin_ = p;
}

TOrigine* TRepere::FindOriginByFrame(int frame) const {
  for (const auto& o : origins_)
    if (o->FrameNumber == frame) return o.get();
  return nullptr;
}

TOrigine* TRepere::FindOriginById(int id) const {
  for (const auto& o : origins_)
    if (o->Id == id) return o.get();
  return nullptr;
}

bool TRepere::RemoveOriginOfFrame(int frame) {
  TOrigine* o = FindOriginByFrame(frame);
  if (!o) return false;
  const bool removed = RemoveOrigin(o, haRemoveOrigin);
  if (data_) data_->InvalidateCurrent();
  return removed;
}

void TRepere::SetLastOriginFrame(int frame) {
  if (!origins_.empty()) origins_.back()->FrameNumber = frame;
}

// ---------------------------------------------------------------- TRepereFixe

TRepereFixe::TRepereFixe(TData* data) : TRepere(data), YAxisAngle(kPi / 2) {
  Kind = hkRepereFixe;
}

void TRepereFixe::Assign(const THistObject& source) {
  TRepere::Assign(source);
  if (auto* r = dynamic_cast<const TRepereFixe*>(&source)) {
    OriginePointsNumber = r->OriginePointsNumber;
    XAxisAngle = r->XAxisAngle;
    YAxisAngle = r->YAxisAngle;
    dragState_ = r->dragState_;
  }
}

bool TRepereFixe::SameAs(const THistObject& other) const {
  auto* r = dynamic_cast<const TRepereFixe*>(&other);
  return r && TRepere::SameAs(other) && OriginePointsNumber == r->OriginePointsNumber &&
         SameDouble(XAxisAngle, r->XAxisAngle) && SameDouble(YAxisAngle, r->YAxisAngle);
}

void TRepereFixe::Reset() {
  OriginePointsNumber = 0;
  XAxisAngle = 0.0;
  YAxisAngle = kPi / 2;
  DirectXAxisDirection = DirectYAxisDirection = true;
  currentOrigin_ = {};
  dragState_ = 0;
  origins_.clear();
}

void TRepereFixe::AfterAngleChange() {
  if (!data_) return;
  data_->InvalidateCurrent();
  ComputeAxisLines();
  data_->Raise(data_->OnRepereChange);
}

void TRepereFixe::SetXAngle(double a) {
  if (SameDouble(a, XAxisAngle)) return;
  XAxisAngle = NormalizeAngle(a);
  YAxisAngle = NormalizeAngle(XAxisAngle + kPi / 2);
  AfterAngleChange();
}

void TRepereFixe::SetYAngle(double a) {
  if (SameDouble(a, YAxisAngle)) return;
  YAxisAngle = NormalizeAngle(a);
  XAxisAngle = NormalizeAngle(YAxisAngle - kPi / 2);
  AfterAngleChange();
}

void TRepereFixe::Place(TPoint p) {
  if (!data_ || !data_->View()) return;
  data_->Record(this, haPlaceOrigin);
  OriginePointsNumber = 1;
  currentOrigin_ = data_->View()->ScreenToNormalized(p);
  data_->InvalidateCurrent();
  ComputeAxisLines();
  data_->Raise(data_->OnRepereChange);
  data_->Repaint();
}

void TRepereFixe::RemoveOriginPoint() {
  if (OriginePointsNumber <= 0) return;
  if (data_) data_->Record(this, haErase);
  OriginePointsNumber = 0;
  XAxisAngle = 0.0;
  YAxisAngle = kPi / 2;
  if (!data_) return;
  data_->Raise(data_->OnRepereChange);
  data_->InvalidateCurrent();
  data_->RefreshCursor();
  data_->Repaint();
}

void TRepereFixe::LeftPress(TPoint p) {
  if (OriginePointsNumber == 0) {
    Place(p);
    return;
  }
  if (dragState_ != 0 || !data_) return;
  const TPoint& xArrow = DirectXAxisDirection ? xEnds_[1] : xEnds_[0];
  const TPoint& yArrow = DirectYAxisDirection ? yEnds_[1] : yEnds_[0];
  if (InHitSquare(p, originScreen_)) {
    data_->Record(this, haMove);
    lastPointer_ = p;
    dragState_ = 1;
  } else if (DistanceToSegment(p, originScreen_, xArrow) <= kHitTolerance) {
    data_->Record(this, haRotate);
    dragState_ = 2;
  } else if (DistanceToSegment(p, originScreen_, yArrow) <= kHitTolerance) {
    data_->Record(this, haRotate);
    dragState_ = 3;
  }
}

void TRepereFixe::Move(TPoint p) {
  if (OriginePointsNumber == 0 || !data_ || !data_->View()) return;
  TMeasureView& view = *data_->View();
  const int mx = p.x, my = p.y, ox = originScreen_.x, oy = originScreen_.y;
  switch (dragState_) {
    case 1: {
      originScreen_.x += p.x - lastPointer_.x;
      originScreen_.y += p.y - lastPointer_.y;
      lastPointer_ = p;
      SetOrigin(view.ScreenToNormalized(originScreen_));
      originScreen_ = view.NormalizedToScreen(currentOrigin_);
      ComputeAxisLines();
      data_->Repaint();
      break;
    }
    case 2:
      SetXAngle(DirectXAxisDirection ? std::atan2(oy - my, mx - ox) : std::atan2(my - oy, ox - mx));
      data_->Repaint();
      break;
    case 3:
      SetYAngle(DirectYAxisDirection ? std::atan2(oy - my, mx - ox) : std::atan2(my - oy, ox - mx));
      data_->Repaint();
      break;
    default: {
      const TPoint& xArrow = DirectXAxisDirection ? xEnds_[1] : xEnds_[0];
      const TPoint& yArrow = DirectYAxisDirection ? yEnds_[1] : yEnds_[0];
      if (InHitSquare(p, originScreen_))
        data_->SetCursorName(QStringLiteral("Selection"));
      else if (DistanceToSegment(p, originScreen_, xArrow) <= kHitTolerance ||
               DistanceToSegment(p, originScreen_, yArrow) <= kHitTolerance)
        data_->SetCursorName(QStringLiteral("SelRotation"));
      else
        data_->SetCursorName(QString());
    }
  }
}

void TRepereFixe::Enter(TPoint pointer) {
  if (dragState_ != 0)
    Release();
  else
    LeftPress(pointer);
}

// Each axis is the line through the origin at its angle, clipped to the
// visible video area; the second end lies in the direction of the angle.
void TRepereFixe::ComputeAxisLines() {
  if (!data_ || !data_->View()) return;
  const TMeasureView& view = *data_->View();
  originScreen_ = view.NormalizedToScreen(currentOrigin_);
  const double w = view.VisibleWidth(), h = view.VisibleHeight();
  const double ox = originScreen_.x, oy = originScreen_.y;
  auto axis = [&](double a) {
    double dx = std::cos(a), dy = -std::sin(a);  // screen y points down
    constexpr double snap = 0.001;
    if (std::abs(a) < snap) {
      dx = 1, dy = 0;
    } else if (std::abs(a - kPi) < snap || std::abs(a + kPi) < snap) {
      dx = -1, dy = 0;
    } else if (std::abs(a - kPi / 2) < snap) {
      dx = 0, dy = -1;
    } else if (std::abs(a + kPi / 2) < snap) {
      dx = 0, dy = 1;
    }
    double tmin = -1e300, tmax = 1e300;
    auto clip = [&](double o, double d, double limit) {
      if (d == 0) return;
      double t1 = (0 - o) / d, t2 = (limit - o) / d;
      if (t1 > t2) std::swap(t1, t2);
      tmin = std::max(tmin, t1);
      tmax = std::min(tmax, t2);
    };
    clip(ox, dx, w);
    clip(oy, dy, h);
    if (tmin > tmax) tmin = tmax = 0;  // origin outside the visible area
    return std::array<TPoint, 2>{RoundPoint(ox + tmin * dx, oy + tmin * dy),
                                 RoundPoint(ox + tmax * dx, oy + tmax * dy)};
  };
  xEnds_ = axis(XAxisAngle);
  yEnds_ = axis(YAxisAngle);
}

// ---------------------------------------------------------------- TTransparent

TTransparent::TTransparent(TData* data) : TRepere(data) {
  Kind = hkTransparent;
}

void TTransparent::Assign(const THistObject& source) {
  TRepere::Assign(source);
  if (auto* t = dynamic_cast<const TTransparent*>(&source)) {
    LayerWidth = t->LayerWidth;
    LayerHeight = t->LayerHeight;
    stage_ = t->stage_;
    defaultOrigin_.Assign(t->defaultOrigin_);
  }
}

bool TTransparent::SameAs(const THistObject& other) const {
  auto* t = dynamic_cast<const TTransparent*>(&other);
  return t && TRepere::SameAs(other) && SameDouble(LayerWidth, t->LayerWidth) &&
         SameDouble(LayerHeight, t->LayerHeight);
}

void TTransparent::Reset() {
  stage_ = 0;
  LayerWidth = LayerHeight = 0.5;
  DirectXAxisDirection = DirectYAxisDirection = true;
  rect_ = {};
  grabOffset_ = {};
  pointer_ = {};
  currentOrigin_ = {};
  origins_.clear();
  defaultOrigin_.Position = {};
}

void TTransparent::AppendLoadedOrigin(int frame, TPointD position) {
  auto o = std::make_unique<TOrigine>();
  o->FrameNumber = frame;
  o->Position = position;
  o->ListIndex = static_cast<int>(origins_.size());
  origins_.push_back(std::move(o));
}

void TTransparent::StageForward() {
  stage_ = static_cast<std::uint8_t>((stage_ + 1) % 3);
  if (data_) data_->RefreshCursor();
}

void TTransparent::StageBackward() {
  stage_ = static_cast<std::uint8_t>((stage_ + 2) % 3);
  if (data_) data_->RefreshCursor();
}

void TTransparent::StageBackwardTo(std::uint8_t s) {
  stage_ = s;
  if (data_) data_->RefreshCursor();
}

bool TTransparent::AddOrigin(std::unique_ptr<TOrigine> o, int action) {
  const TPointD position = o ? o->Position : TPointD{};
  if (!TRepere::AddOrigin(std::move(o), action)) return false;
  if (action == haPlaceMark) {  // undo of the removal of the last origin
    TRepere::SetOrigin(position);
    StageForward();
    StageForward();
  }
  return true;
}

bool TTransparent::RemoveOrigin(TOrigine* o, int action) {
  const int frame = o ? o->FrameNumber : -1;
  if (!TRepere::RemoveOrigin(o, action)) return false;
  if (action == haRemoveLastMark) {  // undo of a drop
    if (data_ && data_->View()) data_->View()->GoToPhysicalFrame(frame);
    FallBackToLastOrigin();
    StageForward();
  }
  return true;
}

void TTransparent::FallBackToLastOrigin() {
  TRepere::SetOrigin(origins_.empty() ? defaultOrigin_.Position : origins_.back()->Position);
  ComputeRect();
}

void TTransparent::SetDirectX(bool b) {
  if (b == DirectXAxisDirection) return;
  TRepere::SetDirectX(b);
  ComputeDefaultOrigin();
  ComputeRect();
}

void TTransparent::SetDirectY(bool b) {
  if (b == DirectYAxisDirection) return;
  TRepere::SetDirectY(b);
  ComputeDefaultOrigin();
  ComputeRect();
}

void TTransparent::SetOrigin(TPointD p) {
  TRepere::SetOrigin(p - grabOffset_);
  ComputeRect();
}

void TTransparent::ComputeDefaultOrigin() {
  defaultOrigin_.Position.x = DirectXAxisDirection ? 1 - 1.1 * LayerWidth : 1.1 * LayerHeight;
  defaultOrigin_.Position.y = DirectYAxisDirection ? 1.1 * LayerWidth : 1 - 1.1 * LayerHeight;
  if (origins_.empty()) TRepere::SetOrigin(defaultOrigin_.Position);
}

void TTransparent::ComputeRect() {
  if (!data_ || !data_->View()) return;
  const TMeasureView& view = *data_->View();
  const TPointD c = stage_ == 1 ? pointer_ - grabOffset_ : currentOrigin_;
  const TPoint tl = view.NormalizedToScreen({c.x - LayerWidth, c.y - LayerHeight});
  const TPoint br = view.NormalizedToScreen({c.x + LayerWidth, c.y + LayerHeight});
  rect_ = {tl.x, tl.y, br.x, br.y};
}

void TTransparent::Grab(TPoint p) {
  if (!data_ || !data_->View()) return;
  pointer_ = data_->View()->ScreenToNormalized(p);
  grabOffset_ = pointer_ - currentOrigin_;
  StageForward();
}

void TTransparent::Drag(TPoint p) {
  if (!data_ || !data_->View()) return;
  pointer_ = data_->View()->ScreenToNormalized(p);
  SetOrigin(pointer_);
  data_->TransparentStore().RefreshScreenPositions();
  data_->Repaint();
}

void TTransparent::Drop() {
  if (!data_ || !data_->View()) return;
  SetOrigin(pointer_);
  const int frame = data_->View()->PhysicalFrame();
  if (TOrigine* o = FindOriginByFrame(frame)) {
    // The frame already has its origin: move it and skip the mark stage.
    o->Position = currentOrigin_;
    o->FrameNumber = frame;
    StageForward();
    StageForward();
  } else {
    auto created = std::make_unique<TOrigine>();
    created->Position = currentOrigin_;
    created->FrameNumber = frame;
    TOrigine* raw = created.get();
    InsertOrigin(std::move(created));
    data_->Record(raw, haDropOrigin);
    data_->InvalidateCurrent();
    StageForward();
  }
  data_->Repaint();
}

void TTransparent::RemoveLastOrigin() {
  if (!origins_.empty() && data_) {
    TOrigine* last = origins_.back().get();
    if (data_->View()) data_->View()->GoToPhysicalFrame(last->FrameNumber);
    RemoveOrigin(last, haRemoveLastOrigin);
    data_->InvalidateCurrent();
    FallBackToLastOrigin();
    data_->TransparentStore().RefreshScreenPositions();
  }
  StageBackward();
  StageBackward();
  if (data_) data_->Repaint();
}

void TTransparent::Shrink() {
  if (!(LayerWidth > 0.1)) return;
  if (data_) data_->Record(this, haResizeLayer);
  LayerWidth *= 0.9;
  LayerHeight *= 0.9;
  ComputeRect();
  if (data_) data_->Repaint();
}

void TTransparent::Grow() {
  if (!(LayerWidth < 1)) return;
  if (data_) data_->Record(this, haResizeLayer);
  LayerWidth *= 1.1;
  LayerHeight *= 1.1;
  ComputeRect();
  if (data_) data_->Repaint();
}

void TTransparent::LeftPress(TPoint p) {
  switch (stage_) {
    case 0:
      Grab(p);
      break;
    case 1:
      Drop();
      break;
    default:
      if (data_) data_->TransparentStore().PlaceMark(p);
  }
}

void TTransparent::RightPress() {
  if (!data_) return;
  if (stage_ == 0)
    data_->TransparentStore().RemoveLastMark();
  else if (stage_ == 2)
    RemoveLastOrigin();
}

void TTransparent::Move(TPoint p) {
  if (stage_ == 1) Drag(p);
}

void TTransparent::Release() {
  if (stage_ == 1) Drop();
}

// ---------------------------------------------------------------- TEchelle

TEchelle::TEchelle(TData* data) : data_(data) {
  Kind = hkEchelle;
}

void TEchelle::Assign(const THistObject& source) {
  THistObject::Assign(source);
  if (auto* e = dynamic_cast<const TEchelle*>(&source)) {
    PointsNumber = e->PointsNumber;
    Length = e->Length;
    Points = e->Points;
    ActiveKind = e->ActiveKind;
  }
}

bool TEchelle::SameAs(const THistObject& other) const {
  auto* e = dynamic_cast<const TEchelle*>(&other);
  if (!e || PointsNumber != e->PointsNumber) return false;
  for (int k = 0; k < 3; ++k)
    for (int i = 0; i < 2; ++i)
      if (!SamePoint(Points[k][i], e->Points[k][i])) return false;
  return true;
}

void TEchelle::Reset(bool separateScales) {
  PointsNumber = {};
  Length = {};
  Points = {};
  screen_ = {};
  dragState_ = -2;
  ActiveKind = separateScales ? skVert : skSingle;
}

TPointD TEchelle::GetScaleFactors(bool separateScales, int imageWidth, int imageHeight) const {
  TPointD s{-1, -1};
  if (separateScales) {
    const auto& hp = Points[skHoriz];
    const auto& vp = Points[skVert];
    if (hp[0].x == hp[1].x) return s;
    s.x = Length[skHoriz] / std::abs(hp[0].x - hp[1].x);
    if (vp[0].y != vp[1].y) s.y = Length[skVert] / std::abs(vp[0].y - vp[1].y);
    return s;
  }
  const auto& p = Points[skSingle];
  const double w = imageWidth, h = imageHeight;
  const double dx = p[0].x - p[1].x, dy = p[0].y - p[1].y;
  const double d2 = w * w * dx * dx + h * h * dy * dy;
  if (d2 == 0) return s;
  const double d = std::sqrt(d2);
  s.x = w * Length[skSingle] / d;
  s.y = h * Length[skSingle] / d;
  return s;
}

bool TEchelle::IsComplete() const {
  if (ActiveKind == skSingle) return PointsNumber[skSingle] == 2 && Length[skSingle] > 0;
  return PointsNumber[skHoriz] == 2 && Length[skHoriz] > 0 && PointsNumber[skVert] == 2 &&
         Length[skVert] > 0;
}

void TEchelle::SetLength(TScaleKind kind, double value) {
  if (SameDouble(Length[kind], value)) return;
  Length[kind] = value;
  if (data_) data_->InvalidateBoth();
}

void TEchelle::ComputeScreenPoints() {
  if (!data_ || !data_->View()) return;
  for (int k = 0; k < 3; ++k)
    for (int i = 0; i < 2; ++i) screen_[k][i] = data_->View()->NormalizedToScreen(Points[k][i]);
}

int TEchelle::HitTest(TPoint p) const {
  const auto& s = screen_[ActiveKind];
  const bool onSegment = DistanceToSegment(p, s[0], s[1]) <= kHitTolerance;
  const int pen = data_ ? data_->PenWidth() : 1;
  const bool tiny = std::abs(s[1].x - s[0].x) < pen && std::abs(s[1].y - s[0].y) < pen;
  if (tiny && onSegment) return -1;
  if (InHitSquare(p, s[0])) return 0;
  if (InHitSquare(p, s[1])) return 1;
  return onSegment ? -1 : -2;
}

void TEchelle::LeftPress(TPoint p) {
  if (!data_ || !data_->View()) return;
  TMeasureView& view = *data_->View();
  const TScaleKind k = ActiveKind;
  auto& pts = Points[k];
  if (PointsNumber[k] == 0) {
    data_->Record(this, haDefineScale);
    pts[0] = view.ScreenToNormalized(p);
    PointsNumber[k] = 1;
  } else if (PointsNumber[k] == 1) {
    const TPoint s1 = view.NormalizedToScreen(pts[0]);
    if ((k == skSingle && p == s1) || (k == skHoriz && p.x == s1.x) || (k == skVert && p.y == s1.y))
      return;  // the second point would coincide with the first
    pts[1] = view.ScreenToNormalized(p);
    if (k == skHoriz) pts[1].y = pts[0].y;
    if (k == skVert) pts[1].x = pts[0].x;
    PointsNumber[k] = 2;
  } else {
    const int hit = HitTest(p);
    if (hit == -1)
      data_->Record(this, haMove);
    else if (hit >= 0)
      data_->Record(this, haChange);
    dragState_ = hit;
    lastPointer_ = p;
    return;
  }
  data_->InvalidateBoth();
  ComputeScreenPoints();
  data_->Repaint();
  data_->Raise(data_->OnScaleDefine);
}

void TEchelle::RemoveLastPoint() {
  const TScaleKind k = ActiveKind;
  if (PointsNumber[k] <= 0) return;
  if (PointsNumber[k] == 2 && data_) data_->Record(this, haErase);
  --PointsNumber[k];
  if (!data_) return;
  data_->InvalidateBoth();
  data_->Repaint();
}

void TEchelle::Move(TPoint p) {
  if (!data_ || !data_->View()) return;
  TMeasureView& view = *data_->View();
  const TScaleKind k = ActiveKind;
  auto& pts = Points[k];
  auto& s = screen_[k];
  if (PointsNumber[k] < 2) {
    data_->SetCursorName(QStringLiteral("Echelle"));
    if (PointsNumber[k] == 1) data_->Repaint();
    return;
  }
  if (dragState_ == -1) {
    const int dx = p.x - lastPointer_.x, dy = p.y - lastPointer_.y;
    if (dx == 0 && dy == 0) return;
    lastPointer_ = p;
    for (int i = 0; i < 2; ++i) pts[i] = view.ScreenToNormalized({s[i].x + dx, s[i].y + dy});
  } else if (dragState_ == 0 || dragState_ == 1) {
    const int i = dragState_, other = 1 - dragState_;
    const bool still = (k == skSingle && p == s[i]) || (k == skHoriz && p.x == s[i].x) ||
                       (k == skVert && p.y == s[i].y);
    if (still) return;
    pts[i] = view.ScreenToNormalized(p);
    if (k == skHoriz) pts[i].y = pts[other].y;
    if (k == skVert) pts[i].x = pts[other].x;
  } else {
    const int hit = HitTest(p);
    if (hit == -1) {
      data_->SetCursorName(QStringLiteral("Selection"));
    } else if (hit >= 0) {
      const bool nesw =
          (s[0].x < s[1].x && s[0].y < s[1].y) || (s[0].x > s[1].x && s[0].y > s[1].y);
      data_->SetCursorName(nesw ? QStringLiteral("Nesw") : QStringLiteral("Nwse"));
    } else {
      data_->SetCursorName(QString());
    }
    return;
  }
  data_->InvalidateBoth();
  ComputeScreenPoints();
  data_->Repaint();
}

}  // namespace mlb
