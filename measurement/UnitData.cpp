#include "measurement/UnitData.h"

#include <algorithm>

#include "common/UnitPalette.h"

namespace mlb {

namespace {

// Takes ownership of a history entry as its concrete class.
template <class T>
std::unique_ptr<T> Downcast(std::unique_ptr<THistObject>& p) {
  if (!dynamic_cast<T*>(p.get())) return nullptr;
  return std::unique_ptr<T>(static_cast<T*>(p.release()));
}

}  // namespace

TData::TData(TMeasureView* view, const TMeasureSettings& settings)
    : view_(view), settings_(settings) {
  for (auto& h : histories_) h = std::make_unique<THistorique>(*this);
  repereFixe_ = std::make_unique<TRepereFixe>(this);
  transparent_ = std::make_unique<TTransparent>(this);
  echelle_ = std::make_unique<TEchelle>(this);
  echelle_->Reset(settings_.separateScales);
  fixedStore_ = std::make_unique<TPolyMarqueImgRep>(this, repereFixe_.get());
  tspStore_ = std::make_unique<TPolyMarqueImgTsp>(this, transparent_.get());
}

TData::~TData() {
  // Histories first: their snapshots refer to the stores and frames.
  for (auto& h : histories_) h.reset();
}

void TData::Reset() {
  tool_ = otMarque;
  requiredDuration_ = 0.0;
  repereFixe_->Reset();
  transparent_->Reset();
  echelle_->Reset(settings_.separateScales);
  fixedStore_->ResetSettings();
  tspStore_->ResetSettings();
  markColors_.assign(1, PaletteColor(0));
  fixedStore_->Clear();
  tspStore_->Clear();
  for (auto& h : histories_) h->Clear();
}

void TData::ApplySettings(const TMeasureSettings& settings) {
  settings_ = settings;
  if (settings_.separateScales && echelle_->ActiveKind == skSingle)
    SetScaleKind(skVert);
  else if (!settings_.separateScales && echelle_->ActiveKind != skSingle)
    SetScaleKind(skSingle);
}

void TData::SetTool(TOutil t) {
  tool_ = t;
  if (t == otAucun) return;
  if (t == otTsp) {
    transparent_->ComputeDefaultOrigin();
    transparent_->ComputeRect();
  }
  CancelDrags();
  Raise(OnToolChange);
}

void TData::CancelDrags() {
  fixedStore_->Dragging = false;
  tspStore_->Dragging = false;
  repereFixe_->SetDragState(0);
  transparent_->CancelDrag();
}

void TData::SetRequiredDuration(double s) {
  if (SameDouble(s, requiredDuration_)) return;
  requiredDuration_ = s;
  InvalidateBoth();
}

void TData::SetMarksNumberPerFrame(int n) {
  if (TransparentMode()) {
    tspStore_->SetMarksNumberPerFrame(n);
    return;
  }
  Record(fixedStore_.get(), haChange);
  fixedStore_->SetMarksNumberPerFrame(n);
}

void TData::SetMarkColor(int k, TColor c) {
  if (k < 0 || k >= static_cast<int>(markColors_.size())) return;
  markColors_[static_cast<std::size_t>(k)] = c;
  Raise(OnMarkColorChange);
}

void TData::SetPointName(int k, const QString& s) {
  QStringList& names = ActiveStore().Names;
  if (k < 0 || k >= names.size()) return;
  names[k] = s;
}

void TData::SetScaleKind(TScaleKind k) {
  if (echelle_->ActiveKind == k) return;
  echelle_->ActiveKind = k;
  Raise(OnScaleKindChange);
}

void TData::SetAxisAngle(double radians) {
  Record(repereFixe_.get(), haRotate);
  repereFixe_->SetXAngle(radians);
}

void TData::SetDirectX(bool b) {
  if (TransparentMode())
    transparent_->SetDirectX(b);
  else
    repereFixe_->SetDirectX(b);
}

void TData::SetDirectY(bool b) {
  if (TransparentMode())
    transparent_->SetDirectY(b);
  else
    repereFixe_->SetDirectY(b);
}

TColor TData::MarkColor(int k) const {
  if (k < 0 || k >= static_cast<int>(markColors_.size())) return 0x0000FF;
  return markColors_[static_cast<std::size_t>(k)];
}

QString TData::PointName(int k) const {
  const QStringList& names = ActiveStore().Names;
  if (k < 0 || k >= names.size()) return QString();
  return names[k];
}

int TData::MarksOnFrame(int frame) const {
  if (!view_ || view_->WorkMode() != mvMontage) return -1;
  const TContainer* c = fixedStore_->FindContainer(frame);
  return c ? c->MarkCount() : -1;
}

TPointD TData::GetScaleFactors() const {
  const int w = view_ ? view_->ImageWidth() : 0;
  const int h = view_ ? view_->ImageHeight() : 0;
  return echelle_->GetScaleFactors(settings_.separateScales, w, h);
}

double TData::GetAxisAngle() const {
  return TransparentMode() ? 0.0 : repereFixe_->XAxisAngle;
}

TPointD TData::GetOrigin() const {
  return TransparentMode() ? TPointD{} : repereFixe_->CurrentOrigin();
}

bool TData::DirectX() const {
  return TransparentMode() ? transparent_->DirectXAxisDirection : repereFixe_->DirectXAxisDirection;
}

bool TData::DirectY() const {
  return TransparentMode() ? transparent_->DirectYAxisDirection : repereFixe_->DirectYAxisDirection;
}

int TData::OriginPlaced() const {
  return TransparentMode() ? 1 : repereFixe_->OriginePointsNumber;
}

TPolyContainer& TData::ActiveStore() {
  return TransparentMode() ? static_cast<TPolyContainer&>(*tspStore_) : *fixedStore_;
}

const TPolyContainer& TData::ActiveStore() const {
  return TransparentMode() ? static_cast<const TPolyContainer&>(*tspStore_) : *fixedStore_;
}

bool TData::DeleteMark(TMarque* m) {
  if (!m) return false;
  if (m->Store() == fixedStore_.get()) return fixedStore_->RemoveMark(m, haDeleteMark);
  if (m->Store() != tspStore_.get()) return false;
  THistorique& h = ActiveHistory();
  h.BeginGroup();
  const int frame = m->FrameNumber();
  const bool removed = tspStore_->RemoveMark(m, haDeleteMark);
  if (removed) transparent_->RemoveOriginOfFrame(frame);
  h.EndGroup();
  return removed;
}

// Removes every mark of a store, containers from last to first and marks
// from last to first within each.
static void RemoveAllMarks(TPolyContainer& store) {
  const auto& containers = store.Containers();
  for (std::size_t i = containers.size(); i-- > 0;) {
    TContainer& c = *containers[i];
    while (c.MarkCount() > 0)
      if (!store.RemoveMark(c.Marks().back().get(), haDeleteMark)) break;
  }
}

void TData::EraseAllMarks() {
  if (tool_ == otMarque || tool_ == otOrigine) {
    THistorique& h = ActiveHistory();
    h.BeginGroup();
    RemoveAllMarks(*fixedStore_);
    fixedStore_->SetCurrentMarkOrderNumber(0);
    h.EndGroup();
  } else if (tool_ == otTsp) {
    THistorique& h = ActiveHistory();
    h.BeginGroup();
    RemoveAllMarks(*tspStore_);
    while (!transparent_->Origins().empty())
      transparent_->RemoveOrigin(transparent_->Origins().back().get(), haRemoveOrigin);
    InvalidateCurrent();
    transparent_->ComputeRect();
    h.EndGroup();
  }
}

void TData::EraseOrigin() {
  if (tool_ == otMarque || tool_ == otOrigine) repereFixe_->RemoveOriginPoint();
}

void TData::EraseScale() {
  echelle_->RemoveLastPoint();
  echelle_->RemoveLastPoint();
}

void TData::EraseAll() {
  THistorique& h = ActiveHistory();
  h.BeginGroup();
  EraseScale();
  EraseAllMarks();
  if (tool_ != otTsp) repereFixe_->RemoveOriginPoint();
  h.EndGroup();
}

void TData::EraseFrame(int frame) {
  if (TContainer* c = tspStore_->FindContainer(frame))
    if (TMarque* m = c->FindOrder(0))
      if (tspStore_->RemoveMark(m, haDeleteMark)) transparent_->RemoveOriginOfFrame(frame);
  fixedStore_->ClearFrame(frame);
  histories_[hiFixed]->Clear();
  histories_[hiTransparent]->Clear();
}

void TData::ImportMarks(const TMatricePointD& positions, const TMatriceI& frames) {
  THistorique& h = ActiveHistory();
  h.BeginGroup();
  for (std::size_t k = 0; k < frames.size() && k < positions.size(); ++k)
    for (std::size_t i = 0; i < frames[k].size() && i < positions[k].size(); ++i)
      if (frames[k][i] >= 0)
        fixedStore_->SetMarkAt(static_cast<int>(k), frames[k][i], positions[k][i]);
  h.EndGroup();
  fixedStore_->Renumber();
}

void TData::SetMarkAt(int k, int frame, TPointD p) {
  fixedStore_->SetMarkAt(k, frame, p);
}

void TData::RefreshScreenPositions() {
  fixedStore_->RefreshScreenPositions();
  tspStore_->RefreshScreenPositions();
  transparent_->ComputeRect();
  repereFixe_->ComputeAxisLines();
  echelle_->ComputeScreenPoints();
}

THistorique& TData::ActiveHistory() {
  const TModeVideo mode = view_ ? view_->WorkMode() : mvRepereFixe;
  if ((mode == mvRepereFixe || mode == mvTransparent) && tool_ == otEchelle)
    return *histories_[hiScale];
  if (mode == mvRepereFixe && tool_ == otOrigine) return *histories_[hiRepere];
  if (mode == mvTransparent) return *histories_[hiTransparent];
  return *histories_[hiFixed];
}

void TData::Undo() {
  ActiveHistory().Undo();
  Repaint();
  RefreshCursor();
}

QString TData::UndoCaption() {
  return ActiveHistory().UndoCaption();
}

THistObject* TData::FindById(int id) {
  if (repereFixe_->Id == id) return repereFixe_.get();
  if (transparent_->Id == id) return transparent_.get();
  if (echelle_->Id == id) return echelle_.get();
  if (fixedStore_->Id == id) return fixedStore_.get();
  if (tspStore_->Id == id) return tspStore_.get();
  if (TMarque* m = fixedStore_->FindMarkById(id)) return m;
  if (TMarque* m = tspStore_->FindMarkById(id)) return m;
  return transparent_->FindOriginById(id);
}

std::unique_ptr<THistObject> TData::MakeSnapshot(const THistObject& object) {
  switch (object.Kind) {
    case hkEchelle:
      return std::make_unique<TEchelle>(nullptr);
    case hkMarqueRep:
    case hkMarqueTsp: {
      const auto& m = dynamic_cast<const TMarque&>(object);
      std::unique_ptr<TMarque> s;
      if (object.Kind == hkMarqueRep)
        s = std::make_unique<TMarqueRep>(m.Repere(), m.Store());
      else
        s = std::make_unique<TMarqueTsp>(m.Repere(), m.Store());
      s->SetSnapshotFrame(m.FrameNumber());
      return s;
    }
    case hkOrigine:
      return std::make_unique<TOrigine>();
    case hkPolyMarqueImgRep:
      return std::make_unique<TPolyMarqueImgRep>(nullptr, repereFixe_.get());
    case hkPolyMarqueImgTsp:
      return std::make_unique<TPolyMarqueImgTsp>(nullptr, transparent_.get());
    case hkRepereFixe:
      return std::make_unique<TRepereFixe>(nullptr);
    case hkTransparent:
      return std::make_unique<TTransparent>(nullptr);
    default:
      return nullptr;
  }
}

void TData::ApplyUndo(THistObject& live, int action) {
  switch (live.Kind) {
    case hkEchelle:
      echelle_->ComputeScreenPoints();
      InvalidateBoth();
      break;
    case hkMarqueRep:
    case hkMarqueTsp: {
      auto& m = static_cast<TMarque&>(live);
      TPolyContainer& store = live.Kind == hkMarqueRep ? static_cast<TPolyContainer&>(*fixedStore_)
                                                       : static_cast<TPolyContainer&>(*tspStore_);
      if (action == haCreateMarkAt)
        store.RemoveMark(&m, haDeleteMark);
      else if (action == haPlaceMark)
        store.RemoveMark(&m, haRemoveLastMark);
      else {
        m.RefreshScreenPoint();
        InvalidateCurrent();
      }
      break;
    }
    case hkOrigine: {
      auto& o = static_cast<TOrigine&>(live);
      if (action == haAddOrigin)
        transparent_->RemoveOrigin(&o, haDeleteMark);
      else if (action == haDropOrigin)
        transparent_->RemoveOrigin(&o, haRemoveLastMark);
      transparent_->ComputeRect();
      tspStore_->RefreshScreenPositions();
      RefreshCursor();
      break;
    }
    case hkPolyMarqueImgRep:
    case hkPolyMarqueImgTsp:
      InvalidateCurrent();
      break;
    case hkRepereFixe:
      repereFixe_->ComputeAxisLines();
      InvalidateCurrent();
      Raise(OnRepereChange);
      break;
    case hkTransparent:
      transparent_->ComputeRect();
      tspStore_->RefreshScreenPositions();
      InvalidateCurrent();
      break;
    default:
      break;
  }
}

void TData::ApplyUndoRemoval(std::unique_ptr<THistObject> snapshot, int action) {
  if (!snapshot) return;
  switch (snapshot->Kind) {
    case hkMarqueRep:
    case hkMarqueTsp: {
      TPolyContainer& store = snapshot->Kind == hkMarqueRep
                                  ? static_cast<TPolyContainer&>(*fixedStore_)
                                  : static_cast<TPolyContainer&>(*tspStore_);
      auto m = Downcast<TMarque>(snapshot);
      // A refused re-insertion frees the snapshot with m.
      if (action == haDeleteMark)
        store.InsertMark(std::move(m), haCreateMarkAt);
      else if (action == haRemoveLastMark)
        store.InsertMark(std::move(m), haPlaceMark);
      break;
    }
    case hkOrigine: {
      auto o = Downcast<TOrigine>(snapshot);
      if (action == haRemoveOrigin)
        transparent_->AddOrigin(std::move(o), haAddOrigin);
      else if (action == haRemoveLastOrigin)
        transparent_->AddOrigin(std::move(o), haPlaceMark);
      transparent_->ComputeRect();
      tspStore_->RefreshScreenPositions();
      RefreshCursor();
      break;
    }
    default:
      break;  // nothing else is recorded as a removal
  }
}

}  // namespace mlb
